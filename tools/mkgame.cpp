// mkgame: builds a game folder from sample sources (layout in sample/README.md).
//   mkgame SAMPLE_DIR OUT_DIR [EXTRA_DIR...]
// Every folder <A>/ of SAMPLE_DIR and of each EXTRA_DIR becomes dat/<A>.dat;
// "*.txt" members are UTF-8 scripts, stored scrambled as "*.spt"; a folder
// "dat/" is copied unchanged; env.env and cursor.txt are written in
// Shift-JIS with CR LF line ends.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/sjis.h"
#include "tools/archive_writer.h"
#include "tools/script_writer.h"
#include "tools/temp_output.h"

namespace fs = std::filesystem;

namespace {

bool g_failed = false;

void Fail(const std::string& message) {
    fprintf(stderr, "mkgame: %s\n", message.c_str());
    g_failed = true;
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && plat::SjisEqualNoCase(s.substr(s.size() - tail.size()), tail);
}

// UTF-8 text with LF or CR LF line ends -> Shift-JIS with CR LF, ending in CR LF.
bool ToGameText(const std::string& utf8, std::string* out, std::string* error) {
    std::string sjis;
    if (!plat::Utf8ToSjisStrict(utf8, &sjis)) {
        *error = "text has characters without a Shift-JIS form";
        return false;
    }
    out->clear();
    for (size_t i = 0; i < sjis.size(); ++i) {
        if (sjis[i] == '\n' && (i == 0 || sjis[i - 1] != '\r')) {
            *out += "\r\n";
        } else {
            *out += sjis[i];
        }
    }
    if (!out->empty() && (out->size() < 2 || out->substr(out->size() - 2) != "\r\n"))
        *out += "\r\n";
    return true;
}

bool ReadFile(const fs::path& p, std::string* out) { return plat::ReadWholeFile(p.string(), out); }

std::vector<fs::path> SortedFiles(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.is_regular_file() && e.path().filename().string()[0] != '.')
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Adds the files of one archive folder to its member list.
void CollectMembers(const fs::path& dir, std::vector<ArchiveMember>* members) {
    for (const fs::path& file : SortedFiles(dir)) {
        std::string utf8Name = file.filename().string();
        bool script = EndsWithNoCase(utf8Name, ".txt");
        if (script)
            utf8Name = utf8Name.substr(0, utf8Name.size() - 4) + ".spt";
        ArchiveMember m;
        if (!plat::Utf8ToSjisStrict(utf8Name, &m.name)) {
            Fail(file.string() + ": file name has characters without a Shift-JIS form");
            continue;
        }
        if (script) {
            std::string utf8, plain, error;
            if (!ReadFile(file, &utf8) || !ToGameText(utf8, &plain, &error)) {
                Fail(file.string() + ": " + (error.empty() ? "cannot read" : error));
                continue;
            }
            error = CheckScriptText(plain);
            if (!error.empty()) {
                Fail(file.string() + ": " + error);
                continue;
            }
            m.data = ScrambleScript(plain);
        } else {
            m.filePath = file.string();
        }
        members->push_back(std::move(m));
    }
}

void WriteTextFile(const fs::path& from, const fs::path& to) {
    std::string utf8, text, error;
    if (!ReadFile(from, &utf8) || !ToGameText(utf8, &text, &error)) {
        Fail(from.string() + ": " + (error.empty() ? "cannot read" : error));
        return;
    }
    if (!WriteFileThroughTemp(to.string(), text, &error))
        Fail(error);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fputs("usage: mkgame SAMPLE_DIR OUT_DIR [EXTRA_DIR...]\n", stderr);
        return 2;
    }
    fs::path out = argv[2];
    std::error_code ec;
    fs::create_directories(out / "dat", ec);
    if (ec) {
        Fail("cannot create " + (out / "dat").string());
        return 1;
    }
    // Archive name -> members, merged over every input folder.
    std::map<std::string, std::vector<ArchiveMember>> archives;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (i != 2)
            inputs.emplace_back(argv[i]);
    }
    for (const fs::path& in : inputs) {
        if (!fs::is_directory(in)) {
            Fail(in.string() + " is not a folder");
            continue;
        }
        for (const auto& e : fs::directory_iterator(in)) {
            std::string name = e.path().filename().string();
            if (!e.is_directory() || name[0] == '.')
                continue;
            if (name == "dat") {
                for (const fs::path& file : SortedFiles(e.path())) {
                    fs::copy_file(file, out / "dat" / file.filename(), fs::copy_options::overwrite_existing, ec);
                    if (ec)
                        Fail("cannot copy " + file.string());
                }
                continue;
            }
            CollectMembers(e.path(), &archives[name]);
        }
    }
    for (auto& [name, members] : archives) {
        std::string error;
        fs::path archive = out / "dat" / (name + ".dat");
        if (!WriteArchive(archive.string(), members, false, &error))
            Fail(archive.string() + ": " + error);
    }
    fs::path sample = argv[1];
    for (const char* text : {"env.env", "cursor.txt"}) {
        if (fs::exists(sample / text))
            WriteTextFile(sample / text, out / text);
    }
    return g_failed ? 1 : 0;
}
