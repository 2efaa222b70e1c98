// Files made beside others and never in place of anything: written whole
// before they are named, or set aside as a second name of a file.
#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/backend/file_at.h"
#include "platform/files_test_hooks.h"

namespace plat {

using namespace posix;

namespace {

bool g_linkless = false;

constexpr size_t kChunk = 65536;

// 0 when all of size bytes were written, else the errno value.
int WriteAll(int fd, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, data + done, size - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n == 0)
            return EIO;
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

// Reads until size bytes are in or the file ends: how many, -1 on an error.
ssize_t ReadFull(int fd, char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = read(fd, data + done, size - done);
        if (n == 0)
            break;
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (errno != EINTR)
            return -1;
    }
    return static_cast<ssize_t>(done);
}

int CopyAll(int from, int to) {
    std::vector<char> buf(kChunk);
    for (;;) {
        const ssize_t n = ReadFull(from, buf.data(), buf.size());
        if (n < 0)
            return errno;
        if (const int err = WriteAll(to, buf.data(), static_cast<size_t>(n)); err != 0)
            return err;
        if (static_cast<size_t>(n) < buf.size())
            return 0;
    }
}

// Names the descriptor's file leaf in the folder dir: a hard link, which
// never replaces anything (EEXIST when the name is held).
int LinkDescriptor(int fd, int dir, const std::string& leaf) {
    if (g_linkless)
        return EPERM;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, self.c_str(), dir, leaf.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// Renames tmp to leaf unless leaf is held; where the file system cannot
// refuse a rename so, a link made and the temporary name removed.
int RenameNoReplace(int dir, const std::string& tmp, const std::string& leaf) {
    if (renameat2(dir, tmp.c_str(), dir, leaf.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (linkat(dir, tmp.c_str(), dir, leaf.c_str(), 0) != 0)
        return errno;
    unlinkat(dir, tmp.c_str(), 0);
    return 0;
}

// A file to fill in the folder dir: unnamed, so that a run killed meanwhile
// leaves nothing, or where the file system has no unnamed files under the
// temporary name tmp. One left there by a killed run is removed first (a
// link as itself) and the name made again, exclusively.
int OpenUnnamed(int dir, const std::string& tmp, bool* named) {
    *named = false;
    if (!g_linkless) {
        const int fd = openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0)
            return fd;
    }
    *named = true;
    unlinkat(dir, tmp.c_str(), 0);
    return openat(dir, tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

// Makes path as a new file that fill writes (0 or an errno value), synced
// before it is named and never in place of anything.
int MakeNewFile(const std::string& path, const std::function<int(int)>& fill) {
    std::string leaf, folder;
    SplitPath(path, &folder, &leaf);
    Fd dir(OpenParent(path, &leaf));
    if (dir.get() < 0)
        return errno;
    struct stat st {};
    if (fstatat(dir.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST; // nothing to write for a name that is held
    const std::string tmp = leaf + ".tmp";
    bool named = false;
    Fd fd(OpenUnnamed(dir.get(), tmp, &named));
    if (fd.get() < 0)
        return errno;
    int err = fill(fd.get());
    if (err == 0 && !SyncToDisk(fd.get(), path, false))
        err = EIO;
    if (err == 0)
        err = named ? RenameNoReplace(dir.get(), tmp, leaf) : LinkDescriptor(fd.get(), dir.get(), leaf);
    if (err != 0) {
        if (named)
            unlinkat(dir.get(), tmp.c_str(), 0);
        return err;
    }
    SyncToDisk(dir.get(), folder, true);
    return 0;
}

} // namespace

int WriteNewFile(const std::string& path, const std::string& bytes) {
    return MakeNewFile(path, [&](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

int SetAsideFile(const std::string& from, const std::string& path) {
    Fd src(OpenForReading(ResolvePath(from), false));
    if (src.get() < 0)
        return errno;
    std::string leaf, folder;
    SplitPath(path, &folder, &leaf);
    Fd dir(OpenParent(path, &leaf));
    if (dir.get() < 0)
        return errno;
    // The very file read, even where from is a link to it.
    const int err = LinkDescriptor(src.get(), dir.get(), leaf);
    if (err == 0)
        SyncToDisk(dir.get(), folder, true);
    if (err == 0 || err == EEXIST)
        return err;
    return MakeNewFile(path, [&](int fd) { return CopyAll(src.get(), fd); });
}

bool SameFileBytes(const std::string& from, const std::string& copy) {
    Fd a(OpenForReading(ResolvePath(from), false));
    Fd b(OpenRegularAt(copy, O_RDONLY, 0));
    struct stat sa {}, sb {};
    if (a.get() < 0 || b.get() < 0 || fstat(a.get(), &sa) != 0 || fstat(b.get(), &sb) != 0)
        return false;
    if (sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino)
        return true;
    if (sa.st_size != sb.st_size)
        return false;
    std::vector<char> x(kChunk), y(kChunk);
    for (;;) {
        const ssize_t n = ReadFull(a.get(), x.data(), x.size());
        if (n < 0 || ReadFull(b.get(), y.data(), y.size()) != n || memcmp(x.data(), y.data(), static_cast<size_t>(n)) != 0)
            return false;
        if (static_cast<size_t>(n) < x.size())
            return true;
    }
}

void SetLinklessFileSystem(bool on) { g_linkless = on; }

} // namespace plat
