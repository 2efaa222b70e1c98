#include <cstdio>
#include <cstring>
#include <string>

#include "engine/kusystem.h"
#include "platform/audio_performance.h"
#include "sound/kusnd.h"
#include "sound/sound_log.h"

namespace {

constexpr const char* kNotInit = "KUSND::Initializeの処理を終えずに呼び出されました";
constexpr const char* kNoTable = "KUDADATAデータが確保されていません";
constexpr const char* kNoBuffer = "KUDADATAバッファが作成されていません";
constexpr const char* kOutOfRange = "インデックス番号外を指定しています";

void Log(KUSYSTEM* sys, const char* kind, const char* method, const char* text) {
    std::string tag = "KUSND::";
    tag += method;
    snd::LogLine(sys, kind, tag.c_str(), text);
}

} // namespace

int KuSndStepToDAVolume(int step) {
    static const int kTable[11] = {-9600, -3000, -2000, -1500, -1250, -1000, -800, -600, -400, -200, 0};
    return step >= 1 && step <= 10 ? kTable[step] : -9600;
}

bool KUSND::SlotCallOk(const char* method, int slot, const char* noTableText, const char* badSlotText) {
    if (!m_bInit) {
        Log(m_pKUSys, "Error", method, kNotInit);
        return false;
    }
    if (!m_pDAData) {
        Log(m_pKUSys, "Error", method, noTableText);
        return false;
    }
    if (badSlotText && (slot < 0 || static_cast<unsigned int>(slot) >= m_dwDADataNum)) {
        Log(m_pKUSys, "Error", method, badSlotText);
        return false;
    }
    return true;
}

int KUSND::DADATAReserve(unsigned int count) {
    if (m_pDAData) {
        for (unsigned int i = 0; i < m_dwDADataNum; ++i)
            m_pDAData[i].Release();
        delete[] m_pDAData;
        m_pDAData = nullptr;
        m_bDADataReserve = 0;
    }
    m_dwDADataNum = count;
    if (count == 0)
        return 1;
    if (!m_bInit) {
        Log(m_pKUSys, "Error", "DADATAReserve", kNotInit);
        return 0;
    }
    m_pDAData = new KUDADATA[count];
    for (unsigned int i = 0; i < count; ++i)
        m_pDAData[i].Initialize(m_pKUSys, nullptr, 3);
    m_bDADataReserve = 1;
    return 1;
}

int KUSND::DASetData(int slot, const char* name, int soundType) {
    if (!m_bInit) {
        Log(m_pKUSys, "Error", "DASetData", kNotInit);
        return 0;
    }
    // Checked like a load, so a stray slot cannot write outside the table.
    if (!SlotCallOk("DASetData", slot, kNoTable, kOutOfRange))
        return -1;
    m_pDAData[slot].SetData(name, soundType);
    return 1;
}

int KUSND::DALoad(int slot, const char* name, int soundType, int flag) {
    if (!SlotCallOk("DALoad", slot, kNoTable, kOutOfRange))
        return -1;
    const int r = m_pDAData[slot].Load(this, sizeof(KUSND), name, soundType, flag);
    if (r < 0)
        Log(m_pKUSys, "Error", "DALoad", "ロードに失敗しました");
    return r;
}

int KUSND::DAUnload(int slot) {
    if (!SlotCallOk("DAUnload", slot, kNoTable, kOutOfRange))
        return -1;
    m_pDAData[slot].Unload();
    return 0;
}

int KUSND::DAPlay(int slot, int loop) {
    if (!SlotCallOk("DAPlay", slot, kNoTable, kOutOfRange))
        return -1;
    const int r = m_pDAData[slot].Play(loop, this, sizeof(KUSND));
    if (r < 0)
        Log(m_pKUSys, "Error", "DAPlay", "再生に失敗しました");
    return r;
}

int KUSND::DAStop(int slot) {
    if (!SlotCallOk("DAStop", slot, kNoBuffer, kOutOfRange))
        return -1;
    const int r = m_pDAData[slot].Stop();
    if (r < 0)
        Log(m_pKUSys, "Error", "DAStop", "停止に失敗しました");
    return r;
}

int KUSND::DASndTypeStop(int soundType) {
    if (!SlotCallOk("DASndTypeStop", 0, kNoBuffer, nullptr))
        return -1;
    for (unsigned int i = 0; i < m_dwDADataNum; ++i) {
        if (m_pDAData[i].GetSoundType() != soundType)
            continue;
        const int r = m_pDAData[i].Stop();
        if (r < 0) {
            Log(m_pKUSys, "Error", "DASndTypeStop", "停止に失敗しました");
            return r;
        }
    }
    return 0;
}

int KUSND::DAAllStop() {
    if (!m_bInit) {
        Log(m_pKUSys, "Error", "DAAllStop", kNotInit);
        return -1;
    }
    if (m_pDAData) {
        for (unsigned int i = 0; i < m_dwDADataNum; ++i)
            m_pDAData[i].Stop();
    }
    const int32_t r = m_pPerformance ? m_pPerformance->StopAll() : plat::kSoundFail;
    if (r < 0)
        Log(m_pKUSys, "Error", "DAAllStop", "全停止に失敗しました");
    return r;
}

int KUSND::DAGetPlayState(int slot) {
    if (!SlotCallOk("DAGetState", slot, kNoBuffer, "インデックス番号が不正です"))
        return -1;
    KUDADATA& d = m_pDAData[slot];
    const int type = d.GetFileType();
    if (type == KUDA_FILE_OGG || type == KUDA_FILE_OGG_FLAG)
        return 0;
    if (type != KUDA_FILE_WAV && type != KUDA_FILE_WAV_FLAG)
        return -1;
    plat::SoundSegment* seg = d.GetSegment();
    plat::SoundSegmentState* state = d.GetSegmentState();
    if (!seg && !state) {
        Log(m_pKUSys, "Error", "DAGetState", "セグメントとセグメント状態が確保されていません");
        return -2;
    }
    plat::SoundPerformance* perf = d.GetPerformance() ? d.GetPerformance() : m_pPerformance;
    const int32_t r = perf ? perf->IsPlaying(seg, state) : plat::kSoundFail;
    if (r < 0) {
        Log(m_pKUSys, "Error", "DAGetState", "再生状態取得に失敗しました");
        return r;
    }
    if (r == plat::kSoundOk)
        return 0;
    if (r != plat::kSoundFalse)
        return 0;
    if (!state)
        return 2;
    int64_t seek = 0;
    const int32_t s = state->GetSeek(&seek);
    if (s < 0) {
        Log(m_pKUSys, "Error", "DAGetState", "シーク位置取得に失敗しました");
        return s;
    }
    return seek > 0 ? 1 : 2;
}

int KUSND::DASetMasterVolume(int volume) {
    if (!m_bInit) {
        Log(m_pKUSys, "Error", "DASetMasterVolume", kNotInit);
        return -1;
    }
    if (!m_pDefaultPath) {
        Log(m_pKUSys, "Error", "DASetMasterVolume", "デフォルトボリュームパスが確保されていません");
        return -1;
    }
    if (volume < -9600) {
        Log(m_pKUSys, "Warn", "DASetMasterVolume", "マスター音量が範囲最小値を超えています。最小値に再設定します");
        volume = -9600;
    } else if (volume > 0) {
        Log(m_pKUSys, "Warn", "DASetMasterVolume", "マスター音量が範囲最大値を超えています。最大値に再設定します");
        volume = 0;
    }
    const int32_t r = m_pDefaultPath->SetVolume(volume);
    if (r < 0) {
        Log(m_pKUSys, "Error", "DASetMasterVolume", "マスター音量の設定に失敗しました");
        return r;
    }
    m_nMasterVolume = volume;
    return r;
}

int KUSND::DASetSoundVolume(int soundType, int volume) {
    if (!m_bInit) {
        Log(m_pKUSys, "Error", "DASetSoundVolume", kNotInit);
        return -1;
    }
    if (volume < -9600) {
        Log(m_pKUSys, "Warn", "DASetSoundVolume", "音量が範囲最小値を超えています。最小値に再設定します");
        volume = -9600;
    } else if (volume > 0) {
        Log(m_pKUSys, "Warn", "DASetSoundVolume", "音量が範囲最大値を超えています。最大値に再設定します");
        volume = 0;
    }
    int* stored = nullptr;
    switch (soundType) {
        case 0: stored = &m_nVoiceVolume; break;
        case 1: stored = &m_nBGMVolume; break;
        case 2: stored = &m_nSEVolume; break;
        default: Log(m_pKUSys, "Error", "DASetSoundVolume", "サウンドタイプが不正です"); return -1;
    }
    *stored = volume;
    int r = 0;
    if (plat::SoundPath* path = GetAudioPath(soundType)) {
        r = path->SetVolume(volume);
        if (r < 0) {
            Log(m_pKUSys, "Error", "DASetSoundVolume", "ボリューム設定に失敗しました");
            return r;
        }
    }
    if (m_pDAData) {
        for (unsigned int i = 0; i < m_dwDADataNum; ++i) {
            if (m_pDAData[i].GetSoundType() != soundType)
                continue;
            r = m_pDAData[i].SetVolume(volume, this, sizeof(KUSND));
            if (r < 0)
                return r;
        }
    }
    return r;
}

int KUSND::DAGetMasterVolume() {
    if (!m_bInit) {
        Log(m_pKUSys, "Error", "DAGetMasterVolume", kNotInit);
        return -1;
    }
    return m_nMasterVolume;
}

int KUSND::DAGetPathVolume(int soundType) {
    if (!m_bInit) {
        Log(m_pKUSys, "Error", "DAGetPathVolume", kNotInit);
        return -1;
    }
    switch (soundType) {
        case 0: return m_nVoiceVolume;
        case 1: return m_nBGMVolume;
        case 2: return m_nSEVolume;
        default: return 0;
    }
}

unsigned int KUSND::DAGetDataNum() { return m_dwDADataNum; }

char* KUSND::DAGetWAVEPath(int slot, char* buffer, unsigned int size) {
    if (!m_bInit) {
        Log(m_pKUSys, "Error", "DAGetWAVEPath", kNotInit);
        return nullptr;
    }
    if (!m_pDAData || slot < 0 || static_cast<unsigned int>(slot) >= m_dwDADataNum) {
        Log(m_pKUSys, "Error", "DAGetWAVEPath", kOutOfRange);
        return nullptr;
    }
    if (!buffer || size == 0) {
        Log(m_pKUSys, "Error", "DAGetWAVEPath", "不正な引数が渡されました");
        return nullptr;
    }
    // Bounded by the caller's size, not by the slot's 260 bytes.
    std::memset(buffer, 0, size);
    const char* name = m_pDAData[slot].GetFilePath();
    const size_t n = strnlen(name, KUDADATA::kNameSize - 1);
    std::memcpy(buffer, name, n < size - 1 ? n : size - 1);
    return buffer;
}

int KUSND::DAGetLoadState(int slot) {
    if (!m_bInit) {
        Log(m_pKUSys, "Error", "DAGetLoadState", kNotInit);
        return 0;
    }
    if (!m_pDAData || slot < 0 || static_cast<unsigned int>(slot) >= m_dwDADataNum) {
        Log(m_pKUSys, "Error", "DAGetLoadState", kOutOfRange);
        return 0;
    }
    return m_pDAData[slot].GetLoadState();
}

int KUSND::DAReloadPath(int soundType, int volume) {
    if (!m_bInit) {
        Log(m_pKUSys, "Error", "DAReloadPath", kNotInit);
        return 0;
    }
    if (!m_pPerformance) {
        Log(m_pKUSys, "Error", "DAReloadPath", "IDirectMusicPerformance8が確保されていません");
        return 0;
    }
    plat::SoundPath** field = PathField(soundType);
    if (!field) {
        Log(m_pKUSys, "Error", "DAReloadPath", "予期せぬパスが指定されました");
        return 0;
    }
    delete *field; // stops what plays on it
    *field = nullptr;
    if (m_pPerformance->CreateStandardPath(field) < 0) {
        static const char* const kTexts[3] = {"ボイスのオーディオパス取得に失敗しました",
                                              "BGMのオーディオパス取得に失敗しました",
                                              "SEのオーディオパス取得に失敗しました"};
        Log(m_pKUSys, "Error", "DAReloadPath", kTexts[soundType]);
        return 0;
    }
    if (volume < -9600) {
        Log(m_pKUSys, "Warn", "DAReloadPath", "音量が範囲最小値を超えています。最小値に再設定します");
        volume = -9600;
    } else if (volume > 0) {
        Log(m_pKUSys, "Warn", "DAReloadPath", "音量が範囲最大値を超えています。最大値に再設定します");
        volume = 0;
    }
    const int32_t r = (*field)->SetVolume(volume);
    if (r < 0) {
        Log(m_pKUSys, "Error", "DAReloadPath", "パスの音量設定に失敗しました");
        return soundType == 2 ? r : 0;
    }
    return 1;
}

int KUSND::DARelease() {
    if (m_pPerformance) {
        const int32_t r = m_pPerformance->StopAll();
        if (r < 0) {
            Log(m_pKUSys, "Error", "DARelease", "全バッファの停止に失敗しました");
            return r;
        }
    }
    DADATAReserve(0);
    if (m_pDefaultPath)
        m_pDefaultPath->SetVolume(m_nDefaultPathVolume);
    if (m_pLoader) {
        m_pLoader->ClearCache();
        delete m_pLoader;
        m_pLoader = nullptr;
    }
    m_pDefaultBuffer = nullptr;
    m_pDSound = nullptr;
    delete m_pSEPath;
    m_pSEPath = nullptr;
    delete m_pBGMPath;
    m_pBGMPath = nullptr;
    delete m_pVoicePath;
    m_pVoicePath = nullptr;
    delete m_pDefaultPath;
    m_pDefaultPath = nullptr;
    if (m_pPerformance) {
        const int32_t r = m_pPerformance->CloseDown();
        if (r < 0) {
            Log(m_pKUSys, "Error", "DARelease", "CloseDownに失敗しました");
            return r;
        }
        delete m_pPerformance;
        m_pPerformance = nullptr;
    }
    return 0;
}
