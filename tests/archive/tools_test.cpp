#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "tests/archive/numbered_lines.h"
#include "tests/support/test_env.h"
#include "tools/script_writer.h"

namespace {

struct ToolRun {
    int status;
    std::string out;
};

// The build folder: from the environment, else two levels above this test
// program (build/tests/archive/archive_tests).
std::string BuildDir() {
    if (getenv("KU_BINARY_DIR"))
        return kutest::BinaryDir();
    return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path().parent_path().string();
}

// Runs a built tool (build/tools/<name>) in the current folder, after the
// shell commands in before.
ToolRun Tool(const std::string& name, const std::string& args, const std::string& before = "") {
    std::string cmd = before + BuildDir() + "/tools/" + name + " " + args + " 2>/dev/null";
    ToolRun r{-1, ""};
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), p)) > 0)
        r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string LastLine(const std::string& out) {
    std::string s = out;
    if (!s.empty() && s.back() == '\n')
        s.pop_back();
    size_t nl = s.rfind('\n');
    return nl == std::string::npos ? s : s.substr(nl + 1);
}

TEST(Mkarc, RoundTripsAFolderOfBinaryFilesByteForByte) {
    kutest::TempDir dir;
    std::mt19937 rng(7);
    std::vector<std::string> names = {"empty.bin", "all256.bin", "Random.DAT", "crlf.txt", "big.bin"};
    std::vector<std::string> contents;
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    std::string random(70000, '\0');
    for (char& c : random)
        c = static_cast<char>(rng());
    contents = {"", all, random, "LIST-END\n\r\n", std::string(300000, '\x0A')};
    std::string files;
    for (size_t i = 0; i < names.size(); ++i) {
        dir.Write("in/" + names[i], contents[i]);
        files += " in/" + names[i];
    }
    for (bool listOut : {false, true}) {
        std::string arc = listOut ? "out.arc" : "in.dat";
        std::string pack = listOut ? "pack --list-out " : "pack ";
        pack.append(arc).append(files);
        ASSERT_EQ(Tool("mkarc", pack).status, 0);
        EXPECT_EQ(dir.Exists("out.lst"), listOut);
        std::filesystem::create_directory("x");
        ToolRun r = Tool("mkarc", "extract " + arc + " x");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "result 1\n");
        for (size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(dir.Read("x/" + names[i]), contents[i]) << names[i];
        std::filesystem::remove_all("x");

        r = Tool("mkarc", "list " + arc);
        ASSERT_EQ(r.status, 0);
        EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "empty.bin " + std::string(listOut ? "24 24" : "135 135"));
    }
    EXPECT_EQ(Tool("mkarc", "search in.dat RANDOM.dat").out, "result 1\n");
    EXPECT_EQ(Tool("mkarc", "search in.dat nothing").out, "result 0\n");
    std::filesystem::create_directory("y");
    EXPECT_EQ(Tool("mkarc", "extract in.dat y/ random.dat").out, "result 1\n");
    EXPECT_EQ(dir.Read("y/Random.DAT"), random);
    // A printed failure is a failed exit; a search's "absent" is an answer.
    ToolRun r = Tool("mkarc", "extract in.dat y missing");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(LastLine(r.out), "result 0");
    r = Tool("mkarc", "extract in.dat nowhere all256.bin");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(LastLine(r.out), "result -3");
    EXPECT_EQ(Tool("mkarc", "search in.dat nothing").status, 0);
    EXPECT_EQ(Tool("mkarc", "search in/crlf.txt x").status, 1);

    // A link in the out folder is replaced by the member, its target kept.
    dir.Write("victim", "keep");
    ASSERT_EQ(0, symlink("../victim", "y/all256.bin"));
    EXPECT_EQ(Tool("mkarc", "extract in.dat y all256.bin").status, 0);
    EXPECT_EQ(dir.Read("y/all256.bin"), all);
    EXPECT_EQ(dir.Read("victim"), "keep");
}

TEST(Mkarc, RefusesWhatTheReaderCannotRead) {
    kutest::TempDir dir;
    dir.Write("a/x.bin", "1");
    dir.Write("b/X.BIN", "2");
    dir.Write("c/two words", "3");
    dir.Write("d/LIST-END", "4");
    EXPECT_EQ(Tool("mkarc", "pack o.dat a/x.bin b/X.BIN").status, 1);
    EXPECT_EQ(Tool("mkarc", "pack o.dat 'c/two words'").status, 1);
    EXPECT_EQ(Tool("mkarc", "pack o.dat d/LIST-END").status, 1);
    EXPECT_EQ(Tool("mkarc", "pack o.dat a/missing").status, 1);
    EXPECT_EQ(Tool("mkarc", "pack --list-out noext a/x.bin").status, 1);
    EXPECT_FALSE(dir.Exists("o.dat"));
    EXPECT_NE(Tool("mkarc", "list a/x.bin").status, 0);
}

// No input is lost to an output: one named as an output's temporary file
// would be is packed as it is, and an output that is an input (the archive,
// its list, an extracted member) or whose temporary name is taken is refused
// before anything is written.
TEST(Mkarc, KeepsItsInputs) {
    kutest::TempDir dir;
    dir.Write("a.dat.tmp", "member\r\n");
    dir.Write("b.txt", "b");
    ASSERT_EQ(Tool("mkarc", "pack a.dat a.dat.tmp b.txt").status, 0);
    EXPECT_EQ(dir.Read("a.dat.tmp"), "member\r\n");
    EXPECT_EQ(Tool("mkarc", "extract a.dat x").status, 1); // no folder x yet
    std::filesystem::create_directory("x");
    EXPECT_EQ(Tool("mkarc", "extract a.dat x").status, 0);
    EXPECT_EQ(dir.Read("x/a.dat.tmp"), "member\r\n");

    dir.Write("b.lst", "list");
    EXPECT_EQ(Tool("mkarc", "pack b.dat b.dat b.txt", "cp b.txt b.dat; ").status, 1);
    EXPECT_EQ(Tool("mkarc", "pack --list-out b.dat b.lst").status, 1);
    EXPECT_EQ(Tool("mkarc", "pack --list-out b.lst b.txt").status, 1);
    EXPECT_EQ(dir.Read("b.dat"), "b");
    EXPECT_EQ(dir.Read("b.lst"), "list");

    std::filesystem::create_directory("y");
    dir.Write("y/b.txt.tmp", "keep");
    ToolRun r = Tool("mkarc", "extract a.dat y");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.Read("y/b.txt.tmp"), "keep");
    EXPECT_FALSE(dir.Exists("y/a.dat.tmp"));
    std::filesystem::copy_file("a.dat", "y/b.txt");
    EXPECT_EQ(Tool("mkarc", "extract y/b.txt y b.txt").status, 1);
    EXPECT_EQ(dir.Read("y/b.txt"), dir.Read("a.dat"));
    // The same with no temporary file of an earlier step in the way, and
    // with the member named as a LIST-OUT archive's list.
    std::filesystem::create_directory("z");
    std::filesystem::copy_file("a.dat", "z/b.txt");
    EXPECT_EQ(Tool("mkarc", "extract z/b.txt z").status, 1);
    EXPECT_EQ(dir.Read("z/b.txt"), dir.Read("a.dat"));
    dir.Write("in/l.lst", "member");
    ASSERT_EQ(Tool("mkarc", "pack --list-out l.arc in/l.lst").status, 0);
    const std::string list = dir.Read("l.lst");
    EXPECT_EQ(Tool("mkarc", "extract l.arc .").status, 1);
    EXPECT_EQ(dir.Read("l.lst"), list);
    EXPECT_FALSE(dir.Exists("l.lst.tmp"));
}

// Under dat/ the archive and its list take their names in every case, as
// the engine's reads find them so: no stale spelling is left to be read.
TEST(Mkarc, PackReplacesEverySpellingInDat) {
    kutest::TempDir dir;
    dir.Write("m.txt", "m");
    dir.Write("dat/a.ARC", "stale");
    dir.Write("dat/A.LST", "stale");
    ASSERT_EQ(Tool("mkarc", "pack --list-out dat/A.arc m.txt").status, 0);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator("dat"))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A.arc", "A.lst"}));
    EXPECT_EQ(Tool("mkarc", "search dat/a.arc M.TXT").out, "result 1\n");
}

TEST(Kucode, EncodeWritesACrLfHeaderAndEveryLineReadsBack) {
    kutest::TempDir dir;
    std::string plain = "#CREATE_DATA GRAPHIC \x94\x77\x8C\x69\r\n\r\n\x83\x5C\x82\xA0 text\r\n";
    dir.Write("in.txt", plain);
    ASSERT_EQ(Tool("kucode", "encode in.txt out.spt").status, 0);
    std::string coded = dir.Read("out.spt");
    EXPECT_EQ(coded.substr(0, 24), "KUCODE NLINE-NO-ENCODE\r\n");
    EXPECT_EQ(Tool("kucode", "lines out.spt").out, "#CREATE_DATA GRAPHIC \x94\x77\x8C\x69\n\n\x83\x5C\x82\xA0 text\n");
    EXPECT_EQ(Tool("kucode", "decode out.spt back.txt").out, "result 0\n");
    EXPECT_EQ(dir.Read("back.txt"), plain);

    // The engine's own encoder keeps its LF-only header: the first line is lost to the readers.
    EXPECT_EQ(Tool("kucode", "rawencode --no-encode in.txt raw.spt").out, "result 0\n");
    EXPECT_EQ(dir.Read("raw.spt").substr(0, 23), "KUCODE NLINE-NO-ENCODE\n");
    EXPECT_EQ(Tool("kucode", "lines raw.spt").out, "\n\x83\x5C\x82\xA0 text\n");
    EXPECT_EQ(Tool("kucode", "rawencode in.txt raw2.spt").out, "result 0\n");
    EXPECT_EQ(dir.Read("raw2.spt").substr(0, 20), "KUCODE NLINE-ENCODE\n");
    ToolRun bad = Tool("kucode", "decode in.txt bad.txt");
    EXPECT_EQ(bad.out, "result -1\n");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(Tool("kucode", "rawencode missing.txt x.spt").status, 1);
    EXPECT_EQ(Tool("kucode", "decode out.spt back.txt").status, 0);
}

TEST(Kucode, EncodeRefusesTextTheReadersCannotReturn) {
    kutest::TempDir dir;
    const std::pair<const char*, std::string> cases[] = {
        {"ff", std::string("a\xFF\r\n")},
        {"f2f5", std::string("a\xF2\xF5\r\n")},
        {"nocrlf", std::string("a\r\nlast")},
        {"long", std::string(510, 'a') + "\r\n"},
        {"header", std::string("\xB4\xAA\xBC\xB0\xBB\xBA\xDFrest\r\n")}, // scrambles to "KUCODE rest"
        {"header2", std::string("ok\r\n\xB4\xAA\xBC\xB0\xBB\xBA\r\n")},
    };
    for (const auto& [name, text] : cases) {
        dir.Write(std::string(name) + ".txt", text);
        EXPECT_EQ(Tool("kucode", std::string("encode ") + name + ".txt " + name + ".spt").status, 1) << name;
        EXPECT_FALSE(dir.Exists(std::string(name) + ".spt")) << name;
    }
    // The longest readable line and lone line breaks are fine.
    dir.Write("ok.txt", std::string(509, 'a') + "\r\n" + "x\ry\n\xF2\r\n");
    ASSERT_EQ(Tool("kucode", "encode ok.txt ok.spt").status, 0);
    EXPECT_EQ(Tool("kucode", "lines ok.spt").out, std::string(509, 'a') + "\n" + "x\ry\n\xF2\n");
}

// Every writing command on a disk that fills up after 512 bytes (a file size
// limit, its signal ignored): a failure that leaves neither a cut file nor a
// temporary one, and the file it would have replaced as it was.
const char* const kWritingCommands[] = {"encode in.txt", "rawencode in.txt", "rawencode --no-encode in.txt",
                                        "decode whole.spt"};

TEST(Kucode, AFullDiskLeavesNoCutFile) {
    kutest::TempDir dir;
    dir.Write("in.txt", NumberedLines(4000));
    ASSERT_EQ(Tool("kucode", "encode in.txt whole.spt").status, 0);
    const std::string full = "trap '' XFSZ; ulimit -f 1; ";
    for (const char* cmd : kWritingCommands) {
        ToolRun fresh = Tool("kucode", std::string(cmd) + " new.out", full);
        EXPECT_EQ(fresh.status, 1) << cmd;
        EXPECT_FALSE(dir.Exists("new.out")) << cmd;
        EXPECT_FALSE(dir.Exists("new.out.tmp")) << cmd;
        dir.Write("old.out", "before");
        EXPECT_EQ(Tool("kucode", std::string(cmd) + " old.out", full).status, 1) << cmd;
        EXPECT_EQ(dir.Read("old.out"), "before") << cmd;
        EXPECT_FALSE(dir.Exists("old.out.tmp")) << cmd;
    }
    EXPECT_EQ(Tool("kucode", "rawencode in.txt new.out", full).out, "result -1\n");
    // A text that fits in the write buffer meets the full disk only when the
    // file is closed.
    dir.Write("short.txt", NumberedLines(200));
    EXPECT_EQ(Tool("kucode", "encode short.txt new.out", full).status, 1);
    EXPECT_FALSE(dir.Exists("new.out"));
    EXPECT_FALSE(dir.Exists("new.out.tmp"));
    // A failure before any output leaves the old file too.
    EXPECT_EQ(Tool("kucode", "decode missing.spt old.out").status, 1);
    EXPECT_EQ(dir.Read("old.out"), "before");
}

// A whole output that cannot be renamed into place (a folder holds its
// name) is a failure: no temporary file is left and the folder stays.
TEST(Kucode, AFailedRenameIntoPlaceIsAFailure) {
    kutest::TempDir dir;
    dir.Write("in.txt", "text\r\n");
    ASSERT_EQ(Tool("kucode", "encode in.txt whole.spt").status, 0);
    dir.Write("out/keep", "k");
    for (const char* cmd : kWritingCommands) {
        EXPECT_EQ(Tool("kucode", std::string(cmd) + " out").status, 1) << cmd;
        EXPECT_FALSE(dir.Exists("out.tmp")) << cmd;
        EXPECT_EQ(dir.Read("out/keep"), "k") << cmd;
    }
}

// An input named as the output's temporary file would be (in any letter
// case where the engine matches names so) is read and kept; an output that
// is the input itself, by path or by link, is refused before anything runs.
TEST(Kucode, KeepsItsInput) {
    kutest::TempDir dir;
    const std::string plain = "text\r\n";
    dir.Write("x.tmp", plain);
    EXPECT_EQ(Tool("kucode", "decode x.tmp x").status, 1); // plain text is no coded file
    EXPECT_FALSE(dir.Exists("x"));
    for (const char* cmd : {"encode", "rawencode"}) {
        ASSERT_EQ(Tool("kucode", std::string(cmd) + " x.tmp x").status, 0) << cmd;
        EXPECT_EQ(Tool("kucode", "decode x x.txt").status, 0) << cmd;
        EXPECT_EQ(dir.Read("x.txt"), plain) << cmd;
    }
    EXPECT_EQ(dir.Read("x.tmp"), plain);
    dir.Write("dat/X.TMP", plain);
    EXPECT_EQ(Tool("kucode", "rawencode dat/X.TMP dat/x").status, 0);
    EXPECT_EQ(dir.Read("dat/X.TMP"), plain);

    ASSERT_EQ(0, link("x.tmp", "same"));
    for (const char* cmd : {"encode x.tmp ./x.tmp", "rawencode x.tmp same", "decode same x.tmp"}) {
        ToolRun r = Tool("kucode", cmd);
        EXPECT_EQ(r.status, 1) << cmd;
        EXPECT_EQ(r.out, "") << cmd;
    }
    EXPECT_EQ(dir.Read("x.tmp"), plain);
    EXPECT_FALSE(dir.Exists("x.tmp1"));
}

// Under dat/ an output replaces every spelling of its name, the one the
// engine would read among them; an input among those spellings is refused.
TEST(Kucode, AnOutputInDatTakesItsNameInEveryCase) {
    kutest::TempDir dir;
    dir.Write("old.txt", "old\r\n");
    dir.Write("new.txt", "new\r\n");
    std::filesystem::create_directory("dat");
    ASSERT_EQ(Tool("kucode", "encode old.txt dat/First.spt").status, 0);
    ASSERT_EQ(Tool("kucode", "encode new.txt dat/FIRST.SPT").status, 0);
    EXPECT_FALSE(dir.Exists("dat/First.spt"));
    EXPECT_EQ(Tool("kucode", "lines dat/first.spt").out, "new\n");

    dir.Write("dat/a.txt", "input\r\n");
    dir.Write("dat/A.TXT", "stale");
    EXPECT_EQ(Tool("kucode", "encode dat/a.txt dat/A.TXT").status, 1);
    EXPECT_EQ(dir.Read("dat/a.txt"), "input\r\n");
}

// An output that is no regular file is left as it is: a link to a device
// (as /dev/stdout is one) or to a file, a FIFO, a folder of another case.
TEST(Kucode, RefusesAnOutputThatIsNoRegularFile) {
    kutest::TempDir dir;
    dir.Write("in.txt", "text\r\n");
    dir.Write("target", "keep");
    ASSERT_EQ(Tool("kucode", "encode in.txt whole.spt").status, 0);
    ASSERT_EQ(0, symlink("/dev/null", "device"));
    ASSERT_EQ(0, symlink("target", "file"));
    ASSERT_EQ(0, mkfifo("fifo", 0644));
    dir.Write("dat/OUT/keep", "k");
    for (const char* cmd : kWritingCommands) {
        for (const char* out : {"device", "file", "fifo", "dat/out"}) {
            ToolRun r = Tool("kucode", std::string(cmd) + " " + out);
            EXPECT_EQ(r.status, 1) << cmd << " " << out;
            EXPECT_EQ(r.out, "") << cmd << " " << out;
        }
    }
    struct stat st {};
    EXPECT_TRUE(lstat("device", &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_TRUE(lstat("file", &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_TRUE(lstat("fifo", &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_EQ(dir.Read("target"), "keep");
    EXPECT_EQ(dir.Read("dat/OUT/keep"), "k");
    EXPECT_FALSE(dir.Exists("dat/out"));
}

TEST(ScriptWriter, NamesTheLineAtFault) {
    EXPECT_EQ(CheckScriptText("ok\r\nbad\xFF\r\n"), "line 2: holds the byte 0xFF (stored as NUL, it ends the line)");
    EXPECT_EQ(CheckScriptText(""), "");
    EXPECT_EQ(CheckScriptText(std::string(1021, 'a') + "\r\n", 1023), "");
    EXPECT_NE(CheckScriptText(std::string(1022, 'a') + "\r\n", 1023), "");
}

// mkgame writes its game folder only: one that is, holds or lies in a
// source folder is refused before anything is written; in the game's dat/
// each output replaces every spelling of its name.
TEST(Mkgame, WritesOnlyItsGameFolder) {
    kutest::TempDir dir;
    const std::string env = "TITLE=\xE3\x81\x82\n";
    dir.Write("s/env.env", env);
    dir.Write("s/Scenario/Init.txt", "text\n");
    dir.Write("x/dat/Movie.mpg", "movie");
    for (const char* out : {"s", "s/", "s/out", ".", "x/dat"}) {
        EXPECT_EQ(Tool("mkgame", std::string("s ") + out + " x").status, 1) << out;
        EXPECT_FALSE(dir.Exists("s/dat")) << out;
        EXPECT_FALSE(dir.Exists("s/out")) << out;
        EXPECT_FALSE(dir.Exists("dat")) << out;
        EXPECT_FALSE(dir.Exists("x/dat/dat")) << out;
        EXPECT_EQ(dir.Read("s/env.env"), env) << out;
    }
    dir.Write("g/dat/scenario.DAT", "stale");
    dir.Write("g/dat/MOVIE.MPG", "stale");
    ASSERT_EQ(Tool("mkgame", "s g x").status, 0);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator("g/dat"))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Movie.mpg", "Scenario.dat"}));
    EXPECT_EQ(dir.Read("g/dat/Movie.mpg"), "movie");
    EXPECT_EQ(dir.Read("g/env.env"), "TITLE=\x82\xA0\r\n");
}

TEST(SampleGame, BuiltFolderHoldsReadableArchives) {
    std::string game = BuildDir() + "/game";
    if (!std::filesystem::exists(game + "/dat/Scenario.dat"))
        GTEST_SKIP() << "sample game not built";
    kutest::TempDir dir;
    std::filesystem::create_directory("s");
    std::string out = Tool("mkarc", "extract " + game + "/dat/Scenario.dat s Init.spt").out;
    EXPECT_EQ(out, "result 1\n");
    std::string lines = Tool("kucode", "lines s/Init.spt").out;
    EXPECT_NE(lines.find("#FIRST_EXE_SCR Start.spt\n"), std::string::npos);
}

} // namespace
