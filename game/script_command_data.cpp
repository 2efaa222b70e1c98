#include "game/script_command_data.h"

#include <cstring>

#include "game/fixed_string.h"

void SCRIPT_COMMAND_DATA::Clear() {
    m_nPhase = 0;
    m_dwStartTime = 0;
    memset(m_szCommand, 0, sizeof(m_szCommand));
    memset(m_szArg, 0, sizeof(m_szArg));
    m_bExclusive = 0;
}

void SCRIPT_COMMAND_DATA::SetData(const char* command, const char (*args)[kTextSize], int count, int line) {
    Reset();
    game::CopyFixed(m_szCommand, command);
    if (args) {
        int n = count < kArgCount ? count : kArgCount;
        for (int i = 0; i < n; ++i)
            game::CopyFixed(m_szArg[i], args[i]);
    }
    m_nLine = line;
}
