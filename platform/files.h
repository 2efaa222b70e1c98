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
    bool isRegular = false;
    uint64_t size = 0;
};

// Returns the path as it exists on disk: unchanged when it exists as given or
// lies outside dat/ and tmp/, else the entry of its folder that matches it
// ignoring case (unchanged again when none does).
std::string ResolvePath(const std::string& path);

// The entries that hold path's name, as paths: under dat/ and tmp/ (after
// any leading "./") every entry of its folder that matches it ignoring case,
// elsewhere path itself when anything (a link being itself) holds it.
std::vector<std::string> NameSpellings(const std::string& path);

// What a reader would open: links are followed, but in tmp/ as OpenFile
// reads there, through no link. A link there is itself (it exists, but is no
// regular file) and anything behind a tmp/ that is a link does not exist;
// tmp/ itself is seen the same way, so a link named tmp is no folder.
FileInfo StatFile(const std::string& path);
bool FileExists(const std::string& path);

// Writing and removing never follow a link: in a relative path (the game
// folder's own) no folder on the way may be a link, and a link in the last
// place is itself removed or replaced, never its target. Absolute paths are
// checked from their last component only. One exception: "sav" at the top of
// the game folder, the player's save folder, may be a link to a folder.

// 0 on success, else the errno value.
int UnlinkFile(const std::string& path);
int MakeDir(const std::string& path);
// MakeDir for a folder the program owns (tmp/): a link or file standing in
// its place is removed first and *replaced (when given) is set. EEXIST for a real folder.
int MakeOwnDir(const std::string& path, bool* replaced);
int RemoveDir(const std::string& path);
int RenameFile(const std::string& from, const std::string& to);

// A folder in a copy's place in tmp/ that cannot be removed whole (one that
// may not be entered, a mount point inside) is moved aside there, under a
// name no copy can have, so that the copy is still made; so is the part of
// a tree too deep to walk. IsSetAside tells such a path in tmp/.
bool IsSetAside(const std::string& path);
// Removes a folder in tmp/ with all it holds at any depth, as far as it can:
// links as links, nothing past a mount point. True when it is gone; false
// when anything stays, or for a path outside tmp/.
bool RemoveOwnTree(const std::string& path);

struct DirEntry {
    std::string name;
    bool isDirectory = false;
    // A folder where another file system (or another mount of this one)
    // begins: a walk that removes leaves it alone, so it never empties what
    // is mounted there.
    bool isMountPoint = false;
};
// Entries of a folder without "." and ".."; false when it cannot be read or
// is (or lies behind) a link. A link inside is listed as a file.
bool ListDir(const std::string& path, std::vector<DirEntry>* out);

// fopen with the case-insensitive lookup applied.
// Reading ("r"): regular files only. A folder, device or FIFO is refused as
// an unopenable file (errno EINVAL), and opening never blocks.
// Writing ("w"): the file is always made afresh. Whatever holds its name (in
// any letter case under dat/ and tmp/) is removed first, and the create fails
// rather than follow a link or open an entry that reappeared. A folder in the
// way is removed with all it holds (or moved aside) only in the work folder
// tmp/, which is the program's own, and never past a mount point; a mount
// point in the way, and a folder elsewhere, fails the create.
// Appending ("a"): a regular file or a new one, never through a link.
FILE* OpenFile(const std::string& path, const char* mode);

// A complete new file in place of path: written to "<path>.tmp" (made as
// OpenFile's "w" makes it) and renamed over path by FinishReplaceFile when
// keep is set and every write succeeded; else the temporary file is removed.
// A link at path is replaced, not followed; a regular file there that an
// open for writing would refuse (marked read-only, or another user's) is
// refused with EACCES, except in the work folder tmp/, where a folder at path
// is replaced too (as OpenFile "w" removes it). Synced: the file is flushed
// to the disk before the rename and its folder after it, so that a power cut
// leaves the old file or the new one whole; work copies need not pay that.
enum class Durability { kVolatile, kSynced };
FILE* BeginReplaceFile(const std::string& path);
bool FinishReplaceFile(FILE* f, const std::string& path, bool keep, Durability durability);

// Writes a whole file through BeginReplaceFile, synced, so that neither a
// failed write nor a power cut leaves a half-written file behind. False on
// any failure.
bool WriteFileAtomic(const std::string& path, const std::string& bytes);

// Makes path as a new file holding bytes, never in place of anything. The
// file is written under no name (or "<path>.tmp" where the file system has
// no unnamed files or cannot name one), synced, and named only when whole;
// its folder is synced after. Any disk will do: where it has neither hard
// links nor a rename that refuses a held name, a plain rename follows a look
// that finds the name free. 0 when made; EEXIST when anything (a link
// included) holds the name; another errno on failure, with nothing left
// under the name.
int WriteNewFile(const std::string& path, const std::string& bytes);

// Makes path a second name of the regular file a read of from finds: a hard
// link, which costs nothing and is whole at once, or where the file system
// refuses one (another file system behind a link, no hard links) a copy made
// as WriteNewFile makes it. Results as WriteNewFile's.
int SetAsideFile(const std::string& from, const std::string& path);

// Whether copy, reached with no link followed, holds the bytes of the file
// a read of from finds (it may be that very file). Read in pieces, so
// neither need fit in memory.
bool SameFileBytes(const std::string& from, const std::string& copy);
// Whether copy, reached with no link followed, is the very file a read of
// from finds (a second name of it).
bool SameFile(const std::string& from, const std::string& copy);

// Removes a temporary file a killed run may have left at path: a regular
// file, reached with no link followed; a link or a folder there stays. 0
// when removed, else the errno value (ENOENT when nothing is there).
int RemoveLeftoverFile(const std::string& path);

enum class ReadStatus {
    kRead,
    kMissing, // nothing holds the name
    kFailed, // something does, but it is no regular file, too large or unreadable
};
// Reads a whole regular file of at most maxSize bytes into out.
ReadStatus ReadFileLimited(const std::string& path, uint64_t maxSize, std::string* out);
// Reads at most the first maxSize bytes of a regular file of any size into
// out; *more tells whether the file holds more than that.
ReadStatus ReadFileHead(const std::string& path, uint64_t maxSize, std::string* out, bool* more);
constexpr uint64_t kDefaultReadLimit = 256ull << 20;
bool ReadWholeFile(const std::string& path, std::string* out, uint64_t maxSize = kDefaultReadLimit);
// ReadWholeFile under the name the save slot files use.
bool ReadRegularFile(const std::string& path, uint64_t maxSize, std::string* out);

// The working directory (the game folder) into out, NUL-terminated; false
// when it cannot be read or does not fit in size bytes.
bool GetCurrentDir(char* out, size_t size);

// Makes the folder that holds the running program the working directory.
bool EnterProgramFolder();

} // namespace plat
