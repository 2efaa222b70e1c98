#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

#include <string>

namespace {

std::string UniqueName(const char* tag) { return std::string("larkspin-test-") + tag + "-" + std::to_string(getpid()); }

TEST(SingleInstanceTest, SecondStartFindsFirstAndAsksItToRaise) {
    std::string name = UniqueName("raise");
    plat::SingleInstance first, second;
    ASSERT_EQ(first.Acquire(name), plat::SingleInstance::kOwner);
    EXPECT_FALSE(first.PollRaiseRequest());
    EXPECT_EQ(second.Acquire(name), plat::SingleInstance::kAlreadyRunning);
    EXPECT_FALSE(second.owner());
    EXPECT_TRUE(first.PollRaiseRequest());
    EXPECT_FALSE(first.PollRaiseRequest());
    // Gone with its owner: the next start owns the name.
    first.Release();
    EXPECT_EQ(second.Acquire(name), plat::SingleInstance::kOwner);
}

// Connects to the instance's socket the way another start does.
int ConnectTo(const std::string& name) {
    sockaddr_un addr;
    memset(&addr, 0, sizeof(addr));
    addr.sun_family = AF_UNIX;
    memcpy(addr.sun_path + 1, name.data(), name.size());
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    socklen_t len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// A caller that has not written yet neither holds up the loop nor loses its
// request; one that closes without asking is no request.
TEST(SingleInstanceTest, SlowCallerIsReadAtALaterTurn) {
    std::string name = UniqueName("slow");
    plat::SingleInstance first;
    ASSERT_EQ(first.Acquire(name), plat::SingleInstance::kOwner);
    int slow = ConnectTo(name);
    ASSERT_GE(slow, 0);
    int silent = ConnectTo(name);
    ASSERT_GE(silent, 0);
    EXPECT_FALSE(first.PollRaiseRequest());
    close(silent);
    ASSERT_EQ(write(slow, "raise", 5), 5);
    EXPECT_TRUE(first.PollRaiseRequest());
    close(slow);
    EXPECT_FALSE(first.PollRaiseRequest());
}

// Starts that come while the owner accepts nobody (starting up, or inside a
// dialog) leave at once even after its backlog is full, and the owner still
// sees a raise request when it polls again.
TEST(SingleInstanceTest, ManyStartsWhileOwnerIsBusyDoNotWait) {
    std::string name = UniqueName("busy");
    plat::SingleInstance first;
    ASSERT_EQ(first.Acquire(name), plat::SingleInstance::kOwner);
    for (int i = 0; i < 32; ++i) {
        plat::SingleInstance later;
        EXPECT_EQ(later.Acquire(name), plat::SingleInstance::kAlreadyRunning) << i;
    }
    EXPECT_TRUE(first.PollRaiseRequest());
}

TEST(SingleInstanceTest, NamesDoNotCollide) {
    plat::SingleInstance a, b;
    EXPECT_EQ(a.Acquire(UniqueName("a")), plat::SingleInstance::kOwner);
    EXPECT_EQ(b.Acquire(UniqueName("b")), plat::SingleInstance::kOwner);
}

} // namespace
