#include <string>

#include "scene/graphic_data.h"
#include "scene/object_data.h"
#include "platform/dialog.h"
#include "platform/dialog_test_hooks.h"
#include "tests/adv/adv_fixture.h"

namespace {

class InitScrTest : public AdvTest {
protected:
    int Init(const std::vector<std::string>& lines) {
        Pack({{"Init.spt", lines}, {"s.spt", {"#EndScript"}}});
        dialogs = plat::DialogRunCount();
        return adv.Initialize("Init.spt", &h.sys, &h.sprite, &h.snd, &global);
    }
    int NewDialogs() const { return plat::DialogRunCount() - dialogs; }
    int dialogs = 0;
};

TEST_F(InitScrTest, CountsDeclarationsAndTakesTheLastFirstScript) {
    ASSERT_EQ(Init({"// declarations", "#CREATE_DATA GRAPHIC BG", "#create_data graphic CH", "#CREATE_DATA GRAPHIC EV",
                    "#CREATE_DATA OBJECT BIRD", "#CREATE_DATA OBJECT STAR", "#CREATE_DATA CHARACTER GIRL",
                    "#CHARA_SET_FACE GIRL smile", "#CHARA_SET_BODY GIRL a", "#CHARA_SET_EYE GIRL b", "#UNKNOWN x", "",
                    "#FIRST_EXE_SCR none.spt", "#FIRST_EXE_SCR s.spt"}),
              1);
    EXPECT_EQ(adv.m_dwGraphicNum, 3u);
    EXPECT_EQ(adv.m_dwObjectNum, 2u);
    EXPECT_EQ(adv.m_dwDrawOrderNum, 5u);
    EXPECT_EQ(adv.m_dwSoundNum + adv.m_dwVarNum + adv.m_dwTextAreaNum, 0u);
    EXPECT_EQ(adv.m_pSound, nullptr);
    EXPECT_EQ(adv.m_pVar, nullptr);
    EXPECT_EQ(adv.IDSearch(ADV_DATA::kKindGraphic, "ch"), 1);
    EXPECT_EQ(adv.IDSearch(ADV_DATA::kKindObject, "Star"), 1);
    EXPECT_EQ(adv.m_pObjectShown[1], 0);
    EXPECT_STREQ(adv.m_szScriptName, "s.spt");
    EXPECT_TRUE(adv.m_MainScr.m_bInit);
    EXPECT_EQ(NewDialogs(), 0);
    EXPECT_FALSE(dir.Exists("tmp/Init.spt"));
    EXPECT_TRUE(log.Contains("Message: <INIT_SCR::InitScrMain> INITファイルの終端です\n"));
    // A fresh object has nothing to release: no "not initialised" line at a new game.
    EXPECT_FALSE(log.Contains("初期化されていません"));
}

TEST_F(InitScrTest, DuplicateWarnsWithItsLineAndBothExist) {
    ASSERT_EQ(Init({"#CREATE_DATA VAR a", "#CREATE_DATA VAR b", "#CREATE_DATA VAR A", "#FIRST_EXE_SCR s.spt"}), 1);
    EXPECT_EQ(NewDialogs(), 1);
    EXPECT_EQ(plat::LastDialogCaption(), "Warning");
    EXPECT_EQ(plat::LastDialogTexts(), "4行目で警告が発生しました\n");
    EXPECT_TRUE(log.Contains(
        "Warn: <INIT_SCR::CreateDataProc> 変数データ内に同名IDが存在します。正常に動作しない可能性があります\n"));
    EXPECT_EQ(adv.m_dwVarNum, 3u);
    EXPECT_STREQ(adv.m_pVar[2].GetName(), "A");
    EXPECT_EQ(adv.IDSearch(ADV_DATA::kKindVar, "a"), 0);
}

TEST_F(InitScrTest, BadLinesStopTheCreatingPass) {
    const std::string longId(120, 'x');
    const std::pair<std::string, const char*> cases[] = {
        {"#CREATE_DATA PICTURE p", "定義されていない識別子です"},
        {"#CREATE_DATA SOUND " + longId, "ID名が不正です"},
        {"#FIRST_EXE_SCR", "指定スクリプトファイルパスが不正です"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Init({"#CREATE_DATA GRAPHIC a", "#CREATE_DATA SOUND b", "#CREATE_DATA SOUND c", c.first,
                        "#CREATE_DATA GRAPHIC d", "#FIRST_EXE_SCR s.spt"}),
                  0)
            << c.first;
        EXPECT_EQ(NewDialogs(), 1);
        EXPECT_EQ(plat::LastDialogCaption(), "Error");
        EXPECT_EQ(plat::LastDialogTexts(), "5行目でエラーが発生しました\n");
        EXPECT_TRUE(log.Contains(c.second)) << c.first;
        EXPECT_TRUE(log.Contains("Error: <ADV_DATA::Initialize> 初期設定スクリプトの初期化に失敗しました\n"));
        EXPECT_FALSE(dir.Exists("tmp/Init.spt"));
        log.Clear();
    }
}

TEST_F(InitScrTest, MissingScriptsFailWhereThePlayerLearnsOfThem) {
    Pack({{"s.spt", {"#EndScript"}}});
    std::filesystem::remove("dat/Scenario.dat");
    std::vector<ArchiveMember> members = {{"s.spt", "", ScrambleScript(Plain({"#EndScript"}))}};
    std::string error;
    ASSERT_TRUE(WriteArchive("dat/Scenario.dat", members, false, &error)) << error;
    EXPECT_EQ(adv.Initialize("Init.spt", &h.sys, &h.sprite, &h.snd, &global), 0);
    EXPECT_TRUE(log.Contains("Error: <INIT_SCR::Initialize> dat/Scenario.dat内にInit.sptが見つかりません\n"));

    // Without a first script the adventure starts and its first frame fails.
    ASSERT_EQ(Init({"#CREATE_DATA VAR v"}), 1);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::Initialize> #FIRST_EXE_SCRが実行されていません\n"));
    EXPECT_EQ(Frame(), ADV_DATA::kResultError);
}

} // namespace
