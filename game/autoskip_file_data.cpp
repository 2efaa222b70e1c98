#include "game/autoskip_file_data.h"

#include <cstring>

#include "game/fixed_string.h"
#include "platform/debug_out.h"

void AUTOSKIP_FILE_DATA::Clear() {
    memset(m_szFile, 0, sizeof(m_szFile));
    m_nLine = 0;
}

int AUTOSKIP_FILE_DATA::SetData(const char* file, int32_t line) {
    if (!file || file[0] == '\0') {
        plat::DebugOut("Error: <AUTOSKIP_FILE_DATA> ファイルパスが不正です\n");
        return 0;
    }
    game::CopyFixed(m_szFile, file);
    m_nLine = line;
    return 1;
}
