#include <cstring>
#include <string>

#include "tests/windows/window_harness.h"

namespace {

using MessageWindowTest = WindowTest;

TEST_F(MessageWindowTest, HistoryKeepsSixtyAndReusesAnEmptyEntry) {
    OpenAdventureWindows();
    const MESSAGE_DATA empty = Message("");
    ASSERT_EQ(msg.SetHistoryBuf(&empty), 1);
    for (int i = 1; i <= 61; ++i) {
        const MESSAGE_DATA m = Message(std::to_string(i).c_str());
        ASSERT_EQ(msg.SetHistoryBuf(&m), 1);
    }
    EXPECT_STREQ(msg.m_History[0].m_szText, "2"); // the empty entry was overwritten, then "1" pushed out
    EXPECT_STREQ(msg.m_History[59].m_szText, "61");
    EXPECT_EQ(msg.NewestHistoryIndex(), 59);
    EXPECT_EQ(msg.SetHistoryBuf(nullptr), 0);
    EXPECT_TRUE(log.Contains("Error: <MESSAGE_WINDOW::SetHistoryBuf> メッセージデータポインタが不正です"));
}

// A text field filled to the last byte without a terminator is cut at a
// whole character: no byte is read past the field, no half character kept.
TEST_F(MessageWindowTest, FullFieldsAreCutAtAWholeCharacter) {
    OpenAdventureWindows();
    MESSAGE_DATA m;
    const char* a = "あ";
    for (int i = 0; i < MESSAGE_DATA::kTextSize; ++i)
        m.m_szText[i] = a[i % 2];
    std::memset(m.m_szName, 'n', sizeof(m.m_szName));
    m.m_szName[sizeof(m.m_szName) - 1] = a[0]; // a lone lead byte at the end
    ASSERT_EQ(msg.SetHistoryBuf(&m), 1);
    EXPECT_EQ(std::strlen(msg.m_History[0].m_szText), 510u);
    EXPECT_EQ(std::string(msg.m_History[0].m_szText, 2), std::string(a));
    EXPECT_EQ(std::strlen(msg.m_History[0].m_szName), 99u);
}

TEST_F(MessageWindowTest, SetTextLaysOutNameAndText) {
    OpenAdventureWindows();
    MESSAGE_DATA m = Message("こんにちは", "あいう");
    ASSERT_EQ(msg.SetText(&m, 4), 1);
    EXPECT_EQ(msg.m_rcName.left, 10);
    EXPECT_EQ(msg.m_rcName.top, 498);
    EXPECT_EQ(msg.m_rcName.right, 70);
    EXPECT_EQ(msg.m_rcName.bottom, 558);
    EXPECT_EQ(msg.m_rcText.left, 76); // the window's x counted twice
    EXPECT_EQ(msg.m_rcText.top, 498);
    EXPECT_EQ(msg.m_rcText.right, 561);
    EXPECT_EQ(msg.m_rcText.bottom, 585);
    EXPECT_EQ(msg.m_TextArea.m_nSlot, 1);
    EXPECT_EQ(msg.m_NameArea.m_nSlot, 0);
    EXPECT_EQ(msg.m_TextArea.m_fDispNum, 0.0f);
    EXPECT_EQ(msg.m_TextArea.m_dwPitchAndFamily, 17u);
    m = Message("こんにちは");
    ASSERT_EQ(msg.SetText(&m, 4), 1);
    EXPECT_EQ(msg.m_rcText.left, 10);
    EXPECT_EQ(msg.m_NameArea.m_bInit, 0u);
    // A huge font size from a script makes no overflowing rectangle.
    m = Message("あ", "あいう");
    m.m_nFontSize = 0x7FFFFFFF;
    ASSERT_EQ(msg.SetText(&m, 4), 1);
    EXPECT_EQ(msg.m_rcName.right, 0x7FFFFFFF);
    EXPECT_EQ(msg.SetText(nullptr, 4), 0);
    EXPECT_TRUE(log.Contains("Error: <MESSAGE_WINDOW::SetText> メッセージデータポインタが不正です"));
}

TEST_F(MessageWindowTest, TypingBlinkAndSpeedZero) {
    OpenAdventureWindows();
    const MESSAGE_DATA m = Message("０１２３４５６７８９");
    ASSERT_EQ(msg.SetText(&m, 4), 1);
    const uint32_t start = Now();
    ASSERT_EQ(msg.CountMessageDispNum(start, start + 450, 100), 1);
    EXPECT_FLOAT_EQ(msg.m_TextArea.m_fDispNum, 4.5f);
    msg.m_fIconAlpha = 0.5f;
    // The icon only blinks once the text is complete.
    Step(16);
    EXPECT_EQ(msg.m_fIconAlpha, 0.5f);
    ASSERT_EQ(msg.CountMessageDispNum(start, start + 1000, -1), 1);
    EXPECT_EQ(msg.m_TextArea.m_fDispNum, -1.0f);
    EXPECT_EQ(msg.m_fIconAlpha, 0.0f);
    for (int i = 0; i < 31; ++i)
        Step(16);
    EXPECT_LT(msg.m_fIconAlpha, 1.0f);
    Step(16);
    EXPECT_EQ(msg.m_fIconAlpha, 1.0f);
    for (int i = 0; i < 62; ++i)
        Step(16);
    EXPECT_GT(msg.m_fIconAlpha, 0.0f);
    Step(16);
    EXPECT_EQ(msg.m_fIconAlpha, 0.0f);
    // Speed 0 becomes 1 in the window and the setting; a negative one is refused.
    ASSERT_EQ(msg.CountMessageDispNum(start, start + 3, 0), 1);
    EXPECT_EQ(g_dwMessageSpeed, 1u);
    EXPECT_FLOAT_EQ(msg.m_TextArea.m_fDispNum, 3.0f);
    ASSERT_EQ(msg.CountMessageDispNum(start, start + 3, -7), 1);
    EXPECT_EQ(msg.m_dwMessageSpeed, 1u);
    EXPECT_TRUE(log.Contains("Error: <MESSAGE_WINDOW::CountMessageDispNum> メッセージ速度が不正です"));
}

TEST_F(MessageWindowTest, VoicedHistoryEntryHoverAndReplay) {
    OpenAdventureWindows();
    const MESSAGE_DATA voiced = Message("あ", "", "v01.mp3");
    MESSAGE_DATA red = Message("い");
    red.m_dwColor = 0x0000FF; // Windows RGB: red
    msg.SetHistoryBuf(&voiced);
    msg.SetHistoryBuf(&red);
    msg.m_nHistoryCursor = 0;
    Pointer(100, 500);
    int taken = -1;
    for (int i = 0; i < 3; ++i) {
        Frame(16, {{1, i == 2 ? kUp : kHeld}});
        ASSERT_EQ(msg.MainProc(&taken, &adv), 1);
        EXPECT_EQ(msg.m_TextArea.m_dwColor, MESSAGE_WINDOW::kColorVoiceHover);
    }
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(fakesvc::Count("SEPlay 3"), 1);
    EXPECT_EQ(fakesvc::Count("VoicePlay v01.mp3"), 1);
    Frame(16, {{13, kUp}}); // Enter replays it again
    msg.MainProc(&taken, &adv);
    EXPECT_EQ(fakesvc::Count("VoicePlay v01.mp3"), 2);
    EXPECT_EQ(msg.m_bVoiceHover, 1u);
    Pointer(10, 10);
    Frame(16);
    msg.MainProc(&taken, &adv);
    EXPECT_EQ(msg.m_NameArea.m_dwColor, MESSAGE_WINDOW::kColorHistory);
    msg.m_nHistoryCursor = 1;
    Frame(16, {{1, kUp}});
    msg.MainProc(&taken, &adv);
    EXPECT_EQ(taken, 0);
    EXPECT_EQ(msg.m_TextArea.m_dwColor, 0xFFFF0000u);
    msg.m_nHistoryCursor = -1;
    msg.MainProc(&taken, &adv);
    EXPECT_EQ(msg.m_TextArea.m_dwColor, MESSAGE_WINDOW::kColorCurrent);
}

TEST_F(MessageWindowTest, BadArgumentsAndZeroDurationFades) {
    EXPECT_EQ(msg.MainProc(nullptr, &adv), 0); // checked before anything is written
    EXPECT_TRUE(log.Contains("Error: <MESSAGE_WINDOW::MainProc> クリックフラグポインタが不正です"));
    EXPECT_EQ(msg.AppearWindow(0, 500), -1);
    EXPECT_EQ(msg.Initialize(&sys, &sprite, &snd, 84, {}, {}, 0, 0, {}, 0, 0, 0, {}, 0, 0, 0), 0);
    EXPECT_TRUE(log.Contains("Error: <MESSAGE_WINDOW::Initialize> インデックスナンバーが不正です"));
    fakesvc::g_failGraphicSlot = 2;
    EXPECT_EQ(msg.Initialize(&sys, &sprite, &snd, 2, {}, {}, 0, 0, {}, 0, 0, 0, {}, 0, 0, 0), 0);
    EXPECT_TRUE(log.Contains("Error: <MESSAGE_WINDOW::Initialize> 画像のロードに失敗しました"));
    fakesvc::g_failGraphicSlot = -1;
    OpenAdventureWindows();
    int taken = 1;
    EXPECT_EQ(msg.MainProc(&taken, nullptr), 0);
    EXPECT_EQ(taken, 0);
    const uint32_t now = Now();
    EXPECT_EQ(msg.AppearWindow(now - 250, 500), 0);
    EXPECT_FLOAT_EQ(msg.m_fAlpha, 0.5f);
    EXPECT_EQ(msg.AppearWindow(now, 0), 1);
    EXPECT_EQ(msg.m_fAlpha, 1.0f);
    EXPECT_EQ(msg.AppearWindow(now + 100, 500), 0); // a start ahead of the clock stays at 0
    EXPECT_EQ(msg.m_fAlpha, 0.0f);
    EXPECT_EQ(msg.DisappearWindow(now, 0), 1);
    EXPECT_EQ(msg.m_fAlpha, 0.0f);
    msg.Clear();
    EXPECT_EQ(fakesvc::Count("GraphicUnload 2"), 1);
    EXPECT_EQ(fakesvc::Count("SEUnload 4"), 1);
}

} // namespace
