#include "engine/kusystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>
#include <vector>

#include "engine/game_paths.h"
#include "engine/virtual_keys.h"
#include "platform/clock.h"
#include "platform/debug_out.h"
#include "platform/files.h"
#include "platform/local_time.h"
#include "platform/random.h"
#include "platform/sjis.h"

namespace {

// Game keys (kGameKeyReturn .. kGameKeyEscape) as virtual keys.
constexpr int kGameKeyToVk[] = {
    plat::kVkReturn, plat::kVkControl, plat::kVkSpace,   plat::kVkUp,     plat::kVkDown,   plat::kVkLeft,
    plat::kVkRight,  plat::kVkLButton, plat::kVkRButton, plat::kVkDelete, plat::kVkEscape,
};
constexpr int kGameKeyCount = static_cast<int>(sizeof(kGameKeyToVk) / sizeof(kGameKeyToVk[0]));

constexpr size_t kTraceLineSize = 512;

bool IsGameKey(int key) { return key >= 0 && key < kGameKeyCount; }

// True when the path ends in a single-byte "/" or "\" (a trailing 0x5C that
// is the second byte of a double-byte character does not count).
bool EndsWithSeparator(std::string_view path) {
    return !path.empty() && plat::SjisFindLastOf(path, "/\\") == path.size() - 1;
}

std::string JoinPath(const char* folder, const char* name) {
    if (!folder || !*folder)
        return name;
    std::string path = folder;
    if (!EndsWithSeparator(path))
        path += '/';
    path += name;
    return path;
}

// Formats a message holding one %s argument into a bounded line.
std::string FormatPath(const char* format, const std::string& path) {
    char line[kTraceLineSize];
    snprintf(line, sizeof(line), format, path.c_str());
    return line;
}

// Copies at most size-1 bytes and terminates; the destination holds size bytes.
void CopyBounded(char* dest, size_t size, std::string_view src) {
    size_t n = std::min(src.size(), size - 1);
    memcpy(dest, src.data(), n);
    dest[n] = '\0';
}

} // namespace

KUSYSTEM::KUSYSTEM() {
    std::fill(std::begin(push_), std::end(push_), 1u);
    std::fill(std::begin(current_), std::end(current_), 1u);
    std::fill(std::begin(previous_), std::end(previous_), 1u);
    std::fill(std::begin(latched_), std::end(latched_), 1u);
    mouseButton_[0] = mouseButton_[1] = 1;
    memset(removeList_, 0, sizeof(removeList_));
    memset(pathBuffer_, 0, sizeof(pathBuffer_));
}

KUSYSTEM::~KUSYSTEM() {
    window_ = nullptr;
    currentTime_ = pausedTotal_ = pauseStart_ = 0;
    pauseDepth_ = 0;
    mouseX_ = mouseY_ = mouseOffsetY_ = 0;
    lastFrameWait_ = 0;
    gameCursor_ = startCursor_ = 0;
    memset(removeList_, 0, sizeof(removeList_));
    if (initialized_)
        RemoveTempFiles();
}

// ---------------------------------------------------------------------------
// Start, frame and end

int KUSYSTEM::Initialize(plat::WindowHandle hWnd, int clearList) {
    plat::SeedRand(static_cast<uint32_t>(time(nullptr)));
    RemoveFile(nullptr, kTraceFile, 0);
    currentTime_ = plat::TimeMs();
    pausedTotal_ = 0;
    pauseStart_ = 0;
    pauseDepth_ = 0;
    window_ = hWnd;
    std::fill(std::begin(push_), std::end(push_), 0u);
    std::fill(std::begin(current_), std::end(current_), 0u);
    std::fill(std::begin(previous_), std::end(previous_), 0u);
    // The latched flags stay set until ClearKeyPush.
    plat::InputState::Get().GetMouse(&mouseX_, &mouseY_);
    mouseOffsetY_ = 0;
    lastFrameWait_ = 0;
    gameCursor_ = startCursor_ = 0;
    if (clearList)
        memset(removeList_, 0, sizeof(removeList_));
    initialized_ = true;
    return MakeDirectory(kTempFolder, 1);
}

void KUSYSTEM::Update(plat::WindowHandle) {
    UpdateTime();
    UpdateKeyState();
    UpdateMousePos();
    ProcessRemoveFileList();
}

void KUSYSTEM::RemoveTempFiles() {
    RemoveFile(kTempFolder, nullptr, 1);
    if (plat::FileExists(kTempFolder) && plat::RemoveDir(kTempFolder) != 0) {
        TracePrint(FormatPath("Error: <KUSYSTEM::RemoveFile> ディレクトリ %s が削除出来ません\n", kTempFolder).c_str());
    }
    ProcessRemoveFileList();
    // Cleaned up: the destructor must not sweep tmp/ again. It runs after the
    // single-instance lock is gone, when the next start may already be
    // unpacking its own pictures there.
    initialized_ = false;
}

// ---------------------------------------------------------------------------
// Clock

void KUSYSTEM::UpdateTime() {
    if (pauseDepth_ < 1)
        currentTime_ = plat::TimeMs();
}

int KUSYSTEM::GetTime() const { return static_cast<int>(currentTime_ - pausedTotal_); }

void KUSYSTEM::StopTime() {
    if (pauseDepth_ < 1)
        pauseStart_ = plat::TimeMs();
    ++pauseDepth_;
}

void KUSYSTEM::StartTime() {
    // An unmatched StartTime would drive the depth negative, after which the
    // next pause would no longer freeze the clock yet still be subtracted,
    // moving the game time backwards.
    if (pauseDepth_ < 1)
        return;
    --pauseDepth_;
    if (pauseDepth_ > 0 || pauseStart_ == 0)
        return;
    UpdateTime();
    pausedTotal_ += plat::TimeMs() - pauseStart_;
    pauseStart_ = 0;
}

int KUSYSTEM::FrameWait(int fps) {
    fps = std::clamp(fps, 1, 1000);
    const uint32_t interval = 1000u / static_cast<uint32_t>(fps);
    uint32_t now = plat::TimeMs();
    // Sleep through most of the wait, spin only the last millisecond.
    while (now - lastFrameWait_ < interval) {
        uint32_t left = interval - (now - lastFrameWait_);
        if (left > 1)
            plat::SleepMs(left - 1);
        now = plat::TimeMs();
    }
    uint32_t elapsed = std::max<uint32_t>(now - lastFrameWait_, 1u);
    lastFrameWait_ = now;
    return std::max(static_cast<int>(1000u / elapsed), 1);
}

// ---------------------------------------------------------------------------
// Keys

void KUSYSTEM::UpdateKeyState() {
    const plat::InputState& input = plat::InputState::Get();
    for (int vk = 0; vk < kKeyCount; ++vk) {
        previous_[vk] = current_[vk];
        current_[vk] = input.IsVkDown(vk) ? 1u : 0u;
        push_[vk] = (previous_[vk] && !current_[vk]) ? 1u : 0u;
        if (push_[vk])
            latched_[vk] = 1;
    }
}

int KUSYSTEM::GetKey(int gameKey) {
    if (!IsGameKey(gameKey)) {
        plat::DebugOut("Warn: <KUSYSTEM::GetKey> 定義されていない列挙名です\n");
        return 0;
    }
    return current_[kGameKeyToVk[gameKey]] ? 1 : 0;
}

int KUSYSTEM::GetKeyPush(int gameKey) {
    if (!IsGameKey(gameKey)) {
        plat::DebugOut("Warn: <KUSYSTEM::GetKeyPush> 定義されていない列挙名です\n");
        return 0;
    }
    return static_cast<int>(push_[kGameKeyToVk[gameKey]]);
}

int KUSYSTEM::GetKeyPushLatched(int gameKey) {
    if (!IsGameKey(gameKey)) {
        plat::DebugOut("Warn: <KUSYSTEM::GetKeyPush> 定義されていない列挙名です\n");
        return 0;
    }
    return static_cast<int>(latched_[kGameKeyToVk[gameKey]]);
}

void KUSYSTEM::ClearKeyPush() { std::fill(std::begin(latched_), std::end(latched_), 0u); }

void KUSYSTEM::ClearKeyState() {
    std::fill(std::begin(push_), std::end(push_), 0u);
    std::fill(std::begin(current_), std::end(current_), 0u);
    std::fill(std::begin(previous_), std::end(previous_), 0u);
}

int KUSYSTEM::GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= kKeyCount) {
        const char* msg = "Error: <KUSYSTEM::GetKeyState> 仮想キーコードが不正です\n";
        plat::DebugOut(msg);
        TracePrint(msg);
        return 0;
    }
    const bool before = previous_[virtualKey] != 0;
    const bool now = current_[virtualKey] != 0;
    if (!before && !now)
        return 0;
    if (before && now)
        return 1;
    return now ? 2 : 3;
}

void KUSYSTEM::SetKeyState(int virtualKey, int state) {
    if (virtualKey < 0 || virtualKey >= kKeyCount) {
        const char* msg = "Error: <KUSYSTEM::SetKeyState> 仮想キーコードが不正です\n";
        plat::DebugOut(msg);
        TracePrint(msg);
        return;
    }
    previous_[virtualKey] = (state == 1 || state == 3) ? 1u : 0u;
    current_[virtualKey] = (state == 1 || state == 2) ? 1u : 0u;
}

void KUSYSTEM::SetMouseButtonFlag(int gameKey, int value) {
    if (gameKey == kGameKeyLButton)
        mouseButton_[0] = static_cast<uint32_t>(value);
    if (gameKey == kGameKeyRButton)
        mouseButton_[1] = static_cast<uint32_t>(value);
}

int KUSYSTEM::GetMouseButtonFlag(int gameKey) const {
    if (gameKey == kGameKeyLButton)
        return static_cast<int>(mouseButton_[0]);
    if (gameKey == kGameKeyRButton)
        return static_cast<int>(mouseButton_[1]);
    return 0;
}

// ---------------------------------------------------------------------------
// Mouse

void KUSYSTEM::UpdateMousePos() {
    int x = 0;
    int y = 0;
    plat::InputState::Get().GetMouse(&x, &y);
    mouseX_ = x;
    mouseY_ = y + mouseOffsetY_;
}

void KUSYSTEM::GetMousePos(int* x, int* y) const {
    if (x)
        *x = mouseX_;
    if (y)
        *y = mouseY_;
}

void KUSYSTEM::SetMousePos(int x, int y) {
    plat::InputState::Get().WarpMouse(x, y - mouseOffsetY_);
    mouseX_ = x;
    mouseY_ = y;
}

void KUSYSTEM::SetMouseOffsetY(int offset) { mouseOffsetY_ = offset; }

int KUSYSTEM::GetMouseOffsetY() const { return mouseOffsetY_; }

void KUSYSTEM::SetWindowHandle(plat::WindowHandle hWnd) { window_ = hWnd; }

plat::WindowHandle KUSYSTEM::GetWindowHandle() const { return window_; }

// The pointer's look is the window layer's business; both cursors are the
// one found at start, so switching between them changes nothing.
int KUSYSTEM::ChangeCursor(int) { return 1; }

// ---------------------------------------------------------------------------
// Random numbers

int KUSYSTEM::Rand() { return plat::Rand(); }

// ---------------------------------------------------------------------------
// Files and folders

int KUSYSTEM::MakeDirectory(const char* path, int hidden) {
    if (!path || !*path) {
        plat::DebugOut("Warn: <KUSYTEM::MakeDirectory> 指定ディレクトリのパスが見当たりません\n");
        return -1;
    }
    // A hidden attribute does not exist here: a dot-less folder stays as it
    // is, and asking for it always succeeds.
    (void)hidden;
    const int err = plat::MakeDir(path);
    if (err == EEXIST) {
        plat::DebugOut("Message: <KUSYTEM::MakeDirectory> 指定ディレクトリは既に作成されています\n");
        return 0;
    }
    if (err == ENOENT) {
        plat::DebugOut("Warn: <KUSYTEM::MakeDirectory> 指定ディレクトリのパスが見当たりません\n");
        return -1;
    }
    if (err != 0) {
        plat::DebugOut("Warn: <KUSYTEM::MakeDirectory> ディレクトリの作成に失敗しました\n");
        return -1;
    }
    return 1;
}

int KUSYSTEM::RemoveFile(const char* folder, const char* name, int recursive) {
    if (name) {
        const std::string path = JoinPath(folder, name);
        if (path.size() >= kPathSize) {
            plat::DebugOut("Error: <KUSYSTEM::RemoveFile> ファイルパスサイズが大きすぎます\n");
            return 0;
        }
        if (plat::UnlinkFile(path) == 0)
            return 1;
        AddRemoveFileList(path.c_str());
        return 0;
    }
    if (!folder || !*folder) {
        TracePrint("Error: <KUSYSTEM::RemoveFile> 検索ファイルハンドルの取得に失敗\n");
        return 0;
    }
    RemoveFolderContents(folder, recursive);
    return 0;
}

// Empties one folder; 0 when a subfolder could not be removed (the walk ends).
// Entries are classified without following links: a link to a folder is
// deleted as a file, so the walk never leaves the folder it was given.
int KUSYSTEM::RemoveFolderContents(const std::string& folder, int recursive) {
    std::vector<plat::DirEntry> entries;
    if (!plat::ListDir(folder, &entries)) {
        TracePrint("Error: <KUSYSTEM::RemoveFile> 検索ファイルハンドルの取得に失敗\n");
        return 0;
    }
    for (const plat::DirEntry& entry : entries) {
        const std::string path = JoinPath(folder.c_str(), entry.name.c_str());
        if (!entry.isDirectory) {
            if (plat::UnlinkFile(path) != 0) {
                plat::DebugOut(
                    FormatPath("Error: <KUSYSTEM::RemoveFile> ファイル %s が削除出来ません\n", path).c_str());
            }
            continue;
        }
        if (!recursive)
            continue;
        RemoveFolderContents(path, recursive);
        if (plat::RemoveDir(path) != 0) {
            plat::DebugOut(
                FormatPath("Error: <KUSYSTEM::RemoveFile> ディレクトリ %s が削除出来ません\n", path).c_str());
            return 0;
        }
    }
    return 1;
}

int KUSYSTEM::AddRemoveFileList(const char* path) {
    if (!path || !*path)
        return 0;
    if (strlen(path) >= static_cast<size_t>(kPathSize)) {
        plat::DebugOut("Error: <KUSYSTEM::AddRemoveFileList> ファイルパスサイズが大きすぎます\n");
        return 0;
    }
    for (int i = 0; i < kRemoveListSize; ++i) {
        if (removeList_[i][0] == '\0') {
            CopyBounded(removeList_[i], kPathSize, path);
            return 1;
        }
        if (plat::SjisEqualNoCase(removeList_[i], path))
            return 1;
    }
    plat::DebugOut("Error: <KUSYSTEM::AddRemoveFileList> 空き領域がありませんでした\n");
    return 0;
}

void KUSYSTEM::DropRemoveListEntry(int index) {
    for (int i = index; i + 1 < kRemoveListSize; ++i)
        memcpy(removeList_[i], removeList_[i + 1], kPathSize);
    memset(removeList_[kRemoveListSize - 1], 0, kPathSize);
}

int KUSYSTEM::DelRemoveFileList(const char* path) {
    if (path) {
        for (int i = 0; i < kRemoveListSize && removeList_[i][0] != '\0'; ++i) {
            if (plat::SjisEqualNoCase(removeList_[i], path)) {
                DropRemoveListEntry(i);
                return 1;
            }
        }
    }
    plat::DebugOut("Error: <KUSYSTEM::DelRemoveFileList> 指定ファイルパスが見つかりませんでした\n");
    return 0;
}

void KUSYSTEM::ProcessRemoveFileList() {
    int i = 0;
    while (i < kRemoveListSize && removeList_[i][0] != '\0') {
        const std::string path = removeList_[i];
        if (!plat::FileExists(path) || plat::UnlinkFile(path) == 0) {
            DropRemoveListEntry(i); // the next entry moved up into this place
            continue;
        }
        ++i;
    }
}

char* KUSYSTEM::GetRemoveFileListPath(int index, char* buffer, int size) {
    if (!buffer || size <= 0 || index < 0 || index >= kRemoveListSize) {
        plat::DebugOut("Error: <KUSYSTEM::GetRemoveFileListPath> 引数が不正です\n");
        return nullptr;
    }
    memset(buffer, 0, static_cast<size_t>(size));
    CopyBounded(buffer, static_cast<size_t>(size), removeList_[index]);
    return buffer;
}

int KUSYSTEM::RenameFile(const char* from, const char* to) {
    const char* msg = nullptr;
    int err = (from && to) ? plat::RenameFile(from, to) : EINVAL;
    if (err == 0)
        return 1;
    if (err == EACCES) {
        msg = "Error: <KUSYSTEM::RenameFile> ファイルパスにアクセス出来ません\n";
    } else if (err == ENOENT) {
        msg = "Error: <KUSYSTEM::RenameFile> 変更元ファイルが存在しません\n";
    } else if (err == EINVAL) {
        msg = "Error: <KUSYSTEM::RenameFile> 無効なファイル名です\n";
    } else {
        // Any other failure (another device, a folder in the way...) is a
        // failure too, not a success.
        msg = "Error: <KUSYSTEM::RenameFile> ファイル名を変更出来ません\n";
    }
    plat::DebugOut(msg);
    TracePrint(msg);
    return 0;
}

char* KUSYSTEM::GetTempFilePath(const char* name, char* buffer) {
    if (!name || !buffer)
        return nullptr;
    const std::string path = std::string(kTempFolder) + name;
    if (path.size() >= static_cast<size_t>(kPathSize)) {
        plat::DebugOut("Error: <KUSYSTEM::GetTempFilePath> ファイルパスサイズが大きすぎます\n");
        buffer[0] = '\0';
        return nullptr;
    }
    CopyBounded(buffer, kPathSize, path);
    return buffer;
}

int KUSYSTEM::CreateHierarchyDirectory(const char* path) {
    if (!path || !*path) {
        plat::DebugOut("Error: <KUSYSTEM::CreateHierarchyDirectory> ディレクトリパスが不正です\n");
        return 0;
    }
    const std::string target = path;
    if (plat::FileExists(target) || plat::MakeDir(target) == 0)
        return 1;
    const char* parentText = ExtractFilePathToDirectoryPath(target.c_str(), static_cast<int>(target.size()));
    if (!parentText || !*parentText)
        return 0;
    const std::string parent = parentText; // the helper's buffer is reused below
    if (CreateHierarchyDirectory(parent.c_str()) != 1) {
        plat::DebugOut("Error: <CreateHierarchyDirectory> ディレクトリの作成に失敗しました\n");
        return 0;
    }
    // "a/b/" names the folder its parent step may just have made.
    if (plat::MakeDir(target) == 0 || plat::StatFile(target).isDirectory)
        return 1;
    plat::DebugOut("Error: <CreateHierarchyDirectory> ディレクトリの作成に失敗しました\n");
    return 0;
}

// ---------------------------------------------------------------------------
// Path helpers

namespace {

// The three path helpers share their argument checks; each has its own words.
struct PathHelperMessages {
    const char* badPath;
    const char* tooLong;
    const char* noStructure;
};

// The path cut at length, or false after logging why it cannot be used.
bool PathArgument(const char* path, int length, const PathHelperMessages& msg, std::string_view* out) {
    if (!path || length < 0) {
        plat::DebugOut(msg.badPath);
        return false;
    }
    if (length >= KUSYSTEM::kPathSize) {
        plat::DebugOut(msg.tooLong);
        return false;
    }
    *out = std::string_view(path, strnlen(path, static_cast<size_t>(length)));
    return true;
}

} // namespace

const char* KUSYSTEM::ExtractFilePathToFileName(const char* path, int length) {
    static constexpr PathHelperMessages kMsg = {
        "Error: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスが不正です\n",
        "Error: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスサイズが大きすぎます\n",
        "Warn: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスはディレクトリ構造を持っていません\n",
    };
    std::string_view s;
    if (!PathArgument(path, length, kMsg, &s))
        return nullptr;
    const size_t sep = plat::SjisFindLastOf(s, "/\\");
    if (sep == std::string_view::npos) {
        plat::DebugOut(kMsg.noStructure);
        CopyBounded(pathBuffer_, kPathSize, s);
        return pathBuffer_;
    }
    if (sep + 1 == s.size()) {
        plat::DebugOut("Error: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスにファイル名は含まれません\n");
        return nullptr;
    }
    CopyBounded(pathBuffer_, kPathSize, s.substr(sep + 1));
    return pathBuffer_;
}

const char* KUSYSTEM::ExtractFilePathToDirectoryPath(const char* path, int length) {
    static constexpr PathHelperMessages kMsg = {
        "Error: <KUSYSTEM::ExtractFilePathToDirectoryPath> ファイルパスが不正です\n",
        "Error: <KUSYSTEM::ExtractFilePathToDirectoryPath> ファイルパスサイズが大きすぎます\n",
        "Warn: <KUSYSTEM::ExtractFilePathToDirectoryPath> ファイルパスはディレクトリ構造を持っていません\n",
    };
    std::string_view s;
    if (!PathArgument(path, length, kMsg, &s))
        return nullptr;
    const size_t sep = plat::SjisFindLastOf(s, "/\\");
    if (sep == std::string_view::npos) {
        plat::DebugOut(kMsg.noStructure);
        return nullptr;
    }
    CopyBounded(pathBuffer_, kPathSize, s.substr(0, sep));
    return pathBuffer_;
}

const char* KUSYSTEM::ExtractFilePathToExtension(const char* path, int length) {
    static constexpr PathHelperMessages kMsg = {
        "Error: <KUSYSTEM::ExtractFilePathToExtension> ファイルパスが不正です\n",
        "Error: <KUSYSTEM::ExtractFilePathToExtension> ファイルパスサイズが大きすぎます\n",
        "Warn: <KUSYSTEM::ExtractFilePathToExtension> ファイルパスはディレクトリ構造を持っていません\n",
    };
    std::string_view s;
    if (!PathArgument(path, length, kMsg, &s))
        return nullptr;
    const size_t dot = plat::SjisFindLastOf(s, ".");
    if (dot == std::string_view::npos) {
        plat::DebugOut(kMsg.noStructure);
        return nullptr;
    }
    CopyBounded(pathBuffer_, kPathSize, s.substr(0, dot));
    return pathBuffer_;
}

// ---------------------------------------------------------------------------
// String conversion

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
    CopyBounded(dest, size, std::string_view(source, strnlen(source, static_cast<size_t>(sourceSize))));

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

// ---------------------------------------------------------------------------
// Trace

void KUSYSTEM::TracePrint(const char* message) {
    if (!message)
        return;
    const plat::LocalTime t = plat::GetLocalTime();
    char line[kTraceLineSize];
    int n = snprintf(line, sizeof(line), "[%d/%.2d/%.2d %.2d:%.2d:%.2d] %s", t.year, t.month, t.day, t.hour, t.minute,
                     t.second, message);
    if (n >= static_cast<int>(sizeof(line))) {
        // Cut on a character boundary rather than leave half a double-byte
        // character at the end.
        const std::string_view s(line);
        size_t end = 0;
        while (end < s.size()) {
            size_t next = end + plat::SjisCharLength(s, end);
            if (next > s.size() || (next == s.size() && plat::IsSjisLeadByte(static_cast<uint8_t>(s[end]))))
                break;
            end = next;
        }
        line[end] = '\0';
    }
    plat::DebugOut(line);
    if (!g_bDebugInfo)
        return;
    FILE* f = fopen(kTraceFile, "a+");
    bool ok = f != nullptr;
    if (f) {
        ok = fputs(line, f) >= 0;
        ok = (fclose(f) == 0) && ok;
    }
    if (!ok)
        plat::DebugOut("Error: <KUSYSTEM::TracePrint> fprintfに失敗しました\n");
}
