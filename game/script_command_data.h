#pragma once
#include <cstdint>

// One parsed script line held in a command slot of the interpreter.
class SCRIPT_COMMAND_DATA {
public:
    static constexpr int kTextSize = 512;
    static constexpr int kArgCount = 10;

    SCRIPT_COMMAND_DATA() : m_nLine(0) { Reset(); }
    ~SCRIPT_COMMAND_DATA() { Clear(); }

    void Reset() { Clear(); }
    // Frees the slot: everything but the line number is cleared.
    void Clear();
    // Takes the keyword, the first min(count, 10) arguments and the line.
    // Over-long texts are cut inside their fields.
    void SetData(const char* command, const char (*args)[kTextSize], int count, int line);

    bool IsFree() const { return m_szCommand[0] == '\0'; }

    int32_t m_nPhase;
    uint32_t m_dwStartTime;
    char m_szCommand[kTextSize];
    char m_szArg[kArgCount][kTextSize];
    int32_t m_bExclusive;
    int32_t m_nLine;
};
