#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/pinned_file.h"
#include "platform/files.h"
#include "platform/files_test_hooks.h"
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

bool DenyWrite(const std::string&) { return true; }

// A file this process may not write is kept whole; a link is still
// replaced, and the work folder's copies are ours.
TEST(WriteFileAtomic, FilesThatMayNotBeWrittenAreRefused) {
    kutest::TempDir dir;
    dir.Write("sav/sav01.sav", "kept");
    dir.Write("outside", "target");
    dir.Write("tmp/member.bmp", "old copy");
    ASSERT_EQ(0, symlink("../outside", "sav/sav02.sav"));
    plat::SetWriteDenyHook(&DenyWrite); // stands in for the permission bits, which root passes
    errno = 0;
    EXPECT_FALSE(plat::WriteFileAtomic("sav/sav01.sav", "new"));
    EXPECT_EQ(EACCES, errno);
    EXPECT_TRUE(plat::WriteFileAtomic("sav/sav02.sav", "new"));
    EXPECT_TRUE(plat::WriteFileAtomic("tmp/member.bmp", "new copy"));
    plat::SetWriteDenyHook(nullptr);
    EXPECT_EQ("kept", dir.Read("sav/sav01.sav"));
    EXPECT_FALSE(dir.Exists("sav/sav01.sav.tmp"));
    EXPECT_EQ("target", dir.Read("outside"));
    EXPECT_EQ("new copy", dir.Read("tmp/member.bmp"));
}

// Runs body in a child as an ordinary user (root drops to nobody there) and
// gives its exit status; kNoOrdinaryUser where root here cannot become one.
constexpr int kNoOrdinaryUser = 100;
int AsOrdinaryUser(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(kNoOrdinaryUser);
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// The refusal follows what an open for writing decides, not the mode bits
// alone: the owner's bits bind the owner even where the group may write, and
// another user's file binds this one. Run as an ordinary user (root drops to
// nobody in a child), where those bits bite.
TEST(WriteFileAtomic, RefusesWhatAnOpenForWritingRefuses) {
    kutest::TempDir dir;
    ASSERT_EQ(0, chmod(dir.path().c_str(), 0777));
    ASSERT_EQ(0, mkdir("sav", 0777));
    ASSERT_EQ(0, chmod("sav", 0777));
    const struct {
        const char* path;
        mode_t mode;
    } files[] = {{"sav/sav01.sav", 0464}, {"sav/sav02.sav", 0444}, {"sav/sav03.sav", 0644}, {"sav/sav04.sav", 0666}};
    for (const auto& f : files) {
        dir.Write(f.path, "old");
        ASSERT_EQ(0, chmod(f.path, f.mode));
    }
    const int wrong = AsOrdinaryUser([&] {
        int wrong = 0;
        for (size_t i = 0; i < std::size(files); ++i) {
            const int fd = open(files[i].path, O_WRONLY);
            const bool opens = fd >= 0;
            if (fd >= 0)
                close(fd);
            const bool replaced = plat::WriteFileAtomic(files[i].path, "new");
            if (replaced != opens || (i == 0 && replaced))
                wrong |= 1 << i;
        }
        return wrong;
    });
    if (wrong == kNoOrdinaryUser)
        GTEST_SKIP() << "root here cannot become an ordinary user";
    EXPECT_EQ(0, wrong) << "bit i: file i judged unlike an open for writing";
    EXPECT_EQ("old", dir.Read("sav/sav01.sav"));
    EXPECT_EQ("new", dir.Read("sav/sav04.sav"));
}

std::vector<std::string> g_synced;
bool g_failSync = false;
int RecordSync(const std::string& path) {
    g_synced.push_back(path);
    return g_failSync ? EIO : 0;
}

// A saved file reaches the disk before its rename and its folder after it; a
// flush that fails keeps the old file.
TEST(WriteFileAtomic, FlushesTheFileThenItsFolder) {
    kutest::TempDir dir;
    dir.Write("sav/sav01.sav", "old");
    plat::SetSyncHook(&RecordSync);
    EXPECT_TRUE(plat::WriteFileAtomic("sav/sav01.sav", "new"));
    EXPECT_EQ(g_synced, (std::vector<std::string>{"sav/sav01.sav.tmp", "sav"}));
    g_failSync = true;
    EXPECT_FALSE(plat::WriteFileAtomic("sav/sav01.sav", "lost"));
    plat::SetSyncHook(nullptr);
    EXPECT_EQ("new", dir.Read("sav/sav01.sav"));
    EXPECT_FALSE(dir.Exists("sav/sav01.sav.tmp"));
}

bool IsLink(const char* path) {
    struct stat st {};
    return lstat(path, &st) == 0 && S_ISLNK(st.st_mode);
}

// Each flush, and whether the new file had its name by then. A flush of
// g_raceName plants a file under that name, as if it had been made meanwhile.
std::string g_newName;
std::string g_raceName;
std::vector<std::string> g_seenAtSync;
int SeeNameAtSync(const std::string& path) {
    struct stat st {};
    g_seenAtSync.push_back(path + (lstat(g_newName.c_str(), &st) == 0 ? " +" : " -"));
    if (path == g_raceName) {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0) {
            EXPECT_EQ(7, write(fd, "planted", 7));
            close(fd);
        }
    }
    return g_failSync ? EIO : 0;
}

// The disks a new file is made on: every call there, each refusal of exFAT
// or FAT on its own, and all three together.
constexpr unsigned kDisks[] = {0, plat::kLacksUnnamedFiles, plat::kLacksHardLinks, plat::kLacksRenameNoReplace,
                               plat::kLacksAll};

// A new file is named only when whole and synced, never in place of
// anything (nor of one that takes the name while it is written), on every
// disk; a temporary name left by a killed run is no obstacle, and a link
// there is removed as itself.
TEST(WriteNewFile, NamesOnlyAWholeFileAndReplacesNothing) {
    kutest::TempDir dir;
    dir.Write("sav/taken", "keep");
    dir.Write("victim", "keep");
    ASSERT_EQ(0, symlink("../victim", "sav/dangling"));
    g_failSync = false;
    plat::SetSyncHook(&SeeNameAtSync);
    for (unsigned disk : kDisks) {
        plat::SetFileSystemLacks(disk);
        const std::string name = "sav/new" + std::to_string(disk);
        ASSERT_EQ(0, symlink("../victim", (name + ".tmp").c_str()));
        g_newName = name;
        g_seenAtSync.clear();
        EXPECT_EQ(0, plat::WriteNewFile(name, "data")) << disk;
        EXPECT_EQ(g_seenAtSync.front(), name + " -") << disk;
        EXPECT_EQ(g_seenAtSync.back(), "sav +") << disk;
        EXPECT_EQ("data", dir.Read(name)) << disk;
        // Only a file made under the temporary name takes the leftover's place.
        const bool named = (disk & (plat::kLacksUnnamedFiles | plat::kLacksHardLinks)) != 0;
        EXPECT_EQ(!named, IsLink((name + ".tmp").c_str())) << disk;
        std::filesystem::remove(name + ".tmp");
        for (const char* held : {"sav/taken", "sav/dangling"})
            EXPECT_EQ(EEXIST, plat::WriteNewFile(held, "new")) << held;
        g_raceName = "sav/raced" + std::to_string(disk);
        EXPECT_EQ(EEXIST, plat::WriteNewFile(g_raceName, "data")) << disk;
        EXPECT_EQ("planted", dir.Read(g_raceName)) << disk;
        EXPECT_FALSE(dir.Exists(g_raceName + ".tmp")) << disk;
        g_raceName.clear();
        g_failSync = true;
        EXPECT_EQ(EIO, plat::WriteNewFile("sav/failed", "data")) << disk;
        g_failSync = false;
        EXPECT_FALSE(dir.Exists("sav/failed")) << disk;
        EXPECT_FALSE(dir.Exists("sav/failed.tmp")) << disk;
    }
    plat::SetFileSystemLacks(0);
    plat::SetSyncHook(nullptr);
    EXPECT_EQ("keep", dir.Read("sav/taken"));
    EXPECT_TRUE(IsLink("sav/dangling"));
    EXPECT_EQ("keep", dir.Read("victim"));
}

// A leftover temporary file goes as a file; a link or a folder there stays.
TEST(WriteNewFile, LeftoverTemporariesGoAsFilesOnly) {
    kutest::TempDir dir;
    dir.Write("sav/a.tmp", "left");
    dir.Write("sav/d.tmp/f", "keep");
    dir.Write("victim", "keep");
    ASSERT_EQ(0, symlink("../victim", "sav/l.tmp"));
    EXPECT_EQ(0, plat::RemoveLeftoverFile("sav/a.tmp"));
    EXPECT_NE(0, plat::RemoveLeftoverFile("sav/d.tmp"));
    EXPECT_NE(0, plat::RemoveLeftoverFile("sav/l.tmp"));
    EXPECT_EQ(ENOENT, plat::RemoveLeftoverFile("sav/a.tmp"));
    EXPECT_FALSE(dir.Exists("sav/a.tmp"));
    EXPECT_EQ("keep", dir.Read("sav/d.tmp/f"));
    EXPECT_TRUE(IsLink("sav/l.tmp"));
    EXPECT_EQ("keep", dir.Read("victim"));
}

ino_t InodeOf(const char* path) {
    struct stat st {};
    return lstat(path, &st) == 0 ? st.st_ino : 0;
}

// A file set aside is the very file read (through a link to it too), else a
// whole copy; the comparison with an earlier copy reads in pieces and never
// through a link.
TEST(SetAsideFile, KeepsTheFileReadAndComparesWithNoLinkFollowed) {
    kutest::TempDir dir;
    std::string bytes(200000, 'a');
    bytes.back() = 'z';
    dir.Write("elsewhere", bytes);
    ASSERT_EQ(0, mkdir("sav", 0755));
    ASSERT_EQ(0, symlink("../elsewhere", "sav/sav00.sav"));
    EXPECT_EQ(0, plat::SetAsideFile("sav/sav00.sav", "sav/sav00.sav.old1"));
    EXPECT_EQ(InodeOf("elsewhere"), InodeOf("sav/sav00.sav.old1"));
    plat::SetFileSystemLacks(plat::kLacksAll);
    EXPECT_EQ(0, plat::SetAsideFile("sav/sav00.sav", "sav/sav00.sav.old2"));
    plat::SetFileSystemLacks(0);
    EXPECT_NE(InodeOf("elsewhere"), InodeOf("sav/sav00.sav.old2"));
    EXPECT_TRUE(dir.Read("sav/sav00.sav.old2") == bytes);
    EXPECT_FALSE(dir.Exists("sav/sav00.sav.old2.tmp"));
    EXPECT_TRUE(plat::SameFile("sav/sav00.sav", "sav/sav00.sav.old1"));
    EXPECT_FALSE(plat::SameFile("sav/sav00.sav", "sav/sav00.sav.old2"));
    EXPECT_EQ(EEXIST, plat::SetAsideFile("sav/sav00.sav", "sav/sav00.sav.old1"));
    std::string changed = bytes;
    changed.back() = 'y';
    dir.Write("sav/sav00.sav.old3", changed);
    ASSERT_EQ(0, symlink("../elsewhere", "sav/sav00.sav.old4"));
    EXPECT_TRUE(plat::SameFileBytes("sav/sav00.sav", "sav/sav00.sav.old1"));
    EXPECT_TRUE(plat::SameFileBytes("sav/sav00.sav", "sav/sav00.sav.old2"));
    EXPECT_FALSE(plat::SameFileBytes("sav/sav00.sav", "sav/sav00.sav.old3"));
    EXPECT_FALSE(plat::SameFileBytes("sav/sav00.sav", "sav/sav00.sav.old4"));
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

// Every write and removal leaves a planted link's target alone: temporary
// names, a member name in another letter case, a linked folder on the way,
// the append of a trace file and the final name of a replaced file.
TEST(Files, WritesAndRemovalsNeverFollowLinks) {
    kutest::TempDir dir;
    dir.Write("victim", "keep");
    dir.Write("outside/keep", "keep");
    ASSERT_EQ(0, symlink("victim", "env.env.tmp"));
    ASSERT_TRUE(plat::WriteFileAtomic("env.env", "new"));
    EXPECT_EQ("new", dir.Read("env.env"));
    EXPECT_FALSE(dir.Exists("env.env.tmp"));

    dir.Write("tmp/.keep", "");
    ASSERT_EQ(0, symlink("../victim", "tmp/LOGO.BMP"));
    FILE* f = plat::OpenFile("tmp/logo.bmp", "wb");
    ASSERT_NE(nullptr, f);
    fputs("member", f);
    fclose(f);
    EXPECT_FALSE(dir.Exists("tmp/LOGO.BMP"));
    EXPECT_EQ("member", dir.Read("tmp/logo.bmp"));

    // Replacing a file whose name is a link: the link goes, its target stays.
    ASSERT_EQ(0, symlink("../victim", "tmp/Cursor.txt"));
    ASSERT_TRUE(plat::WriteFileAtomic("tmp/cursor.txt", "c"));
    EXPECT_FALSE(IsLink("tmp/cursor.txt"));
    EXPECT_FALSE(dir.Exists("tmp/Cursor.txt"));

    ASSERT_EQ(0, symlink("victim", "trace.txt"));
    EXPECT_EQ(nullptr, plat::OpenFile("trace.txt", "a+"));

    // A linked folder is never gone through.
    ASSERT_EQ(0, symlink("outside", "linked"));
    EXPECT_EQ(nullptr, plat::OpenFile("linked/new", "wb"));
    EXPECT_NE(0, plat::UnlinkFile("linked/keep"));
    EXPECT_NE(0, plat::RemoveDir("linked"));
    std::vector<plat::DirEntry> entries;
    EXPECT_FALSE(plat::ListDir("linked/", &entries));
    EXPECT_FALSE(plat::WriteFileAtomic("linked/x", "x"));
    EXPECT_EQ(0, plat::UnlinkFile("trace.txt"));
    EXPECT_EQ("keep", dir.Read("victim"));
    EXPECT_EQ("keep", dir.Read("outside/keep"));
    EXPECT_FALSE(dir.Exists("outside/new"));
    EXPECT_FALSE(dir.Exists("outside/x"));
}

TEST(Files, OwnFoldersReplaceWhatStandsInTheirPlace) {
    kutest::TempDir dir;
    dir.Write("outside/keep", "keep");
    ASSERT_EQ(0, symlink("outside", "tmp"));
    dir.Write("sav", "a file");
    for (const char* name : {"tmp/", "sav"}) {
        bool replaced = false;
        EXPECT_EQ(0, plat::MakeOwnDir(name, &replaced)) << name;
        EXPECT_TRUE(replaced) << name;
        EXPECT_TRUE(plat::StatFile(name).isDirectory) << name;
        EXPECT_EQ(EEXIST, plat::MakeOwnDir(name, &replaced)) << name;
        EXPECT_FALSE(replaced) << name;
    }
    EXPECT_FALSE(IsLink("tmp"));
    EXPECT_EQ("keep", dir.Read("outside/keep"));
}

// The set-aside folders in tmp/ (what was moved out of copies' way).
std::vector<std::string> SetAside() {
    std::vector<plat::DirEntry> entries;
    std::vector<std::string> found;
    plat::ListDir("tmp", &entries);
    for (const plat::DirEntry& e : entries)
        if (plat::IsSetAside("tmp/" + e.name))
            found.push_back("tmp/" + e.name);
    return found;
}

// A folder in a copy's place in tmp/ goes with all it holds (links as links),
// as made afresh or renamed into place; what cannot go (a mount point inside)
// is moved aside, and only a mount point at the copy's own name fails the
// copy. A folder in a file's place elsewhere is never removed.
TEST(Files, WorkFolderCopiesTakeTheirPlaceFromAFolder) {
    kutest::TempDir dir;
    dir.Write("outside/keep", "keep");
    dir.Write("tmp/a.wav.tmp/sub/f", "x");
    ASSERT_EQ(0, symlink("../../outside", "tmp/a.wav.tmp/link"));
    FILE* f = plat::OpenFile("tmp/a.wav.tmp", "wb");
    ASSERT_NE(nullptr, f);
    fclose(f);
    EXPECT_TRUE(plat::StatFile("tmp/a.wav.tmp").isRegular);

    dir.Write("tmp/b.wav/mnt/m", "mounted");
    {
        const kutest::MountPointScope mounted("tmp/b.wav");
        EXPECT_EQ(nullptr, plat::OpenFile("tmp/b.wav", "wb"));
        f = plat::BeginReplaceFile("tmp/b.wav");
        ASSERT_NE(nullptr, f);
        EXPECT_FALSE(plat::FinishReplaceFile(f, "tmp/b.wav", true, plat::Durability::kVolatile));
    }
    EXPECT_EQ("mounted", dir.Read("tmp/b.wav/mnt/m"));
    EXPECT_TRUE(SetAside().empty());
    dir.Write("tmp/b.wav/f", "x");
    {
        const kutest::MountPointScope mounted("tmp/b.wav/mnt");
        f = plat::BeginReplaceFile("tmp/B.WAV");
        ASSERT_NE(nullptr, f);
        EXPECT_TRUE(plat::FinishReplaceFile(f, "tmp/B.WAV", true, plat::Durability::kVolatile));
    }
    EXPECT_TRUE(plat::StatFile("tmp/B.WAV").isRegular);
    EXPECT_FALSE(dir.Exists("tmp/b.wav"));
    const std::vector<std::string> aside = SetAside();
    ASSERT_EQ(1u, aside.size());
    EXPECT_EQ("mounted", dir.Read(aside[0] + "/mnt/m"));
    EXPECT_FALSE(dir.Exists(aside[0] + "/f"));
    EXPECT_TRUE(plat::RemoveOwnTree(aside[0]));

    dir.Write("sav/sav01.sav/f", "x");
    EXPECT_FALSE(plat::WriteFileAtomic("sav/sav01.sav", "save"));
    EXPECT_EQ(nullptr, plat::OpenFile("sav/sav01.sav", "wb"));
    EXPECT_FALSE(plat::RemoveOwnTree("sav/sav01.sav"));
    EXPECT_FALSE(plat::RemoveOwnTree("tmp/../sav/sav01.sav"));
    EXPECT_EQ("x", dir.Read("sav/sav01.sav/f"));
    EXPECT_EQ("keep", dir.Read("outside/keep"));
}

// A folder moved out of a copy's way takes a set-aside name that nothing
// holds, on every disk: never one an earlier run left, not even an empty
// folder, which a plain rename would replace.
TEST(Files, WorkFolderMovesAsideOverNothingLeftBefore) {
    kutest::TempDir dir;
    // Empty folders under the next names to be taken (each move takes one
    // past the last taken in this test program), as an earlier run left them.
    constexpr size_t kLeft = 100;
    size_t last = 0;
    for (unsigned disk : kDisks) {
        for (const std::string& a : SetAside())
            last = std::max<size_t>(last, std::stoul(a.substr(a.rfind(' ') + 1)));
        for (size_t i = last + 1; i <= last + kLeft; ++i)
            ASSERT_TRUE(std::filesystem::create_directories("tmp/set aside " + std::to_string(i)));
        plat::SetFileSystemLacks(disk);
        dir.Write("tmp/b.wav/mnt/m", "mounted");
        const kutest::MountPointScope mounted("tmp/b.wav/mnt");
        FILE* f = plat::BeginReplaceFile("tmp/b.wav");
        ASSERT_NE(nullptr, f);
        EXPECT_TRUE(plat::FinishReplaceFile(f, "tmp/b.wav", true, plat::Durability::kVolatile)) << disk;
        EXPECT_TRUE(plat::StatFile("tmp/b.wav").isRegular) << disk;
        EXPECT_EQ(0, plat::UnlinkFile("tmp/b.wav"));
    }
    plat::SetFileSystemLacks(0);
    const std::vector<std::string> aside = SetAside();
    EXPECT_EQ((kLeft + 1) * std::size(kDisks), aside.size());
    size_t moved = 0;
    for (const std::string& a : aside)
        moved += dir.Exists(a + "/mnt/m");
    EXPECT_EQ(std::size(kDisks), moved);
}

// Nested folders "d", each with a file, and a link to a folder outside at
// the bottom; made one level at a time, as no path could name the bottom.
void MakeDeepTree(const std::string& top, int depth) {
    ASSERT_TRUE(std::filesystem::create_directories(top));
    int fd = open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < depth && fd >= 0; ++i) {
        const int next = mkdirat(fd, "d", 0755) == 0 ? openat(fd, "d", O_RDONLY | O_DIRECTORY) : -1;
        close(fd);
        fd = next;
        if (fd >= 0)
            close(openat(fd, "f", O_CREAT | O_WRONLY, 0644));
    }
    ASSERT_GE(fd, 0);
    EXPECT_EQ(0, symlinkat(std::filesystem::current_path().append("outside").c_str(), fd, "link"));
    close(fd);
}

// However deep a folder in a copy's place goes, it is removed whole (deep
// parts moved up into tmp/ and removed from there), leaving nothing aside.
TEST(Files, WorkFolderCopiesTakeTheirPlaceFromAnyDepth) {
    kutest::TempDir dir;
    dir.Write("outside/keep", "keep");
    MakeDeepTree("tmp/Second.spt", 100);
    MakeDeepTree("tmp/b.wav.tmp", 140);
    FILE* f = plat::BeginReplaceFile("tmp/b.wav");
    ASSERT_NE(nullptr, f);
    EXPECT_TRUE(plat::FinishReplaceFile(f, "tmp/b.wav", true, plat::Durability::kVolatile));
    f = plat::BeginReplaceFile("tmp/second.spt");
    ASSERT_NE(nullptr, f);
    EXPECT_TRUE(plat::FinishReplaceFile(f, "tmp/second.spt", true, plat::Durability::kVolatile));
    std::vector<plat::DirEntry> entries;
    ASSERT_TRUE(plat::ListDir("tmp", &entries));
    ASSERT_EQ(2u, entries.size());
    EXPECT_FALSE(entries[0].isDirectory || entries[1].isDirectory);
    MakeDeepTree("tmp/deep", 70);
    EXPECT_TRUE(plat::RemoveOwnTree("tmp/deep"));
    EXPECT_FALSE(dir.Exists("tmp/deep"));
    EXPECT_EQ("keep", dir.Read("outside/keep"));
}

// A folder the program may not enter (an ordinary user's mode-000 folder) is
// moved aside, and the copy still takes its place. Run as an ordinary user
// (root drops to nobody in a child), for whom such a folder stays shut.
TEST(Files, WorkFolderCopiesTakeThePlaceOfAFolderThatCannotGo) {
    kutest::TempDir dir;
    ASSERT_EQ(0, chmod(dir.path().c_str(), 0777));
    const int wrong = AsOrdinaryUser([] {
        int wrong = 0;
        for (const char* name : {"Second.spt", "Second.spt.tmp"}) {
            const std::string locked = std::string("tmp/") + name + "/sub/locked";
            std::filesystem::create_directories(locked);
            close(open((locked + "/f").c_str(), O_CREAT | O_WRONLY, 0644));
            chmod(locked.c_str(), 0);
        }
        FILE* f = plat::BeginReplaceFile("tmp/Second.spt");
        if (!f || !plat::FinishReplaceFile(f, "tmp/Second.spt", true, plat::Durability::kVolatile))
            wrong |= 1;
        if (!plat::StatFile("tmp/Second.spt").isRegular || plat::StatFile("tmp/Second.spt.tmp").exists)
            wrong |= 2;
        const std::vector<std::string> aside = SetAside();
        if (aside.size() != 2)
            wrong |= 4;
        for (const std::string& a : aside) {
            if (plat::RemoveOwnTree(a) || plat::StatFile(a + "/sub/locked").exists != true)
                wrong |= 8;
            chmod((a + "/sub/locked").c_str(), 0755); // so that it can go now
            if (!plat::RemoveOwnTree(a))
                wrong |= 16;
        }
        return wrong;
    });
    if (wrong == kNoOrdinaryUser)
        GTEST_SKIP() << "root here cannot become an ordinary user";
    EXPECT_EQ(0, wrong) << "1 copy failed, 2 not in place, 4 not moved aside, 8 removed, 16 left";
}

// What lies in the work folder the program wrote itself: a read there goes
// through no link, so a tmp/ swapped for a link never leads a reader (nor the
// media decoders, which open by name) elsewhere. The data folder may be a link.
TEST(Files, ReadsInTheWorkFolderFollowNoLink) {
    kutest::TempDir dir;
    dir.Write("outside/bgm.ogg", "outside");
    dir.Write("victim", "keep");
    ASSERT_EQ(0, symlink("outside", "tmp"));
    std::string out;
    EXPECT_EQ(nullptr, plat::OpenFile("tmp/bgm.ogg", "rb"));
    EXPECT_FALSE(plat::ReadWholeFile("tmp/BGM.ogg", &out));
    EXPECT_TRUE(plat::PinnedFile("tmp/bgm.ogg").name().empty());
    EXPECT_FALSE(plat::FileExists("tmp/bgm.ogg"));
    EXPECT_FALSE(plat::StatFile("tmp/BGM.ogg").isRegular);
    ASSERT_EQ(0, unlink("tmp"));

    dir.Write("tmp/own.bmp", "own");
    ASSERT_EQ(0, symlink("../victim", "tmp/link.bmp"));
    EXPECT_FALSE(plat::ReadWholeFile("tmp/link.bmp", &out));
    EXPECT_TRUE(plat::PinnedFile("tmp/link.bmp").name().empty());
    // Seen as a read finds it: the link is there, but it is no file to read.
    const plat::FileInfo link = plat::StatFile("tmp/LINK.bmp");
    EXPECT_TRUE(link.exists);
    EXPECT_FALSE(link.isRegular);
    EXPECT_TRUE(plat::StatFile("tmp/own.bmp").isRegular);
    EXPECT_TRUE(plat::ReadWholeFile("tmp/OWN.bmp", &out));
    EXPECT_EQ("own", out);
    const plat::PinnedFile pinned("tmp/own.bmp");
    ASSERT_FALSE(pinned.name().empty());
    ASSERT_EQ(0, unlink("tmp/own.bmp")); // the name still reaches the file opened
    EXPECT_TRUE(plat::ReadWholeFile(pinned.name(), &out));
    EXPECT_EQ("own", out);

    ASSERT_EQ(0, symlink("outside", "dat"));
    EXPECT_TRUE(plat::ReadWholeFile("dat/bgm.ogg", &out));
    EXPECT_EQ("outside", out);
    EXPECT_TRUE(plat::StatFile("dat/bgm.ogg").isRegular);
}

size_t OpenDescriptors() {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

// A pinned name holds a descriptor for its life only, and a refused open
// holds none.
TEST(Files, PinnedFilesGiveBackEveryDescriptor) {
    kutest::TempDir dir;
    dir.Write("tmp/own.bmp", "own");
    dir.Write("victim", "keep");
    ASSERT_EQ(0, symlink("../victim", "tmp/link.bmp"));
    ASSERT_EQ(0, mkfifo("tmp/fifo.bmp", 0644));
    const size_t before = OpenDescriptors();
    for (int i = 0; i < 100; ++i) {
        const plat::PinnedFile kept("tmp/own.bmp");
        ASSERT_FALSE(kept.name().empty());
        for (const char* refused : {"tmp/link.bmp", "tmp/fifo.bmp", "tmp/none.bmp"})
            ASSERT_TRUE(plat::PinnedFile(refused).name().empty()) << refused;
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

// The player may keep the save folder elsewhere behind a link: it is written
// through, while a link inside it is still replaced, never followed.
TEST(Files, SaveFolderMayBeALinkToAFolder) {
    kutest::TempDir dir;
    dir.Write("synced/sav01.sav", "old");
    dir.Write("victim", "keep");
    ASSERT_EQ(0, symlink("synced", "sav"));
    ASSERT_EQ(0, symlink("../victim", "synced/sav02.sav"));
    ASSERT_EQ(0, symlink(".", "synced/deeper"));
    EXPECT_TRUE(plat::WriteFileAtomic("sav/sav01.sav", "new"));
    EXPECT_TRUE(plat::WriteFileAtomic("sav/sav02.sav", "two"));
    EXPECT_EQ("new", dir.Read("synced/sav01.sav"));
    EXPECT_EQ("two", dir.Read("synced/sav02.sav"));
    EXPECT_FALSE(IsLink("synced/sav02.sav"));
    EXPECT_TRUE(IsLink("sav"));
    EXPECT_EQ("keep", dir.Read("victim"));
    // A linked folder inside it is still not gone through.
    EXPECT_FALSE(plat::WriteFileAtomic("sav/deeper/x", "x"));
    EXPECT_FALSE(dir.Exists("synced/x"));
}

bool DenyLocked(const std::string& path) { return path == "locked"; }

// Reading takes regular files only, never blocks on a FIFO, and never reads
// more than the limit; what cannot be read is told apart from what is missing.
TEST(Files, ReadsOnlyRegularFilesWithinTheirLimit) {
    kutest::TempDir dir;
    ASSERT_EQ(0, mkfifo("fifo", 0644)); // no writer: a blocking open would hang here
    ASSERT_EQ(0, symlink("/dev/zero", "zero"));
    ASSERT_EQ(0, symlink("nothing", "dangling"));
    dir.Write("folder/x", "");
    dir.Write("big", std::string(1001, 'b'));
    dir.Write("locked", "secret");
    plat::SetReadDenyHook(&DenyLocked);
    std::string out;
    for (const char* name : {"fifo", "zero", "folder", "locked"}) {
        errno = 0;
        EXPECT_EQ(nullptr, plat::OpenFile(name, "rb")) << name;
        EXPECT_NE(ENOENT, errno) << name;
        EXPECT_EQ(plat::ReadStatus::kFailed, plat::ReadFileLimited(name, 1000, &out)) << name;
    }
    EXPECT_EQ(nullptr, plat::OpenFile("fifo", "a"));
    plat::SetReadDenyHook(nullptr);
    EXPECT_EQ(plat::ReadStatus::kMissing, plat::ReadFileLimited("missing", 1000, &out));
    EXPECT_EQ(plat::ReadStatus::kMissing, plat::ReadFileLimited("dangling", 1000, &out));
    EXPECT_EQ(plat::ReadStatus::kFailed, plat::ReadFileLimited("big", 1000, &out));
    EXPECT_EQ(plat::ReadStatus::kRead, plat::ReadFileLimited("big", 1001, &out));
    EXPECT_EQ(1001u, out.size());
    // The head of a file of any size: its start, and whether more follows.
    bool more = false;
    EXPECT_EQ(plat::ReadStatus::kRead, plat::ReadFileHead("big", 1000, &out, &more));
    EXPECT_EQ(std::string(1000, 'b'), out);
    EXPECT_TRUE(more);
    EXPECT_EQ(plat::ReadStatus::kRead, plat::ReadFileHead("big", 1001, &out, &more));
    EXPECT_EQ(1001u, out.size());
    EXPECT_FALSE(more);
    EXPECT_EQ(plat::ReadStatus::kFailed, plat::ReadFileHead("fifo", 1000, &out, &more));
    EXPECT_TRUE(plat::StatFile("big").isRegular);
    EXPECT_FALSE(plat::StatFile("fifo").isRegular);
}

} // namespace
