#include <gtest/gtest.h>

#include <algorithm>

#include "platform/raster.h"
#include "platform/video.h"
#include "platform/video_movie.h"
#include "platform/video_present.h"

// A frame that repeats the last one is presented again without drawing; any
// change (picture, parameter, state, a write to the back buffer) draws it in
// full. Every frame's pixels must equal those of a plain redraw.
namespace {

constexpr int kW = 40, kH = 24;

struct Quad {
    float x = 2, y = 3, size = 16;
    uint32_t diffuse = 0xFFFFFFFFu;
    bool blend = false;
};

void MakeQuad(const Quad& q, plat::TLVertex v[4]) {
    const float x0 = q.x - 0.5f, y0 = q.y - 0.5f, x1 = x0 + q.size, y1 = y0 + q.size;
    const float xs[4] = {x0, x0, x1, x1}, ys[4] = {y1, y0, y1, y0}, us[4] = {0, 0, 1, 1}, vs[4] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
        v[i].x = xs[i], v[i].y = ys[i], v[i].u = us[i], v[i].v = vs[i];
        v[i].diffuse = q.diffuse;
    }
}

plat::RasterState StateOf(const Quad& q) {
    plat::RasterState st;
    st.alphaBlend = q.blend;
    return st;
}

class StillFrameTest : public ::testing::Test {
protected:
    std::unique_ptr<plat::VideoDevice> dev = plat::VideoDevice::Create(plat::kVideoLevelTnL, kW, kH, 32, false);
    plat::DeviceSurfacePtr tex = dev->CreateTexture(8, 8);

    void SetUp() override { Paint(tex.get(), 0x80C04020u); }

    static void Paint(plat::Surface* s, uint32_t base) {
        s->Touch();
        for (int y = 0; y < s->height; ++y)
            for (int x = 0; x < s->width; ++x)
                s->Row(y)[x] = base + static_cast<uint32_t>(x * 16 + y);
    }

    // One frame through the device: clear, the quads, present.
    void Frame(const std::vector<std::pair<const plat::Surface*, Quad>>& quads) {
        dev->Clear(0xFF000000u);
        for (const auto& [t, q] : quads) {
            plat::TLVertex v[4];
            MakeQuad(q, v);
            dev->SetTexture(t);
            dev->SetAlphaBlend(q.blend);
            dev->DrawQuadStrip(v);
        }
        ASSERT_EQ(dev->Present(), plat::kVideoOk);
    }

    // The same frame drawn from scratch by the rasteriser alone.
    static plat::Surface Reference(const std::vector<std::pair<const plat::Surface*, Quad>>& quads) {
        plat::Surface s(kW, kH);
        std::fill(s.pixels.begin(), s.pixels.end(), 0xFF000000u);
        for (const auto& [t, q] : quads) {
            plat::TLVertex v[4];
            MakeQuad(q, v);
            plat::RasterQuadStrip(s, t, v, StateOf(q));
        }
        return s;
    }

    void ExpectShown(const plat::Surface& want) { EXPECT_TRUE(plat::LastPresentedFrame().pixels == want.pixels); }
};

TEST_F(StillFrameTest, RepeatIsReusedAndEveryChangeRedraws) {
    Quad q;
    Frame({{tex.get(), q}});
    Frame({{tex.get(), q}});
    EXPECT_EQ(dev->reusedFrames(), 1u);
    ExpectShown(Reference({{tex.get(), q}}));

    // A parameter, a state, a moved quad, another texture: each is drawn.
    uint64_t reused = dev->reusedFrames();
    Quad tinted = q;
    tinted.diffuse = 0x80FFFFFFu;
    Quad blended = tinted;
    blended.blend = true;
    Quad moved = q;
    moved.x = 3;
    for (const Quad& c : {tinted, blended, moved, q}) {
        Frame({{tex.get(), c}});
        EXPECT_EQ(dev->reusedFrames(), reused);
        ExpectShown(Reference({{tex.get(), c}}));
    }
    Frame({{nullptr, q}});
    EXPECT_EQ(dev->reusedFrames(), reused);
    ExpectShown(Reference({{nullptr, q}}));

    // A frame that adds a quad after a repeated start draws what it put off.
    Frame({{nullptr, q}, {tex.get(), moved}});
    EXPECT_EQ(dev->reusedFrames(), reused);
    ExpectShown(Reference({{nullptr, q}, {tex.get(), moved}}));
}

TEST_F(StillFrameTest, TextureWritesAndReleasesRedraw) {
    Quad q, right = q;
    right.x = 20;
    Frame({{tex.get(), q}});
    Frame({{tex.get(), q}});
    ASSERT_EQ(dev->reusedFrames(), 1u);

    // Written between frames: the same draw calls show the new texels.
    Paint(tex.get(), 0xFF102030u);
    Frame({{tex.get(), q}});
    EXPECT_EQ(dev->reusedFrames(), 1u);
    ExpectShown(Reference({{tex.get(), q}}));
    Frame({{tex.get(), q}});
    EXPECT_EQ(dev->reusedFrames(), 2u);

    // Written in the middle of a repeated frame: the quad issued before the
    // write keeps the old texels.
    plat::Surface before = *tex;
    dev->Clear(0xFF000000u);
    plat::TLVertex v[4];
    MakeQuad(q, v);
    dev->SetTexture(tex.get());
    dev->DrawQuadStrip(v);
    Paint(tex.get(), 0xFF405060u);
    MakeQuad(right, v);
    dev->DrawQuadStrip(v);
    ASSERT_EQ(dev->Present(), plat::kVideoOk);
    ExpectShown(Reference({{&before, q}, {tex.get(), right}}));

    // Released in the middle of a repeated frame: drawn before it goes.
    Frame({{tex.get(), q}});
    before = *tex;
    dev->Clear(0xFF000000u);
    MakeQuad(q, v);
    dev->DrawQuadStrip(v);
    dev->SetTexture(nullptr);
    tex.reset();
    ASSERT_EQ(dev->Present(), plat::kVideoOk);
    ExpectShown(Reference({{&before, q}}));
}

// Opaque tiles over the whole changed region hide the clear, which is left
// out; a blended tile among them needs the clear under it.
TEST_F(StillFrameTest, ClearUnderOpaqueTilesOnly) {
    std::vector<std::pair<const plat::Surface*, Quad>> tiles;
    for (float y : {0.0f, 12.0f})
        for (float x : {0.0f, 20.0f})
            tiles.push_back({tex.get(), Quad{x, y, 20, 0xFFFFFFFFu, false}});
    Frame(tiles);
    tiles[3].second.diffuse = 0xFF8080FFu;
    Frame(tiles);
    ExpectShown(Reference(tiles));
    tiles[3].second.blend = true;
    Frame(tiles);
    ExpectShown(Reference(tiles));
    tiles[3].second.blend = false;
    tiles[3].second.size = 19; // a column and a row of the clear show
    Frame(tiles);
    ExpectShown(Reference(tiles));
}

TEST_F(StillFrameTest, SurfaceCopyRepeatsUntilItsSourceChanges) {
    plat::DeviceSurfacePtr src = dev->CreateSurface(8, 8);
    Paint(src.get(), 0xFF000000u);
    auto frame = [&] {
        dev->Clear(0xFF000000u);
        ASSERT_EQ(dev->BltToBack(plat::RectI{1, 1, 17, 17}, src.get(), plat::RectI{0, 0, 8, 8}, false), plat::kVideoOk);
        ASSERT_EQ(dev->Present(), plat::kVideoOk);
    };
    frame();
    frame();
    EXPECT_EQ(dev->reusedFrames(), 1u);
    Paint(src.get(), 0xFF808080u);
    frame();
    EXPECT_EQ(dev->reusedFrames(), 1u);
    EXPECT_EQ(plat::LastPresentedFrame().Row(16)[16], src->Row(7)[7]);
}

TEST_F(StillFrameTest, BackBufferHandedOutIsNotTakenAsTheLastFrame) {
    Quad q;
    Frame({{tex.get(), q}});
    Frame({{tex.get(), q}});
    dev->Clear(0xFF000000u);
    dev->BackBuffer()->Row(0)[0] = 0xFFFFFFFFu; // as GDI text on the back surface would
    plat::TLVertex v[4];
    MakeQuad(q, v);
    dev->SetTexture(tex.get());
    dev->DrawQuadStrip(v);
    ASSERT_EQ(dev->Present(), plat::kVideoOk);
    plat::Surface want = Reference({{tex.get(), q}});
    want.Row(0)[0] = 0xFFFFFFFFu;
    ExpectShown(want);
    // The frame after it is drawn in full again.
    const uint64_t reused = dev->reusedFrames();
    Frame({{tex.get(), q}});
    EXPECT_EQ(dev->reusedFrames(), reused);
    ExpectShown(Reference({{tex.get(), q}}));
}

TEST_F(StillFrameTest, MoviePictureBetweenStillFramesIsReplaced) {
    auto big = plat::VideoDevice::Create(plat::kVideoLevelTnL, 800, 600, 32, false);
    plat::DeviceSurfacePtr t = big->CreateTexture(8, 8);
    Paint(t.get(), 0xFF000000u);
    plat::TLVertex v[4];
    MakeQuad(Quad{}, v);
    auto frame = [&] {
        big->Clear(0xFF203040u);
        big->SetTexture(t.get());
        big->DrawQuadStrip(v);
        ASSERT_EQ(big->Present(), plat::kVideoOk);
    };
    frame();
    // A snapshot: the next present replaces the presenter's last frame.
    const plat::Surface game = plat::LastPresentedFrame(); // NOLINT(performance-unnecessary-copy-initialization)
    plat::MovieScreen screen;
    plat::Surface picture(4, 4);
    std::fill(picture.pixels.begin(), picture.pixels.end(), 0x00FFFFFFu);
    plat::VideoWindowState window;
    window.visible = true;
    window.fullScreen = true;
    screen.ShowMoviePicture(picture, window);
    EXPECT_EQ(plat::LastPresentedFrame().Row(300)[400], 0xFFFFFFFFu);
    // The device's frame is unchanged, but the window showed the movie.
    frame();
    EXPECT_EQ(big->reusedFrames(), 1u);
    EXPECT_TRUE(plat::LastPresentedFrame().pixels == game.pixels);
}

} // namespace
