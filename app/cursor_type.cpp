#include "app/cursor_type.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/debug_out.h"
#include "platform/files.h"

namespace {

constexpr int kLineSize = 512;
constexpr int kWordSize = 50;

// Written with CR LF as the original's text-mode write left it on disk.
const char kDefaultCursorFile[] =
    "****** マウスカーソルの変更が可能です。 ******\r\n"
    "****** 半角で入力して下さい。           ******\r\n"
    "****** (0=通常、1=モノクロ、2=カラー)   ******\r\n"
    "Cursor:\t0\r\n";

constexpr int kReadFailed = -2;

// 0 to 2, -1 missing or invalid, kReadFailed when it exists but cannot be read.
int ReadCursorValue(const char* path) {
    FILE* f = plat::OpenFile(path, "r");
    if (!f)
        return plat::FileExists(path) ? kReadFailed : -1;
    char line[kLineSize] = "";
    int lines = 0;
    for (; lines < 4; ++lines) {
        if (!fgets(line, sizeof(line), f))
            break;
    }
    const bool failed = ferror(f) != 0;
    fclose(f);
    if (failed)
        return kReadFailed;
    if (lines < 4)
        return -1;

    char w1[kWordSize] = "", w2[kWordSize] = "";
    if (sscanf(line, "%49s %49s", w1, w2) < 1)
        return -1;
    // "Cursor:2": key and value written together.
    const char* value = strlen(w1) >= 8 ? w1 + 7 : w2;
    if (strcmp(value, "0") == 0)
        return 0;
    if (strcmp(value, "1") == 0)
        return 1;
    if (strcmp(value, "2") == 0)
        return 2;
    return -1;
}

} // namespace

int LoadCursorType(const char* path) {
    if (!path)
        return 0;
    int value = ReadCursorValue(path);
    if (value >= 0)
        return value;
    if (value == kReadFailed) {
        // The player's file stays as it is; the standard arrow is used.
        char text[512];
        snprintf(text, sizeof(text), "Warn: <LoadCursorType> %s を読み込めません。このファイルは書き換えません\n",
                 path);
        plat::DebugOut(text);
        return 0;
    }
    plat::WriteFileAtomic(path, std::string(kDefaultCursorFile, sizeof(kDefaultCursorFile) - 1));
    return 0;
}
