#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "adv/adv_data.h"
#include "app/env_settings.h"
#include "flow/game_main.h"
#include "game/shell_services.h"
#include "gallery/cg_mode_data.h"
#include "modes/config_mode_data.h"
#include "modes/title_mode_data.h"
#include "scene/controller_window.h"
#include "platform/local_time_test_hooks.h"
#include "tests/modes/mode_harness.h"
#include "tools/archive_writer.h"
#include "tools/script_writer.h"

namespace {

// The game object from the title into the gallery and through a scene
// replay, with key states and the pointer set per frame on the fake clock.
class GalleryReplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::SetLocalTimeSource([] { return plat::LocalTime{}; });
        SetEnvDefaults();
        g_bLibraryInit = 0;
        static int window;
        ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&window), &window, 800, 600, 32, 0),
                  1);
        ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(84), 1);
        ASSERT_EQ(h.sprite.CreateTextureTextBuffer(71), 1);
        std::filesystem::create_directories("dat");
        std::filesystem::create_directories("tmp");
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
    // Hover, button down, button up.
    void Click(int x, int y) {
        h.sys.SetMousePos(x, y);
        ASSERT_EQ(Step(16), 1);
        ASSERT_EQ(Step(16, {{1, 2}}), 1);
        ASSERT_EQ(Step(16, {{1, kClickUp}}), 1);
    }
    void Run(int frames) {
        for (int i = 0; i < frames; ++i)
            ASSERT_EQ(Step(16), 1) << log.all();
    }
    void RunUntilMode(int mode) {
        for (int i = 0; i < 300 && game->GetMode() != mode; ++i)
            ASSERT_EQ(Step(16), 1) << log.all();
        ASSERT_EQ(game->GetMode(), mode) << log.all();
    }
    // Logo skipped, the title's gallery row, the gallery settled.
    void IntoGallery() {
        ASSERT_EQ(Step(16), 1);
        ASSERT_EQ(Step(16, {{17, kHeld}}), 1);
        ASSERT_EQ(Step(16), 1);
        ASSERT_EQ(Step(16, {{1, kClickUp}}), 1); // skips the title's intro
        ASSERT_NE(game->m_pTitleMode, nullptr);
        ASSERT_EQ(game->m_pTitleMode->m_nPhase, 6);
        ASSERT_NO_FATAL_FAILURE(Click(402, 380));
        ASSERT_NO_FATAL_FAILURE(RunUntilMode(GAME_MAIN::kModeGallery));
        ASSERT_NO_FATAL_FAILURE(Run(80));
        ASSERT_NE(Gallery(), nullptr);
        ASSERT_EQ(Gallery()->m_nState, 2);
    }
    // The gallery mode object; every use asserts it is there first, so a
    // game that lost it fails the test instead of crashing it.
    CG_MODE_DATA* Gallery() const { return game->m_pCGMode; }
    // Episode 1, its second scene page, the panel of scene 5 + cell.
    void ChooseSceneOnPage2(int cell) {
        ASSERT_NO_FATAL_FAILURE(Click(60, 91));
        ASSERT_NO_FATAL_FAILURE(Run(40));
        ASSERT_NO_FATAL_FAILURE(Click(759, 214));
        ASSERT_NO_FATAL_FAILURE(Run(40));
        ASSERT_NE(Gallery(), nullptr);
        ASSERT_EQ(Gallery()->m_nScenePage, 2);
        ASSERT_NO_FATAL_FAILURE(Click(116 + 136 * (cell - 1) + 68, 152));
        ASSERT_NO_FATAL_FAILURE(Run(40));
        ASSERT_NE(Gallery(), nullptr);
        ASSERT_EQ(Gallery()->m_nOpenCell, cell);
        ASSERT_NO_FATAL_FAILURE(Click(116 + 136 * (cell - 1) + 68, 166)); // the panel's replay button
        ASSERT_NE(Gallery(), nullptr);
        ASSERT_EQ(Gallery()->m_nState, 8);
    }

    kutest::TempDir dir;
    ModeHarness h;
    kutest::DebugCapture log;
    std::unique_ptr<GAME_MAIN> game = std::make_unique<GAME_MAIN>();
};

// Episode 1 with seven scenes: scene 6 replays "r.spt" (its scene waits for
// a click with the message window open), scene 7 names a missing script.
void WriteFixture() {
    std::string gallery = "// gallery\r\nEPISODE01 第一話\r\n";
    for (int k = 1; k <= 5; ++k)
        gallery += "EPISODE01-SCENE0" + std::to_string(k) + " NULL\r\n";
    gallery += "EPISODE01-SCENE06 r.spt\r\nEPISODE01-SCENE07 gone.spt\r\n";
    gallery += "EPISODE01-SCENE06-PAGE01-X01-Y01 a.bmp\r\nEPISODE01-SCENE06-PAGE01-X02-Y01 b.bmp\r\n";
    std::string error;
    ASSERT_TRUE(
        WriteArchive("dat/Scenario.dat",
                     {{"CGModeData.spt", "", ScrambleScript(gallery)},
                      {"r.spt", "", ScrambleScript("// replay\r\n#CREATE_DATA VAR v\r\n#FIRST_EXE_SCR s.spt\r\n")},
                      {"s.spt", "",
                       ScrambleScript("// scene\r\n#ChangeEpisode 1 6\r\n#MsgWndOpen 0\r\n"
                                      "#FlgOnVar CG 2\r\n#KeyWait\r\n#EndScript\r\n")}},
                     false, &error))
        << error;
}

TEST_F(GalleryReplayTest, SceneReplaysWithOptionsAndReturnsToItsPage) {
    WriteFixture();
    ASSERT_EQ(game->Initialize(&h.sys, &h.sprite, &h.snd), 1);
    game->m_GlobalData.m_dwEventFlag[0] = 0x7F;
    game->m_GlobalData.m_dwCgFlag[0][5][0] = 0x1;
    ASSERT_NO_FATAL_FAILURE(IntoGallery());
    ASSERT_NO_FATAL_FAILURE(ChooseSceneOnPage2(1));
    ASSERT_NO_FATAL_FAILURE(Run(70));
    // The gallery stays alive, covered, while the scene plays.
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeSceneReplay) << log.all();
    ASSERT_NE(game->m_pAdvData, nullptr);
    ASSERT_NE(game->m_pCGMode, nullptr);
    EXPECT_EQ(g_bAutoSkip, 0);
    EXPECT_STREQ(game->m_pAdvData->m_szScriptName, "s.spt");
    EXPECT_EQ(fakesvc::Count("GraphicUnload 21"), 1); // the gallery's pages gave their memory
    Run(100);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeSceneReplay);
    ASSERT_NE(game->m_pAdvData, nullptr);
    EXPECT_EQ(game->m_GlobalData.m_dwCgFlag[0][5][0], 0x3u); // the scene's picture flag
    // A replay has no save or load: both drawn disabled, S and L do nothing.
    const CONTROLLER_WINDOW& bar = game->m_pAdvData->m_CtrlWnd;
    EXPECT_EQ(bar.m_Button[CONTROLLER_WINDOW::kSave].m_nState, -1);
    EXPECT_EQ(bar.m_Button[CONTROLLER_WINDOW::kLoad].m_nState, -1);
    ASSERT_EQ(Step(16, {{'S', kClickUp}}), 1);
    ASSERT_EQ(Step(16, {{'L', kClickUp}}), 1);
    Run(80);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeSceneReplay);

    // The options screen from the scene's bar, and back into the scene.
    ASSERT_EQ(Step(16, {{67, kClickUp}}), 1);
    RunUntilMode(GAME_MAIN::kModeConfig);
    EXPECT_EQ(game->GetOldMode(), GAME_MAIN::kModeSceneReplay);
    Run(80);
    Click(400, 540);
    RunUntilMode(GAME_MAIN::kModeSceneReplay);
    EXPECT_EQ(game->m_pConfigMode, nullptr);
    ASSERT_NE(game->m_pAdvData, nullptr);
    Run(80);
    EXPECT_EQ(game->m_pAdvData->m_CtrlWnd.m_Button[CONTROLLER_WINDOW::kSave].m_nState, -1);

    // A click ends the scene: the gallery fades in on the page it was left at.
    ASSERT_NO_FATAL_FAILURE(Click(300, 300));
    ASSERT_NO_FATAL_FAILURE(RunUntilMode(GAME_MAIN::kModeGallery));
    EXPECT_EQ(game->m_pAdvData, nullptr);
    CG_MODE_DATA* cg = Gallery();
    ASSERT_NE(cg, nullptr);
    EXPECT_EQ(cg->m_nState, 0);
    ASSERT_NO_FATAL_FAILURE(Run(80));
    ASSERT_EQ(Gallery(), cg);
    EXPECT_EQ(cg->m_nState, 2);
    EXPECT_EQ(cg->m_nEpisode, 1);
    EXPECT_EQ(cg->m_nScenePage, 2);
    EXPECT_EQ(cg->m_nOpenCell, 1);
    EXPECT_EQ(fakesvc::Count("BGM_DS_Play 1 BGM02.mp3"), 2);
    EXPECT_EQ(fakesvc::Count("GraphicLoad 21"), 2);

    // A named scene whose script is missing is logged; the gallery goes on.
    Click(416, 580); // exit: the gallery leaves to the title
    RunUntilMode(GAME_MAIN::kModeTitle);
    EXPECT_EQ(game->m_pCGMode, nullptr);
    Click(10, 10);
    Click(402, 380);
    ASSERT_NO_FATAL_FAILURE(RunUntilMode(GAME_MAIN::kModeGallery));
    ASSERT_NO_FATAL_FAILURE(Run(80));
    ASSERT_NO_FATAL_FAILURE(ChooseSceneOnPage2(2));
    ASSERT_NO_FATAL_FAILURE(Run(70));
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeGallery);
    EXPECT_EQ(game->m_pAdvData, nullptr);
    EXPECT_TRUE(log.Contains("Warn: <GAME_MAIN::GameMainProc> dat/Scenario.dat内にgone.sptがありません。ギャラリーに戻ります\n"))
        << log.all();
    ASSERT_NO_FATAL_FAILURE(Run(80));
    ASSERT_NE(Gallery(), nullptr);
    EXPECT_EQ(Gallery()->m_nState, 2);
}

// A game without the gallery's data script still opens the gallery: each
// reader logs the missing member, and the episode shows no scenes.
TEST_F(GalleryReplayTest, GalleryOpensWithoutItsDataScript) {
    std::string error;
    ASSERT_TRUE(WriteArchive("dat/Scenario.dat", {{"r.spt", "", ScrambleScript("// replay\r\n")}}, false, &error))
        << error;
    ASSERT_EQ(game->Initialize(&h.sys, &h.sprite, &h.snd), 1);
    ASSERT_NO_FATAL_FAILURE(IntoGallery());
    ASSERT_NO_FATAL_FAILURE(Click(60, 91)); // episode 1
    ASSERT_NO_FATAL_FAILURE(Run(40));
    CG_MODE_DATA* cg = Gallery();
    ASSERT_NE(cg, nullptr);
    EXPECT_EQ(cg->m_nState, 2);
    EXPECT_EQ(cg->m_nEpisode, 1);
    EXPECT_EQ(cg->m_sceneItem[0].bDispFlg, 0);
    EXPECT_TRUE(log.Contains("Error: <CG_MODE_DATA::GetMaxScenePage> dat/Scenario.dat内にCGModeData.sptが見つかりません\n"))
        << log.all();
    EXPECT_FALSE(log.Contains("がありません")) << log.all();
    Click(416, 580); // exit
    RunUntilMode(GAME_MAIN::kModeTitle);
}

} // namespace
