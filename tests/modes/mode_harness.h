#pragma once
#include <initializer_list>
#include <utility>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/asset_slots.h"
#include "sound/kusnd.h"
#include "tests/modes/fake_services.h"
#include "tests/support/test_env.h"

// A frame driver for the mode tests: a fake clock, the real system object
// with key states and the pointer set per frame, and engine objects that
// were never started (the service calls are recorded by the fakes).
class ModeHarness {
public:
    ModeHarness() {
        fakesvc::Reset();
        clock_.clock.Set(100000);
        sys.UpdateTime();
    }
    // Runs time forward and sets this frame's key states (others up).
    void Frame(uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        clock_.clock.Advance(ms);
        sys.UpdateTime();
        for (int vk = 0; vk < 256; ++vk)
            sys.SetKeyState(vk, 0);
        for (auto& k : keys)
            sys.SetKeyState(k.first, k.second);
    }
    uint32_t Now() { return static_cast<uint32_t>(sys.GetTime()); }
    // Starts the renderer on a dummy window with the slot tables the game
    // binds in its first frame; true when all of it worked.
    bool StartSprite() {
        static int window;
        return sprite.Initialize(&sys, reinterpret_cast<plat::WindowHandle>(&window), &window, 800, 600, 32, 0) == 1 &&
               sprite.CreateGraphicDataBuffer(kGraphicSlotCount) == 1 &&
               sprite.CreateTextureTextBuffer(kTextureTextSlotCount) == 1;
    }

    kutest::FakeClockScope clock_;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    KUSND snd;
};

constexpr int kClickUp = 3;
constexpr int kHeld = 1;
