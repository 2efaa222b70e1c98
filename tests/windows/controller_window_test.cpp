#include <string>

#include "tests/windows/window_harness.h"

namespace {

using C = CONTROLLER_WINDOW;

class ControllerTest : public WindowTest {
protected:
    // Five messages in the history, the last one also the current message.
    void FillHistory() {
        for (int i = 0; i < 5; ++i) {
            const MESSAGE_DATA m = Message(("m" + std::to_string(i)).c_str());
            msg.SetHistoryBuf(&m);
            msg.SetText(&m, 4);
        }
        bar.SetDefaultButtonStatus();
    }
    int Click(int button) {
        PointAt(button);
        Step(16, {{1, kDown}});
        return Step(16, {{1, kUp}});
    }
};

TEST_F(ControllerTest, RestingLooks) {
    OpenAdventureWindows();
    const int expected[10] = {0, 0, 0, 0, -1, -1, -1, 0, 0, 0}; // empty history
    for (int b = 0; b < 10; ++b)
        EXPECT_EQ(State(b), expected[b]) << b;
    FillHistory();
    EXPECT_EQ(State(C::kBack), 0);
    const int off = 0, on = 1;
    bar.SetDefaultButtonStatus(&on, &on, &off, nullptr, &off, &off, &off, &off, &off, &off);
    EXPECT_EQ(State(C::kLoad), 0); // enabled by the pointer form
    EXPECT_EQ(State(C::kConfig), -1);
    EXPECT_EQ(State(C::kAutoSkip), 0); // no pointer: unchanged
}

// A short click steps once on release; a hold steps at 500 and 1000 ms
// after the press, then every 100 ms.
TEST_F(ControllerTest, BackPressHoldAndRelease) {
    OpenAdventureWindows();
    FillHistory();
    PointAt(C::kBack);
    Step(16, {{1, kDown}});
    EXPECT_EQ(msg.m_nHistoryCursor, -1);
    EXPECT_EQ(Step(200, {{1, kUp}}), C::kActBack);
    EXPECT_EQ(msg.m_nHistoryCursor, 4); // the newest entry first
    EXPECT_EQ(bar.m_bSkipHold, 1u);
    Step(16);
    const uint32_t press = Now() + 16;
    Step(16, {{1, kDown}});
    std::string steps;
    for (int cursor = 4; Now() - press < 1250;) {
        Step(10, {{1, kHeld}});
        if (msg.m_nHistoryCursor != cursor) {
            steps += std::to_string(Now() - press) + " ";
            cursor = msg.m_nHistoryCursor;
        }
    }
    EXPECT_EQ(steps, "500 1000 1100 1200 ");
    EXPECT_EQ(msg.m_nHistoryCursor, 0);
    EXPECT_EQ(State(C::kBack), -1); // at the oldest entry
    EXPECT_EQ(State(C::kNext), 0);
}

TEST_F(ControllerTest, BackShowsGreyNextAndFFReturnToTheCurrentMessage) {
    OpenAdventureWindows();
    FillHistory();
    fakesvc::Reset();
    Click(C::kBack);
    EXPECT_STREQ(msg.m_TextArea.m_szText, "m4");
    EXPECT_EQ(msg.m_TextArea.m_dwColor, MESSAGE_WINDOW::kColorHistory);
    EXPECT_EQ(msg.m_TextArea.m_fDispNum, -1.0f);
    EXPECT_EQ(fakesvc::Count("SEPlay 6"), 1);
    Click(C::kBack);
    EXPECT_STREQ(msg.m_TextArea.m_szText, "m3");
    EXPECT_EQ(Click(C::kNext), C::kActNext);
    EXPECT_EQ(msg.m_nHistoryCursor, 4);
    Click(C::kNext);
    EXPECT_EQ(msg.m_nHistoryCursor, -1);
    EXPECT_EQ(msg.m_TextArea.m_dwColor, MESSAGE_WINDOW::kColorCurrent);
    EXPECT_EQ(State(C::kNext), -1);
    // FF from an older entry goes straight back to the newest, in black.
    msg.m_nHistoryCursor = 1;
    bar.SetDefaultButtonStatus();
    EXPECT_EQ(Click(C::kFF), C::kActFF);
    EXPECT_EQ(msg.m_nHistoryCursor, -1);
    EXPECT_STREQ(msg.m_TextArea.m_szText, "m4");
    EXPECT_EQ(msg.m_TextArea.m_dwColor, MESSAGE_WINDOW::kColorCurrent);
}

TEST_F(ControllerTest, VolumeStepsAndTheirLimits) {
    g_dwSEVolume = g_dwVoiceVolume = g_dwBGMVolume = 10;
    OpenAdventureWindows();
    EXPECT_EQ(State(C::kVolumeUp), -1);
    EXPECT_EQ(Step(16, {{107, kUp}}), C::kActNone); // '+' on a disabled button
    g_dwSEVolume = g_dwVoiceVolume = 1;
    g_dwBGMVolume = 0;
    bar.SetDefaultButtonStatus();
    EXPECT_EQ(Step(16, {{189, kUp}}), C::kActVolumeDown);
    EXPECT_EQ(g_dwSEVolume + g_dwVoiceVolume + g_dwBGMVolume, 0u);
    EXPECT_EQ(fakesvc::Count("VoiceSetVolume 0") + fakesvc::Count("BGM_DS_SetVolume 0"), 2);
    EXPECT_EQ(State(C::kVolumeDown), -1);
    g_dwBGMVolume = 9;
    EXPECT_EQ(Click(C::kVolumeUp), C::kActVolumeUp);
    EXPECT_EQ(g_dwBGMVolume, 10u);
    EXPECT_EQ(g_dwSEVolume, 1u);
    EXPECT_EQ(fakesvc::Count("BGM_DS_SetVolume 10"), 1);
    EXPECT_EQ(State(C::kVolumeUp), 1);
    EXPECT_EQ(State(C::kVolumeDown), 0);
}

TEST_F(ControllerTest, KeysHideAndShowTheWindows) {
    OpenAdventureWindows();
    EXPECT_EQ(Step(16, {{76, kUp}}), C::kActLoad);
    EXPECT_EQ(Step(16, {{67, kUp}}), C::kActConfig);
    EXPECT_EQ(Step(16, {{87, kHeld}}), C::kActNone);
    EXPECT_EQ(State(C::kHide), 2); // pressed look while the key is held
    EXPECT_EQ(Step(16, {{32, kUp}}), C::kActHide);
    EXPECT_EQ(adv.m_bWindowShown, 0);
    PointAt(C::kConfig);
    EXPECT_EQ(Step(16, {{1, kUp}}), C::kActNone); // the click only brings them back
    EXPECT_EQ(adv.m_bWindowShown, 1);
    EXPECT_EQ(Step(16, {{32, kUp}}), C::kActHide);
    EXPECT_EQ(Step(16, {{32, kUp}}), C::kActNone);
    EXPECT_EQ(adv.m_bWindowShown, 1);
}

TEST_F(ControllerTest, HoverSoundAutoSkipAndFading) {
    OpenAdventureWindows();
    PointAt(C::kConfig);
    Step(16);
    Step(16);
    EXPECT_EQ(bar.m_nHover, C::kConfig + 1);
    PointAt(C::kHide);
    Step(16);
    EXPECT_EQ(fakesvc::Count("SEPlay 5"), 2); // once per button entered
    PointAt(C::kAutoSkip);
    Step(16, {{1, kUp}});
    EXPECT_EQ(g_bAutoSkip, 1);
    // A click elsewhere ends auto-skip, except the first one after the options screen.
    bar.m_bSkipOneClick = 1;
    Pointer(100, 100);
    Step(16, {{1, kUp}});
    EXPECT_EQ(g_bAutoSkip, 1);
    Step(16, {{1, kUp}});
    EXPECT_EQ(g_bAutoSkip, 0);
    Step(16);
    EXPECT_EQ(State(C::kAutoSkip), 0);
    bar.m_fAlpha = 0.99f; // while fading the bar takes no input
    EXPECT_EQ(Step(16, {{67, kUp}}), C::kActNone);
}

// A disabled button takes its click: the story underneath must not see it
// (the hover number holds it back), and the button does nothing.
TEST_F(ControllerTest, DisabledButtonSwallowsItsClick) {
    OpenAdventureWindows();
    bar.DisableSaveLoad();
    fakesvc::Reset();
    EXPECT_EQ(Click(C::kSave), C::kActNone);
    EXPECT_EQ(bar.m_nHover, C::kSave + 1);
    EXPECT_EQ(State(C::kSave), -1);
    EXPECT_EQ(fakesvc::Count("SEPlay 5") + fakesvc::Count("SEPlay 6"), 0);
    EXPECT_EQ(Step(16, {{76, kUp}}), C::kActNone); // 'L' neither
    PointAt(C::kConfig);
    Step(16);
    EXPECT_EQ(fakesvc::Count("SEPlay 5"), 1); // entering an enabled one still sounds
}

// Without a message window the bar still starts; its history buttons stay
// disabled and refuse to act instead of reaching through a null pointer.
TEST_F(ControllerTest, NoMessageWindow) {
    OpenAdventureWindows(false);
    EXPECT_TRUE(log.Contains("Error: <CONTROLLER_WINDOW::Initialize> MESSAGE_WINDOWクラスポインタが不正です"));
    EXPECT_EQ(State(C::kBack), -1);
    EXPECT_EQ(bar.BackButtonProc(), 0);
    EXPECT_EQ(bar.NextButtonProc(), 0);
    EXPECT_EQ(bar.FFButtonProc(), 0);
    EXPECT_TRUE(log.Contains("Error: <CONTROLLER_WINDOW::FFButtonProc> MESSAGE_WINDOWクラスポインタが不正です"));
    Pointer(100, 100);
    int action = -1;
    Frame(16, {{1, kUp}});
    EXPECT_EQ(bar.MainProc(&action, &adv), 1);
    EXPECT_EQ(bar.MainProc(nullptr, &adv), 0);
}

TEST_F(ControllerTest, ButtonObject) {
    OpenAdventureWindows();
    CTRL_WND_OBJ& b = bar.m_Button[C::kBack];
    EXPECT_EQ(b.m_pOwnerAlpha, &bar.m_fAlpha); // kept through the copy
    Pointer(566 + 15, 480 + 26);
    EXPECT_EQ(b.HitCheck(566, 480), 1);
    Pointer(566 + 71, 480 + 26);
    EXPECT_EQ(b.HitCheck(566, 480), 0); // right edge excluded
    EXPECT_EQ(b.ChangeState(3), 0);
    b.m_nState = 7;
    EXPECT_EQ(b.DrawProc(566, 480), 0);
    EXPECT_TRUE(log.Contains("Error: <CTRL_WND_OBJ::DrawProc> ウィンドウ状態が不正です"));
    MSG_WND_OBJ own;
    EXPECT_EQ(own.Initialize(nullptr, &sprite, &sys, 2, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_TRUE(log.Contains("Error: <MSG_WND_OBJ::Initialize> MESSAGE_WINDOWクラスポインタが不正です"));
    EXPECT_EQ(own.Initialize(&msg, &sprite, &sys, 2, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(own.m_pOwnerAlpha, &msg.m_fAlpha);
    EXPECT_EQ(bar.SetButton(&b, &b, &b, &b, &b, &b, &b, &b, &b, nullptr), 0);
    EXPECT_TRUE(log.Contains("Error: <CONTROLLER_WINDOW::SetButton> ボリュームダウンボタンが不正です"));
}

} // namespace
