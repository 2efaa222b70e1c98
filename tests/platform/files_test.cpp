#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/files.h"
#include "tests/support/test_env.h"

namespace {

TEST(ResolvePath, IgnoresCaseOnlyUnderDatAndTmp) {
    kutest::TempDir dir;
    dir.Write("tmp/b.bmp", "1");
    dir.Write("dat/Sub/Img.DAT", "2");
    dir.Write("sav/sav00.sav", "3");
    EXPECT_EQ("tmp/b.bmp", plat::ResolvePath("tmp/B.BMP"));
    EXPECT_EQ("dat/Sub/Img.DAT", plat::ResolvePath("dat/sub/img.dat"));
    EXPECT_EQ("tmp/b.bmp", plat::ResolvePath("tmp/b.bmp"));
    // Elsewhere, and for the area folders themselves, names are taken as given.
    EXPECT_EQ("sav/SAV00.sav", plat::ResolvePath("sav/SAV00.sav"));
    EXPECT_EQ("TMP/b.bmp", plat::ResolvePath("TMP/b.bmp"));
    // No match: unchanged.
    EXPECT_EQ("tmp/c.bmp", plat::ResolvePath("tmp/c.bmp"));
    EXPECT_EQ("tmp/none/x", plat::ResolvePath("tmp/none/x"));

    // The file calls go through the lookup.
    EXPECT_TRUE(plat::FileExists("tmp/B.bmp"));
    std::string bytes;
    EXPECT_TRUE(plat::ReadWholeFile("dat/SUB/IMG.dat", &bytes));
    EXPECT_EQ("2", bytes);
    EXPECT_EQ(0, plat::UnlinkFile("tmp/B.BMP"));
    EXPECT_FALSE(dir.Exists("tmp/b.bmp"));
}

TEST(ResolvePath, NeverFoldsTrailBytes) {
    kutest::TempDir dir;
    dir.Write("tmp/\x83\x54.txt", "sa"); // "サ"
    // "フ" (83 74) differs from "サ" only in the case of its trail byte.
    EXPECT_EQ("tmp/\x83\x74.txt", plat::ResolvePath("tmp/\x83\x74.txt"));
    EXPECT_EQ("tmp/\x83\x54.txt", plat::ResolvePath("tmp/\x83\x54.TXT"));
}

TEST(WriteFileAtomic, ReplacesWholeFilesAndLeavesNothingOnFailure) {
    kutest::TempDir dir;
    ASSERT_TRUE(plat::WriteFileAtomic("env.env", "first"));
    ASSERT_TRUE(plat::WriteFileAtomic("env.env", "2nd"));
    EXPECT_EQ("2nd", dir.Read("env.env"));

    EXPECT_FALSE(plat::WriteFileAtomic("missing/env.env", "x"));
    EXPECT_FALSE(dir.Exists("missing"));

    // A folder in the way: the rename fails and the temporary file goes.
    dir.Write("sav/inner", "keep");
    EXPECT_FALSE(plat::WriteFileAtomic("sav", "x"));
    EXPECT_EQ("keep", dir.Read("sav/inner"));
    EXPECT_FALSE(dir.Exists("sav.tmp"));
}

TEST(Files, ListDirReportsFoldersButNotLinksToThem) {
    kutest::TempDir dir;
    dir.Write("d/f", "1");
    dir.Write("d/sub/g", "2");
    ASSERT_EQ(0, symlink("sub", "d/link"));
    std::vector<plat::DirEntry> entries;
    ASSERT_TRUE(plat::ListDir("d", &entries));
    ASSERT_EQ(3u, entries.size());
    for (const auto& e : entries)
        EXPECT_EQ(e.name == "sub", e.isDirectory) << e.name;
    EXPECT_FALSE(plat::ListDir("nothing", &entries));
    EXPECT_EQ(EEXIST, plat::MakeDir("d"));
    EXPECT_EQ(ENOENT, plat::MakeDir("x/y"));
}

} // namespace
