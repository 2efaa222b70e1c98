#include <climits>

#include "tests/adv/adv_fixture.h"

namespace {

using StateTest = AdvTest;

TEST_F(StateTest, EpisodesScenesAndFlags) {
    Play({"#ChangeEpisode 1 1", "#ChangeScene 2", "#ChangeEpisode 3 0", "#FlgOnVar CG 32", "#FlgOnVar cg 33",
          "#FlgOnVar EVENT 32", "#FlgOnVar v 16", "#FlgOnVar v 1", "#FlgOffVar v 1", "#FlgOffVar v 2",
          "#PutInEpisodeData w", "#PutInSceneData r 3", "#ChangeScene -2", "#FlgOnVar CG 1", "#EndScript"});
    RunToResult();
    EXPECT_EQ(global.m_dwEventFlag[0], 3u); // scenes 1 and 2 of episode 1 were left
    EXPECT_EQ(global.GetEpisode(GAME_GLOBAL_DATA::kKindEpisode), 1);
    EXPECT_EQ(global.m_dwCgFlag[2][0][0], 0x80000000u);
    EXPECT_EQ(global.m_dwCgFlag[2][0][1], 1u);
    EXPECT_EQ(global.m_dwEventFlag[2] & 0x80000000u, 0x80000000u);
    EXPECT_EQ(Var("v"), 0x8000);
    EXPECT_EQ(Var("w"), 1);
    EXPECT_EQ(Var("r"), INT_MIN);
    EXPECT_TRUE(log.Contains("Warn: <MAIN_SCR::FlgOnVarProc> シーン数が不正です\n"));
}

TEST_F(StateTest, FlagAndVariableFailures) {
    Play({"#ChangeEpisode 1 1", "#FlgOnVar v 0", "#FlgOnVar v 17", "#FlgOffVar EVENT 33", "#FlgOnVar CG 97",
          "#PutInSceneData v 8", "#FlgOnVar nobody 1", "#ChangeEpisode 0 1", "#FlgOnVar EVENT 1", "#EndScript"});
    RunToResult();
    for (const char* line : {"Error: <MAIN_SCR::FlgOnVarProc> ビットの指定が不正です\n",
                             "Error: <MAIN_SCR::FlgOnVarProc> 変数に対してビットの指定が大き過ぎます\n",
                             "Error: <MAIN_SCR::FlgOffVarProc> EVENTに対してビットの指定が大き過ぎます\n",
                             "Error: <MAIN_SCR::FlgOnVarProc> CGに対してビットの指定が大き過ぎます\n",
                             "Error: <MAIN_SCR::PutInSceneDataProc> シーン数が不正です\n",
                             "Error: <MAIN_SCR::FlgOnVarProc> ID検索に失敗しました\n",
                             "Warn: <MAIN_SCR::FlgOnVarProc> エピソード数が不正です\n"})
        EXPECT_TRUE(log.Contains(line)) << line;
    EXPECT_EQ(Var("v"), 0);
}

TEST_F(StateTest, VariablesAndTestResults) {
    Play({"#ChangeVar v 2147483647", "#AddVar v 1", "#ChangeVar w 12", "#AddVar w -3", "#ChangeTestResult 0 ENGLISH 7",
          "#ChangeTestResult 3 social 5", "#PutInTestResult r 0 english", "#AddInTestResult r 3 SOCIAL",
          "#ChangeTestResult 4 MATH 1", "#PutInTestResult r 0 ART", "#AddVar W x", "#EndScript"});
    RunToResult();
    EXPECT_EQ(Var("v"), INT_MIN); // wraps
    EXPECT_EQ(Var("w"), 9);
    EXPECT_EQ(Var("r"), 12);
    EXPECT_EQ(adv.m_TestResult[0].m_nScore[0], 7);
    EXPECT_EQ(adv.m_TestResult[3].m_nScore[4], 5);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::ChangeTestResultProc> テストの回数指定が不正です\n"));
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::PutInTestResultProc> 科目指定が不正です\n"));
}

TEST_F(StateTest, ReadSkipRecordsTakeEffectAtOnce) {
    Play({"#AddAutoSkipFileList other.spt 40", "#AddAutoSkipFileList other.spt x", "#AddAutoSkipFileList b.spt 5",
          "#AddAutoSkipFileList NULL 0", "#EndScript"});
    Frame();
    Frame();
    EXPECT_EQ(Record("other.spt")->m_nLine, 40);
    EXPECT_FALSE(adv.m_MainScr.m_bAutoSkipList);
    RunToResult();
    EXPECT_EQ(Record("other.spt")->m_nLine, -1);
    EXPECT_EQ(Record("b.spt")->m_nLine, 5);
    EXPECT_EQ(Record("s.spt")->m_nLine, -1);
    EXPECT_TRUE(adv.m_MainScr.m_bAutoSkipList);
    EXPECT_EQ(adv.m_MainScr.m_nAutoSkipLine, -1);
}

} // namespace
