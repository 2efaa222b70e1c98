#include "sound/kudadata.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/combine_file.h"
#include "engine/game_paths.h"
#include "engine/kusystem.h"
#include "platform/audio_performance.h"
#include "platform/files.h"
#include "sound/kusnd.h"
#include "sound/sound_log.h"

namespace {

const char* ArchiveOfType(int soundType) {
    switch (soundType) {
        case 0: return kVoiceArchive;
        case 1: return kBgmArchive;
        case 2: return kSeArchive;
        default: return nullptr;
    }
}

bool IsWav(int fileType) { return fileType == KUDA_FILE_WAV || fileType == KUDA_FILE_WAV_FLAG; }
bool IsOgg(int fileType) { return fileType == KUDA_FILE_OGG || fileType == KUDA_FILE_OGG_FLAG; }

// "tmp/" + name must fit a 260-byte path with its terminator.
constexpr size_t kTmpPrefix = sizeof(kTempFolder) - 1;

} // namespace

KUDADATA::KUDADATA()
    : m_pKUSys(nullptr),
      m_bInit(0),
      m_bLoad(0),
      m_bLoop(0),
      m_szName{},
      m_nVolume(0),
      m_pPerformance(nullptr),
      m_pLoader(nullptr),
      m_pSegment(nullptr),
      m_pSegmentState(nullptr),
      m_nLength(0),
      m_nFileType(KUDA_FILE_NONE),
      m_nSoundType(3),
      m_pOggSound(nullptr),
      m_pOggState(nullptr),
      m_bExtracted(0) {}

KUDADATA::~KUDADATA() { Release(); }

void KUDADATA::ErrorPrint(const char* text) {
    if (!text)
        return;
    snd::LogRaw(m_pKUSys, text);
}

void KUDADATA::Log(const char* method, const char* text) {
    std::string tag = "KUDADATA::";
    tag += method;
    snd::LogLine(m_pKUSys, "Error", tag.c_str(), text);
}

int KUDADATA::Initialize(KUSYSTEM* system, const char* name, int soundType) {
    if (!system && name) {
        Log("Initialize", "KUSYSTEMクラスポインタが確保されていません");
        return 0;
    }
    m_pKUSys = system;
    m_bLoad = 0;
    m_bLoop = 0;
    std::memset(m_szName, 0, sizeof(m_szName));
    if (name)
        snprintf(m_szName, sizeof(m_szName), "%s", name);
    m_nVolume = 0;
    m_pPerformance = nullptr;
    m_pLoader = nullptr;
    m_pSegment = nullptr;
    m_pSegmentState = nullptr;
    m_nLength = 0;
    m_nFileType = KUDA_FILE_NONE;
    m_nSoundType = soundType;
    m_bInit = 1;
    return 1;
}

void KUDADATA::Release() {
    Unload();
    std::memset(m_szName, 0, sizeof(m_szName));
    m_pKUSys = nullptr;
    m_pPerformance = nullptr;
    m_pLoader = nullptr;
    m_bInit = 0;
    m_nVolume = 0;
    m_nSoundType = 3;
}

void KUDADATA::SetData(const char* name, int soundType) {
    std::memset(m_szName, 0, sizeof(m_szName));
    if (name)
        snprintf(m_szName, sizeof(m_szName), "%s", name);
    if (soundType != 3)
        m_nSoundType = soundType;
}

bool KUDADATA::TakeSoundType(int soundType) {
    // Type 3 keeps the slot's type, which must then be a real one.
    if (soundType != 3) {
        m_nSoundType = soundType;
        return true;
    }
    if (m_nSoundType == 3) {
        Log("Load", "サウンドタイプが不正です");
        return false;
    }
    return true;
}

bool KUDADATA::NameUsable(const char* name) {
    // A name that cannot sit under "tmp/" in a 260-byte path is refused
    // rather than cut; without a name the stored one must exist.
    if (name ? std::strlen(name) + kTmpPrefix >= sizeof(m_szName) : m_szName[0] == '\0') {
        Log("Load", "ファイルパスが不正です");
        return false;
    }
    return true;
}

bool KUDADATA::TakeInterfaces(KUSND* sound, unsigned soundSize) {
    if (!sound) {
        Log("Load", "KUSNDポインタが不正です");
        return false;
    }
    if (soundSize != sizeof(KUSND)) {
        Log("Load", "KUSNDクラスサイズが不正です");
        return false;
    }
    m_pPerformance = sound->GetPerformance();
    m_pLoader = sound->GetLoader();
    if (!m_pPerformance) {
        Log("Load", "IDirectMusicPerformance8が取得されていません");
        return false;
    }
    if (!m_pLoader) {
        Log("Load", "IDirectMusicLoader8が取得されていません");
        return false;
    }
    return true;
}

bool KUDADATA::ExtractMember() {
    const char* archive = ArchiveOfType(m_nSoundType);
    if (!archive) {
        Log("Load", "サウンドタイプが不正です");
        return false;
    }
    const int div = FileDiv(archive, kTempFolder, m_szName);
    if (div == -1 || div == -2) {
        Log("Load", "ファイルの複合に失敗しました");
        return false;
    }
    if (div == 0) {
        std::string line = "Error: <KUDADATA::Load> ";
        line += archive;
        line += "内に";
        line += m_szName;
        line += "が見つかりません\n";
        ErrorPrint(line.c_str());
        return false;
    }
    // 1: extracted now; -3: a copy already lies in "tmp/" (ours from before).
    m_bExtracted = 1;
    return true;
}

int KUDADATA::LoadExtracted(int flag) {
    const std::string path = std::string(kTempFolder) + m_szName;
    const int info = GetFileInfoAudio(path.c_str());
    if (info == 0) {
        Log("Load", "指定ファイルが無いか、サポート外ファイルです");
        return -1;
    }
    if (info == 8) {
        m_nFileType = flag ? KUDA_FILE_OGG_FLAG : KUDA_FILE_OGG;
        // Played through the mixer as well; every result stays as for a
        // slot without playback. A file that does not decode stays silent.
        m_pLoader->LoadAny(path, &m_pOggSound);
    } else {
        m_nFileType = flag ? KUDA_FILE_WAV_FLAG : KUDA_FILE_WAV;
        const int32_t r = m_pLoader->LoadWave(path, &m_pSegment);
        if (r < 0) {
            Log("Load", "ファイルのロードに失敗しました");
            m_nFileType = KUDA_FILE_NONE;
            return r;
        }
        m_nLength = m_pSegment->LengthFrames();
    }
    m_bLoad = 1;
    return 0;
}

int KUDADATA::Load(KUSND* sound, unsigned soundSize, const char* name, int soundType, int flag) {
    if (!m_bInit && !Initialize(m_pKUSys, name, 3))
        return -1;
    if (!TakeSoundType(soundType) || !NameUsable(name) || !TakeInterfaces(sound, soundSize))
        return -1;
    // The unload deletes the copy under the name it was extracted with, so the
    // new name is stored only after it.
    Unload();
    if (name)
        snprintf(m_szName, sizeof(m_szName), "%s", name);
    if (!ExtractMember())
        return -1;
    return LoadExtracted(flag);
}

void KUDADATA::Unload() {
    if (m_pPerformance && m_pSegment)
        m_pPerformance->StopSegment(m_pSegment);
    if (m_pPerformance && m_pOggSound)
        m_pPerformance->StopSegment(m_pOggSound);
    delete m_pSegmentState;
    m_pSegmentState = nullptr;
    delete m_pSegment;
    m_pSegment = nullptr;
    delete m_pOggState;
    m_pOggState = nullptr;
    delete m_pOggSound;
    m_pOggSound = nullptr;
    m_nLength = 0;
    m_nFileType = KUDA_FILE_NONE;
    m_bLoop = 0;
    // Only the copy this slot extracted is deleted.
    if (m_bExtracted && m_szName[0] != '\0') {
        if (m_pKUSys) {
            m_pKUSys->RemoveFile(kTempFolder, m_szName, 0);
        } else {
            plat::UnlinkFile(plat::ResolvePath(std::string(kTempFolder) + m_szName));
        }
    }
    m_bExtracted = 0;
    m_bLoad = 0;
}

int KUDADATA::Play(int loop, KUSND* sound, unsigned soundSize) {
    if (!m_bLoad) {
        Log("Play", "ロードされていません");
        return -1;
    }
    if (soundSize != sizeof(KUSND)) {
        Log("Play", "KUSNDクラスポインタサイズが不正です");
        return -1;
    }
    if (!sound) {
        Log("Play", "KUSNDクラスが不正です");
        return -1;
    }
    m_bLoop = loop;
    if (IsWav(m_nFileType)) {
        if (!m_pSegment) {
            Log("Play", "IDirectMusicSegment8が失われています");
            return -1;
        }
        plat::SoundPath* path = sound->GetAudioPath(m_nSoundType);
        if (!path) {
            Log("Play", "指定オーディオパスは無効です");
            return -1;
        }
        m_pSegment->SetLoop(loop != 0);
        // The slot's own volume goes on the shared path before every play.
        if (SetVolume(m_nVolume, sound, soundSize) < 0)
            Log("Play", "ボリュームの設定に失敗しました");
        if (!m_pPerformance) {
            Log("Play", "IDirectMusicPerformance8が失われています");
            return -1;
        }
        plat::SoundSegmentState* state = nullptr;
        const int32_t r = m_pPerformance->PlaySegment(m_pSegment, path, &state);
        if (r < 0) {
            Log("Play", "再生に失敗しました");
            return r;
        }
        delete m_pSegmentState;
        m_pSegmentState = state;
        return 0;
    }
    if (IsOgg(m_nFileType)) {
        plat::SoundPath* path = sound->GetAudioPath(m_nSoundType);
        if (m_pOggSound && path && m_pPerformance) {
            m_pOggSound->SetLoop(loop != 0);
            plat::SoundSegmentState* state = nullptr;
            if (m_pPerformance->PlaySegment(m_pOggSound, path, &state) >= 0) {
                delete m_pOggState;
                m_pOggState = state;
            }
        }
        return 0;
    }
    Log("Play", "定義されていないファイルタイプです");
    return -1;
}

int KUDADATA::Stop() {
    if (!m_bLoad)
        return 0;
    m_bLoop = 0;
    if (IsWav(m_nFileType)) {
        if (!m_pSegment) {
            Log("Stop", "IDirectMusicSegment8が失われています");
            return -1;
        }
        const int32_t r = m_pPerformance ? m_pPerformance->StopSegment(m_pSegment) : plat::kSoundFail;
        if (r < 0) {
            Log("Stop", "停止に失敗しました");
            return r;
        }
        return 0;
    }
    if (IsOgg(m_nFileType)) {
        if (m_pPerformance && m_pOggSound)
            m_pPerformance->StopSegment(m_pOggSound);
        return 0;
    }
    Log("Stop", "定義されていないファイルタイプです");
    return -1;
}

int KUDADATA::SetVolume(int volume, KUSND* sound, unsigned soundSize) {
    if (!m_bLoad)
        return 0;
    if (IsWav(m_nFileType)) {
        if (!sound) {
            Log("SetVolume", "KUSNDポインタが不正です");
            return -1;
        }
        if (soundSize != sizeof(KUSND)) {
            Log("SetVolume", "KUSNDクラスサイズが不正です");
            return -1;
        }
        if (volume < -9600)
            volume = -9600;
        if (volume > 0)
            volume = 0;
        m_nVolume = volume;
        if (m_nSoundType < 0 || m_nSoundType > 2) {
            Log("SetVolume", "サウンドタイプが不正です");
            return -1;
        }
        plat::SoundPath* path = sound->GetAudioPath(m_nSoundType);
        if (!path) {
            Log("SetVolume", "指定オーディオパスは無効です");
            return -1;
        }
        const int32_t r = path->SetVolume(volume);
        if (r < 0) {
            Log("SetVolume", "ボリュームの設定に失敗しました");
            return r;
        }
        return 0;
    }
    if (IsOgg(m_nFileType))
        return 0;
    Log("SetVolume", "ファイルタイプが不明です");
    return -1;
}
