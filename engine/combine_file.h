#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// Combined archives: "FILECMB-DATA-" archives under dat/ whose members are
// extracted to files of their own before use.
//
// Layout: header "FILECMB-DATA-LIST-IN\n" (list inside, from line 2) or
// "FILECMB-DATA-LIST-OUT\n" (list in the archive path with ".lst" for its
// extension); member lines "<name> <start> <end>" ending in LF or CR LF; the
// line "LIST-END\n"; member bytes at [start, end) from the archive's start.

struct COMBINE_FILE_DATA {
    char name[260];
    uint32_t start;
    uint32_t end;
};

constexpr int kCombineFileListMax = 4096;

// The list of the archive read last; re-read on every call, never cached.
extern COMBINE_FILE_DATA g_CombineFileList[kCombineFileListMax];

// Bytes of one member as read by ReadCombineFileData; null on failure.
using CombineDataBlock = std::unique_ptr<std::vector<uint8_t>>;

// Extracts one member (or all when name is null) to outDirectory + name as
// the list spells it. 1 done; 0 not found; -1 list unreadable, read/write
// failure or unsafe member name; -2 no archive; -3 output not created.
int FileDiv(const char* archive, const char* outDirectory, const char* name);
// 1 present, 0 absent, -1 bad argument or list, -2 no archive.
int SearchCombineFile(const char* archive, const char* name);
// 1 when the archive holds the member; 0 otherwise, logging only a missing or
// unreadable archive (an absent member is an answer here, not an error).
int HasCombineMember(const char* archive, const char* name);
// 1 list inside, 2 list in ".lst" file, 0 no archive, -1 cannot open/read.
int CheckCombineFileType(const char* archive);
// Fills g_CombineFileList. 0 done, -1 failed.
int ReadCombineFileList(const char* listPath);
CombineDataBlock ReadCombineFileData(const char* archive, uint32_t* outSize, uint32_t start, uint32_t end);
void ClearCombineFileList();
void DeleteDirectoryFiles(const char* directory, const char* name);

// True when a member name can be used as a file name inside the out
// directory: not empty, not "." or "..", no '/' byte and no single-byte '\'.
bool IsSafeMemberName(const char* name);
