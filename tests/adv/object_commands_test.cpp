#include "tests/adv/command_fixture.h"

namespace {

using ObjectCmdTest = CommandTest;

TEST_F(ObjectCmdTest, StepsAnimationAndDrawPropertiesAsWritten) {
    PlayDeclared({"#SetObjectDrawProperty OB TRUE 3 LENGTH", "#SetObjectAnim OB 4 REPETITION 100",
                  "#SetObjectAnim OB -2 LOOP 10", "#AddObjectBuf OB 0 SET_POS NULL NULL NULL",
                  "#AddObjectBuf OB 1 FADE_MOVE_IN REL 100 100 NULL 20 30 500",
                  "#AddObjectBuf OB 2 FADE_MOVE_IN ABS 100 100 NULL 20 30 500",
                  "#AddObjectBuf OB 3 FADE_MOVE_OUT REL 5 6 -9", "#AddObjectBuf OB 4 WHATEVER 1 2 3",
                  "#AddObjectBuf OB 10 END", "#AddObjectBuf XX 0 END", "#StartObjectProc OB FALSE",
                  "#EndObjectProc OB2 TRUE", "#EndScript"});
    OBJECT_DATA& o = Obj();
    o.m_fX = 7.0f;
    o.m_fY = 8.0f;
    o.m_nPriority = 9;
    o.m_Proc[4].nType = OBJECT_DATA::kProcMove;
    RunToLine(12);
    EXPECT_EQ(Obj(1).m_bShow, 0u);
    RunToResult();
    EXPECT_EQ(o.m_bColorKey, 1u);
    EXPECT_EQ(o.m_nRepeat, 3);
    EXPECT_EQ(o.m_bRepeatAcross, 0u);
    ASSERT_EQ(o.m_Animation.m_dwFrameNum, 4u);
    EXPECT_EQ(o.m_Animation.m_dwType, 1u);
    EXPECT_EQ(o.m_Animation.m_pTime[3], 100u);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::SetObjectAnimProc> データのセットに失敗しました\n"));
    const OBJECT_PROC_DATA* p = o.m_Proc;
    EXPECT_EQ(p[0].nType, OBJECT_DATA::kProcSetPos);
    EXPECT_EQ(p[0].fX, 7.0f);
    EXPECT_EQ(p[0].fY, 8.0f);
    EXPECT_EQ(p[0].nA, 9);
    EXPECT_EQ(p[1].fX2, 100.0f);
    EXPECT_EQ(p[1].fX, 120.0f);
    EXPECT_EQ(p[1].fY, 130.0f);
    EXPECT_EQ(p[1].dwTime, 500u);
    EXPECT_EQ(p[2].fX, 20.0f);
    EXPECT_EQ(p[3].fX, 12.0f);
    EXPECT_EQ(p[3].dwTime, 0u); // a negative time is none
    EXPECT_EQ(p[4].nType, 0);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::AddObjectBufProc> オブジェクトナンバーが範囲外です\n"));
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::AddObjectBufProc> 合致するIDが見つかりませんでした\n"));
    EXPECT_EQ(Obj(1).m_bShow, 1u);
    EXPECT_EQ(Obj(1).m_bRun, 0u);
}

TEST_F(ObjectCmdTest, WaitedStepRunsItsTimeOrSkips) {
    PlayDeclared({"#MsgWndOpen 0", "#SetData OBJECT OB ob.bmp 4 LOOP 64 64", "#AddObjectBuf OB 0 MOVE 100 0 1000",
                  "#StartObjectProc_Wait OB 0", "#ChangeVar v 1", "#AddObjectBuf OB 0 MOVE 0 0 1000",
                  "#StartObjectProc_Wait OB 0", "#ChangeVar v 2", "#EndScript"});
    RunToLine(5);
    ASSERT_TRUE(Busy());
    Frame(500);
    EXPECT_TRUE(Busy());
    EXPECT_GT(Obj().m_fX, 0.0f);
    Frame(600);
    EXPECT_FALSE(Busy());
    EXPECT_EQ(Obj().m_fX, 100.0f);
    RunToLine(8);
    Step(16, {{kVkControl, kHeld}});
    EXPECT_FALSE(Busy());
    EXPECT_EQ(Obj().m_fX, 0.0f);
    RunToResult();
    EXPECT_EQ(Var("v"), 2);
    EXPECT_TRUE(NoErrors()) << log.all();
}

TEST_F(ObjectCmdTest, AllFadeOutFadesShownObjectsThenDeletesThem) {
    PlayDeclared({"#SetData OBJECT OB ob.bmp 4 LOOP 64 64", "#SetData OBJECT OB2 ob.bmp 4 LOOP 64 64",
                  "#StartObjectProc OB", "#ObjectAllFadeOut 1000", "#StartObjectProc OB2", "#ObjectAllFadeOut 0",
                  "#EndScript"});
    RunToLine(5);
    Frame(500);
    EXPECT_FLOAT_EQ(Obj().m_fAlpha, 0.5f);
    EXPECT_FLOAT_EQ(Obj(1).m_fAlpha, 1.0f);
    Frame(500);
    EXPECT_EQ(Obj().m_bCreate, 0u);
    EXPECT_STREQ(Obj().m_szID, "OB");
    EXPECT_EQ(Obj(1).m_bCreate, 1u);
    RunToLine(7); // no duration: at once, without 0 / 0
    EXPECT_EQ(Obj(1).m_bCreate, 0u);
    EXPECT_FALSE(Busy());
}

} // namespace
