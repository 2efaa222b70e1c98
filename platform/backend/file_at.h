#pragma once
// What the backend's file code shares: descriptors closed with their scope,
// and files and folders reached as platform/files.h promises (no link followed
// on the way but the player's save folder at the top).
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace plat::posix {

// A descriptor closed when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// Splits a path into its folder ("" for the working one) and last name;
// trailing slashes belong to neither.
void SplitPath(std::string path, std::string* dir, std::string* leaf);

// The folder of path opened for the *at calls, and its last name. -1 with
// errno set on failure.
int OpenParent(const std::string& path, std::string* leaf);

// Flushes a file's data (and the size that finds them) or a folder's entries
// to the disk; what names it for the test hook.
bool SyncToDisk(int fd, const std::string& what, bool folder);

// A regular file as OpenFile(path, "r") opens it. -1 with errno set otherwise.
int OpenForReading(const std::string& path, bool update);

// Opens a regular file in its folder, reached as OpenParent reaches it, with
// no link followed in the last place either. -1 with errno set otherwise.
int OpenRegularAt(const std::string& path, int flags, mode_t mode);

// The calls some disks lack (platform/files_test_hooks.h can make each
// refuse as such a disk does): an unnamed file in the folder dir (O_TMPFILE),
// a hard link (linkat) and a rename that refuses a held name (renameat2 with
// RENAME_NOREPLACE). -1 with errno set on failure.
int OpenUnnamedAt(int dir, int flags, mode_t mode);
int LinkAt(int fromDir, const char* from, int toDir, const char* to, int flags);
int RenameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to);

// Renames a file or folder unless something (a link, an empty folder) holds
// the new name, on any disk: with RenameNoReplaceAt, else a hard link and the
// old name removed, else a plain rename once the name is found free. 0, or
// the errno value (EEXIST when the name is held).
int MoveNoReplace(int fromDir, const std::string& from, int toDir, const std::string& to);

} // namespace plat::posix
