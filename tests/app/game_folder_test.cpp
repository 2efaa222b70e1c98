// The program itself, started from another folder: it works in the folder
// that holds it, refuses to start without dat/ there, and follows none of
// the links planted where it writes and removes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/support/fuzz_mutator.h"
#include "tests/support/test_env.h"

namespace {

namespace fs = std::filesystem;

// A copy of the program in folder (a hard link where the file system allows).
bool PlaceProgram(const std::string& folder) {
    const std::string exe = kutest::BinaryDir() + "/game/larkspin";
    const std::string to = folder + "/larkspin";
    std::error_code ec;
    fs::create_directories(folder, ec);
    fs::create_hard_link(exe, to, ec);
    if (ec)
        fs::copy_file(exe, to, ec);
    return !ec;
}

// Starts the program with cwd as its working folder, in a network namespace
// of its own where it can have one (so that no other game on this machine
// makes it a second start).
pid_t Start(const std::string& exe, const std::string& cwd, bool isolate) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(cwd.c_str()) != 0)
            _exit(126);
        setenv("XDG_RUNTIME_DIR", cwd.c_str(), 1);
        if (isolate)
            execlp("unshare", "unshare", "-n", exe.c_str(), static_cast<char*>(nullptr));
        else
            execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// Exit status, or -1 when it had to be killed after about 60 s.
int Wait(pid_t pid) {
    int status = 0;
    for (int i = 0; i < 6000; ++i) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

// Names of the whole members unpacked in folder (links and files still being
// written left out).
std::vector<std::string> Unpacked(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(folder, ec)))
        return names;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        if (fs::is_regular_file(e.symlink_status(ec)) && !name.ends_with(".tmp"))
            names.push_back(name);
    }
    return names;
}

bool IsLink(const std::string& path) {
    std::error_code ec;
    return fs::is_symlink(fs::symlink_status(path, ec));
}

TEST(GameFolderTest, RefusedWithoutDatAndNothingOutsideIsTouched) {
    kutest::TempDir work;
    work.Write("tmp/user.txt", "mine");
    work.Write("cursor.txt", "mine");
    const std::string game = work.path() + "/game";
    ASSERT_TRUE(PlaceProgram(game));
    const int status = Wait(Start(game + "/larkspin", work.path(), false));
    EXPECT_GT(status, 0);
    EXPECT_EQ(work.Read("tmp/user.txt"), "mine");
    EXPECT_EQ(work.Read("cursor.txt"), "mine");
    EXPECT_FALSE(work.Exists("env.env"));
    EXPECT_FALSE(work.Exists("sav"));
    EXPECT_FALSE(work.Exists("game/cursor.txt")); // refused before reading anything
}

// Two runs of the sample game in a copy of its folder, each ended by SIGTERM
// (an orderly exit) once it has unpacked a picture: first with tmp/ and the
// temporary names planted as links, then with a member's name planted in
// another letter case inside a real tmp/.
TEST(GameFolderTest, WorksInItsOwnFolderAndFollowsNoPlantedLink) {
    const std::string built = kutest::BinaryDir() + "/game";
    if (!fs::exists(built + "/dat/Img.dat"))
        GTEST_SKIP() << "sample game not built";
    const bool isolate = system("unshare -n true >/dev/null 2>&1") == 0;
    if (!isolate)
        GTEST_SKIP() << "cannot give the program a network namespace of its own";
    kutest::TempDir work;
    work.Write("tmp/user.txt", "mine");
    work.Write("cursor.txt", "mine");
    work.Write("victim", "keep");
    work.Write("victim_dir/keep.txt", "keep");
    const std::string game = work.path() + "/game";
    ASSERT_TRUE(PlaceProgram(game));
    ASSERT_EQ(0, symlink((built + "/dat").c_str(), (game + "/dat").c_str()));
    fs::create_directories(game + "/sav");
    const std::string victim = work.path() + "/victim";
    for (const char* name : {"env.env.tmp", "cursor.txt.tmp", "sav/sav00.sav.tmp"})
        ASSERT_EQ(0, symlink(victim.c_str(), (game + "/" + name).c_str())) << name;
    ASSERT_EQ(0, symlink((work.path() + "/victim_dir").c_str(), (game + "/tmp").c_str()));

    std::vector<std::string> members;
    for (int run = 0; run < 2; ++run) {
        pid_t pid = Start(game + "/larkspin", work.path(), isolate);
        for (int i = 0; i < 6000 && Unpacked(game + "/tmp").empty(); ++i)
            usleep(10000);
        if (run == 0)
            members = Unpacked(game + "/tmp");
        kill(pid, SIGTERM);
        EXPECT_EQ(Wait(pid), 0) << run;

        EXPECT_EQ(work.Read("victim"), "keep") << run;
        EXPECT_EQ(kutest::TreeOf(work.path() + "/victim_dir"), std::set<std::string>{"keep.txt"}) << run;
        EXPECT_EQ(work.Read("tmp/user.txt"), "mine") << run;
        EXPECT_EQ(work.Read("cursor.txt"), "mine") << run;
        EXPECT_FALSE(work.Exists("env.env")) << run;
        EXPECT_FALSE(work.Exists("sav")) << run;
        for (const std::string name : {"env.env", "cursor.txt", "sav/sav00.sav"}) {
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(game + "/" + name))) << name;
            EXPECT_FALSE(IsLink(game + "/" + name + ".tmp")) << name;
        }
        EXPECT_FALSE(fs::exists(fs::symlink_status(game + "/tmp"))) << run;

        if (run == 1)
            break;
        // Next: the members seen unpacked, planted as links under upper-case names.
        ASSERT_FALSE(members.empty());
        fs::create_directories(game + "/tmp");
        for (std::string name : members) {
            for (char& c : name)
                c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
            ASSERT_EQ(0, symlink(victim.c_str(), (game + "/tmp/" + name).c_str())) << name;
        }
    }
}

// FIFOs (with no writer) and links to /dev/zero in place of the files the
// program reads: it neither blocks nor reads without end, ends by itself as
// for missing archives, and writes over none of them.
TEST(GameFolderTest, SpecialFilesInPlaceOfItsFilesNeitherHangNorAreReplaced) {
    const bool isolate = system("unshare -n true >/dev/null 2>&1") == 0;
    if (!isolate)
        GTEST_SKIP() << "cannot give the program a network namespace of its own";
    kutest::TempDir work;
    const std::string game = work.path() + "/game";
    ASSERT_TRUE(PlaceProgram(game));
    fs::create_directories(game + "/dat");
    fs::create_directories(game + "/sav");
    const char* fifos[] = {"cursor.txt", "dat/Img.dat", "dat/Scenario.dat", "dat/BGM.dat"};
    const char* zeros[] = {"env.env", "sav/sav00.sav", "dat/SE.dat", "dat/VO.dat", "dat/Mov.dat"};
    for (const char* name : fifos)
        ASSERT_EQ(0, mkfifo((game + "/" + name).c_str(), 0644)) << name;
    for (const char* name : zeros)
        ASSERT_EQ(0, symlink("/dev/zero", (game + "/" + name).c_str())) << name;
    const int status = Wait(Start(game + "/larkspin", work.path(), isolate));
    EXPECT_GE(status, 0) << "it had to be killed";
    for (const char* name : fifos)
        EXPECT_TRUE(fs::is_fifo(fs::symlink_status(game + "/" + name))) << name;
    for (const char* name : zeros)
        EXPECT_TRUE(IsLink(game + "/" + name)) << name;
}

} // namespace
