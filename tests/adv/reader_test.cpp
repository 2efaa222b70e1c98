#include <cstdio>
#include <random>

#include "tests/adv/adv_fixture.h"
#include "platform/random.h"

namespace {

using ReaderTest = AdvTest;

// Lines that are not commands are passed within one frame but counted; one
// command is stored a frame and runs in that frame; failures and unknown
// keywords free their slot and name the script and line.
TEST_F(ReaderTest, OneCommandAFrameWithLinesPassedAndErrorsNamed) {
    Play({"// comment", "$label", "", "hello", "  #changevar v 3", "#AddVar UNKNOWN 1", "#Bogus 1", "#AddVar v 1"});
    EXPECT_EQ(Frame(), 0); // the header line alone
    EXPECT_EQ(adv.m_nLine, 1);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(Var("v"), 3);
    EXPECT_EQ(adv.m_nLine, 6);
    EXPECT_TRUE(log.Contains("Warn: <MAIN_SCR::ReadScript> 命令文以外を検出しました\n"));
    EXPECT_TRUE(adv.m_ScriptCommand[0].IsFree());
    EXPECT_EQ(Frame(), 0);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::AddVarProc> ID検索に失敗しました\n"));
    EXPECT_TRUE(log.Contains(
        "Error: <MAIN_SCR::DistributionScriptProc> スクリプト:s.sptの7行目、#AddVar命令でエラーが発生しました\n"));
    EXPECT_EQ(Frame(), 0);
    EXPECT_TRUE(log.Contains("8行目、#Bogusは定義されていない命令です"));
    EXPECT_TRUE(adv.m_ScriptCommand[0].IsFree());
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(Var("v"), 4);
    EXPECT_EQ(Frame(), ADV_DATA::kResultEnd);
    EXPECT_TRUE(log.Contains("Warn: <MAIN_SCR::MainProc> スクリプト終了命令が呼び出されずに終端まで到達しました\n"));
}

TEST_F(ReaderTest, LastLineWithoutLineEndIsNotRun) {
    std::filesystem::create_directories("dat");
    std::filesystem::create_directories("tmp");
    std::string body = ScrambleScript(Plain({"#ChangeVar v 1"}) + "#ChangeVar v 2");
    std::string error;
    ASSERT_TRUE(WriteArchive("dat/Scenario.dat", {{"s.spt", "", body}, EmptyInit()}, false, &error));
    Start("s.spt");
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_EQ(Var("v"), 1);
}

// A busy slot table holds the next line back instead of dropping it, and an
// exclusive slot runs alone, holding both the reader and the other slots.
TEST_F(ReaderTest, BusySlotsHoldTheReaderAndExclusiveRunsAlone) {
    Play({"#ChangeVar v 9", "#ChangeVar v 10"});
    auto fill = [this](int slot, int value) {
        char arg[2][SCRIPT_COMMAND_DATA::kTextSize] = {"w", ""};
        snprintf(arg[1], sizeof(arg[1]), "%d", value);
        adv.m_ScriptCommand[slot].SetData("#ChangeVar", arg, 2, 100 + slot);
    };
    Frame(); // header
    for (int i = 0; i < ADV_DATA::kSlotCount; ++i)
        fill(i, i + 1);
    EXPECT_EQ(Frame(), 0); // every slot busy: the line waits, the slots run in order
    EXPECT_EQ(Var("w"), 6);
    EXPECT_EQ(Var("v"), 0);
    EXPECT_EQ(adv.m_nLine, 1);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(Var("v"), 9);
    fill(1, 7);
    fill(4, 8);
    adv.m_ScriptCommand[4].m_bExclusive = 1;
    EXPECT_EQ(Frame(), 0); // slot 4 alone
    EXPECT_EQ(Var("w"), 8);
    EXPECT_EQ(Var("v"), 9);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(Var("w"), 7);
    EXPECT_EQ(Var("v"), 10);
}

TEST_F(ReaderTest, StartFailuresAreLogged) {
    Pack({{"s.spt", {"#EndScript"}}});
    ASSERT_EQ(adv.Initialize("Init.spt", &h.sys, &h.sprite, &h.snd, &global), 1);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::Initialize> #FIRST_EXE_SCRが実行されていません\n"));
    EXPECT_EQ(Frame(), ADV_DATA::kResultError);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::MainProc> 初期化されていません\n"));
    std::snprintf(adv.m_szScriptName, sizeof(adv.m_szScriptName), "%s", "x.spt");
    EXPECT_EQ(adv.m_MainScr.Initialize(&adv, &h.sys, &h.sprite, &h.snd), 0);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::Initialize> dat/Scenario.dat内にx.sptが見つかりません\n"));
    // The member found in any case, opened as the archive spells it.
    std::snprintf(adv.m_szScriptName, sizeof(adv.m_szScriptName), "%s", "S.SPT");
    EXPECT_EQ(adv.m_MainScr.Initialize(&adv, &h.sys, &h.sprite, &h.snd), 1);
    EXPECT_STREQ(adv.m_szScriptName, "s.spt");
    ADV_DATA other;
    EXPECT_EQ(other.Initialize("Init.spt", &h.sys, nullptr, &h.snd, &global), 0);
    EXPECT_TRUE(log.Contains("Error: <ADV_DATA::Initialize> KUSPRITE2クラスポインタの引数が不正です\n"));
    EXPECT_EQ(other.IDSearch(ADV_DATA::kKindVar, "v"), -1);
}

TEST_F(ReaderTest, ReadSkipListKeepsTheFurthestLine) {
    Play({"#EndScript"});
    MAIN_SCR& scr = adv.m_MainScr;
    // The game object records where play stopped.
    Frame();
    adv.RecordReadPosition();
    EXPECT_EQ(Record("s.spt")->m_nLine, 1);
    EXPECT_EQ(scr.AddAutoSkipFileList("a.spt", 10), 1);
    EXPECT_EQ(scr.AddAutoSkipFileList("A.SPT", 5), 1);
    EXPECT_EQ(scr.AddAutoSkipFileList("a.spt", 12), 1);
    EXPECT_EQ(Record("a.spt")->m_nLine, 12);
    EXPECT_EQ(scr.AddAutoSkipFileList("a.spt", -5), 1);
    EXPECT_EQ(scr.AddAutoSkipFileList("a.spt", 40), 1);
    EXPECT_EQ(Record("a.spt")->m_nLine, -1);
    EXPECT_EQ(scr.AddAutoSkipFileList("", 3), 0); // never a nameless record
    int32_t line = 0;
    EXPECT_EQ(scr.CheckAutoSkipFileList("A.spt", &line), 1);
    EXPECT_EQ(line, -1);
    EXPECT_EQ(scr.CheckAutoSkipFileList("b.spt", &line), 0);
    for (int i = 2; i < GAME_GLOBAL_DATA::kAutoSkipCount; ++i)
        ASSERT_EQ(scr.AddAutoSkipFileList(("f" + std::to_string(i)).c_str(), i), 1);
    EXPECT_EQ(scr.AddAutoSkipFileList("late.spt", 1), 0);
    EXPECT_TRUE(
        log.Contains("Warn: <SCR_MAIN::AddAutoSkipFileList> "
                     "バッファオーバーでオートスキップファイルリストに加えられませんでした\n"));
}

TEST_F(ReaderTest, FadeReachesItsTargetExactly) {
    Play({"#EndScript"});
    MAIN_SCR& scr = adv.m_MainScr;
    const uint32_t start = h.Now();
    float v = 0.0f;
    h.Frame(500);
    EXPECT_EQ(scr.FadeFunc(1, &v, 1.0f, start, 1000), 0);
    EXPECT_FLOAT_EQ(v, 0.5f);
    h.Frame(600);
    EXPECT_EQ(scr.FadeFunc(1, &v, 1.0f, start, 1000), 1);
    EXPECT_EQ(v, 1.0f);
    EXPECT_EQ(scr.FadeFunc(0, &v, 0.0f, h.Now(), 0), 0); // the clock has not moved
    h.Frame(1);
    EXPECT_EQ(scr.FadeFunc(0, &v, 0.0f, h.Now() - 1, 0), 1);
    EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(scr.FadeFunc(1, nullptr, 1.0f, start, 10), -1);
}

// Damaged scripts end in a result or keep going, never crash or hang.
TEST_F(ReaderTest, DamagedScriptsNeverCrash) {
    const std::vector<std::string> base = {"#ChangeVar v 1",    "#If v = 1 3",  "#AddVar v 2",      "#ElseIf v > 0 3",
                                           "#Else 3",           "#EndIf 3",     "#RandomStart 2 4", "#RandomBranch 1 4",
                                           "#RandomBranch 2 4", "#RandomEnd 4", "#Jump 1",          "// x",
                                           "#GoTo $l",          "$l",           "#FlgOnVar v 3",    "#FileChange s.spt",
                                           "#EndScript"};
    plat::SeedRand(11);
    std::mt19937 rng(5);
    std::filesystem::create_directories("dat");
    for (int round = 0; round < 150; ++round) {
        std::string plain = Plain(base);
        for (int k = 0; k < 6; ++k) {
            size_t at = rng() % plain.size();
            switch (rng() % 3) {
                case 0: plain[at] = static_cast<char>(rng()); break;
                case 1: plain.erase(at, rng() % 8); break;
                default: plain.insert(at, std::string(rng() % 600, static_cast<char>('A' + rng() % 3))); break;
            }
        }
        std::string error;
        ASSERT_TRUE(
            WriteArchive("dat/Scenario.dat", {{"s.spt", "", ScrambleScript(plain)}, EmptyInit()}, false, &error));
        std::filesystem::create_directories("tmp");
        Start("s.spt");
        RunToResult(400);
        adv.Clear();
    }
}

} // namespace
