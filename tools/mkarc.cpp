// mkarc: packs, lists and extracts combined archives. Listing and
// extraction go through the engine's own reader. The exit status is 0 only
// when the printed result is a success.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/combine_file.h"
#include "platform/sjis.h"
#include "tools/archive_writer.h"
#include "tools/temp_output.h"

namespace {

int Usage() {
    fputs(
        "usage: mkarc pack [--list-out] ARCHIVE FILE...\n"
        "       mkarc list ARCHIVE\n"
        "       mkarc extract ARCHIVE OUTDIR [NAME]\n"
        "       mkarc search ARCHIVE NAME\n",
        stderr);
    return 2;
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Pack(int argc, char** argv) {
    int i = 2;
    bool listOut = false;
    if (i < argc && strcmp(argv[i], "--list-out") == 0) {
        listOut = true;
        ++i;
    }
    if (argc - i < 2)
        return Usage();
    std::string archive = argv[i++];
    std::vector<ArchiveMember> members;
    for (; i < argc; ++i)
        members.push_back(ArchiveMember{BaseName(argv[i]), argv[i], ""});
    std::string error;
    if (!WriteArchive(archive, members, listOut, &error)) {
        fprintf(stderr, "mkarc: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

// Reads the archive's list into g_CombineFileList, from the archive or from
// the list beside it (its path then in *listPath); false when neither reads.
bool ReadList(const char* archive, std::string* listPath) {
    int type = CheckCombineFileType(archive);
    int r = -2;
    if (type == 1) {
        r = ReadCombineFileList(archive);
    } else if (type == 2) {
        *listPath = ArchiveListPath(archive);
        r = listPath->empty() ? -2 : ReadCombineFileList(listPath->c_str());
    }
    return r == 0;
}

int List(const char* archive) {
    std::string listPath;
    if (!ReadList(archive, &listPath)) {
        fprintf(stderr, "mkarc: %s: no readable archive list\n", archive);
        return 1;
    }
    for (const COMBINE_FILE_DATA& row : g_CombineFileList) {
        if (row.name[0] == '\0')
            break;
        printf("%s %u %u\n", row.name, row.start, row.end);
    }
    return 0;
}

// Why extracting (every member, or the first named name ignoring case)
// would lose a file: a member would replace the archive or its list, or
// the temporary file the extraction writes beside it ("<member>.tmp")
// names a file already. Empty when nothing would; an unreadable list is
// left to the extraction to report.
std::string CheckExtraction(const char* archive, const std::string& outDir, const char* name) {
    std::string listPath;
    if (!ReadList(archive, &listPath))
        return "";
    for (const COMBINE_FILE_DATA& row : g_CombineFileList) {
        if (row.name[0] == '\0')
            break;
        if (name && !plat::SjisEqualNoCase(row.name, name))
            continue;
        const std::string out = outDir + row.name;
        std::string why = CheckInputOutput(archive, out);
        if (why.empty() && !listPath.empty())
            why = CheckInputOutput(listPath, out);
        if (why.empty() && PathTaken(out + ".tmp"))
            why.append(out).append(".tmp is in the way of the temporary file for ").append(out);
        if (!why.empty() || name)
            return why;
    }
    return "";
}

int Extract(const char* archive, const char* dir, const char* name) {
    // An empty OUTDIR means the current folder (member name alone).
    std::string outDir = dir;
    if (!outDir.empty() && outDir.back() != '/')
        outDir += '/';
    const std::string why = CheckExtraction(archive, outDir, name);
    if (!why.empty()) {
        fprintf(stderr, "mkarc: %s\n", why.c_str());
        return 1;
    }
    int r = FileDiv(archive, outDir.empty() ? nullptr : outDir.c_str(), name);
    printf("result %d\n", r);
    return r == 1 ? 0 : 1; // anything but 1 extracted nothing, or not all
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    std::string cmd = argv[1];
    if (cmd == "pack")
        return Pack(argc, argv);
    if (cmd == "list" && argc == 3)
        return List(argv[2]);
    if (cmd == "extract" && (argc == 4 || argc == 5))
        return Extract(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    if (cmd == "search" && argc == 4) {
        // 1 found and 0 absent are answers; below 0 the search itself failed.
        int r = SearchCombineFile(argv[2], argv[3]);
        printf("result %d\n", r);
        return r < 0 ? 1 : 0;
    }
    return Usage();
}
