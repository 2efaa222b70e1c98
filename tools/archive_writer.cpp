#include "tools/archive_writer.h"

#include <cstdio>
#include <sys/stat.h>

#include "engine/combine_file.h"
#include "platform/sjis.h"
#include "platform/files.h"
#include "tools/temp_output.h"

namespace {

constexpr char kHeaderListIn[] = "FILECMB-DATA-LIST-IN\n";
constexpr char kHeaderListOut[] = "FILECMB-DATA-LIST-OUT\n";
// After the LIST-OUT header: a CR LF that belongs to no member, so that even a
// reader that looks for the header's end at a CR LF finds one early.
constexpr char kListOutPadding[] = "\r\n";
constexpr char kListEnd[] = "LIST-END\n";
constexpr uint64_t kOffsetLimit = 1000000000; // offsets are read as at most 9 digits
constexpr size_t kNameLimit = 259;

std::string MemberLine(const std::string& name, uint64_t start, uint64_t end) {
    return name + " " + std::to_string(start) + " " + std::to_string(end) + "\r\n";
}

bool MemberSize(const ArchiveMember& m, uint64_t* size, std::string* error) {
    if (m.filePath.empty()) {
        *size = m.data.size();
        return true;
    }
    struct stat st {};
    if (stat(m.filePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        *error = "cannot read " + m.filePath;
        return false;
    }
    *size = static_cast<uint64_t>(st.st_size);
    return true;
}

bool CopyMember(const ArchiveMember& m, uint64_t size, FILE* out, std::string* error) {
    if (m.filePath.empty()) {
        return m.data.empty() || fwrite(m.data.data(), 1, m.data.size(), out) == m.data.size();
    }
    FILE* in = fopen(m.filePath.c_str(), "rb");
    if (!in) {
        *error = "cannot read " + m.filePath;
        return false;
    }
    std::vector<char> buf(1 << 20);
    uint64_t copied = 0;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), in)) > 0) {
        if (fwrite(buf.data(), 1, n, out) != n)
            break;
        copied += n;
    }
    fclose(in);
    if (copied != size) {
        *error = m.filePath + " changed while it was packed";
        return false;
    }
    return true;
}

} // namespace

std::string CheckArchiveMemberName(const std::string& name) {
    if (name.empty())
        return "empty member name";
    if (name.size() > kNameLimit)
        return "member name longer than 259 bytes: " + name;
    for (unsigned char c : name) {
        if (c == ' ' || (c >= 0x09 && c <= 0x0D))
            return "member name holds white space: " + name;
        if (c == 0)
            return "member name holds a NUL byte";
    }
    if (!IsSafeMemberName(name.c_str()))
        return "member name is a path, not a file name: " + name;
    if (name == "LIST-END")
        return "member name LIST-END would end the list";
    return "";
}

std::string ArchiveListPath(const std::string& archivePath) {
    size_t dot = archivePath.rfind('.');
    if (dot == std::string::npos)
        return "";
    return archivePath.substr(0, dot) + ".lst";
}

namespace {

// Every member's name is valid and distinct ignoring case, and its file can
// be sized and is none of the outputs (written, it would be lost).
bool CheckMembers(const std::vector<ArchiveMember>& members, const std::vector<std::string>& outputs,
                  std::vector<uint64_t>* sizes, std::string* error) {
    for (size_t i = 0; i < members.size(); ++i) {
        std::string why = CheckArchiveMemberName(members[i].name);
        if (!why.empty()) {
            *error = why;
            return false;
        }
        for (size_t j = 0; j < i; ++j) {
            // The reader takes the first match ignoring case: a later one would never be found.
            if (plat::SjisEqualNoCase(members[i].name, members[j].name)) {
                *error = "member names differ only in case: " + members[j].name + ", " + members[i].name;
                return false;
            }
        }
        if (!MemberSize(members[i], &(*sizes)[i], error))
            return false;
        if (members[i].filePath.empty())
            continue;
        for (const std::string& out : outputs) {
            *error = CheckInputOutput(members[i].filePath, out);
            if (!error->empty())
                return false;
        }
    }
    return true;
}

// Offsets depend on the list's length, which depends on the offsets'
// digits: lay them out again until the length stays the same.
bool LayOutList(const std::vector<ArchiveMember>& members, const std::vector<uint64_t>& sizes, bool listOut,
                std::string* lines, std::string* error) {
    for (uint64_t listLen = 0;;) {
        const uint64_t dataStart = listOut ? sizeof(kHeaderListOut) - 1 + sizeof(kListOutPadding) - 1
                                           : sizeof(kHeaderListIn) - 1 + listLen + sizeof(kListEnd) - 1;
        lines->clear();
        uint64_t offset = dataStart;
        for (size_t i = 0; i < members.size(); ++i) {
            *lines += MemberLine(members[i].name, offset, offset + sizes[i]);
            offset += sizes[i];
        }
        if (offset >= kOffsetLimit) {
            *error = "archive would reach 1000000000 bytes; offsets have at most 9 digits";
            return false;
        }
        if (listOut || lines->size() == listLen)
            break;
        listLen = lines->size();
    }
    return true;
}

} // namespace

bool WriteArchive(const std::string& archivePath, const std::vector<ArchiveMember>& members, bool listOut,
                  std::string* error) {
    error->clear();
    if (members.empty()) {
        *error = "no members";
        return false;
    }
    if (members.size() > static_cast<size_t>(kCombineFileListMax)) {
        *error = "more than 4096 members";
        return false;
    }
    std::string listPath;
    if (listOut) {
        listPath = ArchiveListPath(archivePath);
        if (listPath.empty()) {
            *error = "a LIST-OUT archive path needs a '.' (its list goes beside it as .lst)";
            return false;
        }
        if (listPath == archivePath) {
            *error = "a LIST-OUT archive cannot end in .lst: its list would replace it";
            return false;
        }
    }
    std::vector<uint64_t> sizes(members.size());
    std::vector<std::string> outputs = {archivePath};
    if (listOut)
        outputs.push_back(listPath);
    if (!CheckMembers(members, outputs, &sizes, error))
        return false;

    std::string lines;
    if (!LayOutList(members, sizes, listOut, &lines, error))
        return false;
    // A member line is at most 259 + 2 * 9 + 4 bytes, well inside the reader's 512-byte line.

    if (listOut) {
        std::string list = std::string(kHeaderListOut) + lines + kListEnd;
        if (!WriteFileThroughTemp(listPath, list, error))
            return false;
    }
    return FillThroughTemp(
        archivePath,
        [&](FILE* out) {
            if (listOut) {
                fputs(kHeaderListOut, out);
                fputs(kListOutPadding, out);
            } else {
                fputs(kHeaderListIn, out);
                fputs(lines.c_str(), out);
                fputs(kListEnd, out);
            }
            for (size_t i = 0; i < members.size(); ++i) {
                if (!CopyMember(members[i], sizes[i], out, error))
                    return false;
            }
            return true;
        },
        error);
}
