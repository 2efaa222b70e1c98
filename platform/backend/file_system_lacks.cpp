// The calls that some file systems lack (exFAT, FAT, some network shares:
// no unnamed files, no hard links, no rename that refuses to replace), and
// a rename that replaces nothing on any of them.
#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/backend/file_at.h"
#include "platform/files_test_hooks.h"

namespace plat {

namespace {

unsigned g_lacks = 0;

} // namespace

int posix::OpenUnnamedAt(int dir, int flags, mode_t mode) {
    if (g_lacks & kLacksUnnamedFiles) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return openat(dir, ".", O_TMPFILE | flags, mode);
}

int posix::LinkAt(int fromDir, const char* from, int toDir, const char* to, int flags) {
    if (g_lacks & kLacksHardLinks) {
        errno = EPERM;
        return -1;
    }
    return linkat(fromDir, from, toDir, to, flags);
}

int posix::RenameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to) {
    if (g_lacks & kLacksRenameNoReplace) {
        errno = EINVAL;
        return -1;
    }
    return renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE);
}

int posix::MoveNoReplace(int fromDir, const std::string& from, int toDir, const std::string& to) {
    if (RenameNoReplaceAt(fromDir, from.c_str(), toDir, to.c_str()) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    // A second name refuses a held one as surely, where the disk has them
    // (never for a folder).
    struct stat st {};
    if (fstatat(fromDir, from.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode)) {
        if (LinkAt(fromDir, from.c_str(), toDir, to.c_str(), 0) == 0) {
            unlinkat(fromDir, from.c_str(), 0);
            return 0;
        }
        if (errno == EEXIST)
            return EEXIST;
    }
    // The last way: a plain rename once nothing holds the name. It would
    // replace a file, and a folder an empty folder. The folders this moves in
    // are the program's own and one copy of it runs at a time, so nothing
    // takes the name between the look and the rename.
    if (fstatat(toDir, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return renameat(fromDir, from.c_str(), toDir, to.c_str()) == 0 ? 0 : errno;
}

void SetFileSystemLacks(unsigned lacks) { g_lacks = lacks; }

} // namespace plat
