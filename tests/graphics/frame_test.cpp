#include <gtest/gtest.h>

#include "platform/video_present.h"
#include "tests/graphics/graphics_util.h"
#include "platform/video_test_hooks.h"
#include "platform/video_present_test_hooks.h"

namespace {

using kugfx::MakeBmp;
using kugfx::RendererFixture;

class FrameTest : public ::testing::Test {
protected:
    RendererFixture f;
    kutest::DebugCapture log;
};

TEST_F(FrameTest, StartTwiceAndEndWithoutStart) {
    ASSERT_EQ(f.sprite.D3DXDrawStart(), 0);
    EXPECT_EQ(f.sprite.IsInScene(), 1);
    // Something drawn, then a second start must not clear it.
    f.device()->BackBuffer()->Row(0)[0] = 0xFF123456u;
    EXPECT_EQ(f.sprite.D3DXDrawStart(), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DXDrawStart> シーンを描画済みです\n"));
    EXPECT_EQ(f.back().Row(0)[0], 0xFF123456u);
    EXPECT_EQ(f.sprite.D3DXDrawEnd(), 0);
    EXPECT_EQ(f.sprite.IsInScene(), 0);
    EXPECT_EQ(plat::LastPresentedFrame().Row(0)[0], 0xFF123456u);

    // An end without a start presents what the back buffer holds.
    uint64_t before = plat::PresentedFrameCount();
    log.Clear();
    EXPECT_EQ(f.sprite.D3DXDrawEnd(), 0);
    EXPECT_EQ(plat::PresentedFrameCount(), before + 1);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(FrameTest, ClearIsOpaqueBlack) {
    f.device()->BackBuffer()->Row(5)[5] = 0xFFFFFFFFu;
    ASSERT_EQ(f.sprite.D3DXDrawStart(), 0);
    EXPECT_EQ(f.back().Row(5)[5], 0xFF000000u);
    f.sprite.D3DXDrawEnd();
}

TEST_F(FrameTest, FrameRateControl) {
    f.clock.clock.SetStepPerRead(1);
    // First call after start: waits a full interval.
    EXPECT_EQ(f.sprite.FPSCtrl(16, 1, 0, 580, 20, 0x0000FF), 1);
    uint32_t start = f.sprite.GetFrameStart();

    // A frame that took 20 ms: no wait, re-armed.
    f.clock.clock.Set(start + 19);
    EXPECT_EQ(f.sprite.FPSCtrl(16, 1, 0, 580, 20, 0x0000FF), 0);
    EXPECT_STREQ(f.sprite.GetLastFrameTimeText(), "MS:20 FPS:50");
    EXPECT_GT(f.sprite.GetFrameStart(), start + 19);

    // A frame that took 5 ms: waits until 16 ms have passed.
    start = f.sprite.GetFrameStart();
    f.clock.clock.Set(start + 4);
    EXPECT_EQ(f.sprite.FPSCtrl(16, 1, 0, 580, 20, 0x0000FF), 1);
    EXPECT_STREQ(f.sprite.GetLastFrameTimeText(), "MS:16 FPS:62");
    // Re-armed after the wait too: the next frame is paced again.
    start = f.sprite.GetFrameStart();
    f.clock.clock.Set(start + 4);
    EXPECT_EQ(f.sprite.FPSCtrl(16, 0, 0, 0, 0, 0), 1);
}

TEST_F(FrameTest, FrameTimeLineIsDrawnInRedAtTheBottomLeft) {
    f.clock.clock.SetStepPerRead(1);
    ASSERT_EQ(f.sprite.D3DXDrawStart(), 0);
    EXPECT_EQ(f.sprite.FPSCtrl(16, 1, 0, 580, 20, 0x0000FF), 1);
    int red = 0, elsewhere = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            uint32_t p = f.back().Row(y)[x];
            bool lit = ((p >> 16) & 0xFF) > 128 && ((p >> 8) & 0xFF) < 64 && (p & 0xFF) < 64;
            (y >= 580 && x < 200 ? red : elsewhere) += lit;
        }
    EXPECT_GT(red, 20);
    EXPECT_EQ(elsewhere, 0);
    f.sprite.D3DXDrawEnd();
}

TEST_F(FrameTest, PacingSleepsOnceToTheFrameDeadline) {
    plat::FakeClock& clk = f.clock.clock;
    clk.SetStepPerRead(1);
    f.sprite.ResetFrameTimer();
    // Whatever the frame's own work took, one sleep ends it on the interval.
    for (uint32_t work : {0u, 4u, 14u}) {
        const uint32_t start = f.sprite.GetFrameStart();
        const int sleeps = clk.SleepUntilCount();
        clk.Advance(work);
        EXPECT_EQ(f.sprite.FPSCtrl(16, 1, 0, 580, 20, 0x0000FF), 1);
        EXPECT_EQ(clk.SleepUntilCount(), sleeps + 1);
        EXPECT_EQ(f.sprite.GetFrameStart(), start + 16);
        EXPECT_STREQ(f.sprite.GetLastFrameTimeText(), "MS:16 FPS:62");
    }
    // A late frame does not sleep.
    const int sleeps = clk.SleepUntilCount();
    clk.Advance(20);
    EXPECT_EQ(f.sprite.FPSCtrl(16, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(clk.SleepUntilCount(), sleeps);
}

class LossTest : public ::testing::Test {
protected:
    static uint32_t Pic(int x, int y) {
        return 0xFF000000u | uint32_t((x * 3) & 0xFF) << 16 | uint32_t((y * 5) & 0xFF);
    }
    void SetUp() override {
        kugfx::PackArchive(
            "dat/Img.dat",
            {{"a.bmp", MakeBmp(100, 70, Pic)},
             {"b.dds", kugfx::MakeDds32(64, 64, [](int x, int) { return uint32_t(x * 4) << 24 | 0x00FF8000u; })}});
        ASSERT_EQ(f.startResult, 1);
        ASSERT_EQ(f.Load(0, "a.bmp", 32), 1);
        ASSERT_EQ(f.Load(1, "b.dds", 32), 1);
        f.sprite.SetGraphicData(2, "tmp/", "a.bmp", kGraphicTypeTexture, 1); // bound, never loaded
    }
    void DrawFrame() {
        ASSERT_EQ(f.sprite.D3DXDrawStart(), 0);
        f.sprite.D3DXDrawGraphic(0, 10, 20, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0);
        f.sprite.D3DXDrawGraphic(1, 60, 40, kDrawTypeAuto, 0, nullptr, 2, 1.5f, nullptr, 0);
    }
    LossTest() : f(160, 120) {}
    RendererFixture f;
    kutest::DebugCapture log;
};

TEST_F(LossTest, LossAndRestoreGiveTheSameFrame) {
    DrawFrame();
    ASSERT_EQ(f.sprite.D3DXDrawEnd(), 0);
    plat::Surface before = plat::LastPresentedFrame();
    EXPECT_EQ(kugfx::CompareGolden("loss_before", before), "");

    f.device()->SimulateSurfaceLoss();
    DrawFrame();
    EXPECT_EQ(f.sprite.D3DXDrawEnd(), kDDErrSurfaceLost);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DXDrawEnd> テクスチャ/サーフェスを失っています\n"));

    log.Clear();
    EXPECT_EQ(f.sprite.D3DXRestore(), 0);
    EXPECT_TRUE(log.Contains("Message: <KUSPRITE2::D3DXRestore> グラフィックデータのReloadを開始します\n"));
    EXPECT_TRUE(log.Contains("Message: <KUSPRITE2::D3DXRestore> グラフィックデータのReloadが完了しました\n"));
    EXPECT_TRUE(log.Contains("Message: <KUSPRITE2::D3DXRestore> グラフィックテキストデータのReloadを開始します\n"));
    EXPECT_TRUE(log.Contains("Message: <KUSPRITE2::D3DXRestore> グラフィックテキストデータのReloadが完了しました\n"));
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE2::RestoreGraphicData> 0 番目のサーフェスデータのリストアを開始します\n"));
    EXPECT_FALSE(log.Contains("2 番目"));
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(2), 1);
    EXPECT_FALSE(f.dir.Exists("tmp/a.bmp"));
    EXPECT_FALSE(f.dir.Exists("tmp/b.dds"));

    DrawFrame();
    ASSERT_EQ(f.sprite.D3DXDrawEnd(), 0);
    EXPECT_EQ(plat::LastPresentedFrame().pixels, before.pixels);
}

TEST_F(LossTest, LostTexturesDrawEmptyUntilRestored) {
    f.device()->SimulateSurfaceLoss();
    DrawFrame();
    // Every texel is gone: the frame stays the clear colour.
    EXPECT_EQ(f.back().Row(30)[20] & 0xFFFFFFu, 0u);
    f.sprite.D3DXDrawEnd();
}

TEST_F(LossTest, RestoreWaitsForTheDisplayAtMostThreeTimes) {
    f.device()->SimulateSurfaceLoss();
    const int32_t busy = kDDErrNoExclusiveMode;
    plat::SetCooperativeLevelOverride(&busy);
    uint32_t t0 = f.clock.clock.Peek();
    log.Clear();
    EXPECT_EQ(f.sprite.D3DXRestore(), kDDErrNoExclusiveMode);
    EXPECT_EQ(f.clock.clock.Peek() - t0, 1500u);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(f.sprite.GetGraphicSlot(0)->texture(0)->Row(0)[0], 0u); // nothing reloaded
    plat::SetCooperativeLevelOverride(nullptr);
    EXPECT_EQ(f.sprite.D3DXRestore(), 0);
    EXPECT_EQ(f.sprite.GetGraphicSlot(0)->texture(0)->Row(0)[1], Pic(1, 0));
}

} // namespace
