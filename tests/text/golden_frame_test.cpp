#include "tests/text/renderer_fixture.h"

namespace {

// Exact pictures of text hold for one font file and one FreeType version only.
class GoldenFrame : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        REQUIRE_FONT();
        std::string why;
        if (!kutext::GoldenRendererMatches(&why))
            GTEST_SKIP() << why;
    }
};

plat::Surface Crop(const plat::Surface& s, int w, int h) {
    plat::Surface out(w, h);
    for (int y = 0; y < h; ++y)
        std::copy(s.Row(y), s.Row(y) + w, out.Row(y));
    return out;
}

void Keep(const std::string& name, const plat::Surface& s) {
    kutext::WritePng(std::string(KU_TEXT_BINARY_DIR) + "/" + name + ".png", s);
    const std::string diff = kutext::CompareGolden(name, s);
    EXPECT_EQ(diff, "");
}

// The start-up failure line through GDI, and the same words as texture text at every anti-alias level.
TEST_F(GoldenFrame, JapaneseTextAtEachAntiAliasLevel) {
    Begin();
    const char* words = "ラークスピン体験版\n初期化に失敗しました①";
    const uint32_t levels[] = {0, 1, 2, 4};
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(sprite->SetTextureTextData(static_cast<uint32_t>(i), words, 16, 400, levels[i], 17, 0), 0);
        const KURECT area{8 + 176 * (i % 2), 36 + 48 * (i / 2), 8 + 176 * (i % 2) + 170, 600};
        ASSERT_EQ(sprite->D3DXDrawTextureText(static_cast<uint32_t>(i), &area, 0xFFFFFFFFu, -1.0f, 0, 0, 2, 1, 1), 0);
    }
    ASSERT_EQ(sprite->DDTextOut(-1, 8, 8, "ラークスピン 体験版　初期化に失敗しました", 0x00FFFF, 20, 400), 0);
    ASSERT_EQ(sprite->D3DXDrawEnd(), 0);
    Keep("text_levels", Crop(Back(), 440, 136));
    EXPECT_TRUE(log.lines().empty()) << log.all();
}

TEST_F(GoldenFrame, RevealStylesHalfWayThroughTheThirdCharacter) {
    Begin();
    ASSERT_EQ(sprite->SetTextureTextData(0, "あいうえお", 18, 400, 4, 17, 0), 0);
    const uint32_t styles[] = {1, 2, 4, 8, 16, 32};
    for (int i = 0; i < 6; ++i) {
        const KURECT area{4, 4 + 24 * i, 200, 600};
        ASSERT_EQ(sprite->D3DXDrawTextureText(0, &area, 0xFF80FF40u, 2.5f, styles[i], 2, 0, 1, 1), 0);
    }
    ASSERT_EQ(sprite->D3DXDrawEnd(), 0);
    Keep("text_reveal", Crop(Back(), 120, 150));
}

} // namespace
