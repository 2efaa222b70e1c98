#include "engine/kucode.h"

#include <cstring>

#include "platform/debug_out.h"
#include "platform/files.h"

namespace {

constexpr char kHeaderWord[] = "KUCODE";
constexpr char kModeNoEncode[] = "NLINE-NO-ENCODE";
constexpr char kModeEncode[] = "NLINE-ENCODE";

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The walk shared by both directions: the complement is its own inverse, and
// in no-encode mode CR LF pairs (taken left to right) are copied plain.
void ScrambleStream(FILE* in, FILE* out, bool keepCrLf) {
    int cur = getc(in);
    while (cur != EOF) {
        int next = getc(in);
        if (next == EOF) {
            putc(0xFF - cur, out);
            break;
        }
        if (keepCrLf && cur == 0x0D && next == 0x0A) {
            putc(0x0D, out);
            putc(0x0A, out);
            cur = getc(in);
            continue;
        }
        putc(0xFF - cur, out);
        cur = next;
    }
}

// Closes both files after a walk: 0, or -1 with the matching line when a
// byte could not be read or written (a full disk must not pass for done).
int CloseAfterWalk(FILE* in, FILE* out, const char* readFailed, const char* writeFailed) {
    const bool readOk = !ferror(in);
    const bool writeOk = !ferror(out);
    fclose(in);
    const bool closeOk = fclose(out) == 0;
    if (!readOk) {
        plat::DebugOut(readFailed);
        return -1;
    }
    if (!writeOk || !closeOk) {
        plat::DebugOut(writeFailed);
        return -1;
    }
    return 0;
}

// Reads one blank-delimited word into word (capacity size, NUL-terminated).
// False when none comes or it does not fit; the byte after it stays unread.
bool ReadWord(FILE* in, char* word, size_t size) {
    memset(word, 0, size);
    int c;
    do {
        c = getc(in);
    } while (c != EOF && IsBlank(c));
    size_t n = 0;
    while (c != EOF && !IsBlank(c)) {
        if (n + 1 >= size)
            return false;
        word[n++] = static_cast<char>(c);
        c = getc(in);
    }
    if (c != EOF)
        ungetc(c, in);
    return n > 0;
}

} // namespace

int KUEncode(const char* source, const char* dest, int modeFlags) {
    FILE* in = source ? plat::OpenFile(source, "rb") : nullptr;
    if (!in) {
        plat::DebugOut("Error: <KUEncode> 読込先ファイルオープンに失敗\n");
        return -1;
    }
    FILE* out = dest ? plat::OpenFile(dest, "wb") : nullptr;
    if (!out) {
        plat::DebugOut("Error: <KUEncode> 書込先ファイルオープンに失敗\n");
        fclose(in);
        return -1;
    }
    bool keepCrLf = (modeFlags & kKuCodeNoEncode) != 0;
    fputs("KUCODE ", out);
    fputs(keepCrLf ? kModeNoEncode : kModeEncode, out);
    fputs("\n", out);
    ScrambleStream(in, out, keepCrLf);
    return CloseAfterWalk(in, out, "Error: <KUEncode> 読込先ファイルの読み込みに失敗\n",
                          "Error: <KUEncode> 書込先ファイルへの書き込みに失敗\n");
}

int KUDecode(const char* source, const char* dest) {
    char word1[100];
    char word2[100];
    FILE* in = source ? plat::OpenFile(source, "rb") : nullptr;
    if (!in) {
        plat::DebugOut("Error: <KUDecode> 読込ファイルが開けません\n");
        return -1;
    }
    FILE* out = dest ? plat::OpenFile(dest, "wb") : nullptr;
    if (!out) {
        plat::DebugOut("Error: <KUDecode> 書込ファイルが開けません\n");
        fclose(in);
        return -1;
    }
    if (!ReadWord(in, word1, sizeof(word1)) || strcmp(word1, kHeaderWord) != 0) {
        plat::DebugOut("Error: <KUDecode> KUCodeで暗号化されたファイルではありません\n");
        fclose(in);
        fclose(out);
        return -1;
    }
    bool keepCrLf;
    bool ok = ReadWord(in, word2, sizeof(word2));
    if (ok && strcmp(word2, kModeNoEncode) == 0) {
        keepCrLf = true;
    } else if (ok && strcmp(word2, kModeEncode) == 0) {
        keepCrLf = false;
    } else {
        plat::DebugOut("Error: <KUDecode> ヘッダーが不正です\n");
        fclose(in);
        fclose(out);
        return -1;
    }
    // The header ends in LF (KUEncode) or CR LF (our tool): skip either, so
    // no stray byte of the header reaches the output.
    int c = getc(in);
    if (c == '\r') {
        int d = getc(in);
        if (d != '\n' && d != EOF)
            ungetc(d, in);
    }
    ScrambleStream(in, out, keepCrLf);
    return CloseAfterWalk(in, out, "Error: <KUDecode> 読込ファイルが読めません\n",
                          "Error: <KUDecode> 書込ファイルに書き込めません\n");
}

int CodeFileReadOneLine(FILE* file, char* buffer, int size) {
    if (buffer && size > 0)
        memset(buffer, 0, static_cast<size_t>(size));
    if (!file) {
        plat::DebugOut("Error: <CodeFileReadOneLine> ファイルポインタが設定されていません\n");
        return -1;
    }
    if (!buffer || size <= 0)
        return -1;
    // One byte stays free for the NUL: a full buffer still holds a C string.
    bool prevCr = false;
    for (int i = 0; i < size - 1; ++i) {
        int c = getc(file);
        if (c == EOF)
            return -1;
        buffer[i] = static_cast<char>(c);
        if (c == '\n' && prevCr)
            return 0;
        prevCr = (c == '\r');
    }
    return 0;
}

int KUDecodeOneLine(const char* line, int maximum, char* out) {
    if (!line || !out || maximum <= 0)
        return 0;
    // Header check in place: optional blanks, "KUCODE", then a blank or the end.
    const char* p = line;
    const char* limit = line + maximum;
    while (p < limit && *p != '\0' && IsBlank(static_cast<unsigned char>(*p)))
        ++p;
    // Byte by byte: a shorter line ends at its NUL, never read past.
    size_t k = 0;
    while (k < sizeof(kHeaderWord) - 1 && p + k < limit && p[k] == kHeaderWord[k])
        ++k;
    if (k == sizeof(kHeaderWord) - 1) {
        const char* after = p + k;
        if (after == limit || *after == '\0' || IsBlank(static_cast<unsigned char>(*after)))
            return 1;
    }
    int i = 0;
    for (; i < maximum - 1; ++i) {
        unsigned char b = static_cast<unsigned char>(line[i]);
        if (b == 0)
            break;
        if (b == '\r' && i + 1 < maximum && line[i + 1] == '\n')
            break;
        out[i] = static_cast<char>(0xFF - b);
    }
    out[i] = '\0';
    return 0;
}
