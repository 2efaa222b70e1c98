#include "game/var_data.h"

#include <cstring>

#include "game/fixed_string.h"

void VAR_DATA::Clear() {
    memset(m_szName, 0, sizeof(m_szName));
    m_nValue = 0;
}

void VAR_DATA::SetName(const char* name) {
    Clear();
    game::CopyFixed(m_szName, name);
}
