#pragma once
#include <string>
#include <vector>

// Writes combined archives that the engine's reader accepts: member names
// checked, offsets laid out until their digit counts are stable, member
// lines ending in CR LF, "LIST-END\n" with a bare LF.

struct ArchiveMember {
    std::string name; // name as stored in the list (Shift-JIS bytes)
    std::string filePath; // bytes come from this file when set ...
    std::string data; // ... else from here
};

// Why a member name cannot be stored; empty when it can.
std::string CheckArchiveMemberName(const std::string& name);

// LIST-IN: the list inside the archive. LIST-OUT: the list in the archive
// path cut at its last '.' + ".lst". Files are written through a temporary
// file and renamed. False with a message in *error when refused (a member
// file that is one of the outputs among the reasons) or failed.
bool WriteArchive(const std::string& archivePath, const std::vector<ArchiveMember>& members, bool listOut,
                  std::string* error);

// Path of the list file of a LIST-OUT archive; empty when the path has no '.'.
std::string ArchiveListPath(const std::string& archivePath);
