#include "game/game_settings.h"
#include "tests/adv/command_fixture.h"

namespace {

using SoundFadeTest = CommandTest;

// Without a started sound system only binding an effect fails; the rest
// goes through the shell's services, which succeed.
TEST_F(SoundFadeTest, SoundCommandsWithoutADevice) {
    PlayDeclared({"#SetData SOUND SE se01.wav FALSE", "#StopWave ALL", "#PlayVoice v1.wav", "#StopVoice",
                  "#PlayBGM a.ogg DSHOW", "#BGMWait DSHOW", "#PlayBGM b.wav NULL FALSE", "#BGMWait", "#StopBGM DSHOW",
                  "#SetData VAR v 12", "#AddVar v -3", "#SetData PICTURE x", "#LoadData GRAPHIC XX",
                  "#UnloadData TEXTAREA TX", "#EndScript"});
    RunToLine(6);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::SetDataProc> データのセットに失敗しました\n"));
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::StopWaveProc> 停止処理に失敗しました\n"));
    EXPECT_FALSE(log.Contains("#StopWave命令でエラーが発生しました"));
    EXPECT_EQ(fakesvc::Count("VoicePlay v1.wav"), 1);
    EXPECT_EQ(fakesvc::Count("VoiceStop"), 1);
    EXPECT_EQ(fakesvc::Count("BGM_DS_Play 1 a.ogg"), 1);
    EXPECT_STREQ(adv.m_MainScr.m_szBGMName, "a.ogg");
    EXPECT_EQ(adv.m_MainScr.m_bBGMFlag, 1);
    RunToLine(9); // a closed music channel counts as stopped
    // Music through the sound system's own slot needs a started sound system.
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::PlayBGMProc> BGMのDAudio再生に失敗しました\n"));
    EXPECT_EQ(adv.m_MainScr.m_bBGMFlag, 0);
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_STREQ(adv.m_MainScr.m_szBGMName, "");
    EXPECT_EQ(Var("v"), 9);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::LoadDataProc> IDの取得に失敗しました\n"));
    EXPECT_EQ(log.all().find("BGMWaitProc"), std::string::npos) << log.all();
    EXPECT_FALSE(log.Contains("s.sptの13行目")); // another kind word does nothing
}

TEST_F(SoundFadeTest, FadesFollowTheClockAndEndOnAClick) {
    PlayDeclared({"#MsgWndOpen 500", "#SetData GRAPHIC BG bg.bmp", "#FadeIn GRAPHIC BG 1000 FALSE",
                  "#FadeOut GRAPHIC BG 1000 0 0 FALSE", "#FadeIn2 OBJECT OB 10 20 150 500 FALSE",
                  "#FadeIn PICTURE BG 10", "#FadeOut PICTURE BG 10", "#FadeOut GRAPHIC BG 0", "#EndScript"});
    RunToLine(2);
    EXPECT_TRUE(adv.m_bWindowShown);
    Frame(250);
    EXPECT_FLOAT_EQ(adv.m_MsgWnd.m_fAlpha, 0.5f);
    Frame(250);
    EXPECT_FALSE(Busy());
    RunToLine(4);
    Frame(500);
    EXPECT_FLOAT_EQ(Pic("BG").m_fAlpha, 0.5f);
    Step(16, {{kVkLButton, kClickUp}});
    EXPECT_EQ(Pic("BG").m_fAlpha, 1.0f);
    EXPECT_FALSE(Busy());
    RunToLine(5);
    Step(16, {{kVkLButton, kClickUp}});
    EXPECT_EQ(Pic("BG").m_fAlpha, 0.0f);
    EXPECT_NE(Pic("BG").m_nSlot, -1); // kept loaded
    RunToLine(6);
    EXPECT_EQ(Obj().m_fX, 10.0f);
    EXPECT_EQ(Obj().m_nPriority, 150);
    EXPECT_EQ(Obj().m_bShow, 1u);
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_EQ(Pic("BG").m_nSlot, -1); // a fade of no time unloads at once
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::FadeInProc> 識別子が異常です\n"));
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::FadeOutProc> 定義されていない識別子です\n"));
    EXPECT_TRUE(log.Contains("#FadeOut命令でエラーが発生しました"));
    EXPECT_FALSE(log.Contains("#FadeIn命令でエラーが発生しました"));
}

TEST_F(SoundFadeTest, MessagesTypeWaitForTheClickAndPassWithCtrl) {
    PlayDeclared({"#MsgWndOpen 0", "#MsgDisp 少女 あいうえお v1.wav", "#MsgDisp NULL かきくけこ NULL",
                  "#MsgDisp ヌイ　 さしすせそ v2.wav", "#ChangeVar v 1", "#EndScript"});
    adv.m_MsgWnd.m_dwMessageSpeed = 100;
    RunToLine(3);
    EXPECT_EQ(fakesvc::Count("VoicePlay v1.wav"), 1);
    Frame(200);
    EXPECT_FLOAT_EQ(adv.m_MsgWnd.m_TextArea.m_fDispNum, 2.0f);
    Step(16, {{kVkLButton, kClickUp}}); // the click shows the rest
    EXPECT_EQ(adv.m_MsgWnd.m_TextArea.m_fDispNum, -1.0f);
    EXPECT_TRUE(Busy());
    Frame(5000); // then waits for the advance
    EXPECT_TRUE(Busy());
    Step(16, {{kVkLButton, kClickUp}});
    EXPECT_FALSE(Busy());
    EXPECT_EQ(fakesvc::Count("VoiceStop"), 1);
    // With Ctrl a message takes three frames; the next is read on the fourth.
    g_bMaleVoice = 0;
    for (int i = 0; i < 3; ++i)
        Step(16, {{kVkControl, kHeld}});
    EXPECT_EQ(adv.m_nLine, 4);
    Step(16, {{kVkControl, kHeld}});
    EXPECT_EQ(adv.m_nLine, 5);
    EXPECT_STREQ(adv.m_MsgWnd.m_Current.m_szVoice, "v2.wav"); // kept for the history
    EXPECT_EQ(fakesvc::Count("VoicePlay v2.wav"), 0);
    g_bMaleVoice = 1;
    RunToResult();
    EXPECT_EQ(Var("v"), 0);
}

// In a scene replay save and load are drawn disabled; a click on them must
// not turn the page.
TEST_F(SoundFadeTest, AClickOnADisabledBarButtonDoesNotTurnThePage) {
    PlayDeclared({"#MsgWndOpen 0", "#MsgDisp NULL あいうえお NULL", "#ChangeVar v 1", "#EndScript"});
    RunToLine(2);
    Frame();
    Step(16, {{kVkLButton, kClickUp}}); // shows the rest
    adv.m_CtrlWnd.DisableSaveLoad();
    h.sys.SetMousePos(566 + 80, 480 + 15); // on the save button
    Frame(); // the story reads the bar's hover of the frame before
    Step(16, {{kVkLButton, kClickUp}});
    Frame();
    EXPECT_TRUE(Busy());
    h.sys.SetMousePos(300, 300);
    Frame();
    Step(16, {{kVkLButton, kClickUp}});
    EXPECT_FALSE(Busy());
}

TEST_F(SoundFadeTest, MsgWndClearEmptiesTheWindowAndTheNextMessageStillShows) {
    PlayDeclared({"#MsgWndOpen 0", "#MsgDisp 少女 あいうえお NULL", "#MsgWndClear", "#TimeWait 1000",
                  "#MsgDisp 少年 かきくけこ NULL", "#EndScript"});
    RunToLine(2);
    Frame();
    Step(16, {{kVkLButton, kClickUp}}); // shows the rest
    Step(16, {{kVkLButton, kClickUp}}); // passes on to the clear
    RunToLine(4);
    Frame();
    ASSERT_TRUE(Busy()); // the wait after the clear
    const MESSAGE_WINDOW& msg = adv.m_MsgWnd;
    EXPECT_EQ(msg.m_TextArea.m_fDispNum, 0.0f);
    EXPECT_STREQ(msg.m_TextArea.m_szText, "");
    EXPECT_STREQ(msg.m_NameArea.m_szText, "");
    Step(16, {{kVkLButton, kClickUp}});
    RunToLine(5);
    Frame();
    Frame(1000);
    EXPECT_STREQ(msg.m_TextArea.m_szText, "かきくけこ");
    EXPECT_STREQ(msg.m_NameArea.m_szText, "少年");
    EXPECT_NE(msg.m_TextArea.m_nSlot, -1);
    EXPECT_TRUE(NoErrors()) << log.all();
}

} // namespace
