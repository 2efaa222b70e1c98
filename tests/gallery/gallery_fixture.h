#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

#include "app/env_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/game_global_data.h"
#include "gallery/cg_mode_data.h"
#include "sound/kusnd.h"
#include "tests/modes/fake_services.h"
#include "tests/support/test_env.h"
#include "tools/archive_writer.h"
#include "tools/script_writer.h"

// The gallery over a started renderer (no window) in a fresh folder whose
// dat/Scenario.dat holds the given data script; fake clock, key states and
// pointer set per frame, the shell's services recorded.
class GalleryTest : public ::testing::Test {
protected:
    static constexpr int kUp = 3; // released this frame
    static constexpr int kHeld = 1;

    void SetUp() override {
        fakesvc::Reset();
        clock.clock.Set(100000);
        auto* token = reinterpret_cast<plat::WindowHandle>(&windowToken);
        sys.Initialize(token, 1);
        sys.UpdateTime();
        g_dwMessageSpeed = 100;
        g_bAutoSkip = 1;
        g_dwSEVolume = g_dwVoiceVolume = g_dwBGMVolume = 5;
        ASSERT_EQ(sprite.Initialize(&sys, token, &windowToken, 800, 600, 32, 0), 1);
        ASSERT_EQ(sprite.CreateGraphicDataBuffer(84), 1);
        ASSERT_EQ(sprite.CreateTextureTextBuffer(71), 1);
    }
    void TearDown() override {
        cg.Release();
        sprite.Release();
    }
    // Lines joined with CR LF, after the comment line every script starts with.
    void Script(std::initializer_list<const char*> lines) {
        std::string plain = "// gallery\r\n";
        for (const char* l : lines)
            plain += std::string(l) + "\r\n";
        dir.Write("dat/.keep", "");
        std::string error;
        ASSERT_TRUE(WriteArchive("dat/Scenario.dat", {ArchiveMember{"CGModeData.spt", "", ScrambleScript(plain)}},
                                 false, &error))
            << error;
    }
    void Start() { ASSERT_EQ(cg.Initialize(&sys, &sprite, &snd, &global, "CGModeData.spt"), 1); }
    // One frame: time forward, key states (others up), pointer, MainProc.
    int Frame(uint32_t ms, int x, int y, std::initializer_list<std::pair<int, int>> keys = {}) {
        clock.clock.Advance(ms);
        sys.UpdateTime();
        for (int vk = 0; vk < 256; ++vk)
            sys.SetKeyState(vk, 0);
        for (auto& k : keys)
            sys.SetKeyState(k.first, k.second);
        sys.SetMousePos(x, y);
        return cg.MainProc();
    }
    int Click(int x, int y) {
        Frame(16, x, y, {{1, 2}});
        return Frame(16, x, y, {{1, kUp}});
    }
    // Runs frames until the state settles at `state` (at most 200 frames).
    void RunTo(int state) {
        for (int i = 0; i < 200 && cg.m_nState != state; ++i)
            Frame(50, 0, 0);
        ASSERT_EQ(cg.m_nState, state);
    }
    std::string Bound(int slot) {
        const char* n = sprite.GetGraphicDataFileName(static_cast<uint32_t>(slot));
        return n ? n : "";
    }
    void UnlockCG(int e, int k, int page, int cell) {
        const int b = (page - 1) * 15 + cell - 1;
        global.m_dwCgFlag[e - 1][k - 1][b / 32] |= 1u << (b % 32);
    }

    kutest::TempDir dir;
    kutest::FakeClockScope clock;
    kutest::DebugCapture log;
    int windowToken = 0;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    KUSND snd;
    GAME_GLOBAL_DATA global;
    CG_MODE_DATA cg;
};
