#include "tests/text/renderer_fixture.h"

namespace {

class TextureTextDraw : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        if (!kutext::HaveJapaneseFont())
            GTEST_SKIP() << "no Japanese font installed";
        ASSERT_EQ(sprite->SetTextureTextData(0, "あいうえお", 16, 400, 4, 17, 0), 0);
        Begin();
        log.Clear();
    }
    int32_t Draw(uint32_t slot, KURECT area, float shown, uint32_t style = 0, int cs = 0, int ls = 0, float sx = 1,
                 float sy = 1, uint32_t colour = 0xFFFFFFFFu) {
        quads.clear();
        return sprite->D3DXDrawTextureText(slot, &area, colour, shown, style, cs, ls, sx, sy);
    }
    const KURECT wide{0, 0, 800, 600};
};

TEST_F(TextureTextDraw, WholeAndPartialCharacters) {
    EXPECT_EQ(Draw(0, wide, -1.0f), 0);
    ASSERT_EQ(quads.size(), 5u);
    EXPECT_EQ(quads[4].v[1].x, 64.0f);
    EXPECT_EQ(quads[4].v[2].x, 80.0f);
    EXPECT_EQ(quads[4].v[0].y, 16.0f);
    EXPECT_EQ(quads[0].texture, sprite->GetTextureTextSlot(0)->texture(0));
    EXPECT_EQ(Draw(0, wide, 3.0f), 0);
    EXPECT_EQ(quads.size(), 3u);
    EXPECT_EQ(Draw(0, wide, 9.0f), 0);
    EXPECT_EQ(quads.size(), 5u);

    Draw(0, wide, 2.5f, 1, 0, 0, 1, 1, 0xC0112233u);
    ASSERT_EQ(quads.size(), 3u);
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(quads[1].v[v].diffuse, 0xC0112233u);
        EXPECT_EQ(quads[2].v[v].diffuse, (192u / 2) << 24 | 0x112233u);
    }
    Draw(0, wide, 0.25f, 1);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(Alpha(0, 0), 63u);
    EXPECT_EQ(quads[0].v[1].x, 0.0f);
}

TEST_F(TextureTextDraw, RevealStyles) {
    Draw(0, wide, 0.4f, 4);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(Alpha(0, 1), 204u); // top left at 2f
    EXPECT_EQ(Alpha(0, 0), 76u); // bottom left at 2f - 0.5
    EXPECT_EQ(Alpha(0, 3), 76u); // top right
    EXPECT_EQ(Alpha(0, 2), 0u); // bottom right at 2f - 1
    Draw(0, wide, 0.75f, 2);
    EXPECT_EQ(Alpha(0, 0), 255u);
    EXPECT_EQ(Alpha(0, 1), 255u);
    EXPECT_EQ(Alpha(0, 2), 127u);
    EXPECT_EQ(Alpha(0, 3), 127u);
    // Growing quads: 8 keeps the colour, 16 fades, 32 grows from the centre (half the side unscaled).
    Draw(0, wide, 1.5f, 8, 0, 0, 2, 2);
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[1].v[1].x, 32.0f);
    EXPECT_EQ(quads[1].v[2].x, 32.0f + 16.0f);
    EXPECT_EQ(quads[1].v[2].y, 16.0f);
    EXPECT_EQ(Alpha(1, 2), 255u);
    Draw(0, wide, 0.5f, 16);
    EXPECT_EQ(quads[0].v[3].x, 8.0f);
    EXPECT_EQ(Alpha(0, 3), 127u);
    Draw(0, wide, 0.5f, 32, 0, 0, 2, 2);
    EXPECT_EQ(quads[0].v[1].x, 8.0f - 8.0f);
    EXPECT_EQ(quads[0].v[1].y, 0.0f);
    EXPECT_EQ(quads[0].v[2].x, 8.0f + 8.0f);
    // The lowest set bit decides; no style bit leaves the fraction hidden.
    Draw(0, wide, 0.5f, 4 | 1);
    EXPECT_EQ(Alpha(0, 2), 127u);
    Draw(0, wide, 0.5f, 0);
    EXPECT_TRUE(quads.empty());
}

TEST_F(TextureTextDraw, WrappingLineFeedsAndSpacing) {
    ASSERT_EQ(sprite->SetTextureTextData(1, "あいう\nえ", 16, 400, 4, 17, 0), 0);
    // Three characters fit on a 48-pixel line: the wrap after the third and the line feed make an empty line.
    Draw(1, KURECT{0, 0, 48, 600}, -1.0f);
    ASSERT_EQ(quads.size(), 4u);
    EXPECT_EQ(quads[2].v[1].x, 32.0f);
    EXPECT_EQ(quads[3].v[1].x, 0.0f);
    EXPECT_EQ(quads[3].v[1].y, 32.0f);
    // The first character of a line is drawn even when it is wider than the area.
    Draw(0, KURECT{10, 0, 12, 600}, -1.0f);
    ASSERT_EQ(quads.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(quads[i].v[1].x, 10.0f);
        EXPECT_EQ(quads[i].v[1].y, 16.0f * static_cast<float>(i));
    }
    // Stops at the line that no longer fits: trunc(y + la) must stay within the bottom.
    Draw(0, KURECT{0, 0, 16, 47}, -1.0f);
    EXPECT_EQ(quads.size(), 2u);
    EXPECT_EQ(Draw(0, KURECT{0, 0, 800, 15}, -1.0f), 0);
    EXPECT_TRUE(quads.empty());
    // Negative spacing packs characters and lines; scales apply to both.
    Draw(0, wide, -1.0f, 0, -4, 0);
    EXPECT_EQ(quads[2].v[1].x, 24.0f);
    Draw(1, KURECT{0, 0, 48, 600}, -1.0f, 0, 0, -6, 1.0f, 0.5f);
    EXPECT_EQ(quads[3].v[1].y, 2 * (8.0f - 3.0f));
    EXPECT_EQ(quads[3].v[0].y - quads[3].v[1].y, 8.0f);
    // Huge scales and areas reach the rasteriser as they are, and only the screen is drawn.
    EXPECT_EQ(Draw(0, KURECT{-1000000, -1000000, INT32_MAX, INT32_MAX}, -1.0f, 0, 0, 0, 1e6f, 1e6f), 0);
    EXPECT_EQ(quads.size(), 5u);
    EXPECT_EQ(Draw(0, KURECT{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, -1.0f, 0, 0, 0, 1e30f, 1e30f), 0);
    EXPECT_TRUE(quads.empty());
    // A scale of 0 draws nothing and says nothing.
    EXPECT_EQ(Draw(0, wide, -1.0f, 0, 0, 0, 0.0f, 1.0f), 0);
    EXPECT_TRUE(quads.empty());
    EXPECT_TRUE(log.lines().empty()) << log.all();
}

TEST_F(TextureTextDraw, RefusalsAndStatesAlwaysSwitchedOff) {
    EXPECT_EQ(Draw(40, wide, -1.0f), 0); // empty slot: nothing to draw
    EXPECT_EQ(Draw(71, wide, -1.0f), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DDrawTextureText> 指定インデックスが確保数を上回っています\n"));
    EXPECT_EQ(sprite->D3DXDrawTextureText(0, nullptr, 0xFFFFFFFFu, -1.0f, 0, 0, 0, 1, 1), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DDrawTextureText> 描画範囲が不正です\n"));

    // A slot whose build stopped after its first texture: the missing texture ends the draw...
    int made = 0;
    SetTextureCreateHook(
        [&](KUTextureFormat*, uint32_t*, uint32_t*) { return made++ == 0 ? 0 : plat::kVideoErrOutOfMemory; });
    EXPECT_LT(sprite->SetTextureTextData(2, "あい", 16, 400, 4, 17, 0), 0);
    SetTextureCreateHook(nullptr);
    log.Clear();
    EXPECT_EQ(Draw(2, wide, -1.0f), 1);
    EXPECT_EQ(quads.size(), 1u);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DXDrawTextureText> テクスチャデータが確保されていません\n"));
    // ...and still leaves keying and blending off, so the next picture keeps its corner colour.
    EXPECT_FALSE(sprite->GetVideoDevice()->state().colorKey);
    EXPECT_FALSE(sprite->GetVideoDevice()->state().alphaBlend);
    EXPECT_TRUE(quads[0].state.colorKey);
    EXPECT_TRUE(quads[0].state.alphaBlend);

    ASSERT_EQ(sprite->D3DXDrawEnd(), 0);
    log.Clear();
    EXPECT_EQ(Draw(0, wide, -1.0f), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DXDrawTextureText> BegineSceneが完了していません\n"));
    KUSPRITE2 cold;
    EXPECT_EQ(cold.D3DXDrawTextureText(0, &wide, 0, -1.0f, 0, 0, 0, 1, 1), 1);
    EXPECT_TRUE(log.Contains("Error; <KUSPRITE2::D3DXDrawTextureText> 初期化されていません\n"));
}

} // namespace
