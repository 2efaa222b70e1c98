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

namespace plat {

using namespace posix;

namespace {

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

// Copies the whole of from (from its start, whatever its offset) to to.
int CopyAll(int from, int to) {
    std::vector<char> buf(kChunk);
    for (off_t at = 0;;) {
        const ssize_t n = pread(from, buf.data(), buf.size(), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        if (const int err = WriteAll(to, buf.data(), static_cast<size_t>(n)); err != 0)
            return err;
        at += n;
    }
}

// Names the descriptor's file leaf in the folder dir: a hard link, which
// never replaces anything (EEXIST when the name is held).
int LinkDescriptor(int fd, int dir, const std::string& leaf) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return LinkAt(AT_FDCWD, self.c_str(), dir, leaf.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// Fills and syncs a new file: 0 or an errno value.
int FillAndSync(int fd, const std::string& path, const std::function<int(int)>& fill) {
    const int err = fill(fd);
    if (err != 0)
        return err;
    return SyncToDisk(fd, path, false) ? 0 : EIO;
}

// Makes path as a new file that fill writes (0 or an errno value), synced
// before it is named and never in place of anything. Written unnamed, so
// that a run killed meanwhile leaves nothing; where the disk has no unnamed
// files or cannot name one, under the temporary name "<leaf>.tmp". One left
// there by a killed run is removed first (a link as itself) and the name
// made again, exclusively.
int MakeNewFile(const std::string& path, const std::function<int(int)>& fill) {
    std::string leaf, folder;
    SplitPath(path, &folder, &leaf);
    Fd dir(OpenParent(path, &leaf));
    if (dir.get() < 0)
        return errno;
    struct stat st {};
    if (fstatat(dir.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST; // nothing to write for a name that is held
    if (Fd unnamed(OpenUnnamedAt(dir.get(), O_WRONLY | O_CLOEXEC, 0644)); unnamed.get() >= 0) {
        if (const int err = FillAndSync(unnamed.get(), path, fill); err != 0)
            return err;
        const int err = LinkDescriptor(unnamed.get(), dir.get(), leaf);
        if (err == 0)
            SyncToDisk(dir.get(), folder, true);
        if (err == 0 || err == EEXIST)
            return err;
        // No second name for it on this disk: made again under a name.
    }
    const std::string tmp = leaf + ".tmp";
    unlinkat(dir.get(), tmp.c_str(), 0);
    Fd fd(openat(dir.get(), tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (fd.get() < 0)
        return errno;
    int err = FillAndSync(fd.get(), path, fill);
    if (err == 0)
        err = MoveNoReplace(dir.get(), tmp, dir.get(), leaf);
    if (err != 0) {
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

bool SameFile(const std::string& from, const std::string& copy) {
    Fd a(OpenForReading(ResolvePath(from), false));
    Fd b(OpenRegularAt(copy, O_RDONLY, 0));
    struct stat sa {}, sb {};
    return a.get() >= 0 && b.get() >= 0 && fstat(a.get(), &sa) == 0 && fstat(b.get(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
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

int RemoveLeftoverFile(const std::string& path) {
    std::string leaf;
    Fd dir(OpenParent(path, &leaf));
    if (dir.get() < 0)
        return errno;
    struct stat st {};
    if (fstatat(dir.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return EINVAL;
    return unlinkat(dir.get(), leaf.c_str(), 0) == 0 ? 0 : errno;
}

} // namespace plat
