#include <cstring>

#include "adv/adv_data.h"
#include "adv/main_scr.h"
#include "game/engine_services.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "scene/graphic_data.h"
#include "scene/object_data.h"
#include "game/shell_services.h"
#include "scene/sound_data.h"
#include "scene/textarea_data.h"
#include "game/var_data.h"
#include "sound/kusnd.h"

// Data declarations bound to files and values, their loads and unloads, and
// sound effects, voices and music.

namespace {

constexpr uint32_t kTextAreaSlotBase = 36;
constexpr uint32_t kLastTextArea = 30;
constexpr uint32_t kMaxFontHeight = 256;
constexpr int32_t kTextWeight = 400;
constexpr uint32_t kTextPitchAndFamily = 17;
// More frames than any strip holds: larger counts are damage, not pictures.
constexpr int32_t kMaxFrames = 4096;
constexpr int kMusicChannel = 1;
constexpr int kMusicSlot = 1;
constexpr int kStatusStopped = 2;

bool Word(const char* arg, const char* word) { return adv::ScriptWordEqual(arg, word); }

// Item kinds of #LoadData and #UnloadData, with their failure texts.
struct LoadKind {
    const char* word;
    int kind;
    const char* loadFailure;
    const char* unloadFailure;
};
constexpr LoadKind kLoadKinds[] = {
    {"GRAPHIC", ADV_DATA::kKindGraphic, "グラフィックのロードに失敗しました", "グラフィックのアンロードに失敗しました"},
    {"TEXTAREA", ADV_DATA::kKindTextArea, "テキストエリアのロードに失敗しました",
     "テキストエリアのアンロードに失敗しました"},
    {"OBJECT", ADV_DATA::kKindObject, "オブジェクトのロードに失敗しました", "オブジェクトのアンロードに失敗しました"},
    {"SOUND", ADV_DATA::kKindSound, "サウンドのロードに失敗しました", "サウンドのアンロードに失敗しました"},
};

} // namespace

int MAIN_SCR::SetDataProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "SetDataProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    const char* kind = cmd->m_szArg[0];
    const char* id = cmd->m_szArg[1];
    int index = -1;
    auto find = [&](int k) {
        index = adv->IDSearch(k, id);
        if (index < 0)
            HandlerError(kTag, "IDの取得に失敗しました");
        return index >= 0;
    };
    // A file name cut to fit its field would bind some other file.
    auto fileFits = [&](const char* file) {
        if (strlen(file) < GRAPHIC_DATA::kFileSize)
            return true;
        HandlerError(kTag, "データのセットに失敗しました");
        return false;
    };
    if (Word(kind, "GRAPHIC")) {
        if (!find(ADV_DATA::kKindGraphic) || !fileFits(cmd->m_szArg[2]))
            return 0;
        // Argument 4 ("TRUE") names a colour key that pictures take from their own top-left pixel.
        const uint32_t load = Word(cmd->m_szArg[4], "FALSE") ? 0 : 1;
        if (!adv->m_pGraphic[index].SetGraphicData(cmd->m_szArg[2], load, -1)) {
            HandlerError(kTag, "データのセットに失敗しました");
            return 0;
        }
    } else if (Word(kind, "TEXTAREA")) {
        if (!find(ADV_DATA::kKindTextArea))
            return 0;
        if (!SetTextAreaData(cmd, index))
            return 0;
    } else if (Word(kind, "OBJECT")) {
        if (!find(ADV_DATA::kKindObject) || !fileFits(cmd->m_szArg[2]))
            return 0;
        if (!SetObjectData(cmd, index))
            return 0;
    } else if (Word(kind, "SOUND")) {
        if (!find(ADV_DATA::kKindSound) || !fileFits(cmd->m_szArg[2]))
            return 0;
        const uint32_t load = Word(cmd->m_szArg[3], "FALSE") ? 0 : 1;
        if (!adv->m_pSound[index].SetSoundData(cmd->m_szArg[2], SOUND_DATA::kTypeSE, 0, 0, load)) {
            HandlerError(kTag, "データのセットに失敗しました");
            return 0;
        }
    } else if (Word(kind, "VAR")) {
        if (!find(ADV_DATA::kKindVar))
            return 0;
        adv->m_pVar[index].SetValue(adv::ScriptInt(cmd->m_szArg[2]));
    }
    cmd->Clear();
    return 1;
}

// SETDATA TEXTAREA: the text area's slot, text and font.
bool MAIN_SCR::SetTextAreaData(SCRIPT_COMMAND_DATA* cmd, int index) {
    static const char* const kTag = "SetDataProc";
    const uint32_t area = static_cast<uint32_t>(adv::ScriptInt(cmd->m_szArg[2]));
    if (area > kLastTextArea) {
        HandlerError(kTag, "テキストエリアナンバーが範囲外です");
        return false;
    }
    const uint32_t height = static_cast<uint32_t>(adv::ScriptInt(cmd->m_szArg[4]));
    if (height > kMaxFontHeight) {
        HandlerError(kTag, "フォントサイズが範囲外です");
        return false;
    }
    char text[SCRIPT_COMMAND_DATA::kTextSize];
    if (!m_pKUSys->StrConvert(cmd->m_szArg[3], sizeof(cmd->m_szArg[3]), text, sizeof(text))) {
        HandlerError(kTag, "メッセージのコンバートに失敗しました");
        return false;
    }
    const uint32_t load = Word(cmd->m_szArg[5], "FALSE") ? 0 : 1;
    if (!m_pAdvData->m_pTextArea[index].SetFontData(static_cast<int32_t>(area + kTextAreaSlotBase), text,
                                                    static_cast<int32_t>(height), kTextWeight,
                                                    m_pAdvData->m_dwAntiAliasLevel, kTextPitchAndFamily, 0, load)) {
        HandlerError(kTag, "データのセットに失敗しました");
        return false;
    }
    return true;
}

// SETDATA OBJECT: the animated object's picture, cells and frames.
bool MAIN_SCR::SetObjectData(SCRIPT_COMMAND_DATA* cmd, int index) {
    static const char* const kTag = "SetDataProc";
    const int32_t frames = adv::ScriptInt(cmd->m_szArg[3]);
    if (frames < -1 || frames > kMaxFrames) {
        HandlerError(kTag, "データのセットに失敗しました");
        return false;
    }
    const uint32_t type = Word(cmd->m_szArg[4], "LOOP") ? 0 : 1;
    const uint32_t load = Word(cmd->m_szArg[7], "FALSE") ? 0 : 1;
    OBJECT_DATA& obj = m_pAdvData->m_pObject[index];
    if (!obj.CreateObject(cmd->m_szArg[2], 0.0f, 0.0f, adv::ScriptInt(cmd->m_szArg[5]), adv::ScriptInt(cmd->m_szArg[6]),
                          frames, type, load, -1))
        return false;
    if (!obj.SetAnimationData(frames, type)) {
        HandlerError(kTag, "データのセットに失敗しました");
        return false;
    }
    return true;
}

int MAIN_SCR::LoadItem(const char* tag, SCRIPT_COMMAND_DATA* cmd, bool load) {
    if (!HandlerReady(tag, cmd))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    for (const LoadKind& k : kLoadKinds) {
        if (!Word(cmd->m_szArg[0], k.word))
            continue;
        const int i = adv->IDSearch(k.kind, cmd->m_szArg[1]);
        if (i < 0) {
            HandlerError(tag, "IDの取得に失敗しました");
            return 0;
        }
        int ok = 0;
        switch (k.kind) {
            case ADV_DATA::kKindGraphic:
                ok = load ? adv->m_pGraphic[i].LoadGraphicData() : adv->m_pGraphic[i].UnloadGraphicData();
                break;
            case ADV_DATA::kKindTextArea:
                ok = load ? adv->m_pTextArea[i].LoadTextData() : adv->m_pTextArea[i].UnloadTextData();
                break;
            case ADV_DATA::kKindObject:
                ok = load ? adv->m_pObject[i].LoadGraphicData() : adv->m_pObject[i].GRAPHIC_DATA::UnloadGraphicData();
                break;
            default: ok = load ? adv->m_pSound[i].LoadSoundData() : adv->m_pSound[i].UnloadSoundData(); break;
        }
        if (!ok) {
            HandlerError(tag, load ? k.loadFailure : k.unloadFailure);
            return 0;
        }
        break;
    }
    cmd->Clear();
    return 1;
}

int MAIN_SCR::LoadDataProc(SCRIPT_COMMAND_DATA* cmd) { return LoadItem("LoadDataProc", cmd, true); }

int MAIN_SCR::UnloadDataProc(SCRIPT_COMMAND_DATA* cmd) { return LoadItem("UnloadDataProc", cmd, false); }

int MAIN_SCR::PlayWaveProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "PlayWaveProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    const int i = m_pAdvData->IDSearch(ADV_DATA::kKindSound, cmd->m_szArg[0]);
    if (i < 0) {
        HandlerError(kTag, "インデックスの取得に失敗しました");
        return 0;
    }
    SOUND_DATA& sound = m_pAdvData->m_pSound[i];
    sound.m_dwLoop = Word(cmd->m_szArg[1], "TRUE") ? 1 : 0;
    if (!Word(cmd->m_szArg[2], "FALSE")) {
        sound.UnloadSoundData();
        if (!sound.LoadSoundData()) {
            HandlerError(kTag, "SEのロードに失敗しました");
            return 0;
        }
    }
    if (!sound.PlayProc()) {
        HandlerError(kTag, "SEの再生に失敗しました");
        return 0;
    }
    cmd->Clear();
    return 1;
}

int MAIN_SCR::StopWaveProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "StopWaveProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    const bool unload = !Word(cmd->m_szArg[1], "FALSE");
    auto stop = [&](SOUND_DATA& sound) {
        if (!sound.StopProc())
            HandlerError(kTag, "停止処理に失敗しました");
        if (unload)
            sound.UnloadSoundData();
    };
    if (Word(cmd->m_szArg[0], "ALL")) {
        for (uint32_t i = 0; adv->m_pSound && i < adv->m_dwSoundNum; ++i)
            stop(adv->m_pSound[i]);
    } else {
        const int i = adv->IDSearch(ADV_DATA::kKindSound, cmd->m_szArg[0]);
        if (i < 0) {
            HandlerError(kTag, "インデックスの取得に失敗しました");
            return 0;
        }
        stop(adv->m_pSound[i]);
    }
    cmd->Clear();
    return 1;
}

int MAIN_SCR::PlayVoiceProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("PlayVoiceProc", cmd))
        return 0;
    if (!VoicePlay(m_pKUSnd, m_pKUSys, cmd->m_szArg[0])) {
        HandlerError("PlayVoiceProc", "音声の再生に失敗しました");
        return 0;
    }
    cmd->Clear();
    return 1;
}

int MAIN_SCR::StopVoiceProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("StopVoiceProc", cmd))
        return 0;
    if (!VoiceStop(m_pKUSnd, m_pKUSys)) {
        HandlerError("StopVoiceProc", "音声の停止に失敗しました");
        return 0;
    }
    cmd->Clear();
    return 1;
}

int MAIN_SCR::PlayBGMProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "PlayBGMProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    m_bBGMFlag = Word(cmd->m_szArg[2], "FALSE") ? 0 : 1;
    const char* file = cmd->m_szArg[0];
    if (Word(cmd->m_szArg[1], "DSHOW")) {
        if (!BGM_DS_Play(m_pKUSnd, m_pKUSys, m_bBGMFlag, file)) {
            HandlerError(kTag, "BGMのDShow再生に失敗しました");
            return 0;
        }
    } else if (!BGM_DA_Play(m_pKUSnd, m_pKUSys, m_bBGMFlag, file, 1)) {
        HandlerError(kTag, "BGMのDAudio再生に失敗しました");
        return 0;
    }
    game::CopyFixed(m_szBGMName, file);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::StopBGMProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "StopBGMProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    if (Word(cmd->m_szArg[0], "DSHOW")) {
        if (!BGM_DS_Stop(m_pKUSnd, m_pKUSys)) {
            HandlerError(kTag, "BGMのDShow停止に失敗しました");
            return 0;
        }
    } else {
        if (!BGM_DA_Stop(m_pKUSnd, m_pKUSys)) {
            HandlerError(kTag, "BGMのDAudio停止に失敗しました");
            return 0;
        }
        if (!BGM_DA_Unload(m_pKUSnd, m_pKUSys)) {
            HandlerError(kTag, "BGMのDAudioアンロードに失敗しました");
            return 0;
        }
    }
    memset(m_szBGMName, 0, sizeof(m_szBGMName));
    m_bBGMFlag = 0;
    cmd->Clear();
    return 1;
}

int MAIN_SCR::BGMWaitProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "BGMWaitProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    if (cmd->m_nPhase == 0) {
        ControllerButtons(false);
        cmd->m_bExclusive = 1;
        cmd->m_nPhase = 1;
    }
    bool done = SkipKey() || PlayerClicked();
    if (!done) {
        if (Word(cmd->m_szArg[0], "DSHOW")) {
            // A closed channel reports nothing: count it as stopped.
            int status = kStatusStopped;
            if (m_pKUSnd->DShowGetStatus(kMusicChannel, &status) < 0) {
                ControllerButtons(true);
                HandlerError(kTag, "BGMの状態取得に失敗しました");
                return 0;
            }
            done = status == kStatusStopped;
        } else {
            done = m_pKUSnd->DAGetPlayState(kMusicSlot) != 0;
        }
    }
    if (done) {
        // The buttons would otherwise stay dead until some later command restores them.
        ControllerButtons(true);
        cmd->Clear();
    }
    return 1;
}
