#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/backend/file_at.h"
#include "platform/pinned_file.h"
#include "platform/files_test_hooks.h"
#include "platform/sjis.h"

namespace plat {

using namespace posix;

namespace {

// The save folder belongs to the player, who may keep it elsewhere behind a
// link; the files in it are still never reached through links of their own.
constexpr const char* kPlayerFolder = "sav";

UnlinkHook g_unlinkHook = nullptr;
ReadDenyHook g_readDenyHook = nullptr;
SyncHook g_syncHook = nullptr;
WriteDenyHook g_writeDenyHook = nullptr;
OpenHook g_openHook = nullptr;
MountPointHook g_mountPointHook = nullptr;

bool IsCaseFoldedArea(const std::string& path) {
    auto starts = [&](const char* p) { return SjisEqualNoCase(std::string_view(path).substr(0, 4), p); };
    return path.size() > 4 && (starts("dat/") || starts("tmp/") || starts("dat\\") || starts("tmp\\"));
}

// Opens a folder for the *at calls. A relative path is walked one name at a
// time with O_NOFOLLOW, so no link on the way is followed, but for the save
// folder at the top, which the player may keep elsewhere; an absolute one is
// opened as the system resolves it. -1 with errno set on failure.
int OpenFolder(const std::string& dir) {
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (!dir.empty() && dir[0] == '/')
        return open(dir.c_str(), kFlags);
    int cur = open(".", kFlags);
    size_t pos = 0;
    bool top = true;
    while (cur >= 0 && pos < dir.size()) {
        size_t slash = dir.find('/', pos);
        if (slash == std::string::npos)
            slash = dir.size();
        const std::string name = dir.substr(pos, slash - pos);
        pos = slash + 1;
        if (name.empty())
            continue;
        const bool linkAllowed = top && name == kPlayerFolder;
        top = false;
        int next = openat(cur, name.c_str(), kFlags | (linkAllowed ? 0 : O_NOFOLLOW));
        int err = errno;
        close(cur);
        errno = err;
        cur = next;
    }
    return cur;
}

// Names in the folder equal to leaf, ignoring case when fold is set.
std::vector<std::string> MatchingNames(int dirFd, const std::string& leaf, bool fold) {
    std::vector<std::string> names;
    struct stat st {};
    if (!fold) {
        if (fstatat(dirFd, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            names.push_back(leaf);
        return names;
    }
    int copy = dup(dirFd);
    DIR* d = copy >= 0 ? fdopendir(copy) : nullptr;
    if (!d) {
        if (copy >= 0)
            close(copy);
        return names;
    }
    while (dirent* e = readdir(d)) {
        if (SjisEqualNoCase(e->d_name, leaf))
            names.push_back(e->d_name);
    }
    closedir(d);
    return names;
}

// "folder/name", or name alone in the working folder.
std::string JoinName(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

// Whether a folder is a mount point: on another device than parent (the
// stat of the folder holding it), or the root of a mount of the same device
// (a bind mount). The folder is name in the folder at, or at itself with
// name "" and AT_EMPTY_PATH in flags; path names it for the test hook. A
// folder that cannot be looked at counts as one.
bool IsMountPoint(int at, const char* name, int flags, const struct stat& parent, const std::string& path) {
    if (g_mountPointHook && g_mountPointHook(path))
        return true;
    struct statx sx {};
    if (statx(at, name, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE, &sx) == 0) {
        if (makedev(sx.stx_dev_major, sx.stx_dev_minor) != parent.st_dev)
            return true;
        return (sx.stx_attributes_mask & sx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    }
    // No statx (an old kernel or a filter): the device alone tells.
    struct stat st {};
    const int statFlags = (flags & AT_EMPTY_PATH) | AT_SYMLINK_NOFOLLOW;
    return fstatat(at, name, &st, statFlags) != 0 || st.st_dev != parent.st_dev;
}

// A tree removal holds one descriptor per level down to this depth; a folder
// found deeper is moved up beside the tree's top and removed from there.
constexpr int kRemoveDepthMax = 64;

// Names the work folder gives what it moves out of a copy's way (or up out
// of a tree too deep to walk). They hold a blank, which no archive member's
// name (a word of the member list) can, so no copy ever takes or finds one.
constexpr std::string_view kSetAsidePrefix = "set aside ";
constexpr int kSetAsideTries = 1000;
std::atomic<unsigned> g_setAsideCount{0};

// Renames name of fromFd to a new set-aside name in toFd (on the same file
// system), never over anything, on any disk: a name already taken (by a
// folder an earlier run left too) is passed for the next. False when it
// could not be moved; *moved gets the new name.
bool MoveAside(int fromFd, const std::string& name, int toFd, std::string* moved) {
    for (int i = 0; i < kSetAsideTries; ++i) {
        *moved = std::string(kSetAsidePrefix) + std::to_string(++g_setAsideCount);
        const int err = MoveNoReplace(fromFd, name, toFd, *moved);
        if (err == 0)
            return true;
        if (err != EEXIST)
            return false;
    }
    return false;
}

// The folder a tree removal started in, which takes the parts found too deep.
struct TreeTop {
    int fd;
    std::vector<std::string> raised;
};

// Removes the folder name of dirFd with all it holds: links as links, never
// followed, and nothing past a mount point, which is neither entered nor
// removed. path names it for the test hook. False when anything stays.
bool RemoveTreeAt(int dirFd, const std::string& name, const std::string& path, int depth, TreeTop* top) {
    struct stat parent {};
    if (fstat(dirFd, &parent) != 0)
        return false;
    Fd fd(openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0) {
        // Swapped for a link or file since it was listed: that goes as
        // itself. One that may not be entered still goes when it is empty.
        return unlinkat(dirFd, name.c_str(), errno == ENOTDIR || errno == ELOOP ? 0 : AT_REMOVEDIR) == 0;
    }
    // Asked of the folder opened, so that one swapped in meanwhile is not walked.
    if (IsMountPoint(fd.get(), "", AT_EMPTY_PATH, parent, path))
        return false;
    if (depth >= kRemoveDepthMax) {
        std::string raised;
        if (!MoveAside(dirFd, name, top->fd, &raised))
            return false;
        top->raised.push_back(raised);
        return true;
    }
    DIR* d = fdopendir(fd.get());
    if (!d)
        return false;
    fd.release();
    // Read whole before anything goes: removing while reading may skip names.
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
        if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0)
            names.push_back(e->d_name);
    }
    bool all = true;
    for (const std::string& n : names) {
        struct stat st {};
        if (fstatat(dirfd(d), n.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone already
        if (S_ISDIR(st.st_mode))
            all = RemoveTreeAt(dirfd(d), n, JoinName(path, n), depth + 1, top) && all;
        else
            all = unlinkat(dirfd(d), n.c_str(), 0) == 0 && all;
    }
    closedir(d);
    return all && unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) == 0;
}

// RemoveTreeAt for the folder name of dirFd (at path folder) at any depth,
// with at most kRemoveDepthMax descriptors and stack frames in use.
bool RemoveTree(int dirFd, const std::string& folder, const std::string& name) {
    TreeTop top{dirFd, {}};
    bool all = RemoveTreeAt(dirFd, name, JoinName(folder, name), 0, &top);
    // Each part raised is a tree of its own, which may raise more.
    for (size_t i = 0; i < top.raised.size(); ++i) {
        const std::string raised = top.raised[i];
        all = RemoveTreeAt(dirFd, raised, JoinName(folder, raised), 0, &top) && all;
    }
    return all;
}

// In the work folder (own), a folder holding a copy's name is removed with
// all it holds, and what stays of it (a folder it may not enter, a mount
// point inside) is moved aside in the same folder, so that the copy still
// takes the name; what was moved goes with the rest of tmp/ at exit. A mount
// point at the name itself cannot move and stays. True when name was such a
// folder, whether or not it went.
bool RemoveOwnFolderAt(int dirFd, const std::string& folder, const std::string& name, bool own) {
    struct stat st {};
    if (!own || fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode))
        return false;
    if (RemoveTree(dirFd, folder, name))
        return true;
    struct stat parent {};
    std::string moved;
    if (fstat(dirFd, &parent) == 0 && !IsMountPoint(dirFd, name.c_str(), 0, parent, JoinName(folder, name)))
        MoveAside(dirFd, name, dirFd, &moved);
    return true;
}

// Makes the file leaf afresh in the folder (at path folder, for the hook):
// the entries holding its name are removed (links themselves, never their
// targets), then the create refuses a link or any entry that has taken the
// name again meanwhile. A folder there stays and fails the create, but in
// the work folder (own), where it is removed with all it holds.
int CreateFreshAt(int dirFd, const std::string& folder, const std::string& leaf, bool fold, bool own, int access) {
    for (const std::string& name : MatchingNames(dirFd, leaf, fold)) {
        if (!RemoveOwnFolderAt(dirFd, folder, name, own))
            unlinkat(dirFd, name.c_str(), 0);
    }
    return openat(dirFd, leaf.c_str(), access | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

// Clears O_NONBLOCK (used only so that opening a FIFO cannot block) and
// refuses anything but a regular file.
bool KeepRegular(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return false;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return false;
    }
    int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

// The work folder is the program's own: what lies there was written by it,
// so a read there follows no link, as the writes do not, and a tmp/ swapped
// for a link to a folder elsewhere is never read through. Reads elsewhere
// (the data under dat/, the player's files) take links as the player laid them.
bool InWorkFolder(const std::string& path) {
    return path.size() > 4 && SjisEqualNoCase(std::string_view(path).substr(0, 4), "tmp/");
}

// "tmp" or "tmp/": the work folder itself, looked at as what is in it.
bool IsWorkFolder(const std::string& path) { return SjisEqualNoCase(path, "tmp") || SjisEqualNoCase(path, "tmp/"); }

// What stands at path itself, reached as OpenRegularAt reaches it: a link
// there is the link. False when nothing does or a folder on the way is none.
bool StatAt(const std::string& path, struct stat* st) {
    std::string leaf;
    Fd dir(OpenParent(path, &leaf));
    return dir.get() >= 0 && fstatat(dir.get(), leaf.c_str(), st, AT_SYMLINK_NOFOLLOW) == 0;
}

int OpenForAppend(const std::string& path, bool update) {
    return OpenRegularAt(path, (update ? O_RDWR : O_WRONLY) | O_APPEND | O_CREAT, 0644);
}

int OpenFresh(const std::string& path, bool update) {
    std::string leaf;
    std::string dir;
    SplitPath(path, &dir, &leaf);
    // Folders under dat/ and tmp/ may be spelled in another case, like files.
    const std::string folder = dir.size() > 3 ? ResolvePath(dir) : dir;
    Fd dirFd(OpenFolder(folder));
    if (dirFd.get() < 0)
        return -1;
    return CreateFreshAt(dirFd.get(), folder, leaf, IsCaseFoldedArea(path), InWorkFolder(path),
                         update ? O_RDWR : O_WRONLY);
}

} // namespace

bool posix::SyncToDisk(int fd, const std::string& what, bool folder) {
    if (g_syncHook && g_syncHook(what) != 0)
        return false;
    return (folder ? fsync(fd) : fdatasync(fd)) == 0;
}

void posix::SplitPath(std::string path, std::string* dir, std::string* leaf) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        dir->clear();
        *leaf = path;
    } else {
        *dir = path.substr(0, slash == 0 ? 1 : slash);
        *leaf = path.substr(slash + 1);
    }
}

int posix::OpenParent(const std::string& path, std::string* leaf) {
    std::string dir;
    SplitPath(path, &dir, leaf);
    if (leaf->empty() || *leaf == "/") {
        errno = EINVAL;
        return -1;
    }
    return OpenFolder(dir);
}

int posix::OpenRegularAt(const std::string& path, int flags, mode_t mode) {
    std::string leaf;
    Fd dir(OpenParent(path, &leaf));
    if (dir.get() < 0)
        return -1;
    Fd fd(openat(dir.get(), leaf.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode));
    if (fd.get() < 0 || !KeepRegular(fd.get()))
        return -1;
    return fd.release();
}

int posix::OpenForReading(const std::string& path, bool update) {
    if (g_readDenyHook && g_readDenyHook(path)) {
        errno = EACCES;
        return -1;
    }
    const int access = update ? O_RDWR : O_RDONLY;
    if (InWorkFolder(path))
        return OpenRegularAt(path, access, 0);
    Fd fd(open(path.c_str(), access | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0 || !KeepRegular(fd.get()))
        return -1;
    return fd.release();
}

std::string ResolvePath(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 || !IsCaseFoldedArea(path))
        return path;
    size_t slash = SjisFindLastOf(path, "/");
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    if (slash != std::string::npos && dir.size() > 3)
        dir = ResolvePath(dir);
    DIR* d = opendir(dir.c_str());
    if (!d)
        return path;
    std::string result = path;
    while (dirent* e = readdir(d)) {
        if (SjisEqualNoCase(e->d_name, leaf)) {
            result = (slash == std::string::npos ? std::string() : dir + "/") + e->d_name;
            break;
        }
    }
    closedir(d);
    return result;
}

std::vector<std::string> NameSpellings(const std::string& path) {
    std::vector<std::string> names;
    std::string_view rel = path;
    while (rel.starts_with("./"))
        rel.remove_prefix(2);
    const size_t slash = SjisFindLastOf(path, "/");
    DIR* d = IsCaseFoldedArea(std::string(rel)) ? opendir(path.substr(0, slash).c_str()) : nullptr;
    if (!d) {
        struct stat st {};
        if (lstat(path.c_str(), &st) == 0)
            names.push_back(path);
        return names;
    }
    const std::string leaf = path.substr(slash + 1);
    while (dirent* e = readdir(d)) {
        if (SjisEqualNoCase(e->d_name, leaf))
            names.push_back(path.substr(0, slash + 1) + e->d_name);
    }
    closedir(d);
    return names;
}

FileInfo StatFile(const std::string& path) {
    FileInfo info;
    struct stat st {};
    const std::string real = ResolvePath(path);
    // In the work folder as a read there finds it: a link is itself, a
    // linked folder nothing. tmp/ itself too: a link in its place is no
    // folder, so the walk at exit never tries to go through it.
    const bool own = InWorkFolder(real) || IsWorkFolder(real);
    const bool found = own ? StatAt(real, &st) : stat(real.c_str(), &st) == 0;
    if (found) {
        info.exists = true;
        info.isDirectory = S_ISDIR(st.st_mode);
        info.isRegular = S_ISREG(st.st_mode);
        info.size = static_cast<uint64_t>(st.st_size);
    }
    return info;
}

bool FileExists(const std::string& path) { return StatFile(path).exists; }

PinnedFile::PinnedFile(const std::string& path) : fd_(OpenForReading(ResolvePath(path), false)) {
    if (fd_ >= 0)
        name_ = "/proc/self/fd/" + std::to_string(fd_);
}

PinnedFile::~PinnedFile() {
    if (fd_ >= 0)
        close(fd_);
}

int UnlinkFile(const std::string& path) {
    if (g_unlinkHook) {
        int err = g_unlinkHook(path);
        if (err != 0)
            return err;
    }
    std::string leaf;
    Fd dir(OpenParent(ResolvePath(path), &leaf));
    if (dir.get() < 0)
        return errno;
    return unlinkat(dir.get(), leaf.c_str(), 0) == 0 ? 0 : errno;
}

int MakeDir(const std::string& path) {
    std::string leaf;
    Fd dir(OpenParent(path, &leaf));
    if (dir.get() < 0)
        return errno;
    return mkdirat(dir.get(), leaf.c_str(), 0755) == 0 ? 0 : errno;
}

int MakeOwnDir(const std::string& path, bool* replaced) {
    if (replaced)
        *replaced = false;
    std::string leaf;
    Fd dir(OpenParent(path, &leaf));
    if (dir.get() < 0)
        return errno;
    if (mkdirat(dir.get(), leaf.c_str(), 0755) == 0)
        return 0;
    if (errno != EEXIST)
        return errno;
    struct stat st {};
    if (fstatat(dir.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EEXIST;
    if (unlinkat(dir.get(), leaf.c_str(), 0) != 0)
        return errno;
    if (replaced)
        *replaced = true;
    return mkdirat(dir.get(), leaf.c_str(), 0755) == 0 ? 0 : errno;
}

int RemoveDir(const std::string& path) {
    std::string leaf;
    Fd dir(OpenParent(ResolvePath(path), &leaf));
    if (dir.get() < 0)
        return errno;
    return unlinkat(dir.get(), leaf.c_str(), AT_REMOVEDIR) == 0 ? 0 : errno;
}

int RenameFile(const std::string& from, const std::string& to) {
    std::string fromLeaf, toLeaf;
    Fd fromDir(OpenParent(ResolvePath(from), &fromLeaf));
    if (fromDir.get() < 0)
        return errno;
    Fd toDir(OpenParent(to, &toLeaf));
    if (toDir.get() < 0)
        return errno;
    return renameat(fromDir.get(), fromLeaf.c_str(), toDir.get(), toLeaf.c_str()) == 0 ? 0 : errno;
}

bool IsSetAside(const std::string& path) {
    std::string folder, leaf;
    SplitPath(path, &folder, &leaf);
    return InWorkFolder(path) && leaf.starts_with(kSetAsidePrefix);
}

bool RemoveOwnTree(const std::string& path) {
    if (!InWorkFolder(path))
        return false;
    // Only what lies in tmp/: no step may lead back out of it.
    for (size_t pos = 0; pos <= path.size();) {
        const size_t slash = std::min(path.find('/', pos), path.size());
        const std::string_view name = std::string_view(path).substr(pos, slash - pos);
        if (name == "." || name == "..")
            return false;
        pos = slash + 1;
    }
    std::string folder, leaf;
    SplitPath(path, &folder, &leaf);
    Fd dir(OpenFolder(folder));
    return dir.get() >= 0 && RemoveTree(dir.get(), folder, leaf);
}

bool ListDir(const std::string& path, std::vector<DirEntry>* out) {
    out->clear();
    std::string folder = ResolvePath(path);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    int fd = OpenFolder(folder);
    DIR* d = fd >= 0 ? fdopendir(fd) : nullptr;
    if (!d) {
        if (fd >= 0)
            close(fd);
        return false;
    }
    struct stat listed {};
    const bool listedKnown = fstat(dirfd(d), &listed) == 0;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        DirEntry entry;
        entry.name = name;
        struct stat st {};
        // Not followed: a link to a folder is removed as a file, never entered.
        entry.isDirectory = fstatat(dirfd(d), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
        entry.isMountPoint = entry.isDirectory &&
                             (!listedKnown || IsMountPoint(dirfd(d), name.c_str(), 0, listed, JoinName(folder, name)));
        out->push_back(entry);
    }
    closedir(d);
    return true;
}

FILE* OpenFile(const std::string& path, const char* mode) {
    if (!mode || !*mode) {
        errno = EINVAL;
        return nullptr;
    }
    if (g_openHook)
        if (FILE* f = g_openHook(path, mode))
            return f;
    const bool update = std::string_view(mode).find('+') != std::string_view::npos;
    int fd = -1;
    switch (mode[0]) {
        case 'r': fd = OpenForReading(ResolvePath(path), update); break;
        case 'w': fd = OpenFresh(path, update); break;
        case 'a': fd = OpenForAppend(ResolvePath(path), update); break;
        default: errno = EINVAL; return nullptr;
    }
    if (fd < 0)
        return nullptr;
    FILE* f = fdopen(fd, mode);
    if (!f) {
        int err = errno;
        close(fd);
        errno = err;
    }
    return f;
}

namespace {

// A regular file this process may not write: marked read-only by the
// player, or another user's. Asked as an open for writing asks (the owner's
// bits for the owner, the group's for the group, and none for root), not
// read from the mode bits alone. Links are not looked through: a link in
// the place is replaced.
bool IsReadOnlyFile(const std::string& path) {
    std::string leaf;
    Fd dir(OpenParent(path, &leaf));
    struct stat st {};
    if (dir.get() < 0 || fstatat(dir.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (g_writeDenyHook && g_writeDenyHook(path))
        return true;
    if (faccessat(dir.get(), leaf.c_str(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) == 0)
        return false;
    return errno == EACCES || errno == EPERM || errno == EROFS;
}

} // namespace

FILE* BeginReplaceFile(const std::string& path) {
    // A rename would pass over the mark that an open for writing honours: a
    // read-only save or settings file is refused as that open refuses it.
    // The work folder's copies are the program's own and always replaced.
    if (!InWorkFolder(path) && IsReadOnlyFile(path)) {
        errno = EACCES;
        return nullptr;
    }
    return OpenFile(path + ".tmp", "wb");
}

bool FinishReplaceFile(FILE* f, const std::string& path, bool keep, Durability durability) {
    if (!f)
        return false;
    const bool durable = durability == Durability::kSynced;
    bool ok = fflush(f) == 0 && keep;
    // The data reach the disk before the name does: a power cut after the
    // rename cannot leave an empty file under it.
    const std::string tmp = path + ".tmp";
    ok = ok && (!durable || SyncToDisk(fileno(f), tmp, false));
    ok = fclose(f) == 0 && ok;
    std::string tmpLeaf;
    Fd dir(OpenParent(ResolvePath(tmp), &tmpLeaf));
    if (dir.get() < 0)
        return false;
    std::string leaf, folder;
    SplitPath(path, &folder, &leaf);
    if (ok && IsCaseFoldedArea(path)) {
        // The new file takes the name in every letter case: no stale or
        // planted entry of another spelling is found in its place later. The
        // rename replaces a file or link but no folder, which in the work
        // folder goes first.
        const bool own = InWorkFolder(path);
        for (const std::string& name : MatchingNames(dir.get(), leaf, true)) {
            if (name != tmpLeaf && !RemoveOwnFolderAt(dir.get(), folder, name, own) && name != leaf)
                unlinkat(dir.get(), name.c_str(), 0);
        }
    }
    ok = ok && renameat(dir.get(), tmpLeaf.c_str(), dir.get(), leaf.c_str()) == 0;
    if (!ok) {
        unlinkat(dir.get(), tmpLeaf.c_str(), 0);
        return false;
    }
    // The rename itself is kept only once the folder is on the disk; the new
    // file is in place either way, so a failure here is not reported.
    if (durable)
        SyncToDisk(dir.get(), folder, true);
    return true;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes) {
    FILE* f = BeginReplaceFile(path);
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return FinishReplaceFile(f, path, ok, Durability::kSynced);
}

namespace {

// Reads the start of a regular file: at most maxSize bytes, *more set when
// it holds more. With whole set, a file larger than that is refused before
// anything is read (kFailed), as is one that grows past it while read.
ReadStatus ReadStart(const std::string& path, uint64_t maxSize, bool whole, std::string* out, bool* more) {
    out->clear();
    *more = false;
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::kMissing : ReadStatus::kFailed;
    struct stat st {};
    bool ok = fstat(fileno(f), &st) == 0;
    *more = ok && static_cast<uint64_t>(st.st_size) > maxSize;
    ok = ok && !(whole && *more);
    if (ok)
        out->reserve(static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(st.st_size), maxSize)));
    char buf[65536];
    while (ok && out->size() < maxSize) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(sizeof(buf), maxSize - out->size()));
        const size_t n = fread(buf, 1, want, f);
        out->append(buf, n);
        if (n < want)
            break;
    }
    // One byte more tells a file that ends at the limit from a longer one.
    if (ok && out->size() == maxSize && !ferror(f))
        *more = fread(buf, 1, 1, f) == 1;
    ok = ok && !ferror(f) && !(whole && *more);
    fclose(f);
    if (!ok) {
        out->clear();
        return ReadStatus::kFailed;
    }
    return ReadStatus::kRead;
}

} // namespace

ReadStatus ReadFileLimited(const std::string& path, uint64_t maxSize, std::string* out) {
    bool more = false;
    return ReadStart(path, maxSize, true, out, &more);
}

ReadStatus ReadFileHead(const std::string& path, uint64_t maxSize, std::string* out, bool* more) {
    return ReadStart(path, maxSize, false, out, more);
}

bool ReadWholeFile(const std::string& path, std::string* out, uint64_t maxSize) {
    return ReadFileLimited(path, maxSize, out) == ReadStatus::kRead;
}

bool ReadRegularFile(const std::string& path, uint64_t maxSize, std::string* out) {
    return ReadWholeFile(path, out, maxSize);
}

void SetUnlinkHook(UnlinkHook hook) { g_unlinkHook = hook; }
void SetReadDenyHook(ReadDenyHook hook) { g_readDenyHook = hook; }
void SetSyncHook(SyncHook hook) { g_syncHook = hook; }
void SetWriteDenyHook(WriteDenyHook hook) { g_writeDenyHook = hook; }
void SetOpenHook(OpenHook hook) { g_openHook = hook; }
void SetMountPointHook(MountPointHook hook) { g_mountPointHook = hook; }

bool GetCurrentDir(char* out, size_t size) { return getcwd(out, size) != nullptr; }

bool EnterProgramFolder() {
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof(exe) - 1)
        return false;
    exe[n] = '\0';
    std::string dir, leaf;
    SplitPath(exe, &dir, &leaf);
    return !dir.empty() && chdir(dir.c_str()) == 0;
}

} // namespace plat
