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

// Output paths are relative to the game folder, which game names in messages.
void WriteTextFile(const fs::path& from, const std::string& to, const std::string& game) {
    std::string utf8, text, error;
    if (!ReadFile(from, &utf8) || !ToGameText(utf8, &text, &error)) {
        Fail(from.string() + ": " + (error.empty() ? "cannot read" : error));
        return;
    }
    if (!WriteFileThroughTemp(to, text, &error))
        Fail(game + ": " + error);
}

// Copies a file unchanged, as the other outputs are written: whole or not at all.
void CopyFile(const fs::path& from, const std::string& to, const std::string& game) {
    FILE* in = plat::OpenFile(from.string(), "rb");
    if (!in) {
        Fail("cannot read " + from.string());
        return;
    }
    std::string error;
    const bool ok = FillThroughTemp(
        to,
        [&](FILE* out) {
            char buf[65536];
            size_t n;
            while ((n = fread(buf, 1, sizeof buf, in)) > 0) {
                if (fwrite(buf, 1, n, out) != n)
                    return false;
            }
            if (ferror(in))
                error = "cannot read " + from.string();
            return !ferror(in);
        },
        &error);
    fclose(in);
    if (!ok)
        Fail(game + ": " + error);
}

// The folder as the system resolves it (links followed), for comparing.
fs::path Resolved(const fs::path& p) {
    std::error_code ec;
    fs::path r = fs::weakly_canonical(p, ec);
    if (ec)
        r = p.lexically_normal();
    return r.has_filename() ? r : r.parent_path();
}

// The path from the folder the tool started in; as given when it cannot be told.
fs::path Absolute(const fs::path& p) {
    std::error_code ec;
    fs::path a = fs::absolute(p, ec);
    return ec ? p : a;
}

// Whether inner is outer or lies inside it.
bool Within(const fs::path& inner, const fs::path& outer) {
    return std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end()).first == outer.end();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fputs("usage: mkgame SAMPLE_DIR OUT_DIR [EXTRA_DIR...]\n", stderr);
        return 2;
    }
    const fs::path outArg = argv[2];
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (i != 2)
            inputs.push_back(Absolute(argv[i]));
    }
    // The game's files written among the sources would replace them (the
    // UTF-8 env.env by its Shift-JIS form) or be packed by the next build.
    const fs::path outResolved = Resolved(Absolute(outArg));
    for (const fs::path& in : inputs) {
        const fs::path inResolved = Resolved(in);
        if (Within(outResolved, inResolved) || Within(inResolved, outResolved)) {
            Fail("the game folder " + outArg.string() + " and the source folder " + in.string() +
                 " lie one in the other");
            return 1;
        }
    }
    std::error_code ec;
    fs::create_directories(outArg / "dat", ec);
    if (ec) {
        Fail("cannot create " + (outArg / "dat").string());
        return 1;
    }
    // Written from inside the game folder, so that dat/ is matched as the
    // game matches it: every output there takes its name in every case.
    fs::current_path(outArg, ec);
    if (ec) {
        Fail("cannot enter " + outArg.string());
        return 1;
    }
    // Archive name -> members, merged over every input folder.
    std::map<std::string, std::vector<ArchiveMember>> archives;
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
                for (const fs::path& file : SortedFiles(e.path()))
                    CopyFile(file, "dat/" + file.filename().string(), outArg.string());
                continue;
            }
            CollectMembers(e.path(), &archives[name]);
        }
    }
    for (auto& [name, members] : archives) {
        std::string error;
        const std::string archive = "dat/" + name + ".dat";
        if (!WriteArchive(archive, members, false, &error))
            Fail((outArg / archive).string() + ": " + error);
    }
    const fs::path& sample = inputs.front();
    for (const char* text : {"env.env", "cursor.txt"}) {
        if (fs::exists(sample / text))
            WriteTextFile(sample / text, text, outArg.string());
    }
    return g_failed ? 1 : 0;
}
