#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "engine/combine_file.h"
#include "platform/local_time_test_hooks.h"
#include "tests/support/test_env.h"
#include "tools/archive_writer.h"

namespace {

// A LIST-IN archive built by hand: member lines as given, then the data.
std::string HandArchive(const std::string& lines, const std::string& data = "") {
    return "FILECMB-DATA-LIST-IN\n" + lines + data;
}

void Pack(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members,
          bool listOut = false) {
    std::vector<ArchiveMember> list;
    list.reserve(members.size());
    for (const auto& [name, bytes] : members)
        list.push_back(ArchiveMember{name, "", bytes});
    std::string error;
    ASSERT_TRUE(WriteArchive(path, list, listOut, &error)) << error;
}

class CombineFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("tmp/.keep", "");
        dir_.Write("dat/.keep", "");
    }
    kutest::TempDir dir_;
    kutest::DebugCapture log_;
};

TEST_F(CombineFileTest, ExtractsOneMemberByNameIgnoringCase) {
    Pack("dat/Img.dat", {{"a.bmp", "AAA"}, {"b.bmp", std::string("B\0B\r\n", 5)}, {"c.bmp", ""}});
    EXPECT_EQ(CheckCombineFileType("dat/Img.dat"), 1);
    EXPECT_EQ(FileDiv("dat/Img.dat", "tmp/", "B.BMP"), 1);
    // Named as the list spells it.
    EXPECT_TRUE(dir_.Exists("tmp/b.bmp"));
    EXPECT_EQ(dir_.Read("tmp/b.bmp"), std::string("B\0B\r\n", 5));
    EXPECT_EQ(FileDiv("dat/Img.dat", "tmp/", "c.bmp"), 1);
    EXPECT_EQ(dir_.Read("tmp/c.bmp"), "");
    EXPECT_EQ(SearchCombineFile("dat/Img.dat", "A.bmp"), 1);
    EXPECT_EQ(SearchCombineFile("dat/Img.dat", "d.bmp"), 0);
    EXPECT_TRUE(log_.Contains("Error: 該当ファイル無し\n"));
    EXPECT_EQ(FileDiv("dat/Img.dat", "tmp/", "d.bmp"), 0);
    EXPECT_EQ(FileDiv("dat/img.DAT", "tmp/", "a.bmp"), 1); // dat/ is looked up ignoring case
}

TEST_F(CombineFileTest, ExtractAllWritesEveryMember) {
    Pack("dat/SE.dat", {{"se01.wav", "one"}, {"se02.wav", "two"}});
    EXPECT_EQ(FileDiv("dat/SE.dat", "tmp/", nullptr), 1);
    EXPECT_EQ(dir_.Read("tmp/se01.wav"), "one");
    EXPECT_EQ(dir_.Read("tmp/se02.wav"), "two");
    // Without an out directory the member name alone is the path.
    EXPECT_EQ(FileDiv("dat/SE.dat", nullptr, "se02.wav"), 1);
    EXPECT_EQ(dir_.Read("se02.wav"), "two");
}

TEST_F(CombineFileTest, ListOutReadsTheListBeside) {
    Pack("dat/Img.dat", {{"logo.bmp", "LOGO"}}, true);
    EXPECT_TRUE(dir_.Exists("dat/Img.lst"));
    EXPECT_EQ(CheckCombineFileType("dat/Img.dat"), 2);
    EXPECT_EQ(FileDiv("dat/Img.dat", "tmp/", "logo.bmp"), 1);
    EXPECT_EQ(dir_.Read("tmp/logo.bmp"), "LOGO");

    dir_.Write("dat/NoDot", "FILECMB-DATA-LIST-OUT\n\r\nxx");
    EXPECT_EQ(FileDiv("dat/NoDot", "tmp/", "logo.bmp"), -2);
    EXPECT_EQ(log_.lines().back(), "パスから拡張子が検出されなかった\n");
}

TEST_F(CombineFileTest, TypeCheckResults) {
    dir_.Write("crlf.dat", "FILECMB-DATA-LIST-IN\r\nx 0 1\r\nLIST-END\n");
    EXPECT_EQ(FileDiv("crlf.dat", "tmp/", "x"), -2);
    EXPECT_EQ(log_.all(), "Error: 結合ファイルではありません\nError: 結合ファイルではない\n");

    log_.Clear();
    dir_.Write("empty.dat", "");
    EXPECT_EQ(CheckCombineFileType("empty.dat"), 0);
    EXPECT_EQ(log_.all(), "Error: 結合ファイルではない\n");
    EXPECT_EQ(FileDiv("empty.dat", "tmp/", "x"), -2);

    log_.Clear();
    EXPECT_EQ(CheckCombineFileType("missing.dat"), -1);
    EXPECT_EQ(log_.all(), "Error: 結合ファイルが読み込みオープンできない\n");
    EXPECT_EQ(FileDiv("missing.dat", "tmp/", "x"), -2);

    dir_.Write("other.dat", "FILECMB-DATA-LIST-XX\n");
    EXPECT_EQ(CheckCombineFileType("other.dat"), 0);
    dir_.Write("other2.dat", "NOTANARCHIVE\n");
    EXPECT_EQ(CheckCombineFileType("other2.dat"), 0);

    // The header is read up to its LF: a short archive without any CR LF is
    // still an archive.
    dir_.Write("small.dat", HandArchive("m 38 39\nLIST-END\n", "Z"));
    EXPECT_EQ(CheckCombineFileType("small.dat"), 1);
    EXPECT_EQ(FileDiv("small.dat", "tmp/", "m"), 1);
    EXPECT_EQ(dir_.Read("tmp/m"), "Z");
}

TEST_F(CombineFileTest, ListWithoutExactEndIsUnreadable) {
    const char* tails[] = {"", "LIST-END", "LIST-END\r\n"};
    for (const char* tail : tails) {
        log_.Clear();
        dir_.Write("a.dat", HandArchive(std::string("x 0 1\n") + tail));
        EXPECT_EQ(FileDiv("a.dat", "tmp/", "x"), -1) << tail;
        EXPECT_EQ(log_.lines().back(), "Error: ファイルの終端: 結合ファイルでは無い\n") << tail;
    }
    // The list file of a LIST-OUT archive holding nothing at all.
    log_.Clear();
    dir_.Write("b.dat", "FILECMB-DATA-LIST-OUT\n\r\n");
    dir_.Write("b.lst", "");
    EXPECT_EQ(FileDiv("b.dat", "tmp/", "x"), -1);
    EXPECT_EQ(log_.lines().back(), "Error: 結合ファイルでは無い\n");
    log_.Clear();
    dir_.Write("c.dat", "FILECMB-DATA-LIST-OUT\n\r\n");
    EXPECT_EQ(FileDiv("c.dat", "tmp/", "x"), -1);
    EXPECT_EQ(log_.lines().back(), "Error: リストを読み込みオープンできない\n");
}

TEST_F(CombineFileTest, OversizedFieldsMakeTheListUnreadable) {
    std::string longName(260, 'n');
    dir_.Write("a.dat", HandArchive(longName + " 0 1\nLIST-END\n"));
    EXPECT_EQ(FileDiv("a.dat", "tmp/", "n"), -1);
    dir_.Write("b.dat", HandArchive("x 1234567890 1\nLIST-END\n"));
    EXPECT_EQ(FileDiv("b.dat", "tmp/", "x"), -1);
    dir_.Write("c.dat", HandArchive("x 0 " + std::string(600, '9') + "\nLIST-END\n"));
    EXPECT_EQ(FileDiv("c.dat", "tmp/", "x"), -1);
    EXPECT_TRUE(log_.Contains("Error: リストの行が不正\n"));

    // 259 bytes and 9 digits are still fine.
    std::string name259(259, 'n');
    dir_.Write("d.dat", HandArchive(name259 + " 000000000 000000001\nLIST-END\n"));
    EXPECT_EQ(SearchCombineFile("d.dat", name259.c_str()), 1);
    EXPECT_EQ(g_CombineFileList[0].end, 1u);
}

TEST_F(CombineFileTest, BadOffsetsFailWithoutLeavingAFile) {
    dir_.Write("a.dat", HandArchive("x 40 4000\nLIST-END\n", "data"));
    EXPECT_EQ(FileDiv("a.dat", "tmp/", "x"), -1);
    EXPECT_TRUE(log_.Contains("Error: 読み込み終了位置が不正\n"));
    EXPECT_FALSE(dir_.Exists("tmp/x"));

    log_.Clear();
    dir_.Write("b.dat", HandArchive("x 5 2\nLIST-END\n", "data"));
    EXPECT_EQ(FileDiv("b.dat", "tmp/", "x"), -1);
    EXPECT_TRUE(log_.Contains("Error: 読み込み開始位置と終了位置の指定が不正\n"));
    EXPECT_FALSE(dir_.Exists("tmp/x"));

    log_.Clear();
    uint32_t size = 0;
    EXPECT_EQ(ReadCombineFileData("a.dat", nullptr, 0, 1), nullptr);
    EXPECT_TRUE(log_.Contains("Error: サイズのポインタが不正\n"));
    EXPECT_EQ(ReadCombineFileData("missing.dat", &size, 0, 1), nullptr);
    EXPECT_TRUE(log_.Contains("Error: ファイルを読み込みオープンできない\n"));
    dir_.Write("zero.dat", "");
    EXPECT_EQ(ReadCombineFileData("zero.dat", &size, 0, 0), nullptr);
    EXPECT_TRUE(log_.Contains("Error: ファイルサイズが得られない\n"));
    auto block = ReadCombineFileData("a.dat", &size, 0, 13);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(size, 13u);
    EXPECT_EQ(std::string(block->begin(), block->end()), "FILECMB-DATA-");
}

// An extracted member replaces what held its name only once it is whole:
// a planted link (in any letter case) is replaced, never written through, and
// a damaged member leaves the file already there.
TEST_F(CombineFileTest, ExtractionReplacesOnlyByACompleteFileAndFollowsNoLink) {
    dir_.Write("victim", "keep");
    ASSERT_EQ(0, symlink("../victim", "tmp/LOGO.BMP"));
    ASSERT_EQ(0, symlink("../victim", "tmp/logo.bmp.tmp"));
    Pack("dat/Img.dat", {{"logo.bmp", "picture"}});
    EXPECT_EQ(FileDiv("dat/Img.dat", "tmp/", "Logo.bmp"), 1);
    EXPECT_EQ(dir_.Read("tmp/logo.bmp"), "picture");
    EXPECT_FALSE(dir_.Exists("tmp/LOGO.BMP"));
    EXPECT_FALSE(dir_.Exists("tmp/logo.bmp.tmp"));
    EXPECT_EQ(dir_.Read("victim"), "keep");

    dir_.Write("tmp/x", "old copy");
    dir_.Write("a.dat", HandArchive("x 40 4000\nLIST-END\n", "data"));
    EXPECT_EQ(FileDiv("a.dat", "tmp/", "x"), -1);
    EXPECT_EQ(dir_.Read("tmp/x"), "old copy");
    EXPECT_FALSE(dir_.Exists("tmp/x.tmp"));
}

// Archives that are FIFOs or devices are refused at once as unopenable.
TEST_F(CombineFileTest, SpecialFilesAreRefusedWithoutBlocking) {
    ASSERT_EQ(0, mkfifo("dat/Img.dat", 0644));
    ASSERT_EQ(0, symlink("/dev/zero", "dat/SE.dat"));
    for (const char* archive : {"dat/Img.dat", "dat/SE.dat"}) {
        log_.Clear();
        EXPECT_EQ(FileDiv(archive, "tmp/", "x"), -2) << archive;
        EXPECT_TRUE(log_.Contains("Error: 結合ファイルが読み込みオープンできない\n")) << archive;
    }
}

TEST_F(CombineFileTest, NamesThatLeaveTheOutDirectoryAreRefused) {
    // "\x83/" : a lead byte does not make the '/' after it part of a character.
    const char* names[] = {"../evil", "..", ".", "/tmp/evil", "sub/evil", "sub\\evil", "\x83/..", "\x83/evil"};
    for (const char* name : names) {
        log_.Clear();
        dir_.Write("a.dat", HandArchive(std::string(name) + " 0 4\nLIST-END\n"));
        EXPECT_EQ(FileDiv("a.dat", "tmp/", name), -1) << name;
        EXPECT_EQ(log_.lines().back(), "Error: 復号ファイルを書き込みオープンできない\n");
        EXPECT_EQ(FileDiv("a.dat", "tmp/", nullptr), -1) << name;
    }
    EXPECT_FALSE(dir_.Exists("evil"));
    EXPECT_FALSE(dir_.Exists("/tmp/evil"));
    // 0x5C as the trail byte of a Shift-JIS character is part of the name.
    std::string so = "\x83\x5C.txt"; // "ソ.txt"
    dir_.Write("b.dat", HandArchive(so + " 0 4\nLIST-END\n"));
    EXPECT_EQ(FileDiv("b.dat", "tmp/", so.c_str()), 1);
    EXPECT_EQ(dir_.Read("tmp/" + so), "FILE");
    // The whole output path must stay below 260 bytes.
    std::string name250(250, 'n');
    dir_.Write("c.dat", HandArchive(name250 + " 0 4\nLIST-END\n"));
    EXPECT_EQ(FileDiv("c.dat", "tmp/0123456789/", name250.c_str()), -1);
    EXPECT_EQ(FileDiv("c.dat", "tmp/", name250.c_str()), 1);
}

TEST_F(CombineFileTest, UncreatableOutputIsMinusThree) {
    Pack("a.dat", {{"x.bmp", "X"}});
    EXPECT_EQ(FileDiv("a.dat", "nodir/", "x.bmp"), -3);
    EXPECT_EQ(log_.lines().back(), "Error: 復号ファイルを書き込みオープンできない\n");
}

// Another copy of the game in the same folder removes tmp/ when it quits; a
// load afterwards makes it again, and a link put in its place is replaced.
TEST_F(CombineFileTest, AVanishedWorkFolderIsMadeAgainWithoutFollowingALink) {
    Pack("dat/Img.dat", {{"bg.bmp", "picture"}});
    std::filesystem::remove_all("tmp");
    plat::SetLocalTimeSource([] {
        plat::LocalTime t;
        t.year = 2026, t.month = 3, t.day = 4, t.hour = 5, t.minute = 6, t.second = 7;
        return t;
    });
    EXPECT_EQ(FileDiv("dat/Img.dat", "tmp/", "bg.bmp"), 1);
    plat::SetLocalTimeSource(nullptr);
    EXPECT_EQ(log_.lines().back(), "[2026/03/04 05:06:07] Warn: <FileDiv> 作業ディレクトリ tmp/ が無くなっていたので作り直した\n");
    EXPECT_EQ(dir_.Read("tmp/bg.bmp"), "picture");
    std::filesystem::remove_all("tmp");
    std::filesystem::create_directory("elsewhere");
    ASSERT_EQ(0, symlink("elsewhere", "tmp"));
    EXPECT_EQ(FileDiv("dat/Img.dat", "tmp/", "bg.bmp"), 1);
    EXPECT_FALSE(std::filesystem::is_symlink("tmp"));
    EXPECT_EQ(dir_.Read("tmp/bg.bmp"), "picture");
    EXPECT_TRUE(std::filesystem::is_empty("elsewhere"));
}

TEST_F(CombineFileTest, ShorterListLeavesNoRowsOfTheLongerOne) {
    std::vector<std::pair<std::string, std::string>> twenty, ten;
    for (int i = 0; i < 20; ++i)
        twenty.push_back({"m" + std::to_string(i), "x"});
    for (int i = 0; i < 10; ++i)
        ten.push_back({"m" + std::to_string(i), "y"});
    Pack("a.dat", twenty);
    Pack("b.dat", ten);
    EXPECT_EQ(SearchCombineFile("a.dat", "m15"), 1);
    EXPECT_EQ(SearchCombineFile("b.dat", "m15"), 0);
    EXPECT_EQ(g_CombineFileList[10].name[0], '\0');
    EXPECT_EQ(log_.lines().back(), "Error: 該当ファイル無し\n");
}

TEST_F(CombineFileTest, MoreThan4096RowsStoresTheFirst4096) {
    std::string lines;
    for (int i = 0; i < 4097; ++i)
        lines += "m" + std::to_string(i) + " 0 1\n";
    dir_.Write("a.dat", HandArchive(lines + "LIST-END\n"));
    EXPECT_EQ(SearchCombineFile("a.dat", "absent"), 0);
    EXPECT_EQ(log_.lines().back(), "Error: リスト最大数をオーバー\n");
    EXPECT_EQ(SearchCombineFile("a.dat", "m4095"), 1);
    EXPECT_EQ(SearchCombineFile("a.dat", "m4096"), 0);
    EXPECT_EQ(FileDiv("a.dat", "tmp/", "m4095"), 1);
    log_.Clear();
    EXPECT_EQ(FileDiv("a.dat", "tmp/", nullptr), 0);
    EXPECT_EQ(log_.lines().back(), "Error: リスト最大数をオーバー\n");
}

TEST_F(CombineFileTest, SearchArguments) {
    EXPECT_EQ(SearchCombineFile(nullptr, "x"), -1);
    EXPECT_EQ(log_.lines().back(), "Error: 結合ファイルパスの指定が不正\n");
    EXPECT_EQ(SearchCombineFile("a.dat", nullptr), -1);
    EXPECT_EQ(log_.lines().back(), "Error: 検索ファイルパスの指定が不正\n");
}

TEST_F(CombineFileTest, TruncatedArchiveFailsCleanly) {
    std::vector<std::pair<std::string, std::string>> members = {{"a", std::string(1000, 'a')},
                                                                {"b", std::string(1000, 'b')}};
    Pack("full.dat", members);
    std::string bytes = dir_.Read("full.dat");
    for (size_t cut : {size_t{0}, size_t{10}, size_t{21}, size_t{30}, bytes.size() - 1000, bytes.size() - 1}) {
        dir_.Write("cut.dat", bytes.substr(0, cut));
        int r = FileDiv("cut.dat", "tmp/", "b");
        EXPECT_LT(r, 1) << cut;
    }
    EXPECT_FALSE(dir_.Exists("tmp/b"));
    // Cut inside member b only: a is still whole.
    dir_.Write("cut.dat", bytes.substr(0, bytes.size() - 1));
    EXPECT_EQ(FileDiv("cut.dat", "tmp/", "a"), 1);
}

TEST_F(CombineFileTest, DeleteDirectoryFiles) {
    dir_.Write("w/a", "1");
    dir_.Write("w/b", "2");
    dir_.Write("w/sub/c", "3");
    DeleteDirectoryFiles("w/", "a");
    EXPECT_FALSE(dir_.Exists("w/a"));
    DeleteDirectoryFiles("w/", nullptr);
    EXPECT_FALSE(dir_.Exists("w/b"));
    EXPECT_TRUE(dir_.Exists("w/sub/c"));
    std::filesystem::create_directory("empty");
    DeleteDirectoryFiles("empty/", nullptr);
    EXPECT_FALSE(log_.Contains("Safe"));
}

} // namespace
