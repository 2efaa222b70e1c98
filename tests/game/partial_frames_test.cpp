#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/env_settings.h"
#include "game/asset_slots.h"
#include "flow/game_main.h"
#include "platform/video_present.h"
#include "platform/video_test_hooks.h"
#include "tests/modes/mode_harness.h"

namespace {

// The sample story with its pictures, headless on the fake clock, from the
// title to the quiz: typed lines, the click-wait mark blinking, the options
// screen over the story, then fast-forward through pictures, animated
// objects, fades and the choice. Every frame drawn only where it changed must equal the same
// frame drawn in full, and the presented copy must equal the back buffer.
TEST(PartialFramesTest, EveryFrameEqualsAFullRedraw) {
    namespace fs = std::filesystem;
    const fs::path dat = fs::path(kutest::BinaryDir()) / "game" / "dat";
    if (!fs::exists(dat / "Scenario.dat"))
        GTEST_SKIP() << "the sample game is not built";
    kutest::TempDir dir;
    fs::create_directories("dat");
    fs::create_directories("tmp");
    for (const fs::directory_entry& e : fs::directory_iterator(dat))
        fs::create_symlink(e.path(), fs::path("dat") / e.path().filename());
    SetEnvDefaults();
    ModeHarness h;
    static int window;
    ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&window), &window, 800, 600, 32, 0), 1);
    ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(kGraphicSlotCount), 1);
    ASSERT_EQ(h.sprite.CreateTextureTextBuffer(kTextureTextSlotCount), 1);
    auto game = std::make_unique<GAME_MAIN>();
    ASSERT_EQ(game->Initialize(&h.sys, &h.sprite, &h.snd), 1);

    int checked = 0, partial = 0, differing = 0, frame = 0, firstBad = -1;
    std::vector<uint32_t> drawnCopy; // the back buffer stays unread: reading it spoils the next comparison
    plat::SetFrameCheckHook([&](const plat::Surface& drawn, const plat::Surface& full, bool part) {
        ++checked;
        drawnCopy = drawn.pixels;
        partial += part ? 1 : 0;
        if (drawn.pixels != full.pixels) {
            ++differing;
            if (firstBad < 0)
                firstBad = frame;
        }
    });
    int presentedWrong = 0, adventure = 0, config = 0;
    constexpr int kTyped = 900, kFrames = 4000;
    for (frame = 0; frame < kFrames; ++frame) {
        const int mode = game->GetMode();
        if (mode == GAME_MAIN::kModeAdventure)
            ++adventure;
        if (mode == GAME_MAIN::kModeTest)
            break; // the quiz has a test of its own
        const bool click = frame % 90 == 0;
        if (mode == GAME_MAIN::kModeTitle || mode == GAME_MAIN::kModeLogo) {
            h.sys.SetMousePos(350, 280); // new game
            h.Frame(16, {{17, kHeld}, {1, frame % 2 ? kClickUp : kHeld}});
        } else if (mode == GAME_MAIN::kModeConfig) {
            ++config;
            h.sys.SetMousePos(400, 540); // back to the story
            h.Frame(16, {{1, config % 60 == 59 ? kClickUp : 0}});
        } else if (adventure < kTyped) {
            // Lines typed out and the mark blinking; once, the options screen.
            h.sys.SetMousePos(400, 208); // the first choice
            h.Frame(16, {{1, click ? kClickUp : 0}, {'C', config == 0 && adventure >= 600 && adventure % 50 == 0 ? kClickUp : 0}});
        } else {
            h.sys.SetMousePos(400, 208);
            h.Frame(16, {{17, kHeld}, {1, frame % 2 ? kClickUp : kHeld}});
        }
        drawnCopy.clear();
        ASSERT_EQ(game->GameMainProc(), 1) << "frame " << frame;
        game->GameMainDraw(); // a mode that just ended draws nothing
        presentedWrong += !drawnCopy.empty() && plat::LastPresentedFrame().pixels != drawnCopy ? 1 : 0;
    }
    plat::SetFrameCheckHook(nullptr);
    EXPECT_EQ(differing, 0) << "first at frame " << firstBad;
    EXPECT_EQ(presentedWrong, 0);
    EXPECT_GT(config, 0);
    EXPECT_GT(checked, 1000);
    EXPECT_GT(partial, 300);
    game.reset();
    h.sprite.Release();
}

} // namespace
