#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace plat {

// POSIX file operations under the names the engine uses. Paths are relative to
// the game folder; a path under "dat/" or "tmp/" is matched without regard to
// the case of its file name, since archive members keep the list's spelling
// while callers name them their own way.

struct FileInfo {
    bool exists = false;
    bool isDirectory = false;
    uint64_t size = 0;
};

// Returns the path as it exists on disk: unchanged when it exists as given or
// lies outside dat/ and tmp/, else the entry of its folder that matches it
// ignoring case (unchanged again when none does).
std::string ResolvePath(const std::string& path);

FileInfo StatFile(const std::string& path);
bool FileExists(const std::string& path);
// 0 on success, else the errno value.
int UnlinkFile(const std::string& path);
int MakeDir(const std::string& path);
int RemoveDir(const std::string& path);
int RenameFile(const std::string& from, const std::string& to);

struct DirEntry {
    std::string name;
    bool isDirectory = false;
};
// Entries of a folder without "." and ".."; false when it cannot be read.
bool ListDir(const std::string& path, std::vector<DirEntry>* out);

// fopen with the case-insensitive lookup applied.
FILE* OpenFile(const std::string& path, const char* mode);

// Writes a whole file through a temporary file and a rename, so that a failed
// write never leaves a half-written file behind. False on any failure.
bool WriteFileAtomic(const std::string& path, const std::string& bytes);
bool ReadWholeFile(const std::string& path, std::string* out);
// Reads a regular file of at most maxSize bytes; false for anything else (a
// folder, a device, a FIFO, a bigger file) or a failed read.
bool ReadRegularFile(const std::string& path, uint64_t maxSize, std::string* out);

// The working directory (the game folder) into out, NUL-terminated; false
// when it cannot be read or does not fit in size bytes.
bool GetCurrentDir(char* out, size_t size);

} // namespace plat
