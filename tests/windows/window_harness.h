#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "adv/adv_data.h"
#include "app/env_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "scene/controller_window.h"
#include "scene/message_window.h"
#include "scene/msg_wnd_obj.h"
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
        // Offset and normal look of each button in table order; the hit
        // rectangle is the look's size at the offset, hover lies 224 to the
        // right, pressed 116 below, disabled both.
        static const int kRows[10][6] = {
            {112, 3, 72, 116, 72, 24},   {44, 3, 0, 116, 72, 24},    {44, 89, 0, 140, 72, 24},
            {70, 20, 112, 164, 56, 40},  {15, 26, 0, 164, 56, 64},   {125, 26, 56, 164, 56, 64},
            {70, 55, 168, 164, 56, 40},  {112, 89, 72, 140, 72, 24}, {208, 35, 144, 116, 16, 24},
            {208, 55, 160, 116, 16, 24},
        };
        CTRL_WND_OBJ b[10];
        for (int i = 0; i < 10; ++i) {
            const int* r = kRows[i];
            const KURECT hit{r[0], r[1], r[0] + r[4], r[1] + r[5]}, look{r[2], r[3], r[2] + r[4], r[3] + r[5]};
            const KURECT hover{look.left + 224, look.top, look.right + 224, look.bottom};
            const KURECT pressed{look.left, look.top + 116, look.right, look.bottom + 116};
            const KURECT disabled{hover.left, pressed.top, hover.right, pressed.bottom};
            ASSERT_EQ(b[i].Initialize(&bar, &sprite, &sys, 3, static_cast<float>(r[0]), static_cast<float>(r[1]), &hit,
                                      &look, &hover, &pressed, &disabled),
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
        std::snprintf(m.m_szText, sizeof(m.m_szText), "%s", text);
        std::snprintf(m.m_szName, sizeof(m.m_szName), "%s", name);
        std::snprintf(m.m_szVoice, sizeof(m.m_szVoice), "%s", voice);
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
