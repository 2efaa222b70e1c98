#include "gallery/data_script.h"

#include <cstring>
#include <string>

#include "engine/combine_file.h"
#include "engine/kucode.h"
#include "modes/mode_common.h"
#include "platform/sjis.h"
#include "platform/files.h"

namespace gallery {

namespace {

constexpr const char* kArchive = "dat/Scenario.dat";

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

} // namespace

FILE* OpenDataScript(KUSYSTEM* sys, const char* tag, const char* name) {
    int r = FileDiv(kArchive, "tmp/", name);
    if (r == -2) {
        modes::ErrorPrint(sys, tag, "指定ファイルは非結合ファイルです");
        return nullptr;
    }
    if (r == -1) {
        modes::ErrorPrint(sys, tag, "呼び出したFileDivが失敗しました");
        return nullptr;
    }
    if (r == 0) {
        std::string text = std::string(kArchive) + "内に" + name + "が見つかりません";
        modes::ErrorPrint(sys, tag, text.c_str());
        return nullptr;
    }
    FILE* f = plat::OpenFile(std::string("tmp/") + name, "rb");
    if (!f)
        modes::ErrorPrint(sys, tag, "ファイルオープンに失敗しました");
    return f;
}

int ReadDataLine(KUSYSTEM* sys, const char* tag, FILE* file, char* out) {
    char raw[kLineSize];
    for (;;) {
        if (CodeFileReadOneLine(file, raw, kLineSize) != 0) {
            if (std::ferror(file)) {
                modes::ErrorPrint(sys, tag, "CodeFileReadOneLineでエラーが発生しました");
                return -1;
            }
            return 0;
        }
        int d = KUDecodeOneLine(raw, kLineSize, out);
        if (d == 1)
            continue;
        if (d < 0) {
            modes::ErrorPrint(sys, tag, "複合化に失敗しました");
            return -1;
        }
        return 1;
    }
}

int SplitTokens(const char* line, char (*tokens)[kTokenSize], int max) {
    int n = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(line);
    while (n < max) {
        while (*p && IsBlank(*p))
            ++p;
        if (!*p)
            break;
        int len = 0;
        while (*p && !IsBlank(*p)) {
            if (len < kTokenSize - 1)
                tokens[n][len++] = static_cast<char>(*p);
            ++p;
        }
        tokens[n][len] = '\0';
        ++n;
    }
    return n;
}

bool EqualNoCase(const char* a, const char* b) { return plat::SjisEqualNoCase(a, b); }

void CopyText(char* dest, int size, const char* src) {
    if (size <= 0)
        return;
    std::strncpy(dest, src ? src : "", static_cast<size_t>(size - 1));
    dest[size - 1] = '\0';
}

void FullWidthDigits(const char* src, char* dest, int size) {
    int n = 0;
    for (const char* p = src; *p && n < size - 1; ++p) {
        if (*p >= '0' && *p <= '9') {
            if (n + 2 > size - 1)
                break;
            dest[n++] = static_cast<char>(0x82);
            dest[n++] = static_cast<char>(0x4F + (*p - '0'));
        } else {
            dest[n++] = *p;
        }
    }
    if (size > 0)
        dest[n] = '\0';
}

} // namespace gallery
