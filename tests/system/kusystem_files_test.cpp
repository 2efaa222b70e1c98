#include <sys/stat.h>
#include <unistd.h>

#include "tests/system/system_fixture.h"

namespace {

using kutest::LockedFiles;
using kutest::SystemTest;

std::string ListPath(KUSYSTEM& sys, int index) {
    char buf[KUSYSTEM::kPathSize];
    return sys.GetRemoveFileListPath(index, buf, sizeof(buf)) ? buf : "<none>";
}

TEST_F(SystemTest, InitializeMakesTmpAndDeletesOldTrace) {
    EXPECT_TRUE(dir.Exists("tmp"));
    dir.Write("trace.txt", "old\n");
    kutest::DebugCapture cap;
    KUSYSTEM other;
    EXPECT_EQ(0, other.Initialize(nullptr, 1)); // tmp/ is already there
    EXPECT_TRUE(cap.Contains("Message: <KUSYTEM::MakeDirectory> 指定ディレクトリは既に作成されています\n"));
    EXPECT_FALSE(dir.Exists("trace.txt"));
}

TEST_F(SystemTest, LockedFileIsQueuedOnceAndDeletedWhenFreed) {
    dir.Write("tmp/a.bmp", "x");
    LockedFiles().insert("tmp/a.bmp");
    EXPECT_EQ(0, sys.RemoveFile("tmp/", "a.bmp", 0));
    EXPECT_EQ(0, sys.RemoveFile("tmp", "a.bmp", 0));
    EXPECT_EQ(1, sys.AddRemoveFileList("TMP/A.BMP")); // same path ignoring case
    EXPECT_EQ("tmp/a.bmp", ListPath(sys, 0));
    EXPECT_EQ("", ListPath(sys, 1));

    sys.Update(nullptr); // still locked: stays
    EXPECT_EQ("tmp/a.bmp", ListPath(sys, 0));
    LockedFiles().clear();
    sys.Update(nullptr);
    EXPECT_EQ("", ListPath(sys, 0));
    EXPECT_FALSE(dir.Exists("tmp/a.bmp"));
}

TEST_F(SystemTest, VanishedQueuedFilesAreDroppedAndTheListStaysPacked) {
    for (const char* name : {"a", "b", "c"}) {
        dir.Write(std::string("tmp/") + name, "x");
        LockedFiles().insert(std::string("tmp/") + name);
        sys.RemoveFile("tmp/", name, 0);
    }
    unlink("tmp/a"); // gone by other means
    LockedFiles().erase("tmp/c");
    sys.Update(nullptr);
    EXPECT_EQ("tmp/b", ListPath(sys, 0));
    EXPECT_EQ("", ListPath(sys, 1));
    EXPECT_TRUE(dir.Exists("tmp/b"));
}

TEST_F(SystemTest, FullRemoveListRefusesThe257thPath) {
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(1, sys.AddRemoveFileList(("tmp/f" + std::to_string(i)).c_str()));
    EXPECT_EQ(1, sys.AddRemoveFileList("tmp/F7")); // already listed
    kutest::DebugCapture cap;
    EXPECT_EQ(0, sys.AddRemoveFileList("tmp/new"));
    EXPECT_EQ(std::vector<std::string>{"Error: <KUSYSTEM::AddRemoveFileList> 空き領域がありませんでした\n"},
              cap.lines());
    EXPECT_EQ("tmp/f255", ListPath(sys, 255));

    cap.Clear();
    EXPECT_EQ(1, sys.DelRemoveFileList("tmp/f0"));
    EXPECT_EQ("tmp/f1", ListPath(sys, 0));
    EXPECT_EQ("", ListPath(sys, 255));
    EXPECT_EQ(0, sys.DelRemoveFileList("tmp/f0"));
    EXPECT_TRUE(cap.Contains("Error: <KUSYSTEM::DelRemoveFileList> 指定ファイルパスが見つかりませんでした\n"));
    EXPECT_EQ("<none>", ListPath(sys, 256));
    EXPECT_EQ("<none>", ListPath(sys, -1));
}

TEST_F(SystemTest, OverlongPathsAreRefusedNotQueued) {
    std::string name(300, 'n');
    kutest::DebugCapture cap;
    EXPECT_EQ(0, sys.RemoveFile("tmp/", name.c_str(), 0));
    EXPECT_EQ("", ListPath(sys, 0));
    EXPECT_EQ(0, sys.AddRemoveFileList(name.c_str()));
    char buf[KUSYSTEM::kPathSize] = "keep";
    EXPECT_EQ(nullptr, sys.GetTempFilePath(name.c_str(), buf));
    EXPECT_STREQ("", buf);
    EXPECT_STREQ("tmp/x.bmp", sys.GetTempFilePath("x.bmp", buf));
}

TEST_F(SystemTest, FolderModeEmptiesRecursivelyWithoutFollowingLinks) {
    dir.Write("tmp/a", "1");
    dir.Write("tmp/sub/b", "2");
    dir.Write("outside/keep", "3");
    EXPECT_EQ(0, sys.RemoveFile("tmp/", nullptr, 0)); // files only
    EXPECT_FALSE(dir.Exists("tmp/a"));
    EXPECT_TRUE(dir.Exists("tmp/sub/b"));

    ASSERT_EQ(0, symlink("../../outside", "tmp/sub/link"));

    EXPECT_EQ(0, sys.RemoveFile("tmp", nullptr, 1));
    EXPECT_FALSE(dir.Exists("tmp/sub"));
    EXPECT_TRUE(dir.Exists("tmp")); // the folder itself stays
    EXPECT_TRUE(dir.Exists("outside/keep"));

    kutest::DebugCapture cap;
    EXPECT_EQ(0, sys.RemoveFile("missing/", nullptr, 1));
    EXPECT_EQ(
        std::vector<std::string>{
            "[2024/03/07 09:05:02] Error: <KUSYSTEM::RemoveFile> 検索ファイルハンドルの取得に失敗\n"},
        cap.lines());
}

// What another file system mounted under tmp/ holds is not the program's:
// the walk neither enters nor removes the mount point.
TEST_F(SystemTest, FolderModeLeavesMountPointsAlone) {
    dir.Write("tmp/a", "1");
    dir.Write("tmp/sub/b", "2");
    dir.Write("tmp/mnt/keep", "3");
    {
        const kutest::MountPointScope mounted("tmp/mnt");
        EXPECT_EQ(0, sys.RemoveFile("tmp/", nullptr, 1));
    }
    EXPECT_FALSE(dir.Exists("tmp/a"));
    EXPECT_FALSE(dir.Exists("tmp/sub"));
    EXPECT_EQ("3", dir.Read("tmp/mnt/keep"));
}

// What was moved out of a copy's way and still cannot go (here a mount point
// inside) stays with a line, but the walk goes on past it to the copies; a
// tree deeper than the walk goes down itself is removed whole, without a
// line, also on a disk with no rename that refuses to replace.
TEST_F(SystemTest, FolderModeGoesOnPastWhatWasSetAsideAndDownDeepTrees) {
    for (unsigned disk : {0u, unsigned{plat::kLacksAll}}) {
        plat::SetFileSystemLacks(disk);
        std::string deep = "tmp/deep";
        for (int i = 0; i < 100; ++i)
            deep += "/d";
        dir.Write(deep + "/f", "x");
        dir.Write("tmp/set aside 7/f", "x");
        dir.Write("tmp/set aside 7/mnt/keep", "3");
        for (int i = 0; i < 8; ++i)
            dir.Write("tmp/copy" + std::to_string(i) + ".spt", "x");
        kutest::DebugCapture cap;
        {
            const kutest::MountPointScope mounted("tmp/set aside 7/mnt");
            sys.RemoveTempFiles();
        }
        plat::SetFileSystemLacks(0);
        EXPECT_EQ(std::vector<std::string>(
                      {"Error: <KUSYSTEM::RemoveFile> ディレクトリ tmp/set aside 7 が削除出来ません\n",
                       "[2024/03/07 09:05:02] Error: <KUSYSTEM::RemoveFile> ディレクトリ tmp/ "
                       "が削除出来ません\n"}),
                  cap.lines())
            << disk;
        std::vector<plat::DirEntry> left;
        ASSERT_TRUE(plat::ListDir("tmp", &left));
        ASSERT_EQ(1u, left.size()) << disk;
        EXPECT_EQ("set aside 7", left[0].name);
        EXPECT_FALSE(dir.Exists("tmp/set aside 7/f"));
        EXPECT_EQ("3", dir.Read("tmp/set aside 7/mnt/keep"));
    }
}

TEST_F(SystemTest, FolderModeLogsFilesItCannotDeleteWithoutQueueing) {
    dir.Write("tmp/locked.wav", "x");
    LockedFiles().insert("tmp/locked.wav");
    kutest::DebugCapture cap;
    sys.RemoveFile("tmp/", nullptr, 1);
    EXPECT_EQ(std::vector<std::string>{"Error: <KUSYSTEM::RemoveFile> ファイル tmp/locked.wav が削除出来ません\n"},
              cap.lines());
    EXPECT_EQ("", ListPath(sys, 0));
}

// A link or file standing where tmp/ goes is replaced by a real folder (and
// logged); one planted later is never walked by the removal at exit.
TEST_F(SystemTest, WorkFolderIsAlwaysARealFolderAndItsRemovalFollowsNoLink) {
    sys.RemoveTempFiles();
    dir.Write("outside/keep", "keep");
    ASSERT_EQ(0, symlink("outside", "tmp"));
    kutest::DebugCapture cap;
    KUSYSTEM other;
    EXPECT_EQ(1, other.Initialize(nullptr, 1));
    // Through the log with its time, unlike the folder's usual notes.
    EXPECT_EQ(std::vector<std::string>{"[2024/03/07 09:05:02] Warn: <KUSYTEM::MakeDirectory> tmp/ "
                                       "の位置にあったリンクかファイルを削除しました\n"},
              cap.lines());
    struct stat st {};
    ASSERT_EQ(0, lstat("tmp", &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    other.RemoveTempFiles();

    // At exit such a link is itself removed, and a file as well.
    ASSERT_EQ(0, symlink("outside", "tmp"));
    cap.Clear();
    sys.RemoveTempFiles();
    EXPECT_EQ("keep", dir.Read("outside/keep"));
    EXPECT_NE(0, lstat("tmp", &st));
    EXPECT_TRUE(cap.lines().empty());
    dir.Write("tmp", "file");
    sys.RemoveTempFiles();
    EXPECT_NE(0, lstat("tmp", &st));
}

// The save folder is the player's: a link to a folder elsewhere is used as it
// is, and a file or a dangling link in its place is kept.
TEST_F(SystemTest, SaveFolderIsNeverReplaced) {
    dir.Write("synced/sav01.sav", "1");
    struct stat st {};
    for (int k = 0; k < 3; ++k) {
        if (k == 0)
            ASSERT_EQ(0, symlink("synced", "sav"));
        else if (k == 1)
            dir.Write("sav", "mine");
        else
            ASSERT_EQ(0, symlink("gone", "sav"));
        kutest::DebugCapture cap;
        EXPECT_EQ(0, sys.MakeDirectory("sav/", 0)) << k;
        EXPECT_EQ(std::vector<std::string>{"Message: <KUSYTEM::MakeDirectory> 指定ディレクトリは既に作成されています\n"},
                  cap.lines())
            << k;
        ASSERT_EQ(0, lstat("sav", &st));
        EXPECT_EQ(k == 1, S_ISREG(st.st_mode)) << k;
        EXPECT_EQ(k != 1, S_ISLNK(st.st_mode)) << k;
        ASSERT_EQ(0, unlink("sav"));
    }
    EXPECT_EQ("1", dir.Read("synced/sav01.sav"));
}

TEST_F(SystemTest, RemoveTempFilesRemovesTheWorkFolder) {
    dir.Write("tmp/x/y", "1");
    kutest::DebugCapture cap;
    sys.RemoveTempFiles();
    EXPECT_FALSE(dir.Exists("tmp"));
    // The shell removes tmp/ before this at exit: an absent folder is no error.
    sys.RemoveTempFiles();
    EXPECT_TRUE(cap.lines().empty());
}

// A program that has cleaned up leaves tmp/ alone when its globals go away:
// by then the next start may be unpacking its own pictures there.
TEST_F(SystemTest, CleanedUpObjectLeavesTheNextStartsTmpAlone) {
    {
        KUSYSTEM first;
        EXPECT_EQ(0, first.Initialize(nullptr, 1));
        first.RemoveTempFiles();
        EXPECT_FALSE(dir.Exists("tmp"));
        dir.Write("tmp/next.bmp", "1");
    }
    EXPECT_TRUE(dir.Exists("tmp/next.bmp"));
}

TEST_F(SystemTest, NeverStartedObjectLeavesTmpAlone) {
    dir.Write("tmp/member.bmp", "1");
    { KUSYSTEM idle; }
    EXPECT_TRUE(dir.Exists("tmp/member.bmp"));
}

TEST_F(SystemTest, MakeDirectoryResults) {
    kutest::DebugCapture cap;
    EXPECT_EQ(1, sys.MakeDirectory("sav/", 0));
    EXPECT_EQ(0, sys.MakeDirectory("sav/", 1));
    EXPECT_EQ(std::vector<std::string>{"Message: <KUSYTEM::MakeDirectory> 指定ディレクトリは既に作成されています\n"},
              cap.lines());
    cap.Clear();
    EXPECT_EQ(-1, sys.MakeDirectory("nope/x/", 0));
    EXPECT_EQ(std::vector<std::string>{"Warn: <KUSYTEM::MakeDirectory> 指定ディレクトリのパスが見当たりません\n"},
              cap.lines());

    // Other errors are failures too (here: a file stands where a folder is needed).
    dir.Write("file", "x");
    cap.Clear();
    EXPECT_EQ(-1, sys.MakeDirectory("file/sub", 0));
    EXPECT_EQ(std::vector<std::string>{"Warn: <KUSYTEM::MakeDirectory> ディレクトリの作成に失敗しました\n"},
              cap.lines());
    EXPECT_FALSE(dir.Exists("trace.txt"));
}

TEST_F(SystemTest, CreateHierarchyDirectoryMakesEveryLevel) {
    EXPECT_EQ(1, sys.CreateHierarchyDirectory("a/b/c/"));
    EXPECT_TRUE(dir.Exists("a/b/c"));
    EXPECT_EQ(1, sys.CreateHierarchyDirectory("a/b"));
    dir.Write("f", "x");
    kutest::DebugCapture cap;
    EXPECT_EQ(0, sys.CreateHierarchyDirectory("f/g/h"));
    EXPECT_TRUE(cap.Contains("Error: <CreateHierarchyDirectory> ディレクトリの作成に失敗しました\n"));
    cap.Clear();
    EXPECT_EQ(0, sys.CreateHierarchyDirectory(nullptr));
    EXPECT_EQ(std::vector<std::string>{"Error: <KUSYSTEM::CreateHierarchyDirectory> ディレクトリパスが不正です\n"},
              cap.lines());
}

TEST_F(SystemTest, RenameFileReportsEveryFailure) {
    dir.Write("a.txt", "x");
    EXPECT_EQ(1, sys.RenameFile("a.txt", "b.txt"));
    EXPECT_EQ("x", dir.Read("b.txt"));
    kutest::DebugCapture cap;
    EXPECT_EQ(0, sys.RenameFile("a.txt", "c.txt"));
    EXPECT_EQ("Error: <KUSYSTEM::RenameFile> 変更元ファイルが存在しません\n", cap.lines().at(0));
    cap.Clear();
    mkdir("d", 0755);
    dir.Write("d/inner", "x");
    EXPECT_EQ(0, sys.RenameFile("b.txt", "d")); // a full folder in the way
    EXPECT_EQ("Error: <KUSYSTEM::RenameFile> ファイル名を変更出来ません\n", cap.lines().at(0));
}

} // namespace
