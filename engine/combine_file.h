#pragma once
#include <cstdint>
#include <vector>

// Combined archives: "FILECMB-DATA-" archives under dat/ whose members are
// extracted to files of their own before use.

struct COMBINE_FILE_DATA {
    char name[260];
    uint32_t start;
    uint32_t end;
};

constexpr int kCombineFileListMax = 4096;

// The list of the archive read last; re-read on every call, never cached.
extern COMBINE_FILE_DATA g_CombineFileList[kCombineFileListMax];

// Memory block returned by ReadCombineFileData (stands in for a global
// memory handle): null on failure, freed by the caller with delete.
using CombineDataBlock = std::vector<uint8_t>*;

int FileDiv(const char* archive, const char* outDirectory, const char* name);
int SearchCombineFile(const char* archive, const char* name);
int CheckCombineFileType(const char* archive);
int ReadCombineFileList(const char* listPath);
CombineDataBlock ReadCombineFileData(const char* archive, uint32_t* outSize, uint32_t start, uint32_t end);
void ClearCombineFileList();
void DeleteDirectoryFiles(const char* directory, const char* name);
