// The sample story headless on a driven clock, from the adventure's first line
// to the logo after its end, with fast-forward (Ctrl) held and the first
// choice taken: the script step per frame (the game object's frame procedure:
// reader, dispatcher, handlers, scene objects) apart from drawing the frame.
// Target: the step under 0.1 ms a frame.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "bench/game_folder.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "flow/game_main.h"
#include "game/asset_slots.h"
#include "game/game_settings.h"
#include "platform/clock.h"
#include "platform/debug_out.h"
#include "sound/kusnd.h"

namespace {

double NowUs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

constexpr int kVkControl = 17, kVkLButton = 1, kHeld = 1, kClickUp = 3;

struct Playthrough {
    int frames = 0; // the adventure's, from its first line to the end
    double stepUs = 0, drawUs = 0;
    std::vector<double> steps; // each frame's
    // Steps that leave the adventure for another screen load that screen's
    // pictures: counted apart.
    int switches = 0;
    double switchUs = 0;
    bool ended = false;
};

// One game from the title's new game to the logo after the story.
Playthrough Play() {
    Playthrough p;
    plat::FakeClock clock;
    plat::SetClock(&clock);
    int token = 0;
    auto* handle = reinterpret_cast<plat::WindowHandle>(&token);
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    KUSND snd;
    sys.Initialize(handle, 1);
    sys.UpdateTime();
    SetEnvDefaults();
    if (sprite.Initialize(&sys, handle, &token, 800, 600, 32, 0) != 1 ||
        sprite.CreateGraphicDataBuffer(kGraphicSlotCount) != 1 ||
        sprite.CreateTextureTextBuffer(kTextureTextSlotCount) != 1) {
        plat::SetClock(nullptr);
        return p;
    }
    auto game = std::make_unique<GAME_MAIN>();
    bool played = false;
    if (game->Initialize(&sys, &sprite, &snd) == 1) {
        for (int i = 0; i < 40000; ++i) {
            const int mode = game->GetMode();
            played = played || mode == GAME_MAIN::kModeAdventure;
            if (played && mode == GAME_MAIN::kModeLogo) {
                p.ended = true;
                break;
            }
            // The quiz has no fast-forward: its time limit runs out in a few frames.
            clock.Advance(mode == GAME_MAIN::kModeTest ? 1000 : 16);
            sys.UpdateTime();
            for (int vk = 0; vk < 256; ++vk)
                sys.SetKeyState(vk, 0);
            // The title's new game, then the first choice; a click every
            // other frame skips what Ctrl does not.
            sys.SetMousePos(mode == GAME_MAIN::kModeTitle ? 350 : 400, mode == GAME_MAIN::kModeTitle ? 280 : 208);
            sys.SetKeyState(kVkControl, kHeld);
            sys.SetKeyState(kVkLButton, i % 2 ? kClickUp : kHeld);
            const double t0 = NowUs();
            if (game->GameMainProc() != 1)
                break;
            const double t1 = NowUs();
            game->GameMainDraw();
            if (mode == GAME_MAIN::kModeAdventure && game->GetMode() != mode) {
                ++p.switches;
                p.switchUs += t1 - t0;
            } else if (mode == GAME_MAIN::kModeAdventure) {
                ++p.frames;
                p.stepUs += t1 - t0;
                p.steps.push_back(t1 - t0);
                p.drawUs += NowUs() - t1;
            }
        }
    }
    game.reset();
    sprite.Release();
    plat::SetClock(nullptr);
    return p;
}

void BM_StoryFastForward(benchmark::State& state) {
    if (!EnterGameFolder()) {
        state.SkipWithError("no sample game: build the game target first");
        return;
    }
    g_bSoundEnable = 0;
    plat::SetDebugSink([](const std::string&) {}); // the story's expected failures (no sound, no movie)
    int frames = 0, switches = 0;
    double step = 0, draw = 0, switching = 0;
    std::vector<double> steps;
    for ([[maybe_unused]] auto _ : state) {
        const Playthrough p = Play();
        if (!p.ended) {
            state.SkipWithError("the story did not reach its end");
            break;
        }
        frames += p.frames;
        step += p.stepUs;
        draw += p.drawUs;
        switches += p.switches;
        switching += p.switchUs;
        steps.insert(steps.end(), p.steps.begin(), p.steps.end());
        state.SetIterationTime(p.stepUs / 1e6);
    }
    plat::SetDebugSink(nullptr);
    if (frames > 0) {
        state.counters["frames"] = static_cast<double>(frames) / static_cast<double>(state.iterations());
        state.counters["step_us_per_frame"] = step / frames;
        state.counters["draw_us_per_frame"] = draw / frames;
        // Most frames only wait or type; the handlers that load pictures make the mean.
        std::sort(steps.begin(), steps.end());
        state.counters["step_us_median"] = steps[steps.size() / 2];
        state.counters["step_us_p99"] = steps[steps.size() * 99 / 100];
        if (switches > 0)
            state.counters["switch_us_each"] = switching / switches;
    }
}

} // namespace

BENCHMARK(BM_StoryFastForward)->UseManualTime()->Unit(benchmark::kMillisecond);
