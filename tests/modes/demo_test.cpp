#include <gtest/gtest.h>

#include "app/env_settings.h"
#include "game/shell_services.h"
#include "modes/demo_mode_data.h"
#include "tests/modes/mode_harness.h"

namespace {

TEST(DemoMode, MovieVolumeTable) {
    EXPECT_EQ(DEMO_MODE_DATA::MovieVolume(0), -10000);
    EXPECT_EQ(DEMO_MODE_DATA::MovieVolume(1), -3000);
    EXPECT_EQ(DEMO_MODE_DATA::MovieVolume(4), -1250);
    EXPECT_EQ(DEMO_MODE_DATA::MovieVolume(10), 0);
    EXPECT_EQ(DEMO_MODE_DATA::MovieVolume(11), -10000);
}

TEST(DemoMode, CtrlInTheFirstFrameTouchesNothing) {
    kutest::TempDir dir;
    ModeHarness h;
    g_bMoviePlay = 0;
    DEMO_MODE_DATA demo;
    ASSERT_EQ(demo.Initialize(&h.sys, &h.sprite, &h.snd), 1);
    h.Frame(16, {{17, kHeld}});
    EXPECT_EQ(demo.MainProc(), 1);
    EXPECT_EQ(fakesvc::g_cursorCount, 0);
    EXPECT_EQ(g_bMoviePlay, 0);
    EXPECT_EQ(h.snd.DShowIsOpen(2), 0);
}

TEST(DemoMode, FailedOpenRestoresCursorMenuAndFlag) {
    kutest::TempDir dir; // no dat/Mov.dat here
    ModeHarness h;
    kutest::DebugCapture cap;
    g_bFullScreen = 1;
    DEMO_MODE_DATA demo;
    ASSERT_EQ(demo.Initialize(&h.sys, &h.sprite, &h.snd), 1);
    h.Frame(16);
    EXPECT_EQ(demo.MainProc(), -1);
    EXPECT_TRUE(cap.Contains("ムービーオープンに失敗しました"));
    EXPECT_GE(fakesvc::g_cursorCount, 0);
    EXPECT_EQ(fakesvc::g_menuAttached, 1);
    EXPECT_EQ(g_bMoviePlay, 0);
    EXPECT_EQ(g_dwWindowStyle, 0x90000000u);
    g_bFullScreen = 0;
}

TEST(DemoMode, NotInitialised) {
    DEMO_MODE_DATA demo;
    EXPECT_EQ(demo.MainProc(), -1);
    EXPECT_EQ(demo.DrawProc(), 0);
    EXPECT_EQ(demo.Initialize(nullptr, nullptr, nullptr), 0);
}

} // namespace
