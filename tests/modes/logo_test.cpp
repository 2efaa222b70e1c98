#include <gtest/gtest.h>

#include "modes/logo_mode_data.h"
#include "tests/modes/mode_harness.h"

namespace {

TEST(LogoMode, CtrlInFirstFrameEndsAtOnce) {
    ModeHarness h;
    LOGO_MODE_DATA logo;
    ASSERT_EQ(logo.Initialize(&h.sys, &h.sprite, &h.snd), 1);
    EXPECT_EQ(fakesvc::Count("GraphicLoad 0"), 1);
    EXPECT_EQ(fakesvc::Count("GraphicLoad 1"), 1);
    h.Frame(16, {{17, kHeld}});
    EXPECT_EQ(logo.MainProc(), 1);
}

TEST(LogoMode, RunsSevenSecondsWithoutInput) {
    ModeHarness h;
    LOGO_MODE_DATA logo;
    ASSERT_EQ(logo.Initialize(&h.sys, &h.sprite, &h.snd), 1);
    h.Frame(16);
    const uint32_t start = h.Now();
    EXPECT_EQ(logo.MainProc(), 0);
    h.Frame(500);
    EXPECT_EQ(logo.MainProc(), 0);
    EXPECT_FLOAT_EQ(logo.m_fFade, 0.5f);
    h.Frame(500); // fade-in complete at 1000 ms
    EXPECT_EQ(logo.MainProc(), 0);
    EXPECT_EQ(logo.m_nPhase, 2);
    h.Frame(5000); // not yet more than 5000 ms
    EXPECT_EQ(logo.MainProc(), 0);
    EXPECT_EQ(logo.m_nPhase, 2);
    h.Frame(1);
    EXPECT_EQ(logo.MainProc(), 0);
    EXPECT_EQ(logo.m_nPhase, 3);
    h.Frame(999);
    EXPECT_EQ(logo.MainProc(), 0);
    h.Frame(1);
    EXPECT_EQ(logo.MainProc(), 1);
    EXPECT_EQ(h.Now() - start, 7001u);
}

TEST(LogoMode, EachClickShortensOnePhase) {
    ModeHarness h;
    LOGO_MODE_DATA logo;
    ASSERT_EQ(logo.Initialize(&h.sys, &h.sprite, &h.snd), 1);
    h.Frame(16);
    logo.MainProc();
    h.Frame(16, {{1, kClickUp}});
    EXPECT_EQ(logo.MainProc(), 0);
    EXPECT_EQ(logo.m_nPhase, 2);
    EXPECT_EQ(logo.m_fFade, 0.0f);
    h.Frame(16);
    EXPECT_EQ(logo.MainProc(), 0);
    // Enter counts as a click while the button is up.
    h.Frame(16, {{13, kClickUp}});
    EXPECT_EQ(logo.MainProc(), 0);
    EXPECT_EQ(logo.m_nPhase, 3);
    h.Frame(16, {{1, kClickUp}});
    EXPECT_EQ(logo.MainProc(), 1);
    EXPECT_EQ(logo.m_fFade, 1.0f);
}

TEST(LogoMode, BadArgumentsAndFailedLoad) {
    ModeHarness h;
    kutest::DebugCapture cap;
    LOGO_MODE_DATA logo;
    EXPECT_EQ(logo.Initialize(nullptr, &h.sprite, &h.snd), 0);
    EXPECT_TRUE(cap.Contains("Error: <LOGO_MODE_DATA::Initialize> KUSYSTEMクラスポインタの引数が不正です\n"));
    EXPECT_EQ(logo.MainProc(), -1);
    fakesvc::g_failGraphicSlot = 1;
    EXPECT_EQ(logo.Initialize(&h.sys, &h.sprite, &h.snd), 0);
    EXPECT_TRUE(cap.Contains("画像のロードに失敗しました"));
    EXPECT_TRUE(cap.Contains("必要データのロードに失敗しました"));
}

} // namespace
