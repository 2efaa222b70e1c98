#include <cstring>
#include <string>

#include "tests/windows/window_harness.h"

namespace {

using MessageWindowTest = WindowTest;

TEST_F(MessageWindowTest, HistoryOfSixtyReusesEmptyEntriesAndCutsFullFields) {
    OpenAdventureWindows();
    const MESSAGE_DATA empty = Message("");
    ASSERT_EQ(msg.SetHistoryBuf(&empty), 1);
    for (int i = 1; i <= 61; ++i) {
        const MESSAGE_DATA m = Message(std::to_string(i).c_str());
        ASSERT_EQ(msg.SetHistoryBuf(&m), 1);
    }
    EXPECT_STREQ(msg.m_History[0].m_szText, "2"); // the empty entry was overwritten, then "1" pushed out
    EXPECT_STREQ(msg.m_History[59].m_szText, "61");
    // Fields filled to the last byte without a terminator: cut at a whole
    // character, a lone lead byte at the end left out.
    MESSAGE_DATA m;
    for (int i = 0; i < MESSAGE_DATA::kTextSize; ++i)
        m.m_szText[i] = "あ"[i % 2];
    std::memset(m.m_szName, 'n', sizeof(m.m_szName));
    m.m_szName[sizeof(m.m_szName) - 1] = "あ"[0];
    ASSERT_EQ(msg.SetHistoryBuf(&m), 1);
    EXPECT_EQ(std::strlen(msg.m_History[59].m_szText), 510u);
    EXPECT_EQ(std::strlen(msg.m_History[59].m_szName), 99u);
    EXPECT_EQ(msg.SetHistoryBuf(nullptr), 0);
    EXPECT_TRUE(log.Contains("Error: <MESSAGE_WINDOW::SetHistoryBuf> メッセージデータポインタが不正です"));
}

TEST_F(MessageWindowTest, SetTextLaysOutNameAndText) {
    OpenAdventureWindows();
    MESSAGE_DATA m = Message("こんにちは", "あいう");
    ASSERT_EQ(msg.SetText(&m, 4), 1);
    EXPECT_EQ(std::make_pair(msg.m_rcName.left, msg.m_rcName.top), std::make_pair(10, 498));
    EXPECT_EQ(std::make_pair(msg.m_rcName.right, msg.m_rcName.bottom), std::make_pair(70, 558));
    EXPECT_EQ(std::make_pair(msg.m_rcText.left, msg.m_rcText.top), std::make_pair(76, 498)); // x counted twice
    EXPECT_EQ(std::make_pair(msg.m_rcText.right, msg.m_rcText.bottom), std::make_pair(561, 585));
    EXPECT_EQ(msg.m_TextArea.m_fDispNum, 0.0f);
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
}

TEST_F(MessageWindowTest, TypingBlinkAndSpeedZero) {
    OpenAdventureWindows();
    const MESSAGE_DATA m = Message("０１２３４５６７８９");
    ASSERT_EQ(msg.SetText(&m, 4), 1);
    const uint32_t start = Now();
    ASSERT_EQ(msg.CountMessageDispNum(start, start + 450, 100), 1);
    EXPECT_FLOAT_EQ(msg.m_TextArea.m_fDispNum, 4.5f);
    Step(16);
    EXPECT_EQ(msg.m_fIconAlpha, 0.0f); // no blink while typing
    ASSERT_EQ(msg.CountMessageDispNum(start, start + 1000, -1), 1);
    EXPECT_EQ(msg.m_TextArea.m_fDispNum, -1.0f);
    int rise = 0, fall = 0;
    for (; msg.m_fIconAlpha < 1.0f && rise < 100; ++rise)
        Step(16);
    for (; msg.m_fIconAlpha > 0.0f && fall < 100; ++fall)
        Step(16);
    EXPECT_EQ(rise, 32);
    EXPECT_EQ(fall, 63);
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
    for (int state : {kDown, kHeld, kUp}) {
        Frame(16, {{1, state}});
        ASSERT_EQ(msg.MainProc(&taken, &adv), 1);
        EXPECT_EQ(msg.m_TextArea.m_dwColor, MESSAGE_WINDOW::kColorVoiceHover);
    }
    EXPECT_EQ(taken, 1);
    Frame(16, {{13, kUp}}); // Enter replays it again
    msg.MainProc(&taken, &adv);
    EXPECT_EQ(fakesvc::Count("SEPlay 3"), 1);
    EXPECT_EQ(fakesvc::Count("VoicePlay v01.mp3"), 2);
    Pointer(10, 10);
    msg.MainProc(&taken, &adv);
    EXPECT_EQ(msg.m_TextArea.m_dwColor, MESSAGE_WINDOW::kColorHistory);
    msg.m_nHistoryCursor = 1;
    msg.MainProc(&taken, &adv);
    EXPECT_EQ(msg.m_TextArea.m_dwColor, 0xFFFF0000u);
}

TEST_F(MessageWindowTest, BadArgumentsAndZeroDurationFades) {
    EXPECT_EQ(msg.MainProc(nullptr, &adv), 0); // checked before anything is written
    EXPECT_TRUE(log.Contains("Error: <MESSAGE_WINDOW::MainProc> クリックフラグポインタが不正です"));
    EXPECT_EQ(msg.Initialize(&sys, &sprite, &snd, 84, {}, {}, 0, 0, {}, 0, 0, 0, {}, 0, 0, 0), 0);
    EXPECT_TRUE(log.Contains("Error: <MESSAGE_WINDOW::Initialize> インデックスナンバーが不正です"));
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
    msg.Clear();
    EXPECT_EQ(fakesvc::Count("GraphicUnload 2") + fakesvc::Count("SEUnload 3") + fakesvc::Count("SEUnload 4"), 3);
}

} // namespace
