#pragma once
#include <cstdint>

class KUSND;
class KUSYSTEM;

// A sound that a script declares by ID and binds to a voice (voice channel),
// a piece of music (music channel) or a sound effect (a sound slot). Effects
// named like one of the game's own effect slots play from that slot; every
// other effect file shares the general slot 2.
class SOUND_DATA {
public:
    static constexpr int kIDSize = 100;
    static constexpr int kFileSize = 260;
    static constexpr uint32_t kTypeVoice = 0;
    static constexpr uint32_t kTypeBGM = 1;
    static constexpr uint32_t kTypeSE = 2;
    static constexpr uint32_t kTypeNone = 3;
    static constexpr int32_t kVoiceSlot = 0;
    static constexpr int32_t kBGMSlot = 1;
    static constexpr int32_t kGeneralSESlot = 2;

    SOUND_DATA();
    ~SOUND_DATA();
    SOUND_DATA(const SOUND_DATA&) = delete;
    SOUND_DATA& operator=(const SOUND_DATA&) = delete;

    // Clears, then takes the engine pointers and the ID. 1 done, 0 refused.
    int Initialize(KUSND* snd, KUSYSTEM* sys, const char* id);
    // Binds a file of the type's archive to its slot; loads at once when
    // loadFlag is 1 (a failed load is logged, the call still succeeds). 0 for
    // a bad type or a file missing from the archive (old type and slot kept).
    int SetSoundData(const char* file, uint32_t type, uint32_t loop, int32_t extra, uint32_t loadFlag);
    int LoadSoundData();
    int UnloadSoundData();
    int PlayProc();
    // Stopping a voice or music stops whatever plays on that channel.
    int StopProc();
    void Clear();

    uint32_t m_bInit;
    KUSND* m_pKUSnd;
    KUSYSTEM* m_pKUSys;
    char m_szID[kIDSize];
    char m_szFile[kFileSize];
    int32_t m_nSlot;
    uint32_t m_bPlay;
    uint32_t m_bLoaded;
    uint32_t m_dwType;
    uint32_t m_dwLoop;
    int32_t m_nExtra;
    uint32_t m_bLoad;

private:
    void ErrorPrint(const char* text);
    bool Ready(const char* method);
    // The slot an effect file plays from (a listed slot, else slot 2 rebound
    // to it); -1 when binding slot 2 failed.
    int32_t EffectSlot(const char* file);
};
