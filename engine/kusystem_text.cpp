#include "engine/kusystem.h"

#include <cstring>
#include <string_view>

#include "engine/kusystem_internal.h"
#include "platform/debug_out.h"
#include "platform/sjis.h"

// String conversion.

int KUSYSTEM::StrConvert(const char* source, int sourceSize, char* dest, int destSize, StrConvertForm form) {
    if (!source) {
        TracePrint("Error: <KUSYSTEM::StrConvert> 変換元文字列が不正です\n");
        return 0;
    }
    if (sourceSize <= 0) {
        TracePrint("Error: <KUSYSTEM::StrConvert> 変換元文字列サイズが不正です\n");
        return 0;
    }
    if (!dest) {
        TracePrint("Error: <KUSYSTEM::StrConvert> 変換先文字列が不正です\n");
        return 0;
    }
    if (destSize <= 0) {
        TracePrint("Error: <KUSYSTEM::StrConvert> 変換先文字列サイズが不正です\n");
        return 0;
    }
    const size_t size = static_cast<size_t>(destSize);
    memset(dest, 0, size);
    kusys::CopyBounded(dest, size, std::string_view(source, strnlen(source, static_cast<size_t>(sourceSize))));

    // Walk character by character: a double-byte character may end in 0x5C,
    // and that byte followed by "n" is not an escape.
    size_t len = strlen(dest);
    size_t i = 0;
    if (form == StrConvertForm::kScript) {
        while (i < len) {
            if (dest[i] == '\\' && dest[i + 1] == 'n') {
                dest[i] = '\n';
                memmove(dest + i + 1, dest + i + 2, len - i - 1); // includes the terminator
                --len;
                ++i;
                continue;
            }
            i += plat::SjisCharLength(std::string_view(dest, len), i);
        }
        return 1;
    }
    while (i < len) {
        if (dest[i] == '\n') {
            if (len + 1 >= size) {
                dest[i] = '\\'; // no room for the "n": stop here
                break;
            }
            memmove(dest + i + 2, dest + i + 1, len - i); // includes the terminator
            dest[i] = '\\';
            dest[i + 1] = 'n';
            ++len;
            i += 2;
            continue;
        }
        i += plat::SjisCharLength(std::string_view(dest, len), i);
    }
    return 1;
}
