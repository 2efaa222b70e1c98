#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <set>

#include "platform/random.h"
#include "tests/adv/adv_fixture.h"

namespace {

using FlowTest = AdvTest;

struct Condition {
    const char* a;
    const char* op;
    const char* b;
    int32_t v;
    int32_t expected; // 1 the #If branch, 2 the #Else branch
};

TEST_F(FlowTest, ConditionsOnVariablesAndNumbers) {
    const Condition cases[] = {
        {"v", ">", "2", 3, 1},        {"v", ">", "3", 3, 2},  {"v", "<", "w", -1, 1}, {"v", "=", "07", 7, 1},
        {"v", ">=", "7", 7, 1},       {"v", "<=", "6", 7, 2}, {"v", "!=", "7", 7, 2}, {"v", "&", "1", 1, 1},
        {"v", "&", "32", INT_MIN, 1}, {"v", "!", "3", 3, 1},  {"v", "!", "3", 4, 2},  {"zz", "=", "0", 0, 1},
        {"v", "=", "zz", 0, 1},
    };
    for (const Condition& c : cases) {
        Play({std::string("#If ") + c.a + " " + c.op + " " + c.b + " 1", "#ChangeVar r 1", "#Else 1", "#ChangeVar r 2",
              "#EndIf 1", "#EndScript"});
        adv.m_pVar[0].SetValue(c.v);
        RunToResult();
        EXPECT_EQ(Var("r"), c.expected) << c.a << c.op << c.b << " with v " << c.v;
        adv.Clear();
    }
}

TEST_F(FlowTest, BadConditionsFailAndTheBlockGoesOn) {
    const std::pair<const char*, const char*> cases[] = {
        {"& 0", "bit値が不正です"}, {"! 33", "bit値が不正です"}, {"=> 1", "定義されていない比較演算子です"}};
    for (const auto& c : cases) {
        Play({std::string("#If v ") + c.first + " 1", "#ChangeVar r 1", "#Else 1", "#ChangeVar r 2", "#EndIf 1",
              "#EndScript"});
        RunToResult();
        EXPECT_EQ(Var("r"), 1) << c.first;
        EXPECT_TRUE(log.Contains(std::string("Error: <MAIN_SCR::IfProc> ") + c.second + "\n")) << c.first;
        adv.Clear();
    }
}

// Each #ElseIf is tested on a frame of its own while the #If holds the reader.
TEST_F(FlowTest, ElseIfTestedOneAFrame) {
    Play({"#If v = 1 5", "#ChangeVar r 1", "#ElseIf v = 2 5", "#ChangeVar r 2", "#ElseIf v = 3 5", "#ChangeVar r 3",
          "#Else 5", "#ChangeVar r 4", "#EndIf 5", "#ChangeVar w 1", "#EndScript"});
    adv.m_pVar[0].SetValue(3);
    Frame();
    Frame(); // #If false: the first #ElseIf waits in the slot
    EXPECT_TRUE(adv.m_ScriptCommand[0].m_bExclusive);
    EXPECT_EQ(adv.m_nLine, 4);
    Frame(); // second #ElseIf
    EXPECT_EQ(adv.m_nLine, 6);
    EXPECT_FALSE(adv.m_ScriptCommand[0].IsFree());
    Frame(); // true
    EXPECT_TRUE(adv.m_ScriptCommand[0].IsFree());
    EXPECT_EQ(Var("r"), 0);
    Frame();
    EXPECT_EQ(Var("r"), 3);
    RunToResult();
    EXPECT_EQ(Var("r"), 3);
    EXPECT_EQ(Var("w"), 1);
}

TEST_F(FlowTest, BlockWithoutItsEndEndsThePlay) {
    Play({"#If 1 = 2 9", "#ChangeVar r 1"});
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::IfProc> CodeFileReadOneLineでエラーが発生しました\n"));
    EXPECT_EQ(Var("r"), 0);
}

TEST_F(FlowTest, RandomBlocksReachEveryBranch) {
    const std::vector<std::string> script = {
        "#RandomStart 3 20",  "#RandomBranch 1 20", "#ChangeVar r 1", "#RandomBranch 2 20", "#ChangeVar r 2",
        "#RandomBranch 3 20", "#ChangeVar r 3",     "#RandomEnd 20",  "#AddVar w 1",        "#EndScript"};
    std::set<int32_t> seen;
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        plat::SeedRand(seed);
        Play(script);
        RunToResult();
        seen.insert(Var("r"));
        EXPECT_EQ(Var("w"), 1);
        adv.Clear();
    }
    EXPECT_EQ(seen, (std::set<int32_t>{1, 2, 3}));
    // No branch to draw: the command fails and its branches are passed over.
    Play({"#RandomStart 0 20", "#RandomBranch 1 20", "#ChangeVar r 1", "#RandomEnd 20", "#AddVar w 1", "#EndScript"});
    RunToResult();
    EXPECT_EQ(Var("r"), 0);
    EXPECT_EQ(Var("w"), 1);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::RandomStartProc> 分岐数が不正です\n"));
}

TEST_F(FlowTest, JumpsAndLabels) {
    Play({"#Jump 3", "// a", "$b", "#ChangeVar r 9", "#GoTo $Down", "#ChangeVar r 8", "$down", "#AddVar w 1", "$up",
          "#GoTo $up", "#ChangeVar r 7"});
    Frame();
    Frame();
    EXPECT_EQ(adv.m_nLine, 5); // the three lines passed are counted
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_EQ(Var("r"), 0);
    EXPECT_EQ(Var("w"), 1);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::GoToProc> CodeFileReadOneLineでエラーが発生しました\n"));
}

TEST_F(FlowTest, FileChangesRecordTheScriptsRead) {
    Pack({{"s1.spt", {"#ChangeVar v 1", "#FileChange S2.SPT"}},
          {"s2.spt", {"#AddVar v 1", "#FileChange2 s3.spt"}},
          {"s3.spt", {"#AddVar v 1", "#EndScript"}}});
    Start("s1.spt");
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_EQ(Var("v"), 3);
    EXPECT_TRUE(adv.m_bEnd);
    for (const char* name : {"s1.spt", "s2.spt", "s3.spt"}) {
        ASSERT_NE(Record(name), nullptr) << name;
        EXPECT_EQ(Record(name)->m_nLine, -1);
    }
    EXPECT_FALSE(dir.Exists("tmp/s1.spt"));
    EXPECT_FALSE(dir.Exists("tmp/s2.spt"));
}

// tmp/ is the program's own: a folder where the next script's copy goes is
// taken away with all it holds (a link in it as a link, its target kept).
TEST_F(FlowTest, FileChangeReplacesAFolderInTheCopysPlace) {
    Pack({{"s1.spt", {"#FileChange S2.spt"}}, {"s2.spt", {"#ChangeVar v 1", "#EndScript"}}});
    dir.Write("outside/keep", "keep");
    dir.Write("tmp/s2.spt/old", "old");
    ASSERT_EQ(0, symlink("../../outside", "tmp/s2.spt/link"));
    ASSERT_EQ(0, mkdir("tmp/S2.SPT", 0755));
    Start("s1.spt");
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_EQ(Var("v"), 1);
    EXPECT_FALSE(log.Contains("Error: 書き込みエラー発生\n"));
    EXPECT_FALSE(dir.Exists("tmp/S2.SPT"));
    EXPECT_EQ("keep", dir.Read("outside/keep"));
}

// A folder there that cannot go whole (70 levels deep, a mount point inside)
// is moved aside and play still goes on into the next script.
TEST_F(FlowTest, FileChangeGoesOnOverAFolderThatCannotGoWhole) {
    Pack({{"s1.spt", {"#FileChange s2.spt"}}, {"s2.spt", {"#ChangeVar v 1", "#EndScript"}}});
    std::string deep = "tmp/s2.spt";
    for (int i = 0; i < 70; ++i)
        deep += "/d";
    dir.Write(deep + "/old", "old");
    dir.Write("tmp/s2.spt/d/mnt/m", "mounted");
    const kutest::MountPointScope mounted("tmp/s2.spt/d/mnt");
    Start("s1.spt");
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_EQ(Var("v"), 1);
    EXPECT_FALSE(log.Contains("Error: 書き込みエラー発生\n"));
    EXPECT_FALSE(dir.Exists("tmp/s2.spt/d"));
}

TEST_F(FlowTest, FileChangeFailures) {
    Pack({{"s.spt", {std::string("#FileChange ") + std::string(300, 'x'), "#FileChange none.spt", "#ChangeVar v 1"}}});
    Start("s.spt");
    Frame();
    Frame(); // refused before anything is closed
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::FileChangeProc> ファイルパスが不正です\n"));
    EXPECT_NE(adv.m_pScriptFile, nullptr);
    EXPECT_EQ(Frame(), 0);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::FileChangeProc> dat/Scenario.dat内にnone.sptが見つかりません\n"));
    // The line named is the one holding the command, in its own script.
    EXPECT_TRUE(log.Contains(
        "Error: <MAIN_SCR::DistributionScriptProc> スクリプト:s.sptの3行目、#FileChange命令でエラーが発生しました\n"));
    EXPECT_EQ(Record("s.spt")->m_nLine, -1);
    EXPECT_EQ(Frame(), ADV_DATA::kResultError);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::MainProc> ファイルポインタが失われています\n"));
}

TEST_F(FlowTest, EndScriptFadesOutAndMarksTheScene) {
    Play({"#ChangeEpisode 2 3", "#EndScript", "#ChangeVar v 1"});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(adv.m_nPhase, 13);
    EXPECT_EQ(global.m_dwEventFlag[1], 1u << 2);
    EXPECT_EQ(Record("s.spt")->m_nLine, -1);
    h.Frame(500);
    EXPECT_EQ(adv.MainProc(), 0);
    EXPECT_FLOAT_EQ(adv.m_fFade, 0.5f);
    h.Frame(500);
    EXPECT_EQ(adv.MainProc(), ADV_DATA::kResultEnd);
    EXPECT_EQ(adv.MainProc(), ADV_DATA::kResultEnd); // until the caller moves on
    EXPECT_EQ(Var("v"), 0);
}

TEST_F(FlowTest, ExamRequestIsCheckedWhole) {
    Play({"#TestModeIn 1 BIOLOGY x next.spt", "#TestModeIn 4 MATH x next.spt", "#TestModeIn 2 math NULL next.spt"});
    Frame();
    Frame();
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::TestModeInProc> テスト科目の指定が不正です\n"));
    EXPECT_EQ(adv.m_nTestNum, -1);
    Frame();
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::TestModeInProc> テスト回数の指定が不正です\n"));
    EXPECT_EQ(adv.m_nTestNum, -1);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(adv.m_nTestNum, 2);
    EXPECT_EQ(adv.m_nTestSubject, 2);
    EXPECT_STREQ(adv.m_szTestText, "");
    EXPECT_STREQ(adv.m_szTestNextScript, "next.spt");
    EXPECT_STREQ(adv.m_szScriptName, "");
    EXPECT_EQ(adv.m_pScriptFile, nullptr);
    EXPECT_EQ(adv.m_nPhase, 1);
    EXPECT_EQ(Record("s.spt")->m_nLine, -1);
    h.Frame(1000);
    EXPECT_EQ(adv.MainProc(), ADV_DATA::kResultTest);
}

// Branch ends met while running skip to their block's end.
TEST_F(FlowTest, BranchEndsSkipToTheBlockEnd) {
    Play({"#SelectBranch 1 10", "#ChangeVar r 1", "#SelectEnd 10", "#If 1 = 1 2", "#ElseIf 1 = 1 2", "#ChangeVar r 2",
          "#EndIf 2", "#Else 3", "#ChangeVar r 3", "#EndIf 3", "#EndScript"});
    RunToResult();
    EXPECT_EQ(Var("r"), 0);
    EXPECT_TRUE(adv.m_bEnd);
}

} // namespace

namespace {

using ChoiceTest = AdvTest;

const std::vector<std::string> kChoiceScript = {"#SelectStart 2 10 散歩に出る 部屋に残る",
                                                "#SelectBranch 1 10",
                                                "#ChangeVar r 1",
                                                "#SelectBranch 2 10",
                                                "#ChangeVar r 2",
                                                "#SelectEnd 10",
                                                "#AddVar w 1",
                                                "#EndScript"};

// The choice holds the reader from its storing until the block is read on.
TEST_F(ChoiceTest, ChosenBranchRunsAndTheOtherIsPassed) {
    for (int choice = 1; choice <= 2; ++choice) {
        Play(kChoiceScript);
        Frame();
        Frame();
        EXPECT_EQ(adv.m_bSelectOpen, 1);
        EXPECT_EQ(adv.m_bReadingOn, 0);
        for (int i = 0; i < 40; ++i)
            Frame();
        ASSERT_STREQ(adv.m_ScriptCommand[0].m_szCommand, "#SelectWait");
        h.sys.SetMousePos(400, choice == 1 ? 208 : 296);
        Frame();
        h.Frame(16, {{1, kClickUp}});
        adv.MainProc();
        EXPECT_EQ(adv.m_ScriptCommand[0].m_nPhase, 1);
        const int32_t line = adv.m_nLine;
        for (int i = 0; i < 130; ++i)
            Frame(); // 250 + 1500 + 250 ms of closing
        EXPECT_GT(adv.m_nLine, line);
        EXPECT_EQ(adv.m_bSelectOpen, 0);
        EXPECT_EQ(adv.m_bReadingOn, 1);
        RunToResult();
        EXPECT_EQ(Var("r"), choice);
        EXPECT_EQ(Var("w"), 1);
        EXPECT_EQ(fakesvc::Count("SEPlay 8"), choice);
        const int newest = adv.m_MsgWnd.NewestHistoryIndex();
        ASSERT_GE(newest, 0);
        const MESSAGE_DATA& entry = adv.m_MsgWnd.m_History[newest];
        EXPECT_STREQ(entry.m_szText, choice == 1 ? "【選択肢】\n散歩に出る" : "【選択肢】\n部屋に残る");
        EXPECT_EQ(entry.m_nFontSize, 20);
        EXPECT_EQ(entry.m_dwColor, 0x4040FFu);
        adv.Clear();
    }
}

// With the windows hidden by the player, the click that brings them back
// over a choice's place does not choose it unseen.
TEST_F(ChoiceTest, ClickThatShowsHiddenWindowsChoosesNothing) {
    Play(kChoiceScript);
    for (int i = 0; i < 42; ++i)
        Frame();
    ASSERT_STREQ(adv.m_ScriptCommand[0].m_szCommand, "#SelectWait");
    ASSERT_TRUE(adv.m_CtrlWnd.m_bInit);
    adv.m_CtrlWnd.m_bVisible = 1; // as the message window's opening leaves it
    adv.m_CtrlWnd.m_fAlpha = 1.0f;
    adv.m_bWindowShown = 0;       // the player's hide button
    h.sys.SetMousePos(400, 208);
    Frame();
    for (int key : {1, 13}) {
        h.Frame(16, {{key, kClickUp}});
        adv.MainProc();
        EXPECT_EQ(adv.m_ScriptCommand[0].m_nPhase, 0) << key;
        EXPECT_EQ(adv.m_bWindowShown, 1) << key;
        adv.m_bWindowShown = 0;
    }
    EXPECT_EQ(fakesvc::Count("SEPlay 8"), 0);
    adv.m_bWindowShown = 1;
    h.Frame(16, {{1, kClickUp}});
    adv.MainProc();
    EXPECT_EQ(adv.m_ScriptCommand[0].m_nPhase, 1);
}

TEST_F(ChoiceTest, FailedChoiceReleasesTheReader) {
    Play({"#SelectStart 3 10 a b", "#SelectBranch 1 10", "#ChangeVar r 1", "#SelectEnd 10", "#AddVar w 1",
          "#EndScript"});
    RunToResult();
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::SelectStartProc> 選択肢数が不正です\n"));
    EXPECT_EQ(Var("r"), 0);
    EXPECT_EQ(Var("w"), 1);
    EXPECT_EQ(adv.m_bReadingOn, 1);
    // A chosen branch the block does not have: play goes on after its end.
    Play({"#SelectStart 1 4 only", "#SelectBranch 2 4", "#ChangeVar r 1", "#SelectEnd 4", "#AddVar w 1", "#EndScript"});
    for (int i = 0; i < 40; ++i)
        Frame();
    h.sys.SetMousePos(400, 208);
    Frame();
    h.Frame(16, {{13, kClickUp}});
    adv.MainProc();
    RunToResult();
    EXPECT_TRUE(log.Contains("Warn: <MAIN_SCR::SelectWaitProc> 対応する#SelectBranchがありませんでした\n"));
    EXPECT_EQ(Var("r"), 0);
    EXPECT_EQ(Var("w"), 1);
}

} // namespace
