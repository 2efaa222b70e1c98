// Saving and loading a full slot file: a scene with pictures (one with a
// long frame strip), animated objects, text areas, sounds, variables, a
// full message history and two open choices. Load to first frame adds the
// adventure's resume, the reopened script and one drawn frame. Target: each
// under 5 ms; the reader's own part (the parse) is measured apart from the
// choice picture and texts it rebuilds. The renderer's emulated 100 ms wait per loaded picture is
// skipped (a fake clock) so that the work itself is measured.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "adv/adv_data.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/game_global_data.h"
#include "game/game_settings.h"
#include "scene/graphic_data.h"
#include "scene/object_data.h"
#include "scene/sound_data.h"
#include "scene/textarea_data.h"
#include "game/var_data.h"
#include "modes/save_slot_file.h"
#include "modes/save_slot_parts.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "sound/kusnd.h"
#include "tools/archive_writer.h"
#include "tools/pictures/screen_pictures.h"
#include "tools/script_writer.h"

namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines)
        text += l + "\r\n";
    return text;
}

struct Game {
    Game() {
        plat::SetClock(&clock);
        char scratch[] = "/tmp/ku_save_slot_bench.XXXXXX";
        if (!mkdtemp(scratch) || chdir(scratch) != 0)
            return;
        plat::MakeDir("dat");
        plat::MakeDir("tmp");
        plat::MakeDir("sav");
        std::vector<ArchiveMember> pictures;
        for (auto& [name, bytes] : screens::ScreenPictures())
            pictures.push_back(ArchiveMember{name, "", bytes});
        std::vector<std::string> init = {"// items"};
        const char* const kinds[] = {"GRAPHIC", "OBJECT", "TEXTAREA", "SOUND"};
        for (const char* kind : kinds)
            for (int i = 0; i < 8; ++i)
                init.push_back(std::string("#CREATE_DATA ") + kind + " " + kind[0] + std::to_string(i));
        for (int i = 0; i < 50; ++i)
            init.push_back("#CREATE_DATA VAR V" + std::to_string(i));
        init.push_back("#FIRST_EXE_SCR s.spt");
        std::vector<std::string> story = {"// story"};
        for (int i = 0; i < 40; ++i)
            story.push_back("#TimeWait 100000");
        std::string error;
        if (!WriteArchive("dat/Img.dat", pictures, false, &error) ||
            !WriteArchive("dat/SE.dat", {{"se01.wav", "", "RIFF0000WAVE"}}, false, &error) ||
            !WriteArchive("dat/Scenario.dat",
                          {{"Init.spt", "", ScrambleScript(Lines(init))}, {"s.spt", "", ScrambleScript(Lines(story))}},
                          false, &error))
            return;
        g_bSoundEnable = 0;
        g_dwAntiAliasLevel = 4;
        auto* handle = reinterpret_cast<plat::WindowHandle>(&token);
        sys.UpdateTime();
        if (sprite.Initialize(&sys, handle, &token, 800, 600, 32, 0) != 1 || sprite.CreateGraphicDataBuffer(84) != 1 ||
            sprite.CreateTextureTextBuffer(71) != 1)
            return;
        const struct {
            uint32_t slot;
            const char* name;
        } slots[] = {{0, "fade.bmp"}, {2, "MessageWindow.dds"}, {3, "Controller.dds"}, {4, "SelectWindow.dds"}};
        for (const auto& s : slots)
            sprite.SetGraphicData(s.slot, "tmp/", s.name, 4, 1);
        ok = adv.Initialize("Init.spt", &sys, &sprite, &snd, &global) == 1 &&
             restored.Initialize("Init.spt", &sys, &sprite, &snd, &global) == 1 && Populate();
    }
    ~Game() { plat::SetClock(nullptr); }

    bool Populate() {
        const char* const files[] = {"TitleBG.bmp", "logo.bmp", "ConfigBG.bmp"};
        for (int i = 0; i < 3; ++i) {
            GRAPHIC_DATA& g = adv.m_pGraphic[i];
            if (g.SetGraphicData(files[i], 1, i + 1) != 1)
                return false;
            g.m_bShow = 1;
            g.m_nPriority = 10 * i;
        }
        adv.m_pGraphic[2].SetAnimationData(64, 0);
        for (uint32_t j = 0; j < 64; ++j) {
            const KURECT rc{static_cast<int32_t>(j) * 10, 0, static_cast<int32_t>(j) * 10 + 10, 10};
            adv.m_pGraphic[2].SetAnimationFrameData(j, 50, &rc);
        }
        for (int i = 0; i < 3; ++i) {
            OBJECT_DATA& o = adv.m_pObject[i];
            if (o.CreateObject("CGReplay_Controller.dds", 40.0f * i, 60, 64, 64, 4, 0, 1, 10 + i) != 1)
                return false;
            o.AddProcDataBuf(0, 600, 60, 2000, OBJECT_DATA::kProcMove, 0, 0, 0, 0);
            o.AddProcDataBuf(1, 0, 0, 0, OBJECT_DATA::kProcGoto, 0, 0, 0, 0);
            o.m_bRun = 1;
            o.DrawON();
        }
        for (int i = 0; i < 4; ++i) {
            TEXTAREA_DATA& t = adv.m_pTextArea[i];
            t.SetFontData(36 + i, "見出しの文字\n二行目の文字", 20, 400, 4, 17, 0, 1);
            const KURECT area{40, 40 + 60 * i, 400, 100 + 60 * i};
            const uint32_t shown = 1;
            t.SetDrawData(nullptr, &area, nullptr, nullptr, &shown);
        }
        for (int i = 0; i < 4; ++i)
            adv.m_pSound[i].SetSoundData("se01.wav", 2, 0, 0, 1);
        for (uint32_t i = 0; i < adv.m_dwVarNum; ++i)
            adv.m_pVar[i].SetValue(static_cast<int32_t>(i * 37));
        adv.DrawObjectSort();
        adv.m_MsgWnd.DispWindow();
        adv.m_MsgWnd.m_fAlpha = 1.0f;
        adv.m_CtrlWnd.DispWindow();
        adv.m_CtrlWnd.m_fAlpha = 1.0f;
        for (int i = 0; i < 70; ++i) {
            MESSAGE_DATA m;
            std::snprintf(m.m_szName, sizeof(m.m_szName), "話し手%d", i);
            std::snprintf(
                m.m_szText, sizeof(m.m_szText),
                "%d番目の文です。駅前の喫茶店で待ち合わせをしているのですが、\n約束の時間になっても誰も来ません。", i);
            std::snprintf(m.m_szVoice, sizeof(m.m_szVoice), "voice%03d.ogg", i);
            adv.m_MsgWnd.SetHistoryBuf(&m);
            if (i == 69)
                adv.m_MsgWnd.SetText(&m, 4);
        }
        if (adv.m_SelectWnd.Initialize(&sys, &sprite, &snd, 2) != 1)
            return false;
        const char* const choices[] = {"もう少し待つ", "帰ることにする"};
        for (int i = 0; i < 2; ++i) {
            MESSAGE_DATA c;
            std::snprintf(c.m_szText, sizeof(c.m_szText), "%s", choices[i]);
            adv.m_SelectWnd.SetText(i, &c, 4);
        }
        std::snprintf(adv.m_szScriptName, sizeof(adv.m_szScriptName), "s.spt");
        adv.m_nLine = 10;
        return WriteSaveSlotFile(&sys, &adv, 1) == 1;
    }

    plat::FakeClock clock{100000};
    int token = 0;
    bool ok = false;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    KUSND snd;
    GAME_GLOBAL_DATA global;
    ADV_DATA adv;
    ADV_DATA restored;
};

Game& TheGame() {
    static Game* game = new Game;
    return *game;
}

void BM_SaveFullSlot(benchmark::State& state) {
    Game& g = TheGame();
    if (!g.ok) {
        state.SkipWithError("scene could not be set up");
        return;
    }
    for ([[maybe_unused]] auto _ : state)
        benchmark::DoNotOptimize(WriteSaveSlotFile(&g.sys, &g.adv, 1));
}

void BM_LoadFullSlot(benchmark::State& state) {
    Game& g = TheGame();
    if (!g.ok) {
        state.SkipWithError("scene could not be set up");
        return;
    }
    for ([[maybe_unused]] auto _ : state)
        benchmark::DoNotOptimize(ReadSaveSlotFile(&g.sys, &g.sprite, &g.snd, &g.restored, 1));
}

// The reader's own part: the whole file checked into its staging record,
// without the rebuilt texts and choice picture.
void BM_ParseFullSlot(benchmark::State& state) {
    Game& g = TheGame();
    std::string data;
    if (!g.ok || !plat::ReadWholeFile("sav/sav01.sav", &data)) {
        state.SkipWithError("scene could not be set up");
        return;
    }
    for ([[maybe_unused]] auto _ : state) {
        saveslot::SlotImage image;
        benchmark::DoNotOptimize(saveslot::ParseSlotText(&g.sys, data, g.restored, saveslot::SlotLimits{}, &image));
    }
}

// The file read, the scene's pictures and texts loaded again, the script
// reopened at its line and the first frame drawn.
void BM_LoadToFirstFrame(benchmark::State& state) {
    Game& g = TheGame();
    if (!g.ok) {
        state.SkipWithError("scene could not be set up");
        return;
    }
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        g.restored.LoadDataRelease();
        state.ResumeTiming();
        if (ReadSaveSlotFile(&g.sys, &g.sprite, &g.snd, &g.restored, 1) != 1 || g.restored.LoadDataResume() != 1 ||
            g.restored.m_MainScr.ScriptFileOpen(g.restored.m_szScriptName, g.restored.m_nLine - 1) != 1) {
            state.SkipWithError("load failed");
            return;
        }
        g.clock.Advance(16);
        g.sys.UpdateTime();
        g.restored.MainProc();
        g.sprite.D3DXDrawStart();
        g.restored.DrawProc();
        g.sprite.D3DXDrawEnd();
        benchmark::DoNotOptimize(g.sprite.GetBackSurface()->pixels.data());
    }
}

BENCHMARK(BM_SaveFullSlot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFullSlot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseFullSlot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadToFirstFrame)->Unit(benchmark::kMillisecond);

} // namespace
