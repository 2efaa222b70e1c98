// A full adventure frame drawn through the scene objects (background, three
// characters, two animated objects, the message window typing, the controller
// bar and the choice windows) next to a frame of the background alone, both
// from the sample game's pictures. Target: the whole scene under 1.0 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "adv/adv_data.h"
#include "bench/game_folder.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "scene/controller_window.h"
#include "scene/ctrl_wnd_obj.h"
#include "game/game_settings.h"
#include "scene/graphic_data.h"
#include "scene/message_data.h"
#include "scene/message_window.h"
#include "scene/object_data.h"
#include "scene/select_window_agg.h"
#include "sound/kusnd.h"

namespace {

struct Scene {
    Scene() {
        ok = EnterGameFolder();
        if (!ok)
            return;
        auto* handle = reinterpret_cast<plat::WindowHandle>(&token);
        g_bSoundEnable = 0;
        g_dwAntiAliasLevel = 4;
        g_dwMessageSpeed = 40;
        sys.Initialize(handle, 1);
        sys.UpdateTime();
        ok = sprite.Initialize(&sys, handle, &token, 800, 600, 32, 0) == 1 && sprite.CreateGraphicDataBuffer(84) == 1 &&
             sprite.CreateTextureTextBuffer(71) == 1 && Picture(bg, "BG", "bg01.bmp", 1, 0, 0);
    }
    ~Scene() {
        for (auto& o : objects)
            o.Clear();
        choices.Clear();
        bar.Clear();
        msg.Clear();
        for (auto& c : charas)
            c.Clear();
        bg.Clear();
        sprite.Release();
    }

    bool Picture(GRAPHIC_DATA& g, const char* id, const char* file, int number, float x, float y) {
        if (g.Initialize(&sprite, &sys, id) != 1 || g.SetGraphicData(file, 1, number) != 1 || g.m_bLoad != 1)
            return false;
        g.m_bShow = 1;
        g.m_fX = x;
        g.m_fY = y;
        return true;
    }
    bool Slot(uint32_t slot, const char* file) {
        return sprite.SetGraphicData(slot, "tmp/", file, 4, 1) == 1 && sprite.CreateGraphicData(slot, 0, 0, 0, 0) == 1;
    }

    // Everything above the background, laid out as the adventure lays it out.
    bool Populate() { return PopulatePictures() && PopulateWindows() && PopulateText(); }

    // Three characters and two animated objects.
    bool PopulatePictures() {
        static const char* const kCharas[3] = {"chara01.dds", "chara02.dds", "chara03.dds"};
        for (int i = 0; i < 3; ++i)
            if (!Picture(charas[i], "CHARA", kCharas[i], 2 + i, -100.0f + 300.0f * i, 0))
                return false;
        charas[1].m_fAlpha = 0.75f;
        // A strip of four cells running as a ping-pong animation, gliding to
        // and fro; and a picture fading out and in at a fixed place.
        OBJECT_DATA& glider = objects[0];
        OBJECT_DATA& fader = objects[1];
        if (glider.Initialize(&sprite, &snd, &sys, "OBJ1") != 1 ||
            glider.CreateObject("CGReplay_Controller.dds", 40, 60, 128, 0, 4, 1, 1, 5) != 1 ||
            fader.Initialize(&sprite, &snd, &sys, "OBJ2") != 1 ||
            fader.CreateObject("logo.bmp", 420, 120, 0, 0, 1, 0, 1, 6) != 1)
            return false;
        glider.AddProcDataBuf(0, 600, 60, 2000, OBJECT_DATA::kProcMove, 0, 0, 0, 0);
        glider.AddProcDataBuf(1, 40, 60, 2000, OBJECT_DATA::kProcMove, 0, 0, 0, 0);
        glider.AddProcDataBuf(2, 0, 0, 0, OBJECT_DATA::kProcGoto, 0, 0, 0, 0);
        fader.AddProcDataBuf(0, 0, 0, 1000, OBJECT_DATA::kProcFadeOut, 0, 0, 0, 0);
        fader.AddProcDataBuf(1, 420, 120, 1000, OBJECT_DATA::kProcFadeIn, 0, 0, 0, 0);
        fader.AddProcDataBuf(2, 0, 0, 0, OBJECT_DATA::kProcGoto, 0, 0, 0, 0);
        for (auto& o : objects) {
            o.m_bRun = 1;
            o.DrawON();
        }
        return true;
    }

    // The message window and the controller bar with its ten buttons.
    bool PopulateWindows() {
        if (!Slot(2, "MessageWindow.dds") || !Slot(3, "Controller.dds"))
            return false;
        if (msg.Initialize(&sys, &sprite, &snd, 2, {0, 0, 540, 116}, {0, 0, 540, 116}, 6.0f, 480.0f, {0, 116, 540, 232},
                           0.0f, 0.0f, 0.8f, {544, 0, 592, 29}, 489.0f, 76.0f, 0.0f) != 1 ||
            bar.Initialize(&sys, &sprite, &snd, &msg, 3, {0, 0, 228, 116}, 566.0f, 480.0f, {228, 0, 456, 116}, 0.0f,
                           0.0f, 0.5f) != 1)
            return false;
        // Offset and normal look of each button; hover lies 224 to the
        // right of the look, pressed 116 below, disabled both.
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
            if (b[i].Initialize(&bar, &sprite, &sys, 3, static_cast<float>(r[0]), static_cast<float>(r[1]), &hit, &look,
                                &hover, &pressed, &disabled) != 1)
                return false;
        }
        if (bar.SetButton(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &b[8], &b[9]) != 1)
            return false;
        msg.DispWindow();
        msg.m_fAlpha = 1.0f;
        bar.DispWindow();
        bar.m_fAlpha = 1.0f;
        bar.SetDefaultButtonStatus();
        return true;
    }

    // About three lines of full-width text, with a speaker's name, and a choice set.
    bool PopulateText() {
        MESSAGE_DATA m;
        std::snprintf(m.m_szName, sizeof(m.m_szName), "%s", "春香");
        std::snprintf(m.m_szText, sizeof(m.m_szText), "%s",
                      "今日はいい天気ですね。駅前の喫茶店で待ち合わせをしているのですが、"
                      "約束の時間になっても誰も来ません。もう少しだけ待ってみることにしましょうか。");
        if (msg.SetText(&m, 4) != 1)
            return false;
        msg.m_NameArea.m_fDispNum = -1.0f; // the name shows whole, as the adventure shows it

        // The choice set loads its picture itself, from the slot the game binds.
        if (sprite.SetGraphicData(SELECT_WINDOW::kGraphicSlot, "tmp/", "SelectWindow.dds", 4, 1) != 1 ||
            choices.Initialize(&sys, &sprite, &snd, 2) != 1)
            return false;
        const char* const kChoices[2] = {"もう少し待つ", "帰ることにする"};
        for (int i = 0; i < 2; ++i) {
            MESSAGE_DATA c;
            std::snprintf(c.m_szText, sizeof(c.m_szText), "%s", kChoices[i]);
            if (choices.SetText(i, &c, 4) != 1)
                return false;
        }
        return choices.AppearWindow(-1, 0, 0) == 1;
    }

    int token = 0;
    bool ok = false;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    KUSND snd;
    ADV_DATA adv;
    GRAPHIC_DATA bg;
    GRAPHIC_DATA charas[3];
    OBJECT_DATA objects[2];
    MESSAGE_WINDOW msg;
    CONTROLLER_WINDOW bar;
    SELECT_WINDOW_AGG choices;
};

constexpr uint32_t kFrameMs = 16;

void BM_BackgroundOnly(benchmark::State& state) {
    Scene s;
    if (!s.ok) {
        state.SkipWithError("no sample game pictures: build the game target first");
        return;
    }
    for ([[maybe_unused]] auto _ : state) {
        s.sprite.D3DXDrawStart();
        s.bg.DrawProc();
        s.sprite.D3DXDrawEnd();
        benchmark::DoNotOptimize(s.sprite.GetBackSurface()->pixels.data());
    }
}

void BM_FullScene(benchmark::State& state) {
    Scene s;
    if (!s.ok || !s.Populate()) {
        state.SkipWithError("scene setup failed: build the game target first");
        return;
    }
    // Frames advance a simulated 16 ms each: the text types out over about
    // four seconds and starts again, the objects run their programs.
    uint32_t now = static_cast<uint32_t>(s.sys.GetTime()), typingStart = now;
    for ([[maybe_unused]] auto _ : state) {
        now += kFrameMs;
        if (now - typingStart > 4000)
            typingStart = now;
        s.msg.CountMessageDispNum(typingStart, now, -1);
        for (auto& o : s.objects) {
            o.MainLoopProc(&s.adv, now);
            o.AnimationProc(now);
        }
        s.sprite.D3DXDrawStart();
        s.bg.DrawProc();
        for (auto& c : s.charas)
            c.DrawProc();
        for (auto& o : s.objects)
            o.DrawProc();
        s.msg.DrawProc();
        s.bar.DrawProc();
        s.choices.DrawProc();
        s.sprite.D3DXDrawEnd();
        benchmark::DoNotOptimize(s.sprite.GetBackSurface()->pixels.data());
    }
}

} // namespace

BENCHMARK(BM_BackgroundOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullScene)->Unit(benchmark::kMicrosecond);
