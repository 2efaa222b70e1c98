#include "game/engine_services.h"

#include <cstdio>
#include <cstring>

#include "game/game_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "platform/debug_out.h"
#include "sound/kusnd.h"

namespace {

constexpr int kMaxLoadAttempts = 101;
constexpr int kPathSize = 260;

void Trace(KUSYSTEM* sys, const char* text) {
    if (sys)
        sys->TracePrint(text);
    else
        plat::DebugOut(text);
}

// The common argument check: a missing system object goes to the debugger
// output, a missing engine object through the trace.
bool Check(KUSYSTEM* sys, const void* engine, const char* noSystem, const char* noEngine) {
    if (!sys) {
        plat::DebugOut(noSystem);
        return false;
    }
    if (!engine) {
        sys->TracePrint(noEngine);
        return false;
    }
    return true;
}

#define CHECK_SOUND(fn)                                                                 \
    Check(sys, snd, "Error: <" fn "> システムライブラリポインタが確保されていません\n", \
          "Error: <" fn "> サウンドライブラリポインタが確保されていません\n")

int StepVolume(unsigned int step, int silence) {
    static const int kTable[11] = {0, -3000, -2000, -1500, -1250, -1000, -800, -600, -400, -200, 0};
    if (step >= 1 && step <= 10)
        return kTable[step];
    return silence;
}

} // namespace

int VolumeStepToDirectMusic(unsigned int step) { return StepVolume(step, -9600); }
int VolumeStepToDirectShow(unsigned int step) { return StepVolume(step, -10000); }

int game::GraphicLoad(KUSPRITE2* sprite, KUSYSTEM* sys, int slot) {
    if (!Check(sys, sprite, "Error: <GraphicLoad> システムライブラリポインタが不正です\n",
               "Error: <GraphicLoad> スプライトライブラリポインタが不正です\n")) {
        return 0;
    }
    if (sprite->CreateGraphicData(static_cast<uint32_t>(slot), 0, 0, 0, 0))
        return 1;
    char text[128];
    for (int retry = 1;; ++retry) {
        sys->TracePrint("Error: <GraphicLoad> グラフィックデータのロードに失敗しました\n");
        // No name or no such member: every further try would fail the same way.
        if (sprite->LastLoadFailedForGood())
            return 0;
        if (retry >= kMaxLoadAttempts) {
            sys->TracePrint("Error: <GraphicLoad> ロード再試行カウントオーバーです\n");
            return 0;
        }
        snprintf(text, sizeof(text), "Message: <GraphicLoad> %d回目の再試行を行います\n", retry);
        sys->TracePrint(text);
        sys->TracePrint("Message: <GraphicLoad> 一度グラフィックデータをアンロードします……");
        game::GraphicUnload(sprite, sys, slot);
        sys->TracePrint("アンロードに成功しました\n");
        if (sprite->CreateGraphicData(static_cast<uint32_t>(slot), 0, 0, 0, 0)) {
            snprintf(text, sizeof(text), "Message: <GraphicLoad> %d回目の再試行で成功しました\n", retry);
            sys->TracePrint(text);
            return 1;
        }
    }
}

int game::GraphicUnload(KUSPRITE2* sprite, KUSYSTEM* sys, int slot) {
    if (!Check(sys, sprite, "Error: <GraphicUnload> システムライブラリポインタが不正です\n",
               "Error: <GraphicUnload> スプライトライブラリポインタが不正です\n")) {
        return 0;
    }
    sprite->ReleaseGraphicData(static_cast<uint32_t>(slot));
    return 1;
}

int game::SELoad(KUSND* snd, KUSYSTEM* sys, int slot, const char* file) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("SELoad"))
        return 0;
    if (slot < 0) {
        // The sound system does not range-test the slot it binds.
        sys->TracePrint("Error: <SELoad> サウンドスロット番号が不正です\n");
        return 0;
    }
    if (static_cast<unsigned int>(slot) >= snd->DAGetDataNum())
        return 1;
    if (snd->DAUnload(slot) < 0)
        sys->TracePrint("Error: <SELoad> アンロードに失敗しました\n");
    if (file && snd->DASetData(slot, file, 2) <= 0) {
        sys->TracePrint("Error: <SELoad> 呼び出したKUSND::DSSetDataが失敗しました\n");
        return 0;
    }
    if (snd->DALoad(slot, nullptr, 2, 0) < 0) {
        sys->TracePrint("Error: <SELoad> サウンドのロードに失敗しました\n");
        return 0;
    }
    return 1;
}

int game::SEUnload(KUSND* snd, KUSYSTEM* sys, int slot) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("SEUnload"))
        return 0;
    if (slot < 0) {
        sys->TracePrint("Error: <SEUnload> サウンドスロット番号が不正です\n");
        return 0;
    }
    if (static_cast<unsigned int>(slot) >= snd->DAGetDataNum())
        return 1;
    if (snd->DAUnload(slot) < 0) {
        sys->TracePrint("Error: <SEUnload> アンロードに失敗しました\n");
        return 0;
    }
    return 1;
}

int game::SESetVolume(KUSND* snd, KUSYSTEM* sys, int step) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("SESetVolume"))
        return 0;
    if (snd->DASetSoundVolume(2, VolumeStepToDirectMusic(static_cast<unsigned int>(step))) < 0) {
        sys->TracePrint("Error: <SESetVolume> KUSND::DASetSoundVolumeに失敗しました\n");
    }
    return 1;
}

int game::SEPlay(KUSND* snd, KUSYSTEM* sys, int slot, int loop) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("SEPlay"))
        return 0;
    if (slot < 0) {
        sys->TracePrint("Error: <SEPlay> サウンドスロット番号が不正です\n");
        return 0;
    }
    int step = g_bSEOn ? static_cast<int>(g_dwSEVolume) : 0;
    game::SESetVolume(snd, sys, step);
    if (snd->DAPlay(slot, loop) < 0) {
        sys->TracePrint("Error: <SEPlay> 効果音再生に失敗しました\n");
        return 0;
    }
    game::SESetVolume(snd, sys, step);
    return 1;
}

int SEStop(KUSND* snd, KUSYSTEM* sys, int slot) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("SEStop"))
        return 0;
    if (slot == -1) {
        if (snd->DASndTypeStop(2) < 0) {
            sys->TracePrint("Error: <SEStop> 効果音効果音停止に失敗しました\n");
            return 0;
        }
        return 1;
    }
    if (slot < 0) {
        sys->TracePrint("Error: <SEStop> サウンドスロット番号が不正です\n");
        return 0;
    }
    if (snd->DAStop(slot) < 0) {
        sys->TracePrint("Error: <SEStop> 効果音停止に失敗しました\n");
        return 0;
    }
    return 1;
}

int game::VoiceSetVolume(KUSND* snd, KUSYSTEM* sys, int step) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("VoiceSetVolume"))
        return 0;
    if (snd->DShowSetVolume(0, VolumeStepToDirectShow(static_cast<unsigned int>(step))) < 0) {
        sys->TracePrint("Error: <VoiceSetVolume> KUSND::DShowSetVolumeに失敗しました\n");
        return 0;
    }
    return 1;
}

int game::VoicePlay(KUSND* snd, KUSYSTEM* sys, const char* file) {
    if (!g_bSoundEnable)
        return 1;
    if (!snd || !sys || !file) {
        Trace(sys, "Error: <VoicePlay> 引数が不正です\n");
        return 0;
    }
    if (snd->DShowOpen(0, file, 9999, 9999) < 0 || snd->DShowPlayEx(0, 0, 0, 0) < 0) {
        sys->TracePrint("Error: <VoicePlay> 音声のオープンに失敗しました\n");
        return 0;
    }
    if (!game::VoiceSetVolume(snd, sys, static_cast<int>(g_dwVoiceVolume))) {
        plat::DebugOut("Error: <VoicePlay> 音声の音量設定に失敗しました\n");
    }
    return 1;
}

int game::VoiceStop(KUSND* snd, KUSYSTEM* sys) {
    if (!g_bSoundEnable)
        return 1;
    if (!snd || !sys) {
        Trace(sys, "Error: <VoiceStop> 引数が不正です\n");
        return 0;
    }
    if (snd->DShowStop(0) < 0) {
        sys->TracePrint("Error: <VoiceStop> 音声の停止に失敗しました\n");
        return 0;
    }
    if (snd->DShowClose(0) < 0) {
        sys->TracePrint("Error: <VoiceStop> DShowのクローズ処理に失敗しました\n");
        return 0;
    }
    return 1;
}

int BGM_DA_Load(KUSND* snd, KUSYSTEM* sys, const char* file, int loadFlag) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("BGM_DA_Load"))
        return 0;
    if (!file) {
        sys->TracePrint("Error: <BGM_DA_Load> BGMファイル名が指定されていません\n");
        return 0;
    }
    if (snd->DAGetDataNum() < 2) {
        sys->TracePrint("Error: <BGM_DA_Load> 音声用バッファが確保されていません\n");
        return 0;
    }
    if (snd->DAUnload(1) < 0)
        sys->TracePrint("Error: <BGM_DA_Load> アンロードに失敗しました\n");
    if (snd->DASetData(1, file, 1) <= 0) {
        sys->TracePrint("Error: <BGM_DA_Load> 呼び出したKUSND::DSSetDataが失敗しました\n");
        return 0;
    }
    if (snd->DALoad(1, nullptr, 1, loadFlag) < 0) {
        sys->TracePrint("Error: <BGM_DA_Load> サウンドのロードに失敗しました\n");
        return 0;
    }
    return 1;
}

int BGM_DA_Unload(KUSND* snd, KUSYSTEM* sys) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("BGM_DA_Unload"))
        return 0;
    if (!BGM_DA_Stop(snd, sys))
        sys->TracePrint("Error: <BGM_DA_Unload> ボイスの停止に失敗しました\n");
    if (snd->DAUnload(1) < 0) {
        sys->TracePrint("Error: <BGM_DA_Unload> アンロードに失敗しました\n");
        return 0;
    }
    return 1;
}

int BGM_DA_SetVolume(KUSND* snd, KUSYSTEM* sys, int step) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("BGM_DA_SetVolume"))
        return 0;
    if (snd->DASetSoundVolume(1, VolumeStepToDirectMusic(static_cast<unsigned int>(step))) < 0) {
        sys->TracePrint("Error: <BGM_DA_SetVolume> KUSND::DASetSoundVolumeに失敗しました\n");
    }
    return 1;
}

int BGM_DA_Play(KUSND* snd, KUSYSTEM* sys, int loop, const char* file, int loadFlag) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("BGM_DA_Play"))
        return 0;
    if (file) {
        char current[kPathSize];
        const char* name = snd->DAGetWAVEPath(1, current, sizeof(current));
        if ((name && strcmp(name, file) != 0) || !snd->DAGetLoadState(1)) {
            BGM_DA_Unload(snd, sys);
            BGM_DA_Load(snd, sys, file, loadFlag);
        }
    }
    if (snd->DAPlay(1, loop) < 0) {
        sys->TracePrint("Error: <BGM_DA_Play> BGM再生に失敗しました\n");
        return 0;
    }
    BGM_DA_SetVolume(snd, sys, g_bBGMOn ? static_cast<int>(g_dwBGMVolume) : 0);
    return 1;
}

int BGM_DA_Stop(KUSND* snd, KUSYSTEM* sys) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("BGM_DA_Stop"))
        return 0;
    if (snd->DAStop(1) < 0) {
        sys->TracePrint("Error: <BGM_DA_Stop> 音声停止に失敗しました\n");
        return 0;
    }
    if (snd->DAUnload(1) < 0) {
        sys->TracePrint("Error: <BGM_DA_Stop> BGMのアンロードに失敗しました\n");
        return 0;
    }
    return 1;
}

int game::BGM_DS_Play(KUSND* snd, KUSYSTEM* sys, int loop, const char* file) {
    if (!g_bSoundEnable)
        return 1;
    if (!snd || !sys || !file) {
        Trace(sys, "Error: <BGM_DS_Play> 引数が不正です\n");
        return 0;
    }
    if (snd->DShowOpen(1, file, 9999, 9999) < 0 || snd->DShowPlayEx(1, loop ? -2 : 0, 0, 0) < 0) {
        sys->TracePrint("Error: <BGM_DS_Play> BGMのオープンに失敗しました\n");
        return 0;
    }
    if (!game::BGM_DS_SetVolume(snd, sys, static_cast<int>(g_dwBGMVolume))) {
        plat::DebugOut("Error: <BGM_DS_Play> BGMの音量設定に失敗しました\n");
    }
    return 1;
}

int game::BGM_DS_Stop(KUSND* snd, KUSYSTEM* sys) {
    if (!g_bSoundEnable)
        return 1;
    if (!snd || !sys) {
        Trace(sys, "Error: <BGM_DS_Stop> 引数が不正です\n");
        return 0;
    }
    if (snd->DShowStop(1) < 0) {
        sys->TracePrint("Error: <BGM_DS_Stop> BGMの停止に失敗しました\n");
        return 0;
    }
    if (snd->DShowClose(1) < 0) {
        sys->TracePrint("Error: <BGM_DS_Stop> DShowのクローズ処理に失敗しました\n");
        return 0;
    }
    return 1;
}

int game::BGM_DS_SetVolume(KUSND* snd, KUSYSTEM* sys, int step) {
    if (!g_bSoundEnable)
        return 1;
    if (!CHECK_SOUND("BGM_DS_SetVolume"))
        return 0;
    if (snd->DShowSetVolume(1, VolumeStepToDirectShow(static_cast<unsigned int>(step))) < 0) {
        sys->TracePrint("Error: <BGM_DS_SetVolume> KUSND::DShowSetVolumeに失敗しました\n");
        return 0;
    }
    return 1;
}

int MoviePlay(KUSPRITE2* sprite, KUSND* snd, KUSYSTEM* sys, const char* folder, const char* file, int volume) {
    if (!sprite || !snd || !sys || !file) {
        Trace(sys, "Error: <MoviePlay> 引数が不正です\n");
        return 0;
    }
    if (!snd->DShowIsOpen(2)) {
        char path[kPathSize * 2];
        size_t n = folder ? strlen(folder) : 0;
        if (!folder)
            snprintf(path, sizeof(path), "%s", file);
        else if (n > 0 && (folder[n - 1] == '/' || folder[n - 1] == '\\'))
            snprintf(path, sizeof(path), "%s%s", folder, file);
        else
            snprintf(path, sizeof(path), "%s/%s", folder, file);
        uint32_t w = 0, h = 0;
        sprite->GetScreenMode(&w, &h, nullptr, nullptr, nullptr);
        if (snd->DShowOpen(2, path, static_cast<int>(w), static_cast<int>(h)) < 0) {
            sys->TracePrint("Error: <BGM_DS_Play> ムービーのオープンに失敗しました\n");
            return 0;
        }
    }
    if (snd->DShowPlay(2) < 0) {
        plat::DebugOut("Error: <MoviePlay> ムービー再生に失敗しました\n");
        return 0;
    }
    if (snd->DShowSetVolume(2, volume) < 0)
        plat::DebugOut("Error: <MoviePlay> ムービーの音量設定に失敗しました\n");
    return 1;
}

int MovieStop(KUSND* snd, KUSYSTEM* sys) {
    if (!snd || !sys) {
        Trace(sys, "Error: <MovieStop> 引数が不正です\n");
        return 0;
    }
    if (snd->DShowStop(2) < 0) {
        sys->TracePrint("Error: <MovieStop> ムービーの音量設定に失敗しました\n");
        return 0;
    }
    if (snd->DShowClose(2) < 0) {
        sys->TracePrint("Error: <MovieStop> DShowのクローズ処理に失敗しました\n");
        return 0;
    }
    return 1;
}
