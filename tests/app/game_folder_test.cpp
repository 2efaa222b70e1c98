// The program itself, started from another folder (the test's): it works in
// the folder that holds it, refuses to start without dat/ there, follows no
// link planted where it writes, and neither blocks on nor replaces special files.
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

class GameFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string exe = kutest::BinaryDir() + "/game/larkspin";
        std::error_code ec;
        fs::create_directories(game, ec);
        fs::create_hard_link(exe, game + "/larkspin", ec);
        if (ec)
            fs::copy_file(exe, game + "/larkspin", ec);
        ASSERT_FALSE(ec) << exe;
        work.Write("tmp/user.txt", "mine");
        work.Write("cursor.txt", "mine");
        work.Write("victim", "keep");
        fs::create_directories(work.path() + "/run");
        fs::permissions(work.path() + "/run", fs::perms::owner_all);
    }
    // Runs the program from the test's folder, in a network namespace and
    // runtime folder of its own where it can (no other game here makes it a
    // second start). Once `until` holds, SIGTERM asks for an orderly exit.
    // Its exit status, -1 when it had to be killed.
    template <typename Until>
    int Run(Until until) {
        pid_t pid = fork();
        if (pid == 0) {
            setenv("XDG_RUNTIME_DIR", (work.path() + "/run").c_str(), 1);
            const std::string exe = game + "/larkspin";
            if (isolated)
                execlp("unshare", "unshare", "-n", exe.c_str(), static_cast<char*>(nullptr));
            execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        bool asked = false;
        for (int i = 0; i < 12000; ++i) {
            if (waitpid(pid, &status, WNOHANG) == pid)
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            if (!asked && until()) {
                asked = true;
                kill(pid, SIGTERM);
            }
            if (i == 6000)
                kill(pid, SIGKILL);
            usleep(10000);
        }
        return -1;
    }
    void ExpectOutsideUntouched() {
        EXPECT_EQ(work.Read("victim"), "keep");
        EXPECT_EQ(work.Read("tmp/user.txt"), "mine");
        EXPECT_EQ(work.Read("cursor.txt"), "mine");
        EXPECT_FALSE(work.Exists("env.env"));
        EXPECT_FALSE(work.Exists("sav"));
    }
    kutest::TempDir work;
    const bool isolated = system("unshare -n true >/dev/null 2>&1") == 0;
    const std::string game = work.path() + "/game";
    const std::string victim = work.path() + "/victim";
};

bool IsLink(const std::string& path) { return fs::is_symlink(fs::symlink_status(path)); }

// Whole members unpacked in folder (links and files being written left out).
std::vector<std::string> Unpacked(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(folder, ec))) {
        for (const auto& e : fs::directory_iterator(folder, ec)) {
            if (fs::is_regular_file(e.symlink_status(ec)) && !e.path().filename().string().ends_with(".tmp"))
                names.push_back(e.path().filename().string());
        }
    }
    return names;
}

TEST_F(GameFolderTest, RefusedWithoutDatAndNothingIsWritten) {
    EXPECT_EQ(Run([] { return false; }), 1);
    ExpectOutsideUntouched();
    EXPECT_EQ(kutest::TreeOf(game), std::set<std::string>{"larkspin"});
}

// Two runs of the sample game, each ended by SIGTERM once it has unpacked a
// picture: first with tmp/ and the temporary names planted as links, then
// with the members seen unpacked planted as links under upper-case names.
TEST_F(GameFolderTest, WorksInItsOwnFolderAndFollowsNoPlantedLink) {
    const std::string built = kutest::BinaryDir() + "/game";
    if (!fs::exists(built + "/dat/Img.dat") || !isolated)
        GTEST_SKIP() << "no sample game, or no network namespace for the program";
    work.Write("victim_dir/keep.txt", "keep");
    ASSERT_EQ(0, symlink((built + "/dat").c_str(), (game + "/dat").c_str()));
    fs::create_directories(game + "/sav");
    for (const char* name : {"env.env.tmp", "cursor.txt.tmp", "sav/sav00.sav.tmp"})
        ASSERT_EQ(0, symlink(victim.c_str(), (game + "/" + name).c_str())) << name;
    ASSERT_EQ(0, symlink((work.path() + "/victim_dir").c_str(), (game + "/tmp").c_str()));
    std::vector<std::string> members;
    auto unpacked = [&] {
        std::vector<std::string> names = Unpacked(game + "/tmp");
        if (members.empty())
            members = names;
        return !names.empty();
    };
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Run(unpacked), 0) << run;
        ExpectOutsideUntouched();
        EXPECT_EQ(kutest::TreeOf(work.path() + "/victim_dir"), std::set<std::string>{"keep.txt"});
        for (const std::string name : {"env.env", "cursor.txt", "sav/sav00.sav"}) {
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(game + "/" + name))) << name;
            EXPECT_FALSE(fs::exists(fs::symlink_status(game + "/" + name + ".tmp"))) << name;
        }
        EXPECT_FALSE(fs::exists(fs::symlink_status(game + "/tmp"))) << run;
        ASSERT_FALSE(members.empty());
        fs::create_directories(game + "/tmp");
        for (std::string name : members) {
            for (char& c : name)
                c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
            ASSERT_EQ(0, symlink(victim.c_str(), (game + "/tmp/" + name).c_str())) << name;
        }
    }
}

// FIFOs (no writer) and links to /dev/zero in place of the files it reads:
// it ends by itself as for missing archives and replaces none of them.
TEST_F(GameFolderTest, SpecialFilesNeitherHangNorAreReplaced) {
    if (!isolated)
        GTEST_SKIP() << "cannot give the program a network namespace of its own";
    fs::create_directories(game + "/dat");
    fs::create_directories(game + "/sav");
    const char* fifos[] = {"cursor.txt", "dat/Img.dat", "dat/Scenario.dat", "dat/BGM.dat"};
    const char* zeros[] = {"env.env", "sav/sav00.sav", "dat/SE.dat", "dat/VO.dat", "dat/Mov.dat"};
    for (const char* name : fifos)
        ASSERT_EQ(0, mkfifo((game + "/" + name).c_str(), 0644)) << name;
    for (const char* name : zeros)
        ASSERT_EQ(0, symlink("/dev/zero", (game + "/" + name).c_str())) << name;
    EXPECT_GE(Run([] { return false; }), 0) << "it had to be killed";
    for (const char* name : fifos)
        EXPECT_TRUE(fs::is_fifo(fs::symlink_status(game + "/" + name))) << name;
    for (const char* name : zeros)
        EXPECT_TRUE(IsLink(game + "/" + name)) << name;
    ExpectOutsideUntouched();
}

} // namespace
