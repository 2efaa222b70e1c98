#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <unistd.h>

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

TEST(SingleInstanceTest, NamesDoNotCollide) {
    plat::SingleInstance a, b;
    EXPECT_EQ(a.Acquire(UniqueName("a")), plat::SingleInstance::kOwner);
    EXPECT_EQ(b.Acquire(UniqueName("b")), plat::SingleInstance::kOwner);
}

}  // namespace
