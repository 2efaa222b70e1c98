#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "adv/adv_data.h"
#include "app/env_settings.h"
#include "flow/game_main.h"
#include "modes/config_mode_data.h"
#include "modes/load_mode_data.h"
#include "modes/save_mode_data.h"
#include "modes/title_mode_data.h"
#include "platform/dialog_test_hooks.h"
#include "platform/local_time.h"
#include "platform/local_time_test_hooks.h"
#include "tests/modes/mode_harness.h"
#include "tools/archive_writer.h"
#include "tools/script_writer.h"

namespace {

// The game object's roads into and out of the save and load screens.
class SaveLoadWiringTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::SetLocalTimeSource([] {
            plat::LocalTime t;
            t.month = 6;
            t.hour = 12;
            return t;
        });
        SetEnvDefaults();
        std::filesystem::create_directories("dat");
        std::filesystem::create_directories("tmp");
        std::string error;
        ASSERT_TRUE(WriteArchive("dat/Scenario.dat",
                                 {{"Init.spt", "", ScrambleScript("#CREATE_DATA VAR v\r\n#FIRST_EXE_SCR s.spt\r\n")},
                                  {"s.spt", "", ScrambleScript("// s\r\n#KeyWait\r\n#EndScript\r\n")}},
                                 false, &error))
            << error;
        ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0),
                  1);
        ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(84), 1);
        ASSERT_EQ(h.sprite.CreateTextureTextBuffer(71), 1);
        ASSERT_EQ(game->Initialize(&h.sys, &h.sprite, &h.snd), 1);
        ASSERT_EQ(Step(16), 1);
        ASSERT_EQ(Step(16, {{17, kHeld}}), 1); // logo skipped
        ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    }
    void TearDown() override {
        game.reset();
        h.sprite.Release();
        plat::SetLocalTimeSource(nullptr);
    }
    int Step(uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        h.Frame(ms, keys);
        return game->GameMainProc();
    }
    void RunWhile(int mode, int frames = 400) {
        for (int i = 0; i < frames && game->GetMode() == mode; ++i)
            ASSERT_EQ(Step(16), 1);
    }
    // A title row chosen with the menu up at once.
    void ChooseTitleRow(int y) {
        Step(16);
        Step(16, {{1, kClickUp}});
        h.sys.SetMousePos(400, y);
        Step(16);
        Step(16, {{1, kClickUp}});
        RunWhile(GAME_MAIN::kModeTitle);
    }
    // The adventure's fade-out for a screen over it is complete.
    void AdventureAsks(int state) {
        game->m_pAdvData->m_nPhase = state;
        game->m_pAdvData->m_dwPhaseStart = h.Now() - 1000;
    }
    kutest::TempDir dir;
    int token = 0;
    ModeHarness h;
    std::unique_ptr<GAME_MAIN> game = std::make_unique<GAME_MAIN>();
};

TEST_F(SaveLoadWiringTest, TitleLoadRowOpensTheLoadScreenOverAFreshGame) {
    ChooseTitleRow(317);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeLoad);
    ASSERT_NE(game->m_pLoadMode, nullptr);
    EXPECT_EQ(game->m_pLoadMode->m_nCallMode, LOAD_MODE_DATA::kCallerTitle);
    ASSERT_NE(game->m_pAdvData, nullptr);
    EXPECT_STREQ(game->m_pAdvData->m_szScriptName, "s.spt");
    EXPECT_EQ(game->m_pLoadMode->m_pAdvData, game->m_pAdvData);
    Step(16);
    RunWhile(GAME_MAIN::kModeLoad, 70);
    ASSERT_EQ(game->m_pLoadMode->m_nPhase, 2);
    h.sys.SetMousePos(700, 580); // to the title, without a question
    Step(16);
    Step(16, {{1, kClickUp}});
    RunWhile(GAME_MAIN::kModeLoad);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    EXPECT_EQ(game->m_pLoadMode, nullptr);
    EXPECT_EQ(game->m_pAdvData, nullptr);
    EXPECT_EQ(game->m_GlobalData.m_pAutoSkip[0].m_szFile[0], '\0'); // the unplayed game records nothing
}

TEST_F(SaveLoadWiringTest, SaveAndLoadOverTheGame) {
    ChooseTitleRow(285); // new game
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
    RunWhile(GAME_MAIN::kModeAdventure, 100); // waits on its key
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
    ADV_DATA* adv = game->m_pAdvData;

    fakesvc::Calls().clear();
    AdventureAsks(7);
    ASSERT_EQ(Step(16), 1);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeSave);
    ASSERT_NE(game->m_pSaveMode, nullptr);
    EXPECT_EQ(fakesvc::Count("GraphicUnload 0"), 1); // the game's pictures released under it
    EXPECT_EQ(fakesvc::Count("VoiceStop"), 1);
    RunWhile(GAME_MAIN::kModeSave, 70);
    h.sys.SetMousePos(700, 548); // back
    Step(16);
    Step(16, {{1, kClickUp}});
    RunWhile(GAME_MAIN::kModeSave);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
    EXPECT_EQ(game->GetOldMode(), GAME_MAIN::kModeSave);
    EXPECT_EQ(game->m_pSaveMode, nullptr);
    EXPECT_EQ(game->m_pAdvData, adv);
    EXPECT_EQ(adv->m_nPhase, 2); // fades back in to the same frame
    EXPECT_EQ(adv->m_MsgWnd.m_TextArea.m_fDispNum, -1.0f);

    RunWhile(GAME_MAIN::kModeAdventure, 100);
    AdventureAsks(10);
    ASSERT_EQ(Step(16), 1);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeLoad);
    EXPECT_EQ(game->m_pLoadMode->m_nCallMode, GAME_MAIN::kModeAdventure);
    RunWhile(GAME_MAIN::kModeLoad, 70);
    h.sys.SetMousePos(700, 580); // to the title: asks first
    Step(16);
    Step(16, {{1, kClickUp}});
    RunWhile(GAME_MAIN::kModeLoad, 40);
    Step(16, {{17, kHeld}});
    h.sys.SetMousePos(200, 324); // Yes
    Step(16);
    Step(16, {{1, kClickUp}});
    RunWhile(GAME_MAIN::kModeLoad);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    EXPECT_EQ(game->m_pAdvData, nullptr);
    EXPECT_EQ(game->m_pLoadMode, nullptr);
    EXPECT_STREQ(game->m_GlobalData.m_pAutoSkip[0].m_szFile, "s.spt"); // the read position was kept
}

// A screen over the game that cannot load its pictures (a full disk) is
// told in a box and the game fades back in where it was.
TEST_F(SaveLoadWiringTest, ScreensThatCannotStartAreToldAndTheGameGoesOn) {
    ChooseTitleRow(285); // new game
    RunWhile(GAME_MAIN::kModeAdventure, 100);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
    plat::ClearDialogAnswers();
    const int boxes = plat::DialogRunCount();
    const struct {
        int state, slot;
    } asks[] = {{7, SLOT_MODE_DATA::kSlotSaveBG}, {10, SLOT_MODE_DATA::kSlotLoadBG}, {4, CONFIG_MODE_DATA::kSlotBG}};
    for (const auto& a : asks) {
        fakesvc::g_failGraphicSlot = a.slot;
        AdventureAsks(a.state);
        ASSERT_EQ(Step(16), 1);
        EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure) << a.state;
        EXPECT_EQ(game->m_pAdvData->m_nPhase, 2) << a.state;
        fakesvc::g_failGraphicSlot = -1;
        RunWhile(GAME_MAIN::kModeAdventure, 100);
        EXPECT_EQ(game->m_pAdvData->m_nPhase, 0) << a.state;
    }
    EXPECT_EQ(plat::DialogRunCount(), boxes + 3);
    EXPECT_NE(plat::LastDialogTexts().find("データのロードに失敗しました"), std::string::npos);
}

TEST_F(SaveLoadWiringTest, ReleaseDeletesAnOpenLoadScreen) {
    ChooseTitleRow(317);
    ASSERT_NE(game->m_pLoadMode, nullptr);
    game->Release();
    EXPECT_EQ(game->m_pLoadMode, nullptr);
    EXPECT_EQ(game->m_pAdvData, nullptr);
}

} // namespace
