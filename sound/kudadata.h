#pragma once
#include <cstdint>

class KUSYSTEM;
class KUSND;

namespace plat {
class SoundPerformance;
class SoundLoader;
class SoundSegment;
class SoundSegmentState;
} // namespace plat

// File types a slot can hold after a load.
enum {
    KUDA_FILE_NONE = 0,
    KUDA_FILE_WAV = 2,
    KUDA_FILE_WAV_FLAG = 4,
    KUDA_FILE_OGG = 16,
    KUDA_FILE_OGG_FLAG = 32,
};

// 1 for a RIFF file, 8 for an Ogg file, 0 otherwise (with a line on the
// debugger output).
int GetFileInfoAudio(const char* path);

// One sound slot: an archive member extracted to "tmp/", loaded as a segment
// and played on the sound path of its type (0 voice, 1 music, 2 sound effect;
// 3 unset).
class KUDADATA {
public:
    static constexpr int kNameSize = 260;

    KUDADATA();
    ~KUDADATA();
    KUDADATA(const KUDADATA&) = delete;
    KUDADATA& operator=(const KUDADATA&) = delete;

    int Initialize(KUSYSTEM* system, const char* name, int soundType);
    void Release();
    void SetData(const char* name, int soundType);
    int Load(KUSND* sound, unsigned soundSize, const char* name, int soundType, int flag);
    void Unload();
    int Play(int loop, KUSND* sound, unsigned soundSize);
    int Stop();
    int SetVolume(int volume, KUSND* sound, unsigned soundSize);
    int GetSoundType() const { return m_nSoundType; }
    const char* GetFilePath() const { return m_szName; }
    void ErrorPrint(const char* text);

    // For the slot table.
    int GetLoadState() const { return m_bLoad; }
    int GetFileType() const { return m_nFileType; }
    int GetVolume() const { return m_nVolume; }
    plat::SoundSegment* GetSegment() const { return m_pSegment; }
    plat::SoundSegmentState* GetSegmentState() const { return m_pSegmentState; }
    plat::SoundPerformance* GetPerformance() const { return m_pPerformance; }

private:
    void Log(const char* method, const char* text);
    // The steps of Load, each logging its own failure.
    bool TakeSoundType(int soundType);
    bool NameUsable(const char* name);
    bool TakeInterfaces(KUSND* sound, unsigned soundSize);
    bool ExtractMember();
    int LoadExtracted(int flag);

    KUSYSTEM* m_pKUSys;
    int m_bInit;
    int m_bLoad;
    int m_bLoop;
    char m_szName[kNameSize];
    int m_nVolume;
    plat::SoundPerformance* m_pPerformance; // not owned
    plat::SoundLoader* m_pLoader; // not owned
    plat::SoundSegment* m_pSegment;
    plat::SoundSegmentState* m_pSegmentState;
    int64_t m_nLength;
    int m_nFileType;
    int m_nSoundType;
    // Ogg files have no segment; they play from this decoded copy.
    plat::SoundSegment* m_pOggSound;
    plat::SoundSegmentState* m_pOggState;
    // "tmp/" + name was written by this slot's own extraction, so it is ours
    // to delete.
    int m_bExtracted;
};
