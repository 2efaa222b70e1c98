#include <gtest/gtest.h>

#include "platform/raster.h"
#include "platform/video_present.h"
#include "tests/graphics/graphics_util.h"

namespace {

using kugfx::MakeBmp;
using kugfx::MakeDds32;
using kugfx::RendererFixture;

uint32_t Grad(int x, int y) { return 0xFF000000u | uint32_t(x & 0xFF) << 16 | uint32_t(y & 0xFF) << 8 | 0x20; }

class RecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        kugfx::PackArchive("dat/Img.dat", {{"bg.bmp", MakeBmp(800, 600, Grad)}});
        ASSERT_EQ(f.Load(0, "bg.bmp"), 1);
        f.device()->SetDrawRecorder(&quads);
        ASSERT_EQ(f.sprite.D3DXDrawStart(), 0);
    }
    void TearDown() override {
        f.device()->SetDrawRecorder(nullptr);
        f.sprite.D3DXDrawEnd();
    }
    int32_t Draw(float x, float y, const KURECT* src, float sx = 1, float sy = 1, const uint32_t* c = nullptr,
                 uint32_t flags = 0) {
        return f.sprite.D3DXDrawGraphic(0, x, y, kDrawTypeAuto, flags, src, sx, sy, c, 0);
    }
    RendererFixture f;
    std::vector<plat::DrawRecord> quads;
    kutest::DebugCapture log;
};

TEST_F(RecordTest, WholePictureIsOneQuadPerTile) {
    EXPECT_EQ(Draw(0, 0, nullptr), 0);
    ASSERT_EQ(quads.size(), 12u);
    const plat::DrawRecord& q0 = quads[0];
    EXPECT_FLOAT_EQ(q0.v[1].x, -0.5f);
    EXPECT_FLOAT_EQ(q0.v[1].y, -0.5f);
    EXPECT_FLOAT_EQ(q0.v[3].x, 255.5f);
    EXPECT_FLOAT_EQ(q0.v[0].y, 255.5f);
    EXPECT_FLOAT_EQ(quads[3].v[3].u, 32.0f / 256.0f); // last column
    EXPECT_FLOAT_EQ(quads[11].v[0].v, 88.0f / 256.0f); // last row
    EXPECT_FLOAT_EQ(quads[11].v[3].x, 799.5f);
    EXPECT_FALSE(q0.state.alphaBlend); // opaque BMP, white
    EXPECT_EQ(q0.v[0].diffuse, 0xFFFFFFFFu);
}

TEST_F(RecordTest, SourceRectanglesInsideAndAcrossTiles) {
    KURECT r1{300, 100, 400, 150};
    EXPECT_EQ(Draw(10, 20, &r1), 0);
    ASSERT_EQ(quads.size(), 1u);
    const plat::DrawRecord& q = quads[0];
    EXPECT_EQ(q.texture, f.sprite.GetGraphicSlot(0)->texture(1));
    EXPECT_FLOAT_EQ(q.v[1].u, 44.0f / 256);
    EXPECT_FLOAT_EQ(q.v[3].u, 144.0f / 256);
    EXPECT_FLOAT_EQ(q.v[1].v, 100.0f / 256);
    EXPECT_FLOAT_EQ(q.v[0].v, 150.0f / 256);
    EXPECT_FLOAT_EQ(q.v[1].x, 9.5f);
    EXPECT_FLOAT_EQ(q.v[3].x - q.v[1].x, 100.0f);
    EXPECT_FLOAT_EQ(q.v[0].y - q.v[1].y, 50.0f);

    quads.clear();
    KURECT r2{200, 0, 300, 10};
    EXPECT_EQ(Draw(10, 0, &r2, 2, 1), 0);
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_FLOAT_EQ(quads[0].v[3].x - quads[0].v[1].x, 112.0f);
    EXPECT_FLOAT_EQ(quads[1].v[3].x - quads[1].v[1].x, 88.0f);
    EXPECT_FLOAT_EQ(quads[1].v[1].x, 10 + 56 * 2 - 0.5f);
    EXPECT_FLOAT_EQ(quads[1].v[1].u, 0.0f);
}

TEST_F(RecordTest, EmptyAndOutsideRectanglesDrawNothing) {
    KURECT flat{5, 5, 5, 10};
    EXPECT_EQ(Draw(0, 0, &flat), 0);
    KURECT right{900, 0, 1000, 10}; // wholly right of the picture
    EXPECT_EQ(Draw(0, 0, &right), 0);
    KURECT below{0, 700, 10, 800};
    EXPECT_EQ(Draw(0, 0, &below), 0);
    EXPECT_TRUE(quads.empty());
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(RecordTest, RefusalsAndTheirLines) {
    EXPECT_EQ(f.sprite.D3DXDrawGraphicEx(99, 0, 0, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0, 0.5f, 0, 0), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DXDrawGraphicEx> インデックスナンバーがオーバーしています\n"));
    EXPECT_EQ(f.sprite.D3DXDrawGraphic(99, 0, 0, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DXDrawGraphic> インデックスナンバーがオーバーしています\n"));
    EXPECT_EQ(f.sprite.D3DXDrawGraphic(5, 0, 0, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0), 1);
    EXPECT_TRUE(log.Contains(
        "Error: <KUSPRITE2::D3DXDrawGraphic> 指定インデックスナンバーの画像データは初期化されていません\n"));
    EXPECT_EQ(f.sprite.D3DXDrawGraphic(0, 0, 0, kGraphicTypeSurface, 0, nullptr, 1, 1, nullptr, 0), 1);
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE2::D3DXDrawGraphic> "
                     "指定グラフィックタイプがグラフィックデータに関連付けされているタイプと違います\n"));
    f.sprite.ReleaseGraphicData(0);
    EXPECT_EQ(Draw(0, 0, nullptr), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DXDrawGraphic> テクスチャデータが確保されていません\n"));
    f.sprite.D3DXDrawEnd();
    log.Clear();
    EXPECT_EQ(Draw(0, 0, nullptr), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DXDrawGraphic> BegineSceneが完了していません\n"));
    f.sprite.D3DXDrawStart();
}

TEST_F(RecordTest, BlendStateFollowsColourAndFlags) {
    const uint32_t half = 0x80FFFFFFu;
    KURECT r{0, 0, 4, 4};
    Draw(0, 0, &r, 1, 1, &half);
    Draw(0, 0, &r, 1, 1, nullptr, kDrawFlagAdd | kDrawFlagMultiply);
    Draw(0, 0, &r, 1, 1, nullptr, kDrawFlagKeepBlend);
    Draw(0, 0, &r, 1, 1, nullptr, kDrawFlagColorKey | 2);
    ASSERT_EQ(quads.size(), 4u);
    EXPECT_TRUE(quads[0].state.alphaBlend);
    EXPECT_EQ(quads[0].state.src, plat::Blend::kSrcAlpha);
    EXPECT_EQ(quads[1].state.src, plat::Blend::kOne); // 4 comes before 32
    EXPECT_EQ(quads[1].state.dst, plat::Blend::kOne);
    EXPECT_EQ(quads[2].state.src, plat::Blend::kOne); // 16 keeps them
    EXPECT_TRUE(quads[3].state.colorKey);
    EXPECT_FALSE(quads[3].state.alphaBlend);
    // Switched back off after each picture; the factors stay.
    EXPECT_FALSE(f.device()->state().alphaBlend);
    EXPECT_FALSE(f.device()->state().colorKey);
    EXPECT_EQ(f.device()->state().src, plat::Blend::kOne);
}

// Pixel results on a small screen.
class PixelTest : public ::testing::Test {
protected:
    static constexpr uint32_t kBg = 0xFF0A141Eu; // (10, 20, 30)
    PixelTest() : f(96, 64) {}
    void SetUp() override {
        ASSERT_EQ(f.startResult, 1);
        kugfx::PackArchive(
            "dat/Img.dat",
            {{"p.bmp", MakeBmp(40, 30,
                               [](int x, int y) {
                                   return (x < 4 && y < 4) ? 0xFFFF00FFu : 0xFFC86432u; // magenta corner, (200,100,50)
                               })},
             {"g.dds", MakeDds32(48, 40,
                                 [](int x, int y) {
                                     return uint32_t(x * 5) << 24 | uint32_t(200 - x) << 16 | uint32_t(y * 6) << 8 |
                                            0x80;
                                 })},
             {"bg.bmp", MakeBmp(96, 64, [](int x, int y) {
                  return 0xFF000000u | uint32_t(x * 2) << 16 | uint32_t(y * 3) << 8 | uint32_t((x + y) & 0xFF);
              })}});
        ASSERT_EQ(f.Load(0, "p.bmp", 16), 1); // 16-pixel tiles: several per picture
        ASSERT_EQ(f.Load(1, "g.dds", 32), 1);
        ASSERT_EQ(f.Load(2, "bg.bmp"), 1);
        ASSERT_EQ(f.sprite.D3DXDrawStart(), 0);
    }
    void FillBg() { f.device()->Clear(kBg); }
    uint32_t At(int x, int y) { return f.back().Row(y)[x]; }
    static uint32_t Rgb(uint32_t c) { return c & 0xFFFFFFu; }
    RendererFixture f;
};

TEST_F(PixelTest, HalfOpacityBlendsBySourceAlpha) {
    FillBg();
    const uint32_t half = 0x80FFFFFFu;
    ASSERT_EQ(f.sprite.D3DXDrawGraphic(0, 10, 10, kDrawTypeAuto, 0, nullptr, 1, 1, &half, 0), 0);
    // dst = round((s * 128 + d * 127) / 255)
    auto mix = [](int s, int d) { return uint32_t((s * 128 + d * 127 + 127) / 255); };
    EXPECT_EQ(Rgb(At(30, 30)), mix(200, 10) << 16 | mix(100, 20) << 8 | mix(50, 30));
    EXPECT_EQ(Rgb(At(9, 9)), Rgb(kBg));
    EXPECT_EQ(Rgb(At(49, 39)), Rgb(At(30, 30))); // last pixel of the picture
    EXPECT_EQ(Rgb(At(50, 39)), Rgb(kBg));
    EXPECT_EQ(Rgb(At(49, 40)), Rgb(kBg));
}

TEST_F(PixelTest, ColourKeyKeepsTheBackground) {
    FillBg();
    ASSERT_EQ(f.sprite.D3DXDrawGraphic(0, 0, 0, kDrawTypeAuto, kDrawFlagColorKey, nullptr, 1, 1, nullptr, 0), 0);
    EXPECT_EQ(At(2, 2), kBg);
    EXPECT_EQ(At(4, 4), 0xFFC86432u);
    // Without the flag the magenta corner is drawn.
    ASSERT_EQ(f.sprite.D3DXDrawGraphic(0, 0, 0, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0), 0);
    EXPECT_EQ(At(2, 2), 0xFFFF00FFu);
}

TEST_F(PixelTest, AdditiveAndMultiply) {
    FillBg();
    ASSERT_EQ(
        f.sprite.D3DXDrawGraphic(0, 0, 0, kDrawTypeAuto, kDrawFlagAdd | kDrawFlagMultiply, nullptr, 1, 1, nullptr, 0),
        0);
    EXPECT_EQ(Rgb(At(10, 10)), 210u << 16 | 120u << 8 | 80u);
    FillBg();
    ASSERT_EQ(f.sprite.D3DXDrawGraphic(0, 0, 0, kDrawTypeAuto, kDrawFlagMultiply, nullptr, 1, 1, nullptr, 0), 0);
    auto mul = [](int s, int d) { return uint32_t((s * d + 127) / 255); };
    EXPECT_EQ(Rgb(At(10, 10)), mul(200, 10) << 16 | mul(100, 20) << 8 | mul(50, 30));
    FillBg();
    ASSERT_EQ(f.sprite.D3DXDrawGraphic(0, 0, 0, kDrawTypeAuto, kDrawFlagInvert, nullptr, 1, 1, nullptr, 0), 0);
    EXPECT_EQ(Rgb(At(10, 10)),
              (245u * 200 / 255 + 0) << 16 | uint32_t((235 * 100 + 127) / 255) << 8 | uint32_t((225 * 50 + 127) / 255));
}

TEST_F(PixelTest, ScaledDrawCoversTheScaledRectangle) {
    FillBg();
    ASSERT_EQ(f.sprite.D3DXDrawGraphic(0, 3, 5, kDrawTypeAuto, 0, nullptr, 2, 0.5f, nullptr, 0), 0);
    EXPECT_EQ(At(3, 5), 0xFFFF00FFu);
    EXPECT_EQ(At(82, 19), 0xFFC86432u);
    EXPECT_EQ(At(83, 19), kBg);
    EXPECT_EQ(At(82, 20), kBg);
    EXPECT_EQ(At(2, 5), kBg);
}

// One golden frame per blend flag: background, a DDS with an alpha ramp and a
// BMP drawn over it with the flag and a tinted, half-transparent colour.
TEST_F(PixelTest, GoldenFramePerBlendMode) {
    const struct {
        uint32_t flag;
        const char* name;
    } modes[] = {{0, "blend_default"},
                 {kDrawFlagAdd, "blend_add"},
                 {kDrawFlagPremultiplied, "blend_premul"},
                 {kDrawFlagKeepBlend, "blend_keep"},
                 {kDrawFlagMultiply, "blend_multiply"},
                 {kDrawFlagInvert, "blend_invert"},
                 {kDrawFlagDestAdd, "blend_destadd"},
                 {kDrawFlagErase, "blend_erase"},
                 {kDrawFlagColorKey, "blend_colorkey"}};
    for (const auto& m : modes) {
        f.sprite.D3DXDrawEnd();
        ASSERT_EQ(f.sprite.D3DXDrawStart(), 0);
        const uint32_t tint = 0xC0FFA060u;
        ASSERT_EQ(f.sprite.D3DXDrawGraphic(2, 0, 0, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0), 0);
        ASSERT_EQ(f.sprite.D3DXDrawGraphic(1, 4, 6, kDrawTypeAuto, m.flag, nullptr, 1.5f, 1, nullptr, 0), 0);
        ASSERT_EQ(f.sprite.D3DXDrawGraphic(0, 50, 20, kDrawTypeAuto, m.flag, nullptr, 1, 1.25f, &tint, 0), 0);
        EXPECT_EQ(kugfx::CompareGolden(m.name, f.back()), "") << m.name;
    }
}

// A frame that repeats the last one is shown again without drawing; a
// changed parameter, a reloaded picture or text on the back surface draws it
// in full, with the pixels of a first drawing.
TEST_F(PixelTest, StillFramesAreReusedAndChangesDrawnInFull) {
    ASSERT_EQ(f.sprite.D3DXDrawEnd(), 0);
    plat::VideoDevice& dev = *f.device();
    auto frame = [&](uint32_t tint, bool text) {
        ASSERT_EQ(f.sprite.D3DXDrawStart(), 0);
        ASSERT_EQ(f.sprite.D3DXDrawGraphic(2, 0, 0, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0), 0);
        ASSERT_EQ(f.sprite.D3DXDrawGraphic(0, 7, 9, kDrawTypeAuto, 0, nullptr, 1, 1, &tint, 0), 0);
        if (text) {
            ASSERT_EQ(f.sprite.DDTextOut(-1, 2, 2, "A", 0xFFFFFF, 12, 400), 0);
        }
        ASSERT_EQ(f.sprite.D3DXDrawEnd(), 0);
    };
    frame(0xFFFFFFFFu, false);
    const std::vector<uint32_t> plain = plat::LastPresentedFrame().pixels;
    frame(0xFFFFFFFFu, false);
    EXPECT_EQ(dev.reusedFrames(), 1u);
    EXPECT_TRUE(plat::LastPresentedFrame().pixels == plain);

    frame(0x80FFFFFFu, false);
    EXPECT_FALSE(plat::LastPresentedFrame().pixels == plain);
    frame(0xFFFFFFFFu, true);
    const std::vector<uint32_t> withText = plat::LastPresentedFrame().pixels;
    EXPECT_FALSE(withText == plain);
    frame(0xFFFFFFFFu, false);
    EXPECT_TRUE(plat::LastPresentedFrame().pixels == plain);
    EXPECT_EQ(dev.reusedFrames(), 1u);

    // The same slot loaded again from another picture: the same calls draw it.
    kugfx::PackArchive("dat/Img.dat", {{"p.bmp", MakeBmp(40, 30, [](int, int) { return 0xFF0000FFu; })}});
    ASSERT_EQ(f.Load(0, "p.bmp", 16), 1);
    frame(0xFFFFFFFFu, false);
    EXPECT_EQ(plat::LastPresentedFrame().Row(20)[20], 0xFF0000FFu);
    EXPECT_EQ(dev.reusedFrames(), 1u);
}

// A draw size wider than the picture runs past the tile grid's row: the
// missing tiles are reported, never taken from the next row.
TEST(TextureDrawTest, DrawSizeBeyondTheGridTakesNoTileOfTheNextRow) {
    RendererFixture f;
    kutest::DebugCapture log;
    kugfx::PackArchive("dat/Img.dat", {{"sq.bmp", MakeBmp(300, 300, Grad)}});
    ASSERT_EQ(f.sprite.SetGraphicData(0, "tmp/", "sq.bmp", kGraphicTypeTexture, 0), 1);
    ASSERT_EQ(f.sprite.CreateGraphicData(0, 600, 0, 0, 0), 1);
    std::vector<plat::DrawRecord> quads;
    f.device()->SetDrawRecorder(&quads);
    ASSERT_EQ(f.sprite.D3DXDrawStart(), 0);
    EXPECT_EQ(f.sprite.D3DXDrawGraphic(0, 0, 0, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DXDrawGraphic> テクスチャデータが失われています\n"));
    ASSERT_EQ(quads.size(), 2u); // the row's own two tiles only
    EXPECT_EQ(quads[1].texture, f.sprite.GetGraphicSlot(0)->texture(1));
    f.device()->SetDrawRecorder(nullptr);
    f.sprite.D3DXDrawEnd();
}

TEST(SurfaceDrawTest, BlitClipsToTheScreen) {
    RendererFixture f;
    kugfx::PackArchive("dat/Img.dat", {{"s.bmp", MakeBmp(300, 50, Grad)}});
    ASSERT_EQ(f.sprite.SetGraphicData(0, "tmp/", "s.bmp", kGraphicTypeSurface, 0), 1);
    ASSERT_EQ(f.sprite.CreateGraphicData(0, 0, 0, 0, 0), 1);
    ASSERT_EQ(f.sprite.D3DXDrawStart(), 0);
    EXPECT_EQ(f.sprite.D3DXDrawGraphic(0, -100, 10, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0), 0);
    EXPECT_EQ(f.back().Row(10)[0], Grad(100, 0));
    EXPECT_EQ(f.back().Row(10)[199], Grad(299, 0));
    EXPECT_EQ(f.back().Row(10)[200], 0xFF000000u);
    f.device()->Clear(0xFF000000u);
    EXPECT_EQ(f.sprite.D3DXDrawGraphic(0, 900, 10, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0), 0);
    EXPECT_EQ(f.sprite.D3DXDrawGraphic(0, 10, 10, kDrawTypeAuto, 0, nullptr, 0, 1, nullptr, 0), 0); // scale 0
    EXPECT_EQ(f.sprite.D3DXDrawGraphic(0, 10, 10, kDrawTypeAuto, 0, nullptr, -1, 1, nullptr, 0), 0);
    EXPECT_EQ(f.sprite.D3DXDrawGraphic(0, 10, 10, kDrawTypeAuto, 0, nullptr, 1e30f, 1e30f, nullptr, 0), 0);
    f.device()->Clear(0xFF000000u);
    for (uint32_t p : f.back().pixels)
        ASSERT_EQ(p, 0xFF000000u);
    // Stretched twice as wide.
    EXPECT_EQ(f.sprite.D3DXDrawGraphic(0, 0, 0, kDrawTypeAuto, 0, nullptr, 2, 1, nullptr, 0), 0);
    EXPECT_EQ(f.back().Row(0)[599], Grad(299, 0));
    EXPECT_EQ(f.back().Row(0)[600], 0xFF000000u);
    f.sprite.D3DXDrawEnd();
}

} // namespace
