#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include <string>

#include "tests/support/test_env.h"

namespace {

std::string UniqueName(const char* tag) { return std::string("larkspin-test-") + tag + "-" + std::to_string(getpid()); }

// Sets or clears $XDG_RUNTIME_DIR for one test, then puts it back.
class RuntimeDirScope {
public:
    explicit RuntimeDirScope(const char* dir) {
        const char* old = getenv("XDG_RUNTIME_DIR");
        had_ = old != nullptr;
        if (had_)
            old_ = old;
        if (dir)
            setenv("XDG_RUNTIME_DIR", dir, 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }
    ~RuntimeDirScope() {
        if (had_)
            setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }

private:
    bool had_ = false;
    std::string old_;
};

// Connects to a socket by its address: a file path, or an abstract name
// when `abstract` is set.
int ConnectTo(const std::string& name, bool abstract) {
    sockaddr_un addr;
    memset(&addr, 0, sizeof(addr));
    addr.sun_family = AF_UNIX;
    size_t skip = abstract ? 1 : 0;
    memcpy(addr.sun_path + skip, name.data(), name.size());
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    socklen_t len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + skip + name.size());
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The abstract name a start of this user tries first (then ".1", ".2", ...).
std::string AbstractName(const std::string& name) { return name + "." + std::to_string(geteuid()); }

// Both ways to hold the lock behave alike for starts of one user.
class SingleInstanceTest : public ::testing::TestWithParam<bool> {
protected:
    bool InFolder() const { return GetParam(); }
    kutest::TempDir runtime; // made 0700 by mkdtemp
    RuntimeDirScope scope{InFolder() ? runtime.path().c_str() : nullptr};
};

TEST_P(SingleInstanceTest, SecondStartFindsFirstAndAsksItToRaise) {
    std::string name = UniqueName("raise");
    plat::SingleInstance first, second;
    ASSERT_EQ(first.Acquire(name), plat::SingleInstance::kOwner);
    EXPECT_EQ(runtime.Exists(name + ".sock"), InFolder());
    EXPECT_FALSE(first.PollRaiseRequest());
    EXPECT_EQ(second.Acquire(name), plat::SingleInstance::kAlreadyRunning);
    EXPECT_FALSE(second.owner());
    EXPECT_TRUE(first.PollRaiseRequest());
    EXPECT_FALSE(first.PollRaiseRequest());
    // Gone with its owner: the next start owns the name.
    first.Release();
    EXPECT_FALSE(runtime.Exists(name + ".sock"));
    EXPECT_EQ(second.Acquire(name), plat::SingleInstance::kOwner);
}

// A caller that has not written yet neither holds up the loop nor loses its
// request; one that closes without asking is no request.
TEST_P(SingleInstanceTest, SlowCallerIsReadAtALaterTurn) {
    std::string name = UniqueName("slow");
    plat::SingleInstance first;
    ASSERT_EQ(first.Acquire(name), plat::SingleInstance::kOwner);
    std::string address = InFolder() ? runtime.path() + "/" + name + ".sock" : AbstractName(name);
    int slow = ConnectTo(address, !InFolder());
    ASSERT_GE(slow, 0);
    int silent = ConnectTo(address, !InFolder());
    ASSERT_GE(silent, 0);
    EXPECT_FALSE(first.PollRaiseRequest());
    close(silent);
    ASSERT_EQ(write(slow, "raise", 5), 5);
    EXPECT_TRUE(first.PollRaiseRequest());
    close(slow);
    EXPECT_FALSE(first.PollRaiseRequest());
}

// Starts that come while the owner accepts nobody (starting up, or inside a
// dialog) leave at once, and the owner still sees a raise request when it
// polls again.
TEST_P(SingleInstanceTest, ManyStartsWhileOwnerIsBusyDoNotWait) {
    std::string name = UniqueName("busy");
    plat::SingleInstance first;
    ASSERT_EQ(first.Acquire(name), plat::SingleInstance::kOwner);
    for (int i = 0; i < 32; ++i) {
        plat::SingleInstance later;
        EXPECT_EQ(later.Acquire(name), plat::SingleInstance::kAlreadyRunning) << i;
    }
    EXPECT_TRUE(first.PollRaiseRequest());
}

TEST_P(SingleInstanceTest, NamesDoNotCollide) {
    plat::SingleInstance a, b;
    EXPECT_EQ(a.Acquire(UniqueName("a")), plat::SingleInstance::kOwner);
    EXPECT_EQ(b.Acquire(UniqueName("b")), plat::SingleInstance::kOwner);
}

INSTANTIATE_TEST_SUITE_P(Lock, SingleInstanceTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "RuntimeFolder" : "AbstractName"; });

// A runtime folder others can enter is not used: a socket there could be
// anyone's.
TEST(SingleInstanceFolderTest, SharedRuntimeFolderIsNotUsed) {
    kutest::TempDir runtime;
    ASSERT_EQ(chmod(runtime.path().c_str(), 0755), 0);
    RuntimeDirScope scope(runtime.path().c_str());
    plat::SingleInstance first, second;
    ASSERT_EQ(first.Acquire(UniqueName("shared")), plat::SingleInstance::kOwner);
    EXPECT_FALSE(runtime.Exists(UniqueName("shared") + ".lock"));
    EXPECT_EQ(second.Acquire(UniqueName("shared")), plat::SingleInstance::kAlreadyRunning);
}

// Another user squats this user's first abstract name and calls in to ask
// for a raise: this user still starts once, its second start still finds the
// first, and the stranger's request is ignored.
TEST(SingleInstanceSquatTest, AnotherUsersSocketNeitherBlocksNorRaises) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run the squatter as another user";
    passwd* nobody = getpwnam("nobody");
    if (!nobody || nobody->pw_uid == 0)
        GTEST_SKIP() << "no unprivileged user \"nobody\" here";
    RuntimeDirScope scope(nullptr);
    const std::string name = UniqueName("squat");
    const std::string squatted = AbstractName(name);
    int toChild[2], toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        char c = 'x';
        if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
            _exit(2);
        // The name this user's start would take first, bound by a stranger.
        sockaddr_un addr;
        memset(&addr, 0, sizeof(addr));
        addr.sun_family = AF_UNIX;
        memcpy(addr.sun_path + 1, squatted.data(), squatted.size());
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        socklen_t len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + squatted.size());
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(fd, 4) != 0)
            _exit(3);
        if (write(toParent[1], &c, 1) != 1 || read(toChild[0], &c, 1) != 1)
            _exit(4);
        // Now a caller at the owner's name: it asks for a raise.
        int caller = ConnectTo(squatted + ".1", true);
        if (caller < 0 || write(caller, "raise", 5) != 5)
            _exit(5);
        if (write(toParent[1], &c, 1) != 1 || read(toChild[0], &c, 1) != 1)
            _exit(6);
        _exit(0);
    }
    char c = 'x';
    ASSERT_EQ(read(toParent[0], &c, 1), 1) << "the squatter is listening";
    plat::SingleInstance first;
    EXPECT_EQ(first.Acquire(name), plat::SingleInstance::kOwner);
    ASSERT_EQ(write(toChild[1], &c, 1), 1);
    ASSERT_EQ(read(toParent[0], &c, 1), 1) << "the stranger has called";
    EXPECT_FALSE(first.PollRaiseRequest()) << "a stranger's request";
    plat::SingleInstance second;
    EXPECT_EQ(second.Acquire(name), plat::SingleInstance::kAlreadyRunning);
    EXPECT_TRUE(first.PollRaiseRequest());
    ASSERT_EQ(write(toChild[1], &c, 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "squatter step " << WEXITSTATUS(status);
    for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]})
        close(fd);
}

} // namespace
