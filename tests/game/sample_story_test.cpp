#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "game/asset_slots.h"
#include "app/env_settings.h"
#include "flow/game_main.h"
#include "game/shell_services.h"
#include "tests/modes/mode_harness.h"

namespace {

// The sample game's story from the title's new game to the logo at its end,
// headless on the fake clock: Ctrl held throughout and the first choice
// clicked. The archive comes from the built game folder.
TEST(SampleStoryTest, PlaysFromTheTitleToTheEnd) {
    const std::string scenario = kutest::BinaryDir() + "/game/dat/Scenario.dat";
    if (!std::filesystem::exists(scenario))
        GTEST_SKIP() << "the sample game is not built";
    kutest::TempDir dir;
    std::filesystem::create_directories("dat");
    std::filesystem::create_directories("tmp");
    std::filesystem::copy_file(scenario, "dat/Scenario.dat");
    SetEnvDefaults();
    ModeHarness h;
    static int window;
    ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&window), &window, 800, 600, 32, 0), 1);
    // The slot tables the game binds in its first frame (recorded only here).
    ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(kGraphicSlotCount), 1);
    ASSERT_EQ(h.sprite.CreateTextureTextBuffer(kTextureTextSlotCount), 1);
    auto game = std::make_unique<GAME_MAIN>();
    ASSERT_EQ(game->Initialize(&h.sys, &h.sprite, &h.snd), 1);
    kutest::DebugCapture log;
    bool played = false;
    for (int i = 0; i < 40000; ++i) {
        const int mode = game->GetMode();
        played = played || mode == GAME_MAIN::kModeAdventure;
        if (played && mode == GAME_MAIN::kModeLogo)
            break;
        if (mode == GAME_MAIN::kModeTitle)
            h.sys.SetMousePos(350, 280); // new game
        else
            h.sys.SetMousePos(400, 208); // the first choice
        // The title skips its opening on a click and takes the item on the next.
        h.Frame(16, {{17, kHeld}, {1, i % 2 ? kClickUp : kHeld}});
        ASSERT_EQ(game->GameMainProc(), 1) << "frame " << i << "\n" << log.all();
    }
    ASSERT_TRUE(played);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeLogo);
    const GAME_GLOBAL_DATA& global = game->m_GlobalData;
    EXPECT_STREQ(global.m_pAutoSkip[0].m_szFile, "Start.spt");
    EXPECT_EQ(global.m_pAutoSkip[0].m_nLine, -1);
    EXPECT_STREQ(global.m_pAutoSkip[1].m_szFile, "Second.spt");
    EXPECT_EQ(global.m_pAutoSkip[1].m_nLine, -1);
    // Without a sound device, movie channel or loaded work surface only these fail.
    const std::string all = log.all();
    size_t failures = 0;
    for (size_t at = all.find("命令でエラーが発生しました"); at != std::string::npos;
         at = all.find("命令でエラーが発生しました", at + 1))
        ++failures;
    EXPECT_EQ(failures, 4u) << all;
    for (const char* line : {"Start.sptの18行目、#SetData", "Start.sptの19行目、#PlayWave",
                             "Second.sptの39行目、#MosaicExpansion", "Second.sptの44行目、#MoviePlay"})
        EXPECT_TRUE(log.Contains(line)) << line;
    game.reset();
    h.sprite.Release();
}

} // namespace
