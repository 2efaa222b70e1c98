#pragma once
#include <cstdint>

#include "game/autoskip_file_data.h"

// What the game keeps across plays: the top episode, picture, event and
// character flags, and the read-skip list. Kept in "sav/sav00.sav".
class GAME_GLOBAL_DATA {
public:
    static constexpr int kEpisodes = 7;
    static constexpr int kScenes = 20;
    static constexpr int kCgWords = 3;
    static constexpr int kAutoSkipCount = 512;

    // Kinds for the flag operations.
    static constexpr int kKindCg = 0;
    static constexpr int kKindEvent = 1;
    static constexpr int kKindCharacter = 2;
    static constexpr int kKindEpisode = 3;

    GAME_GLOBAL_DATA();
    ~GAME_GLOBAL_DATA();
    GAME_GLOBAL_DATA(const GAME_GLOBAL_DATA&) = delete;
    GAME_GLOBAL_DATA& operator=(const GAME_GLOBAL_DATA&) = delete;

    void Clear();
    void Initialize();

    // 1 done, 0 bad arguments.
    int SetFlag(int episode, int scene, int kind, int flag, int on);
    // 1 set, 0 clear, -1 bad arguments.
    int GetFlag(int episode, int scene, int kind, int flag) const;
    uint32_t* GetFlagBuf(int episode, int scene, int kind);
    int SetEpisode(int kind, int episode);
    int GetEpisode(int kind) const;

    uint32_t m_bLoaded;
    // Set when "sav/sav00.sav" exists but could not be read, or holds what
    // this play could not carry (a hidden value, a part past what is read)
    // and no copy of it could be kept: play goes on with what was read and
    // the player's file is never written over.
    uint32_t m_bFileKept;
    uint32_t m_dwCgFlag[kEpisodes][kScenes][kCgWords];
    uint32_t m_dwEventFlag[kEpisodes];
    uint32_t m_dwCharacterFlag;
    int32_t m_nTopEpisode;
    AUTOSKIP_FILE_DATA* m_pAutoSkip; // kAutoSkipCount entries
};
