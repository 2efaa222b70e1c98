#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "adv/adv_data.h"
#include "app/env_settings.h"
#include "game/asset_slots.h"
#include "flow/game_main.h"
#include "platform/video.h"
#include "platform/video_present.h"
#include "platform/video_test_hooks.h"
#include "tests/modes/mode_harness.h"

namespace {

// The sample game with its pictures, headless on the fake clock. Every frame
// drawn only where it changed must equal the same frame drawn in full, and
// the presented copy must equal the back buffer.
class PartialFramesTest : public testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        const fs::path dat = fs::path(kutest::BinaryDir()) / "game" / "dat";
        if (!fs::exists(dat / "Scenario.dat"))
            GTEST_SKIP() << "the sample game is not built";
        fs::create_directories("dat");
        fs::create_directories("tmp");
        for (const fs::directory_entry& e : fs::directory_iterator(dat))
            fs::create_symlink(e.path(), fs::path("dat") / e.path().filename());
        SetEnvDefaults();
        ASSERT_TRUE(h.StartSprite());
        game = std::make_unique<GAME_MAIN>();
        ASSERT_EQ(game->Initialize(&h.sys, &h.sprite, &h.snd), 1);
        plat::SetFrameCheckHook([this](const plat::Surface& drawn, const plat::Surface& full, bool part) {
            ++checked;
            drawnCopy = drawn.pixels;
            partial += part ? 1 : 0;
            if (drawn.pixels != full.pixels && firstBad++ < 0)
                firstBad = frame;
        });
    }
    void TearDown() override {
        plat::SetFrameCheckHook(nullptr);
        game.reset();
        h.sprite.Release();
    }

    // One frame of the game; false when it failed.
    bool Step() {
        drawnCopy.clear(); // the back buffer stays unread: reading it spoils the next comparison
        if (game->GameMainProc() != 1)
            return false;
        game->GameMainDraw(); // a mode that just ended draws nothing
        presentedWrong += !drawnCopy.empty() && plat::LastPresentedFrame().pixels != drawnCopy ? 1 : 0;
        ++frame;
        return true;
    }
    // Fast-forward from the title's new game on.
    void FastForward() {
        const int mode = game->GetMode();
        h.sys.SetMousePos(mode == GAME_MAIN::kModeTitle || mode == GAME_MAIN::kModeLogo ? 350 : 400,
                          mode == GAME_MAIN::kModeTitle || mode == GAME_MAIN::kModeLogo ? 280 : 208);
        h.Frame(16, {{17, kHeld}, {1, frame % 2 ? kClickUp : kHeld}});
    }
    void ExpectAllEqual() {
        EXPECT_EQ(firstBad, -1) << "first different frame";
        EXPECT_EQ(presentedWrong, 0);
    }

    kutest::TempDir dir;
    ModeHarness h;
    std::unique_ptr<GAME_MAIN> game;
    std::vector<uint32_t> drawnCopy;
    int frame = 0, checked = 0, partial = 0, presentedWrong = 0;
    int firstBad = -1; // then the count of differing frames less one
};

// From the title to the quiz: typed lines, the click-wait mark blinking, the
// options screen over the story, then fast-forward through pictures,
// animated objects, fades and the choice.
TEST_F(PartialFramesTest, EveryFrameEqualsAFullRedraw) {
    int adventure = 0, config = 0;
    constexpr int kTyped = 900, kFrames = 4000;
    while (frame < kFrames) {
        const int mode = game->GetMode();
        if (mode == GAME_MAIN::kModeAdventure)
            ++adventure;
        if (mode == GAME_MAIN::kModeTest)
            break; // the quiz has a test of its own
        const bool click = frame % 90 == 0;
        const bool menu = mode == GAME_MAIN::kModeTitle || mode == GAME_MAIN::kModeLogo;
        if (mode == GAME_MAIN::kModeConfig) {
            ++config;
            h.sys.SetMousePos(400, 540); // back to the story
            h.Frame(16, {{1, config % 60 == 59 ? kClickUp : 0}});
        } else if (!menu && adventure < kTyped) {
            // Lines typed out and the mark blinking; once, the options screen.
            h.sys.SetMousePos(400, 208); // the first choice
            h.Frame(16, {{1, click ? kClickUp : 0},
                         {'C', config == 0 && adventure >= 600 && adventure % 50 == 0 ? kClickUp : 0}});
        } else {
            FastForward();
        }
        ASSERT_TRUE(Step()) << "frame " << frame;
    }
    ExpectAllEqual();
    EXPECT_GT(config, 0);
    EXPECT_GT(checked, 1000);
    EXPECT_GT(partial, 300);
    // The blinking mark and the typed lines are redrawn over what was kept of the page under them.
    ASSERT_NE(plat::VideoDevice::Current(), nullptr);
    EXPECT_GT(plat::VideoDevice::Current()->underlaidRects(), 200u);
}

// The first scene fast-forwarded, then the second at its own pace (wipe,
// animated object, mosaic, the movie's window closing and opening, the fade
// out), the quiz run out on its clock, and the scene after it to the logo.
TEST_F(PartialFramesTest, SecondSceneAndAfterEqualAFullRedraw) {
    bool second = false, quiz = false;
    int afterQuiz = 0;
    while (frame < 6000) {
        const int mode = game->GetMode();
        if (quiz && mode == GAME_MAIN::kModeLogo)
            break;
        const bool inAdventure = mode == GAME_MAIN::kModeAdventure && game->m_pAdvData;
        second = second || (inAdventure && std::strcmp(game->m_pAdvData->m_szScriptName, "Second.spt") == 0);
        if (mode == GAME_MAIN::kModeTest) {
            // Its time limit runs out in a few frames; clicks leave its result.
            quiz = true;
            h.sys.SetMousePos(400, 208);
            h.Frame(1000, {{1, frame % 2 ? kClickUp : kHeld}});
        } else if (second) {
            // A click every second: effects run their course, lines type out.
            afterQuiz += quiz ? 1 : 0;
            h.sys.SetMousePos(400, 208);
            h.Frame(16, {{1, frame % 60 == 0 ? kClickUp : 0}});
        } else {
            FastForward();
        }
        ASSERT_TRUE(Step()) << "frame " << frame;
    }
    EXPECT_TRUE(second);
    EXPECT_TRUE(quiz);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeLogo);
    EXPECT_GT(afterQuiz, 30);
    ExpectAllEqual();
    EXPECT_GT(partial, 200);
}

} // namespace
