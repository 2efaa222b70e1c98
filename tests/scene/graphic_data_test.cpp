#include "scene/graphic_data.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/random.h"
#include "tests/scene/scene_fixture.h"

namespace {

using scenetest::SceneTest;

uint32_t Grey(int, int) { return 0xFF808080u; }

class GraphicTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        kugfx::PackArchive("dat/Img.dat", {{"Pic.bmp", kugfx::MakeBmp(64, 32, Grey)}});
        ASSERT_EQ(g.Initialize(&f.sprite, &f.sys, "PIC"), 1);
    }
    GRAPHIC_DATA g;
};

TEST_F(GraphicTest, PoolNumbersMapToScriptSlotsOnly) {
    EXPECT_EQ(g.SetGraphicData("a.bmp", 0, 1), 1);
    EXPECT_EQ(g.m_nSlot, 26);
    EXPECT_EQ(g.SetGraphicData("a.bmp", 0, 50), 1);
    EXPECT_EQ(g.m_nSlot, 75);
    // 0, the fixed asset slots (-2 would be slot 23), the mosaic work
    // surfaces and an overflowing number are refused with the index line.
    for (int32_t bad : {0, -2, -25, 57, 58, INT32_MAX}) {
        log.Clear();
        EXPECT_EQ(g.SetGraphicData("a.bmp", 0, bad), 0) << bad;
        EXPECT_TRUE(log.Contains("グラフィックライブラリインデックスナンバーが不正です")) << bad;
    }
    EXPECT_EQ(g.SetGraphicData(nullptr, 0, 1), 0);
    // -1 takes the first slot without a bound file; binding happens at load,
    // so a second picture set before the first is loaded gets the same one.
    GRAPHIC_DATA h;
    ASSERT_EQ(h.Initialize(&f.sprite, &f.sys, "H"), 1);
    f.sprite.SetGraphicData(26, "tmp/", "x.bmp", 4, 1);
    EXPECT_EQ(g.SetGraphicData("a.bmp", 0, -1), 1);
    EXPECT_EQ(h.SetGraphicData("b.bmp", 0, -1), 1);
    EXPECT_EQ(g.m_nSlot, 27);
    EXPECT_EQ(h.m_nSlot, 27);
    for (uint32_t s = 27; s <= 75; ++s)
        f.sprite.SetGraphicData(s, "tmp/", "x.bmp", 4, 1);
    log.Clear();
    EXPECT_EQ(g.SetGraphicData("a.bmp", 0, -1), 1);
    EXPECT_EQ(g.m_nSlot, 26);
    EXPECT_TRUE(log.Contains("スクリプト予約ナンバーが満杯です。GR_SCRIPT_RESERVE01に確保します"));
}

TEST_F(GraphicTest, LoadKeepsShownAndSkipsTheSameFileInAnyCase) {
    ASSERT_EQ(g.SetGraphicData("Pic.bmp", 1, 3), 1);
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(28), 0);
    EXPECT_EQ(g.m_bShow, 0u); // loading never shows
    GRAPHIC_DATA h;
    ASSERT_EQ(h.Initialize(&f.sprite, &f.sys, "H"), 1);
    ASSERT_EQ(h.SetGraphicData("PIC.BMP", 0, 3), 1);
    h.m_bShow = 1;
    // Without the archive a real load would fail: success means no work.
    std::remove("dat/Img.dat");
    EXPECT_EQ(h.LoadGraphicData(), 1);
    EXPECT_EQ(h.m_bShow, 1u);
    EXPECT_EQ(h.UnloadGraphicData(), 1);
    EXPECT_EQ(h.m_bShow, 0u);
    EXPECT_EQ(h.m_nSlot, 28);
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(28), 1);
    EXPECT_EQ(h.LoadGraphicData(), 0); // now it must load, and cannot
}

TEST_F(GraphicTest, DrawsWithClampedAlphaAndTheCurrentFrame) {
    ASSERT_EQ(g.SetGraphicData("Pic.bmp", 1, 1), 1);
    g.m_bShow = 1;
    g.m_fX = 100;
    Begin();
    g.m_fAlpha = 0.5f;
    EXPECT_EQ(g.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(Color(0), 0x7FFFFFFFu);
    quads.clear();
    g.m_fAlpha = 0.0f;
    EXPECT_EQ(g.DrawProc(), 1);
    EXPECT_TRUE(quads.empty());
    g.m_fAlpha = 3.0f; // a script's stray value stays opaque
    EXPECT_EQ(g.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(Color(0), 0xFFFFFFFFu);
    quads.clear();
    float dx = 10.0f, factor = 0.5f;
    EXPECT_EQ(g.DrawProc(&dx, nullptr, &factor), 1);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(Color(0), 0x7FFFFFFFu);
    EXPECT_FLOAT_EQ(MinX(0), 109.5f);
    // Two frames of 16 px: the second frame's rectangle is drawn.
    ASSERT_EQ(g.SetAnimationData(2, 0), 1);
    KURECT r1{16, 0, 32, 16};
    ASSERT_EQ(g.SetAnimationFrameData(1, 100, &r1), 1);
    g.m_Animation.m_dwNowFrame = 1;
    quads.clear();
    EXPECT_EQ(g.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].v[2].x - quads[0].v[1].x, 16.0f);
    f.sprite.D3DXDrawEnd();
}

TEST_F(GraphicTest, AnimationDataKeepsFramesForTypeOnlyAndRefusesBadCounts) {
    ASSERT_EQ(g.SetAnimationData(3, 0), 1);
    KURECT r{1, 2, 3, 4};
    ASSERT_EQ(g.SetAnimationFrameData(2, 50, &r), 1);
    EXPECT_EQ(g.SetAnimationFrameData(3, 50, &r), 0);
    EXPECT_EQ(g.SetAnimationData(-1, 1), 1);
    EXPECT_EQ(g.m_Animation.m_dwType, 1u);
    EXPECT_EQ(g.SetAnimationData(-2, 65535), 0);
    EXPECT_EQ(g.SetAnimationData(INT32_MAX, 65535), 0);
    ASSERT_EQ(g.m_dwAnimationNum, 3u);
    EXPECT_EQ(g.m_pRect[2].bottom, 4);
    EXPECT_EQ(g.m_Animation.m_pTime[2], 50u);
    EXPECT_EQ(g.m_Animation.m_dwType, 1u);
}

// Frames shown at each 100 ms step of a driven clock, from the first call.
std::vector<uint32_t> FramesSeen(ANIMATION_DATA& a, uint32_t start, int steps) {
    std::vector<uint32_t> seen;
    a.AnimationProc(start);
    for (int i = 0; i < steps; ++i) {
        seen.push_back(a.m_dwNowFrame);
        a.AnimationProc(start + 100u * (i + 1) - 1); // not yet
        a.AnimationProc(start + 100u * (i + 1));
    }
    return seen;
}

ANIMATION_DATA& Frames(ANIMATION_DATA& a, uint32_t count, uint32_t type) {
    a.SetData(count, 0);
    for (uint32_t i = 0; i < count; ++i)
        a.AnimationSet(i, 100, 65535);
    a.AnimationSet(0, 100, type);
    return a;
}

TEST(AnimationTest, LoopAndPingPongSequences) {
    ANIMATION_DATA a;
    EXPECT_EQ(FramesSeen(Frames(a, 3, 1), 5000, 7), (std::vector<uint32_t>{0, 1, 2, 1, 0, 1, 2}));
    EXPECT_EQ(FramesSeen(Frames(a, 4, 1), 5000, 8), (std::vector<uint32_t>{0, 1, 2, 3, 2, 1, 0, 1}));
    EXPECT_EQ(FramesSeen(Frames(a, 2, 1), 5000, 4), (std::vector<uint32_t>{0, 1, 0, 1}));
    EXPECT_EQ(FramesSeen(Frames(a, 1, 1), 5000, 3), (std::vector<uint32_t>{0, 0, 0}));
    EXPECT_EQ(FramesSeen(Frames(a, 3, 0), 5000, 5), (std::vector<uint32_t>{0, 1, 2, 0, 1}));
    // A frame past the count is refused.
    kutest::DebugCapture log;
    EXPECT_EQ(a.AnimationSet(3, 10, 65535), 0);
    EXPECT_TRUE(log.Contains("アニメーションナンバーが総数を上まっています"));
}

TEST(AnimationTest, FrameWithoutTimeLimitNeverChanges) {
    ANIMATION_DATA a;
    Frames(a, 2, 0);
    a.AnimationSet(0, ANIMATION_DATA::kNoTimeLimit, 65535);
    for (uint32_t t : {5000u, 5001u, 5100u, 100000u, 0xFFFFFFF0u}) {
        a.AnimationProc(t);
        EXPECT_EQ(a.m_dwNowFrame, 0u) << t;
    }
}

TEST(AnimationTest, FixedIntervalJitterStaysInItsRange) {
    plat::SeedRand(7);
    ANIMATION_DATA a;
    a.SetData(1, 0);
    a.SetRandomRange(100);
    uint32_t now = 1000;
    a.AnimationProc(now, 50);
    int lo = 1000, hi = -1000;
    for (int i = 0; i < 2000; ++i) {
        now += 200; // beyond any jitter: every call wraps to frame 0
        ASSERT_EQ(a.AnimationProc(now, 50), 1);
        lo = std::min(lo, a.m_nRandom);
        hi = std::max(hi, a.m_nRandom);
    }
    EXPECT_EQ(lo, -50);
    EXPECT_EQ(hi, 49);
}

} // namespace
