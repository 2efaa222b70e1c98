#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <utility>

#include "adv/adv_data.h"
#include "app/env_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/controller_window.h"
#include "game/message_window.h"
#include "game/msg_wnd_obj.h"
#include "sound/kusnd.h"
#include "tests/modes/fake_services.h"
#include "tests/support/test_env.h"

// The adventure screen's message window and controller bar over a started
// renderer (no window), with a fake clock, key states and the pointer set
// per frame, and the shell's services recorded.
class WindowTest : public ::testing::Test {
protected:
    static constexpr int kUp = 3; // released this frame
    static constexpr int kDown = 2;
    static constexpr int kHeld = 1;

    void SetUp() override {
        fakesvc::Reset();
        clock.clock.Set(100000);
        sys.UpdateTime();
        g_dwMessageSpeed = 100;
        g_bAutoSkip = 0;
        g_dwAutoSkipSpeed = 250;
        g_dwAntiAliasLevel = 4;
        g_dwSEVolume = g_dwVoiceVolume = g_dwBGMVolume = 5;
        ASSERT_EQ(sprite.Initialize(&sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0), 1);
        ASSERT_EQ(sprite.CreateGraphicDataBuffer(84), 1);
        ASSERT_EQ(sprite.CreateTextureTextBuffer(71), 1);
        adv.m_bWindowShown = 1;
    }
    void TearDown() override {
        bar.Clear();
        msg.Clear();
        sprite.Release();
    }

    // The adventure's layout for both windows, shown at full alpha.
    void OpenAdventureWindows(bool withMessageWindow = true) {
        if (withMessageWindow) {
            ASSERT_EQ(msg.Initialize(&sys, &sprite, &snd, 2, {0, 0, 540, 116}, {0, 0, 540, 116}, 6.0f, 480.0f,
                                     {0, 116, 540, 232}, 0.0f, 0.0f, 0.8f, {544, 0, 592, 29}, 489.0f, 76.0f, 0.0f),
                      1);
            msg.DispWindow();
            msg.m_fAlpha = 1.0f;
        }
        ASSERT_EQ(bar.Initialize(&sys, &sprite, &snd, withMessageWindow ? &msg : nullptr, 3, {0, 0, 228, 116}, 566.0f,
                                 480.0f, {228, 0, 456, 116}, 0.0f, 0.0f, 0.5f),
                  1);
        struct Row {
            float x, y;
            KURECT hit, normal, hover, pressed, disabled;
        };
        static const Row kRows[10] = {
            {112,
             3,
             {112, 3, 184, 27},
             {72, 116, 144, 140},
             {296, 116, 368, 140},
             {72, 232, 144, 256},
             {296, 232, 368, 256}},
            {44, 3, {44, 3, 116, 27}, {0, 116, 72, 140}, {224, 116, 296, 140}, {0, 232, 72, 256}, {224, 232, 296, 256}},
            {44,
             89,
             {44, 89, 116, 113},
             {0, 140, 72, 164},
             {224, 140, 296, 164},
             {0, 256, 72, 280},
             {224, 256, 296, 280}},
            {70,
             20,
             {70, 20, 126, 60},
             {112, 164, 168, 204},
             {336, 164, 392, 204},
             {112, 280, 168, 320},
             {336, 280, 392, 320}},
            {15,
             26,
             {15, 26, 71, 90},
             {0, 164, 56, 228},
             {224, 164, 280, 228},
             {0, 280, 56, 344},
             {224, 280, 280, 344}},
            {125,
             26,
             {125, 26, 181, 90},
             {56, 164, 112, 228},
             {280, 164, 336, 228},
             {56, 280, 112, 344},
             {280, 280, 336, 344}},
            {70,
             55,
             {70, 55, 126, 95},
             {168, 164, 224, 204},
             {392, 164, 448, 204},
             {168, 280, 224, 320},
             {392, 280, 448, 320}},
            {112,
             89,
             {112, 89, 184, 113},
             {72, 140, 144, 164},
             {296, 140, 368, 164},
             {72, 256, 144, 280},
             {296, 256, 368, 280}},
            {208,
             35,
             {208, 35, 224, 59},
             {144, 116, 160, 140},
             {368, 116, 384, 140},
             {144, 232, 160, 256},
             {368, 232, 384, 256}},
            {208,
             55,
             {208, 55, 224, 79},
             {160, 116, 176, 140},
             {384, 116, 400, 140},
             {160, 232, 176, 256},
             {384, 232, 400, 256}},
        };
        CTRL_WND_OBJ b[10];
        for (int i = 0; i < 10; ++i) {
            const Row& r = kRows[i];
            ASSERT_EQ(
                b[i].Initialize(&bar, &sprite, &sys, 3, r.x, r.y, &r.hit, &r.normal, &r.hover, &r.pressed, &r.disabled),
                1);
        }
        ASSERT_EQ(bar.SetButton(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &b[8], &b[9]), 1);
        bar.DispWindow();
        bar.m_fAlpha = 1.0f;
        bar.SetDefaultButtonStatus();
    }

    // Runs time forward and sets this frame's key states (others up).
    void Frame(uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        clock.clock.Advance(ms);
        sys.UpdateTime();
        for (int vk = 0; vk < 256; ++vk)
            sys.SetKeyState(vk, 0);
        for (auto& k : keys)
            sys.SetKeyState(k.first, k.second);
    }
    // One frame of both windows as the adventure runs them; the bar's action.
    int Step(uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        Frame(ms, keys);
        int taken = 0, action = -1;
        EXPECT_EQ(msg.MainProc(&taken, &adv), 1);
        EXPECT_EQ(bar.MainProc(&action, &adv), 1);
        return action;
    }
    void Pointer(int x, int y) { sys.SetMousePos(x, y); }
    uint32_t Now() { return static_cast<uint32_t>(sys.GetTime()); }
    // Centre of a button on screen.
    void PointAt(int button) {
        const KURECT& rc = bar.m_Button[button].m_rcHit;
        Pointer(566 + (rc.left + rc.right) / 2, 480 + (rc.top + rc.bottom) / 2);
    }
    int State(int button) const { return bar.m_Button[button].m_nState; }

    static MESSAGE_DATA Message(const char* text, const char* name = "", const char* voice = "") {
        MESSAGE_DATA m;
        std::strcpy(m.m_szText, text);
        std::strcpy(m.m_szName, name);
        std::strcpy(m.m_szVoice, voice);
        return m;
    }

    kutest::TempDir dir;
    kutest::FakeClockScope clock;
    kutest::DebugCapture log;
    int token = 0;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    KUSND snd;
    ADV_DATA adv;
    MESSAGE_WINDOW msg;
    CONTROLLER_WINDOW bar;
};
