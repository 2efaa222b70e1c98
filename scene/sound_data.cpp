#include "scene/sound_data.h"

#include <cstring>
#include <string>

#include "engine/combine_file.h"
#include "engine/kusystem.h"
#include "game/engine_services.h"
#include "game/fixed_string.h"
#include "game/game_settings.h"
#include "platform/debug_out.h"
#include "platform/sjis.h"
#include "sound/kusnd.h"

SOUND_DATA::SOUND_DATA() : m_pKUSnd(nullptr), m_pKUSys(nullptr), m_bLoad(0) { Clear(); }

SOUND_DATA::~SOUND_DATA() { Clear(); }

void SOUND_DATA::ErrorPrint(const char* text) {
    if (m_pKUSys)
        m_pKUSys->TracePrint(text);
    else
        plat::DebugOut(text);
}

bool SOUND_DATA::Ready(const char* method) {
    if (m_bInit && m_pKUSys && m_pKUSnd)
        return true;
    ErrorPrint((std::string("Error: <SOUND_DATA::") + method + "> 初期化されていません\n").c_str());
    return false;
}

int SOUND_DATA::Initialize(KUSND* snd, KUSYSTEM* sys, const char* id) {
    Clear();
    if (!sys) {
        plat::DebugOut("Error: <SOUND_DATA::Initialize> 引数のKUSYSTEMクラスポインタが不正です\n");
        return 0;
    }
    if (!snd) {
        plat::DebugOut("Error: <SOUND_DATA::Initialize> 引数のKUSNDクラスポインタが不正です\n");
        return 0;
    }
    if (!id) {
        sys->TracePrint("Error: <SOUND_DATA::Initialize> IDが指定されていません\n");
        return 0;
    }
    m_pKUSnd = snd;
    m_pKUSys = sys;
    game::CopyFixed(m_szID, id);
    m_bInit = 1;
    return 1;
}

int32_t SOUND_DATA::EffectSlot(const char* file) {
    // Without a sound device there is no slot table: nothing to bind, and
    // every sound call succeeds anyway.
    if (!g_bSoundEnable)
        return kGeneralSESlot;
    char name[kFileSize];
    const int count = static_cast<int>(m_pKUSnd->DAGetDataNum());
    for (int s = 0; s < count; ++s) {
        if (m_pKUSnd->DAGetWAVEPath(s, name, sizeof(name)) && plat::SjisEqualNoCase(name, file))
            return s;
    }
    if (m_pKUSnd->DAUnload(kGeneralSESlot) < 0)
        ErrorPrint("Error: <SOUND_DATA::SetSoundData> 汎用SEデータナンバーのアンロードに失敗しました\n");
    if (m_pKUSnd->DASetData(kGeneralSESlot, file, static_cast<int>(kTypeSE)) != 1) {
        ErrorPrint("Error: <SOUND_DATA::SetSoundData> 汎用SEデータナンバーへのデータのセットに失敗しました\n");
        return -1;
    }
    return kGeneralSESlot;
}

int SOUND_DATA::SetSoundData(const char* file, uint32_t type, uint32_t loop, int32_t extra, uint32_t loadFlag) {
    if (!Ready("SetSoundData"))
        return 0;
    if (!file) {
        ErrorPrint("Error: <SOUND_DATA::SetSoundData> 指定ファイルパスが不正です\n");
        return 0;
    }
    if (m_bLoad == 1 && !UnloadSoundData())
        ErrorPrint("Error: <SOUND_DATA::SetSoundData> サウンドデータのアンロードに失敗しました\n");
    game::CopyFixed(m_szFile, file);
    if (strlen(file) >= sizeof(m_szFile))
        ErrorPrint("Warn: <SOUND_DATA::SetSoundData> ファイル名が長すぎるため切り詰めました\n");
    const char* archive = nullptr;
    switch (type) {
        case kTypeVoice: archive = "dat/VO.dat"; break;
        case kTypeBGM: archive = "dat/BGM.dat"; break;
        case kTypeSE: archive = "dat/SE.dat"; break;
        default: ErrorPrint("Error: <SOUND_DATA::SetSoundData> 指定サウンドタイプが不正です\n"); return 0;
    }
    const int found = SearchCombineFile(archive, m_szFile);
    if (found == 0) {
        ErrorPrint("Error: <SOUND_DATA::SetSoundData> 結合ファイルに指定ファイルは存在しません\n");
        return 0;
    }
    if (found != 1) {
        ErrorPrint("Error: <SOUND_DATA::SetSoundData> 結合ファイル検索中にエラーが発生しました\n");
        return 0;
    }
    int32_t slot = type == kTypeVoice ? kVoiceSlot : kBGMSlot;
    if (type == kTypeSE) {
        slot = EffectSlot(m_szFile);
        if (slot < 0)
            return 0;
    }
    m_nSlot = slot;
    m_dwType = type;
    m_dwLoop = loop;
    m_nExtra = extra;
    m_bLoad = loadFlag;
    if (loadFlag == 0)
        return 1;
    if (!LoadSoundData())
        ErrorPrint("Error: <SOUND_DATA::SetSoundData> サウンドのロードに失敗しました\n");
    return 1;
}

int SOUND_DATA::LoadSoundData() {
    if (!Ready("LoadSoundData"))
        return 0;
    if (m_szFile[0] == '\0') {
        ErrorPrint("Error: <SOUND_DATA::LoadSoundData> ファイルパスが設定されていません\n");
        return 0;
    }
    if (!UnloadSoundData())
        ErrorPrint("Error: <SOUND_DATA::LoadSoundData> サウンドのアンロードに失敗しました\n");
    switch (m_dwType) {
        case kTypeVoice:
        case kTypeBGM:
            // Voices and music stream from their archives when played.
            m_bLoaded = 1;
            return 1;
        case kTypeSE:
            if (!SELoad(m_pKUSnd, m_pKUSys, m_nSlot, m_szFile)) {
                ErrorPrint("Error: <SOUND_DATA::LoadSoundData> SEのロードに失敗しました\n");
                return 0;
            }
            m_bLoaded = 1;
            return 1;
        default: ErrorPrint("Error: <SOUND_DATA::LoadSoundData> サウンドタイプが不正です\n"); return 0;
    }
}

int SOUND_DATA::UnloadSoundData() {
    if (!m_pKUSys || !m_pKUSnd) {
        ErrorPrint("Error: <SOUND_DATA::UnloadSoundData> 初期化されていません\n");
        return 0;
    }
    if (m_nSlot == -1)
        return 1;
    switch (m_dwType) {
        case kTypeSE: SEUnload(m_pKUSnd, m_pKUSys, m_nSlot); break;
        case kTypeVoice:
        case kTypeBGM: break;
        default: ErrorPrint("Error: <SOUND_DATA::UnloadSoundData> サウンドタイプが不正です\n"); return 0;
    }
    m_bLoaded = 0;
    return 1;
}

int SOUND_DATA::PlayProc() {
    if (!Ready("PlayProc"))
        return 0;
    int ok = 0;
    switch (m_dwType) {
        case kTypeVoice:
            ok = VoicePlay(m_pKUSnd, m_pKUSys, m_szFile);
            if (!ok)
                ErrorPrint("Error: <SOUND_DATA::PlayProc> 音声として再生に失敗しました\n");
            break;
        case kTypeBGM:
            ok = BGM_DS_Play(m_pKUSnd, m_pKUSys, static_cast<int>(m_dwLoop), m_szFile);
            if (!ok)
                ErrorPrint("Error: <SOUND_DATA::PlayProc> BGMとして再生に失敗しました\n");
            break;
        case kTypeSE:
            ok = SEPlay(m_pKUSnd, m_pKUSys, m_nSlot, static_cast<int>(m_dwLoop));
            if (!ok)
                ErrorPrint("Error: <SOUND_DATA::PlayProc> SEとして再生に失敗しました\n");
            break;
        default: ErrorPrint("Error: <SOUND_DATA::PlayProc> サウンドタイプが不正です\n"); break;
    }
    if (!ok)
        return 0;
    m_bPlay = 1;
    return 1;
}

int SOUND_DATA::StopProc() {
    if (!Ready("StopProc"))
        return 0;
    int ok = 0;
    switch (m_dwType) {
        case kTypeVoice:
            ok = VoiceStop(m_pKUSnd, m_pKUSys);
            if (!ok)
                ErrorPrint("Error: <SOUND_DATA::StopProc> 音声の停止に失敗しました\n");
            break;
        case kTypeBGM:
            ok = BGM_DS_Stop(m_pKUSnd, m_pKUSys);
            if (!ok)
                ErrorPrint("Error: <SOUND_DATA::StopProc> BGMの停止に失敗しました\n");
            break;
        case kTypeSE:
            ok = SEStop(m_pKUSnd, m_pKUSys, m_nSlot);
            if (!ok)
                ErrorPrint("Error: <SOUND_DATA::StopProc> SEの停止に失敗しました\n");
            break;
        default: ErrorPrint("Error: <SOUND_DATA::StopProc> サウンドタイプが不正です\n"); break;
    }
    if (!ok)
        return 0;
    m_bPlay = 0;
    return 1;
}

void SOUND_DATA::Clear() {
    if (m_bLoad == 1 && m_pKUSys && m_pKUSnd)
        UnloadSoundData();
    m_bInit = 0;
    m_pKUSnd = nullptr;
    m_pKUSys = nullptr;
    memset(m_szID, 0, sizeof(m_szID));
    memset(m_szFile, 0, sizeof(m_szFile));
    m_nSlot = -1;
    m_bPlay = 0;
    m_bLoaded = 0;
    m_dwType = kTypeNone;
    m_dwLoop = 0;
    m_nExtra = 0;
    m_bLoad = 0;
}
