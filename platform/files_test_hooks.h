#pragma once
// Test hooks of platform/files.h (tests only).
#include "platform/files.h"

namespace plat {

// Test hook: when set, UnlinkFile asks it first; a non-zero result is returned
// as the errno of a failed delete (Linux can delete open files, Windows could not).
using UnlinkHook = int (*)(const std::string& path);
void SetUnlinkHook(UnlinkHook hook);

} // namespace plat

namespace plat {

// Test hook: when set and true for a path, opening it for reading fails with
// EACCES as a file without read permission does (tests may run as root, for
// whom permission bits do not bite).
using ReadDenyHook = bool (*)(const std::string& path);
void SetReadDenyHook(ReadDenyHook hook);

} // namespace plat

namespace plat {

// Test hook: when set, every flush to the disk of a replaced file (its
// temporary path) and then of its folder (the folder's path, "" for the
// working one) asks it first; a non-zero result fails that flush as an I/O
// error would.
using SyncHook = int (*)(const std::string& path);
void SetSyncHook(SyncHook hook);

} // namespace plat

namespace plat {

// Test hook: when set and true for a path, a replacing write finds the file
// there not writable, as an ordinary user finds one without write permission
// (tests may run as root, whom permission bits do not stop).
using WriteDenyHook = bool (*)(const std::string& path);
void SetWriteDenyHook(WriteDenyHook hook);

// Test hook: when set, OpenFile asks it first and hands out a stream it
// returns (one whose reads or writes fail as a failing disk's do); on null
// the file is opened as usual.
using OpenHook = FILE* (*)(const std::string& path, const char* mode);
void SetOpenHook(OpenHook hook);

// Test hook: when set and true for a folder's path, that folder is taken for
// a mount point (another file system begins there), as a test process cannot
// mount one.
using MountPointHook = bool (*)(const std::string& path);
void SetMountPointHook(MountPointHook hook);

// Test hook: the calls that some disks lack, each refused as there (exFAT
// through FUSE, FAT, some network shares), so that the ways around them run.
enum FileSystemLack : unsigned {
    kLacksUnnamedFiles = 1u << 0, // open with O_TMPFILE: EOPNOTSUPP
    kLacksHardLinks = 1u << 1, // linkat: EPERM
    kLacksRenameNoReplace = 1u << 2, // renameat2 with RENAME_NOREPLACE: EINVAL
    kLacksAll = kLacksUnnamedFiles | kLacksHardLinks | kLacksRenameNoReplace,
};
void SetFileSystemLacks(unsigned lacks);

} // namespace plat
