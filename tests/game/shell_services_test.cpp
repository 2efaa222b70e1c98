#include <gtest/gtest.h>

#include "game/shell_services.h"
#include "tests/modes/fake_services.h"

namespace {

int g_screenModeCalls = 0;
int CountScreenMode(int, int) { return ++g_screenModeCalls; }

TEST(ShellServicesTest, CallsReachTheInstalledTableAndNullEntriesFallBackToTheBuiltIn) {
    SHELL_SERVICES only{};
    only.changeScreenMode = &CountScreenMode;
    SetShellServices(only);
    EXPECT_EQ(ChangeScreenMode(1, 0), 1);
    EXPECT_EQ(ChangeScreenMode(0, 0), 2);
    // Without a shell the window services fail and the others do nothing.
    EXPECT_EQ(LibraryRelease(), 0);
    EXPECT_EQ(SaveSettings("env.env"), 0);
    SetMenuAttached(0);
    ApplyWindowStyle(0);

    SetShellServices(SHELL_SERVICES{});
    EXPECT_EQ(ChangeScreenMode(1, 0), 0);
    EXPECT_EQ(g_screenModeCalls, 2);

    fakesvc::Reset();
    EXPECT_EQ(ChangeScreenMode(1, 16), 1);
    EXPECT_EQ(fakesvc::Count("ChangeScreenMode 1 16"), 1);
}

} // namespace
