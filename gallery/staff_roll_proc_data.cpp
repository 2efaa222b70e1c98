#include "gallery/staff_roll_proc_data.h"

#include <cstring>

#include "modes/mode_common.h"

int STAFF_ROLL_PROC_DATA::OperatorCode(const char* t) {
    if (std::strcmp(t, "=") == 0)
        return 1;
    if (std::strcmp(t, ">") == 0)
        return 2;
    if (std::strcmp(t, "<") == 0)
        return 3;
    if (std::strcmp(t, ">=") == 0)
        return 4;
    if (std::strcmp(t, "<=") == 0)
        return 5;
    return 0;
}

int STAFF_ROLL_PROC_DATA::Initialize(KUSYSTEM* sys, const char* name, float position, int op,
                                     const char (*tokens)[gallery::kTokenSize], int count) {
    Clear();
    const char* tag = "STAFF_ROLL_PROC_DATA::Initialize";
    if (!sys) {
        modes::ErrorPrint(nullptr, tag, "KUSYSTEMクラスポインタが不正です");
        return 0;
    }
    if (!name) {
        modes::ErrorPrint(sys, tag, "命令名が不正です");
        return 0;
    }
    m_pKUSys = sys;
    gallery::CopyText(m_szName, gallery::kTokenSize, name);
    m_fPosition = position;
    m_nOperator = op;
    if (tokens) {
        int n = count < kTokenCount ? count : kTokenCount;
        for (int i = 0; i < n; ++i)
            gallery::CopyText(m_szToken[i], gallery::kTokenSize, tokens[i]);
    }
    m_bInit = 1;
    return 1;
}

void STAFF_ROLL_PROC_DATA::Clear() {
    m_bInit = 0;
    m_pKUSys = nullptr;
    m_bDone = 0;
    m_bRunning = 0;
    std::memset(m_szName, 0, sizeof(m_szName));
    m_dwStartTime = 0;
    m_nStep = 0;
    m_fPosition = 0.0f;
    m_nOperator = 0;
    std::memset(m_szToken, 0, sizeof(m_szToken));
}

bool STAFF_ROLL_PROC_DATA::Holds(float y) const {
    switch (m_nOperator) {
        case 1: return y == m_fPosition;
        case 2: return y > m_fPosition;
        case 3: return y < m_fPosition;
        case 4: return y >= m_fPosition;
        case 5: return y <= m_fPosition;
        default: return false;
    }
}
