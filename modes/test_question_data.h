#pragma once
#include <cstdint>
#include <cstring>

// One question of the running exam: its picture, the right choice (0-based),
// the player's choice and its id.
class TEST_QUESTION_DATA {
public:
    static constexpr int kImageSize = 260;
    static constexpr int kIDSize = 20;

    TEST_QUESTION_DATA() { Clear(); }

    void Clear() {
        std::memset(m_szImage, 0, sizeof(m_szImage));
        m_nAnswer = -1;
        m_nChosen = -1;
        std::memset(m_szID, 0, sizeof(m_szID));
    }

    char m_szImage[kImageSize];
    int32_t m_nAnswer; // -1 cleared
    int32_t m_nChosen; // -1 none
    char m_szID[kIDSize];
};
