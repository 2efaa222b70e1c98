#include "engine/combine_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "engine/game_paths.h"
#include "engine/trace_line.h"
#include "platform/debug_out.h"
#include "platform/files.h"
#include "platform/sjis.h"

COMBINE_FILE_DATA g_CombineFileList[kCombineFileListMax];

namespace {

constexpr char kHeaderMagic[] = "FILECMB-DATA-";
constexpr size_t kHeaderMagicLen = sizeof(kHeaderMagic) - 1;
constexpr int kLineSize = 512;
constexpr size_t kPathSize = 260;
constexpr size_t kNumberDigitsMax = 9;
constexpr int kVisibleTries = 100;
constexpr int kDeleteSafeCount = 4096;

bool IsListBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Next blank-delimited word of line from *pos; empty when none is left.
std::string_view NextWord(const char* line, size_t* pos) {
    size_t i = *pos;
    while (line[i] != '\0' && IsListBlank(line[i]))
        ++i;
    size_t start = i;
    while (line[i] != '\0' && !IsListBlank(line[i]))
        ++i;
    *pos = i;
    return std::string_view(line + start, i - start);
}

// Parses one member line into row. False when a field is too long for its
// buffer (name of 260 bytes or more, number of more than 9 digits).
bool ParseMemberLine(const char* line, COMBINE_FILE_DATA* row) {
    size_t pos = 0;
    std::string_view name = NextWord(line, &pos);
    std::string_view start = NextWord(line, &pos);
    std::string_view end = NextWord(line, &pos);
    if (name.size() >= sizeof(row->name) || start.size() > kNumberDigitsMax || end.size() > kNumberDigitsMax) {
        return false;
    }
    char number[kNumberDigitsMax + 1];
    memcpy(row->name, name.data(), name.size());
    row->name[name.size()] = '\0';
    memcpy(number, start.data(), start.size());
    number[start.size()] = '\0';
    row->start = static_cast<uint32_t>(atoi(number));
    memcpy(number, end.data(), end.size());
    number[end.size()] = '\0';
    row->end = static_cast<uint32_t>(atoi(number));
    return true;
}

// Reads the header line up to its LF (at most kLineSize - 1 bytes). The
// header is LF-terminated by definition, so a short archive with no CR LF
// anywhere is still recognised. 0 read, -1 end of file before any LF, -2 read error.
int ReadHeaderLine(FILE* f, char* buffer) {
    memset(buffer, 0, kLineSize);
    for (int i = 0; i < kLineSize - 1; ++i) {
        int c = getc(f);
        if (c == EOF)
            return ferror(f) ? -2 : -1;
        buffer[i] = static_cast<char>(c);
        if (c == '\n')
            return 0;
    }
    return 0;
}

// Checks [start, end) against the archive and returns it opened at start;
// null (logged) when the range or the archive is unusable.
FILE* OpenMemberRange(const char* archive, uint32_t start, uint32_t end) {
    if (end < start) {
        plat::DebugOut("Error: 読み込み開始位置と終了位置の指定が不正\n");
        return nullptr;
    }
    FILE* f = archive ? plat::OpenFile(archive, "rb") : nullptr;
    if (!f) {
        plat::DebugOut("Error: ファイルを読み込みオープンできない\n");
        return nullptr;
    }
    long fileSize = fseek(f, 0, SEEK_END) == 0 ? ftell(f) : -1;
    if (fileSize <= 0) {
        plat::DebugOut("Error: ファイルサイズが得られない\n");
        fclose(f);
        return nullptr;
    }
    if (static_cast<unsigned long>(fileSize) < end) {
        plat::DebugOut("Error: 読み込み終了位置が不正\n");
        fclose(f);
        return nullptr;
    }
    if (fseek(f, static_cast<long>(start), SEEK_SET) != 0) {
        plat::DebugOut("Error: 読み込みエラー発生\n");
        fclose(f);
        return nullptr;
    }
    return f;
}

// Copies a member's bytes to out in pieces: the same checks and messages as
// reading it whole, without holding the whole member in memory.
// 1 copied, -1 failed (logged).
int CopyMemberRange(const char* archive, uint32_t start, uint32_t end, FILE* out) {
    FILE* in = OpenMemberRange(archive, start, end);
    if (!in)
        return -1;
    constexpr size_t kChunk = 1 << 20;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kChunk]);
    if (!buffer) {
        plat::DebugOut("Error: メモリを確保出来ない\n");
        fclose(in);
        return -1;
    }
    size_t left = end - start;
    while (left > 0) {
        size_t n = left < kChunk ? left : kChunk;
        if (fread(buffer.get(), 1, n, in) != n) {
            plat::DebugOut("Error: 読み込みエラー発生\n");
            fclose(in);
            return -1;
        }
        if (fwrite(buffer.get(), 1, n, out) != n) {
            plat::DebugOut("Error: 書き込みエラー発生\n");
            fclose(in);
            return -1;
        }
        left -= n;
    }
    fclose(in);
    return 1;
}

// The work folder may vanish under a running game: another copy of the game
// in the same folder removes it when it quits. Made again (a link or file in
// its place is replaced, never followed); true when it was missing and is
// there now.
bool RemakeWorkFolder(const char* outDirectory) {
    if (!outDirectory)
        return false;
    const std::string_view dir(outDirectory);
    if (dir != kTempFolder && dir != kTempFolderName)
        return false;
    if (plat::MakeOwnDir(kTempFolderName, nullptr) != 0)
        return false;
    char line[kTraceLineBytes];
    FormatTraceLine("Warn: <FileDiv> 作業ディレクトリ tmp/ が無くなっていたので作り直した\n", line, sizeof line);
    plat::DebugOut(line);
    return true;
}

// Writes one row's bytes to outDirectory + its name. Returns FileDiv's
// result for this row, or 1 when written; *outPath gets the path used.
int ExtractRow(const char* archive, const char* outDirectory, const COMBINE_FILE_DATA& row, std::string* outPath) {
    std::string path = outDirectory ? std::string(outDirectory) + row.name : std::string(row.name);
    if (!IsSafeMemberName(row.name) || path.size() >= kPathSize) {
        // A name that could leave the out directory is refused like an
        // unwritable file, but not with -3 (callers read that as "use the old copy").
        plat::DebugOut("Error: 復号ファイルを書き込みオープンできない\n");
        return -1;
    }
    // Written whole beside its place and then renamed over it: an existing
    // file is only ever replaced by a complete member, and a link in the way
    // is replaced, never written through.
    FILE* out = plat::BeginReplaceFile(path);
    if (!out && RemakeWorkFolder(outDirectory))
        out = plat::BeginReplaceFile(path);
    if (!out) {
        plat::DebugOut("Error: 復号ファイルを書き込みオープンできない\n");
        return -3;
    }
    int r = CopyMemberRange(archive, row.start, row.end, out);
    if (!plat::FinishReplaceFile(out, path, r == 1, plat::Durability::kVolatile) && r == 1) {
        plat::DebugOut("Error: 書き込みエラー発生\n");
        r = -1;
    }
    if (r != 1)
        return -1;
    *outPath = path;
    return 1;
}

// Steps shared by FileDiv and SearchCombineFile: type check and list read.
// 0 when the table holds the archive's list, else the result to return.
int LoadList(const char* archive) {
    int type = CheckCombineFileType(archive);
    if (type == 1) {
        return ReadCombineFileList(archive) == -1 ? -1 : 0;
    }
    if (type == 2) {
        std::string listPath = archive;
        size_t dot = listPath.rfind('.');
        if (dot == std::string::npos) {
            plat::DebugOut("パスから拡張子が検出されなかった\n");
            return -2;
        }
        listPath.resize(dot);
        listPath += ".lst";
        return ReadCombineFileList(listPath.c_str()) == -1 ? -1 : 0;
    }
    plat::DebugOut("Error: 結合ファイルではない\n");
    return -2;
}

// Row index of name, or -1 (not found: logged) / -2 (table full: logged).
int FindRow(const char* name) {
    for (int i = 0; i < kCombineFileListMax; ++i) {
        const COMBINE_FILE_DATA& row = g_CombineFileList[i];
        if (row.name[0] == '\0') {
            plat::DebugOut("Error: 該当ファイル無し\n");
            return -1;
        }
        if (plat::SjisEqualNoCase(row.name, name))
            return i;
    }
    plat::DebugOut("Error: リスト最大数をオーバー\n");
    return -2;
}

} // namespace

bool IsSafeMemberName(const char* name) {
    if (!name || name[0] == '\0')
        return false;
    std::string_view s(name);
    if (s == "." || s == "..")
        return false;
    // Every 0x2F byte separates paths here, even after a lead byte (it is no
    // trail byte, so no double-byte character hides it); 0x5C only where it
    // is not the second byte of a character.
    if (s.find('/') != std::string_view::npos)
        return false;
    return plat::SjisFindLastOf(s, "\\") == std::string_view::npos;
}

void ClearCombineFileList() { memset(g_CombineFileList, 0, sizeof(g_CombineFileList)); }

int CheckCombineFileType(const char* archive) {
    FILE* f = archive ? plat::OpenFile(archive, "rb") : nullptr;
    if (!f) {
        plat::DebugOut("Error: 結合ファイルが読み込みオープンできない\n");
        return -1;
    }
    char line[kLineSize];
    int r = ReadHeaderLine(f, line);
    fclose(f);
    if (r == -1) {
        plat::DebugOut("Error: 結合ファイルではない\n");
        return 0;
    }
    if (r == -2) {
        plat::DebugOut("Error: CodeFileReadOneLineが失敗\n");
        return -1;
    }
    if (memcmp(line, kHeaderMagic, kHeaderMagicLen) != 0) {
        plat::DebugOut("Error: 結合ファイルではありません\n");
        return 0;
    }
    if (memcmp(line + kHeaderMagicLen, "LIST-IN\n", 8) == 0)
        return 1;
    if (memcmp(line + kHeaderMagicLen, "LIST-OUT\n", 9) == 0)
        return 2;
    plat::DebugOut("Error: 結合ファイルではありません\n");
    return 0;
}

int ReadCombineFileList(const char* listPath) {
    FILE* f = listPath ? plat::OpenFile(listPath, "rb") : nullptr;
    if (!f) {
        plat::DebugOut("Error: リストを読み込みオープンできない\n");
        return -1;
    }
    ClearCombineFileList();
    char line[kLineSize] = {};
    if (!fgets(line, kLineSize, f)) {
        plat::DebugOut(feof(f) ? "Error: 結合ファイルでは無い\n" : "Error: fgetsが失敗\n");
        fclose(f);
        return -1;
    }
    for (int n = 0; n < kCombineFileListMax; ++n) {
        memset(line, 0, sizeof(line));
        if (!fgets(line, kLineSize, f)) {
            plat::DebugOut(feof(f) ? "Error: ファイルの終端: 結合ファイルでは無い\n" : "Error: fgetsが失敗\n");
            fclose(f);
            return -1;
        }
        if (strcmp(line, "LIST-END\n") == 0)
            break;
        // A line that fills the buffer without its LF is longer than any
        // member line can be: the list is damaged. fgets stops at the first
        // LF, so one in the buffer ends the line; NULs read from the file
        // must not hide a full buffer.
        bool overLong = memchr(line, '\n', kLineSize - 1) == nullptr && !feof(f);
        if (overLong || !ParseMemberLine(line, &g_CombineFileList[n])) {
            plat::DebugOut("Error: リストの行が不正\n");
            g_CombineFileList[n] = COMBINE_FILE_DATA{};
            fclose(f);
            return -1;
        }
    }
    fclose(f);
    return 0;
}

CombineDataBlock ReadCombineFileData(const char* archive, uint32_t* outSize, uint32_t start, uint32_t end) {
    if (!outSize) {
        plat::DebugOut("Error: サイズのポインタが不正\n");
        return nullptr;
    }
    if (end >= start)
        *outSize = end - start;
    FILE* f = OpenMemberRange(archive, start, end);
    if (!f)
        return nullptr;
    size_t size = end - start;
    CombineDataBlock block;
    try {
        block = std::make_unique<std::vector<uint8_t>>(size);
    } catch (const std::bad_alloc&) {
        plat::DebugOut("Error: メモリを確保出来ない\n");
        fclose(f);
        return nullptr;
    }
    if (fread(block->data(), 1, size, f) != size) {
        plat::DebugOut("Error: 読み込みエラー発生\n");
        fclose(f);
        return nullptr;
    }
    fclose(f);
    return block;
}

int FileDiv(const char* archive, const char* outDirectory, const char* name) {
    int r = LoadList(archive);
    if (r != 0)
        return r;
    std::string path;
    if (!name) {
        for (int i = 0; i < kCombineFileListMax; ++i) {
            if (g_CombineFileList[i].name[0] == '\0')
                return 1;
            int rr = ExtractRow(archive, outDirectory, g_CombineFileList[i], &path);
            if (rr != 1)
                return rr;
        }
        plat::DebugOut("Error: リスト最大数をオーバー\n");
        return 0;
    }
    int row = FindRow(name);
    if (row < 0)
        return 0;
    r = ExtractRow(archive, outDirectory, g_CombineFileList[row], &path);
    if (r != 1)
        return r;
    for (int i = 0; i < kVisibleTries; ++i) {
        if (plat::FileExists(path))
            return 1;
    }
    plat::DebugOut("Error: 解凍ファイルにアクセスできません\n");
    return -1;
}

int SearchCombineFile(const char* archive, const char* name) {
    if (!archive) {
        plat::DebugOut("Error: 結合ファイルパスの指定が不正\n");
        return -1;
    }
    if (!name) {
        plat::DebugOut("Error: 検索ファイルパスの指定が不正\n");
        return -1;
    }
    int r = LoadList(archive);
    if (r != 0)
        return r;
    return FindRow(name) >= 0 ? 1 : 0;
}

int HasCombineMember(const char* archive, const char* name) {
    if (!archive || !name || !name[0])
        return 0;
    if (LoadList(archive) != 0)
        return 0;
    for (const COMBINE_FILE_DATA& row : g_CombineFileList) {
        if (row.name[0] == '\0')
            return 0;
        if (plat::SjisEqualNoCase(row.name, name))
            return 1;
    }
    return 0;
}

void DeleteDirectoryFiles(const char* directory, const char* name) {
    if (!directory)
        return;
    if (name) {
        if (IsSafeMemberName(name))
            plat::UnlinkFile(std::string(directory) + name);
        return;
    }
    std::vector<plat::DirEntry> entries;
    if (!plat::ListDir(directory, &entries))
        return;
    int count = 0;
    for (const plat::DirEntry& e : entries) {
        if (count >= kDeleteSafeCount) {
            plat::DebugOut("Warn: Safeカウントが適用された\n");
            return;
        }
        ++count;
        if (!e.isDirectory)
            plat::UnlinkFile(std::string(directory) + e.name);
    }
}
