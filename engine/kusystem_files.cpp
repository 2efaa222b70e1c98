#include "engine/kusystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/game_paths.h"
#include "engine/kusystem_internal.h"
#include "platform/debug_out.h"
#include "platform/files.h"
#include "platform/sjis.h"

namespace {

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

// Levels the walk goes down itself; deeper folders are removed whole.
constexpr int kWalkDepthMax = 32;

bool IsWorkFolder(std::string_view path) {
    constexpr std::string_view work(kTempFolder);
    return path == work || path == work.substr(0, work.size() - 1);
}

} // namespace

// Files and folders.

int KUSYSTEM::MakeDirectory(const char* path, int hidden) {
    if (!path || !*path) {
        plat::DebugOut("Warn: <KUSYTEM::MakeDirectory> 指定ディレクトリのパスが見当たりません\n");
        return -1;
    }
    // A hidden attribute does not exist here: a dot-less folder stays as it
    // is, and asking for it always succeeds.
    (void)hidden;
    // The work folder is the program's own and emptied at exit: a link or
    // file in its place would send what is written and removed there
    // elsewhere, so it is replaced. Any other folder (the player's saves)
    // is never removed: a link to a folder is used, anything else is kept.
    bool replaced = false;
    const int err = IsWorkFolder(path) ? plat::MakeOwnDir(path, &replaced) : plat::MakeDir(path);
    if (replaced) {
        // Ours, not one of the folder's usual notes: through the log with its
        // time, since it tells that something in the game folder was removed.
        TracePrint(
            kusys::FormatPath("Warn: <KUSYTEM::MakeDirectory> %s の位置にあったリンクかファイルを削除しました\n", path)
                .c_str());
    }
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
    RemoveFolderContents(folder, recursive, 0);
    return 0;
}

// Empties one folder; 0 when a subfolder could not be removed (the walk ends).
// Entries are classified without following links: a link to a folder is
// deleted as a file, and a mount point is left as it is (neither entered nor
// removed), so the walk never leaves the folder it was given nor its file system.
// Folders more than kWalkDepthMax levels down, and what was moved out of a
// copy's way in tmp/, go through the platform's tree removal, whose stack
// and descriptors stay bounded at any depth. A moved-aside folder that stays
// does not end the walk, which would leave every copy listed after it.
int KUSYSTEM::RemoveFolderContents(const std::string& folder, int recursive, int depth) {
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
                    kusys::FormatPath("Error: <KUSYSTEM::RemoveFile> ファイル %s が削除出来ません\n", path).c_str());
            }
            continue;
        }
        if (!recursive || entry.isMountPoint)
            continue;
        const bool aside = plat::IsSetAside(path);
        bool removed = false;
        if (aside || depth >= kWalkDepthMax) {
            removed = plat::RemoveOwnTree(path);
        } else {
            RemoveFolderContents(path, recursive, depth + 1);
            removed = plat::RemoveDir(path) == 0;
        }
        if (!removed) {
            plat::DebugOut(
                kusys::FormatPath("Error: <KUSYSTEM::RemoveFile> ディレクトリ %s が削除出来ません\n", path).c_str());
            if (!aside)
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
            kusys::CopyBounded(removeList_[i], kPathSize, path);
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
    kusys::CopyBounded(buffer, static_cast<size_t>(size), removeList_[index]);
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
    kusys::CopyBounded(buffer, kPathSize, path);
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
