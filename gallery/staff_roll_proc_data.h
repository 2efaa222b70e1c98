#pragma once
#include <cstdint>

#include "gallery/data_script.h"

class KUSYSTEM;

// One timed command of the staff roll: it fires when the strip's scroll
// position compared with its position by its operator holds.
class STAFF_ROLL_PROC_DATA {
public:
    static constexpr int kTokenCount = 10;
    // Operators: 1 "=", 2 ">", 3 "<", 4 ">=", 5 "<="; 0 never fires.
    static int OperatorCode(const char* token);

    STAFF_ROLL_PROC_DATA() { Clear(); }
    ~STAFF_ROLL_PROC_DATA() { Clear(); }

    // Keeps the first min(count, 10) tokens (the whole line, "#SET_PROC" first).
    int Initialize(KUSYSTEM* sys, const char* name, float position, int op, const char (*tokens)[gallery::kTokenSize],
                   int count);
    void Clear();
    // Whether the trigger holds at this scroll position.
    bool Holds(float baseY) const;

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    int m_bDone;
    int m_bRunning;
    char m_szName[gallery::kTokenSize];
    uint32_t m_dwStartTime;
    int m_nStep;
    float m_fPosition;
    int m_nOperator;
    char m_szToken[kTokenCount][gallery::kTokenSize];
};
