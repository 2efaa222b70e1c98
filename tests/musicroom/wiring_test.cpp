#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "app/env_settings.h"
#include "flow/game_main.h"
#include "gallery/bgm_mode_data.h"
#include "gallery/staff_roll_mode_data.h"
#include "modes/title_mode_data.h"
#include "platform/local_time.h"
#include "tests/modes/mode_harness.h"
#include "tests/musicroom/script_fixture.h"

namespace {

// The game object's roads into and out of the music room, the staff roll
// and the demo, over a started renderer.
class WiringTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvDefaults();
        ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0),
                  1);
        ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(30), 1);
        ASSERT_EQ(h.sprite.CreateTextureTextBuffer(21), 1);
        ASSERT_EQ(game->Initialize(&h.sys, &h.sprite, &h.snd), 1);
    }
    void TearDown() override {
        game.reset();
        h.sprite.Release();
    }
    int Step(uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        h.Frame(ms, keys);
        return game->GameMainProc();
    }
    void RunWhile(int mode, int frames = 400) {
        for (int i = 0; i < frames && game->GetMode() == mode; ++i)
            ASSERT_EQ(Step(16), 1);
    }

    kutest::TempDir dir;
    int token = 0;
    ModeHarness h;
    std::unique_ptr<GAME_MAIN> game = std::make_unique<GAME_MAIN>();
};

TEST_F(WiringTest, TitleRowFiveOpensTheMusicRoomWhichLeavesToTheTitle) {
    WriteScenario(dir, "BGMModeData.spt", "BGM01: a b a.mp3 c\r\n");
    ASSERT_EQ(Step(16), 1);
    ASSERT_EQ(Step(16, {{17, kHeld}}), 1); // logo skipped
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    Step(16);
    Step(16, {{1, kClickUp}}); // the menu at once
    h.sys.SetMousePos(400, 410);
    Step(16);
    Step(16, {{1, kClickUp}});
    RunWhile(GAME_MAIN::kModeTitle);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeMusicRoom);
    ASSERT_NE(game->m_pBGMMode, nullptr);
    h.sys.SetMousePos(500, 420); // exit
    RunWhile(GAME_MAIN::kModeMusicRoom, 70);
    Step(16, {{1, kClickUp}});
    RunWhile(GAME_MAIN::kModeMusicRoom);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    EXPECT_EQ(game->m_pBGMMode, nullptr);
}

TEST_F(WiringTest, StaffRollEndsInTheLogoAndTheIdleLogoInTheDemo) {
    WriteScenario(dir, "StaffRollModeData.spt", "#SET_PROC STAFF_ROLL_STOP_WAIT_END 0 >= 0\r\n");
    std::ofstream(dir.path() + "/dat/Mov.dat") << "movie";
    game->m_pStaffRollMode = new STAFF_ROLL_MODE_DATA;
    ASSERT_EQ(game->m_pStaffRollMode->Initialize(&h.sys, &h.sprite, &h.snd), 1);
    game->m_nMode = GAME_MAIN::kModeStaffRoll;
    RunWhile(GAME_MAIN::kModeStaffRoll);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeLogo);
    EXPECT_EQ(game->m_pStaffRollMode, nullptr);
    // A logo reached from the story's end leads to the title...
    ASSERT_EQ(Step(16, {{17, kHeld}}), 1);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    // ...one reached by the title's idle time-out to the demo, then the title.
    Step(16);
    Step(16, {{1, kClickUp}});
    for (int i = 0; i < 100 && game->GetMode() == GAME_MAIN::kModeTitle; ++i)
        Step(1000);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeLogo);
    ASSERT_EQ(Step(16, {{17, kHeld}}), 1);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeDemo);
    ASSERT_EQ(Step(16, {{17, kHeld}}), 1);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
}

// A game whose data lacks a mode's script or movie skips that mode with one
// warning and goes where the mode would have led, never to a fatal end.
TEST_F(WiringTest, ModesWhoseDataIsMissingAreSkippedWithAWarning) {
    WriteScenario(dir, "Other.spt", "x\r\n");
    kutest::DebugCapture log;
    auto warnings = [&] {
        int n = 0;
        for (const std::string& line : log.lines())
            n += line.find("Warn: <GAME_MAIN::GameMainProc>") != std::string::npos;
        return n;
    };
    ASSERT_EQ(Step(16), 1);
    ASSERT_EQ(Step(16, {{17, kHeld}}), 1);
    Step(16);
    Step(16, {{1, kClickUp}});
    h.sys.SetMousePos(400, 410); // the music room's row
    Step(16);
    Step(16, {{1, kClickUp}});
    for (int i = 0; i < 400 && game->m_pTitleMode && game->m_pTitleMode->m_nPhase >= 6; ++i)
        ASSERT_EQ(Step(16), 1);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    EXPECT_EQ(game->m_pBGMMode, nullptr);
    EXPECT_EQ(warnings(), 1);
    // The idle logo leads to the title when there is no demo movie.
    for (int i = 0; i < 200 && game->GetMode() == GAME_MAIN::kModeTitle; ++i)
        ASSERT_EQ(Step(1000), 1);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeLogo);
    ASSERT_EQ(Step(16, {{17, kHeld}}), 1);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    EXPECT_EQ(warnings(), 2);
    EXPECT_EQ(log.all().find("Error:"), std::string::npos) << log.all();
}

} // namespace
