#include "game/game_global_data.h"

#include <cstring>

GAME_GLOBAL_DATA::GAME_GLOBAL_DATA() : m_pAutoSkip(new AUTOSKIP_FILE_DATA[kAutoSkipCount]) { Clear(); }

GAME_GLOBAL_DATA::~GAME_GLOBAL_DATA() {
    Clear();
    delete[] m_pAutoSkip;
}

void GAME_GLOBAL_DATA::Clear() {
    m_bLoaded = 0;
    m_bFileKept = 0;
    memset(m_dwCgFlag, 0, sizeof(m_dwCgFlag));
    memset(m_dwEventFlag, 0, sizeof(m_dwEventFlag));
    m_dwCharacterFlag = 0;
    m_nTopEpisode = 0;
    for (int i = 0; i < kAutoSkipCount; ++i)
        m_pAutoSkip[i].Clear();
}

void GAME_GLOBAL_DATA::Initialize() {
    Clear();
    m_bLoaded = 1;
}

namespace {

// Word and bit of a flag number, or nullptr when out of range.
uint32_t* FlagWord(GAME_GLOBAL_DATA& d, int episode, int scene, int kind, int flag, uint32_t* bit) {
    switch (kind) {
        case GAME_GLOBAL_DATA::kKindCg:
            if (episode < 1 || episode > GAME_GLOBAL_DATA::kEpisodes)
                return nullptr;
            if (scene < 1 || scene > GAME_GLOBAL_DATA::kScenes)
                return nullptr;
            if (flag < 1 || flag > 32 * GAME_GLOBAL_DATA::kCgWords)
                return nullptr;
            *bit = 1u << ((flag - 1) % 32);
            return &d.m_dwCgFlag[episode - 1][scene - 1][(flag - 1) / 32];
        case GAME_GLOBAL_DATA::kKindEvent:
            if (episode < 1 || episode > GAME_GLOBAL_DATA::kEpisodes)
                return nullptr;
            if (flag < 1 || flag > 31)
                return nullptr;
            *bit = 1u << (flag - 1);
            return &d.m_dwEventFlag[episode - 1];
        case GAME_GLOBAL_DATA::kKindCharacter:
            if (flag < 1 || flag > 7)
                return nullptr;
            *bit = 1u << (flag - 1);
            return &d.m_dwCharacterFlag;
        default: return nullptr;
    }
}

} // namespace

int GAME_GLOBAL_DATA::SetFlag(int episode, int scene, int kind, int flag, int on) {
    uint32_t bit = 0;
    uint32_t* word = FlagWord(*this, episode, scene, kind, flag, &bit);
    if (!word)
        return 0;
    if (on)
        *word |= bit;
    else
        *word &= ~bit;
    return 1;
}

int GAME_GLOBAL_DATA::GetFlag(int episode, int scene, int kind, int flag) const {
    uint32_t bit = 0;
    const uint32_t* word = FlagWord(const_cast<GAME_GLOBAL_DATA&>(*this), episode, scene, kind, flag, &bit);
    if (!word)
        return -1;
    return (*word & bit) ? 1 : 0;
}

uint32_t* GAME_GLOBAL_DATA::GetFlagBuf(int episode, int scene, int kind) {
    if (episode < 1 || episode > kEpisodes)
        return nullptr;
    switch (kind) {
        case kKindCg:
            if (scene < 1 || scene > kScenes)
                return nullptr;
            return m_dwCgFlag[episode - 1][scene - 1];
        case kKindEvent: return m_dwEventFlag;
        case kKindCharacter: return &m_dwCharacterFlag;
        default: return nullptr;
    }
}

int GAME_GLOBAL_DATA::SetEpisode(int kind, int episode) {
    if (kind != kKindEpisode)
        return 0;
    if (episode > m_nTopEpisode)
        m_nTopEpisode = episode;
    return 1;
}

int GAME_GLOBAL_DATA::GetEpisode(int kind) const { return kind == kKindEpisode ? m_nTopEpisode : -65535; }
