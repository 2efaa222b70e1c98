#pragma once
#include <cstdint>

// One message as the message window shows it and keeps it in its history.
class MESSAGE_DATA {
public:
    static constexpr int kNameSize = 100;
    static constexpr int kTextSize = 512;
    static constexpr int kVoiceSize = 260;
    static constexpr int32_t kDefaultFontSize = 20;
    static constexpr uint32_t kDefaultColor = 0xFFFFFF; // RGB, red in the low byte

    MESSAGE_DATA() { Clear(); }
    ~MESSAGE_DATA() { Clear(); }

    void Release() { Clear(); }
    void Clear();

    int32_t m_nFontSize;
    char m_szName[kNameSize];
    char m_szText[kTextSize];
    char m_szVoice[kVoiceSize];
    uint32_t m_dwColor;
};
