#include <cstdio>
#include <cstring>

#include "platform/debug_out.h"
#include "platform/files.h"
#include "sound/kudadata.h"

int GetFileInfoAudio(const char* path) {
    if (!path) {
        plat::DebugOut("Error: <GetFileInfoAudio> 引数のファイルパスが無効です\n");
        return 0;
    }
    FILE* f = plat::OpenFile(path, "rb");
    if (!f) {
        plat::DebugOut("Error: <GetFileInfoAudio> ファイルが存在しません\n");
        return 0;
    }
    unsigned char head[10] = {};
    const size_t got = fread(head, 1, sizeof(head), f);
    const bool failed = got == 0 && ferror(f);
    fclose(f);
    if (failed) {
        plat::DebugOut("Error: <GetFileInfoAudio> 読み込みに失敗しました\n");
        return 0;
    }
    if (std::memcmp(head, "RIFF", 4) == 0)
        return 1;
    if (std::memcmp(head, "OggS", 4) == 0)
        return 8;
    plat::DebugOut("Error: <GetFileInfoAudio> 未定義のファイルフォーマットです\n");
    return 0;
}
