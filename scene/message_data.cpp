#include "scene/message_data.h"

#include <cstring>

void MESSAGE_DATA::Clear() {
    m_nFontSize = kDefaultFontSize;
    memset(m_szName, 0, sizeof(m_szName));
    memset(m_szText, 0, sizeof(m_szText));
    memset(m_szVoice, 0, sizeof(m_szVoice));
    m_dwColor = kDefaultColor;
}
