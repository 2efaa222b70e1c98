#pragma once
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/kusystem.h"
#include "platform/files.h"
#include "platform/input_state.h"
#include "platform/local_time.h"
#include "tests/support/test_env.h"
#include "platform/files_test_hooks.h"
#include "platform/local_time_test_hooks.h"

namespace kutest {

// Files whose deletion the fake deleter refuses, as a locked file would be.
inline std::set<std::string>& LockedFiles() {
    static std::set<std::string> locked;
    return locked;
}

inline int FakeUnlink(const std::string& path) { return LockedFiles().count(path) ? 13 /* EACCES */ : 0; }

// A fresh game folder, fake clock, released input, fixed local time and a
// started system object for every test.
class SystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        LockedFiles().clear();
        plat::SetUnlinkHook(&FakeUnlink);
        plat::InputState::Get().ReleaseAll();
        plat::InputState::Get().SetMouse(0, 0);
        plat::InputState::Get().SetWarpHook(nullptr);
        plat::SetLocalTimeSource([] {
            plat::LocalTime t;
            t.year = 2024;
            t.month = 3;
            t.day = 7;
            t.hour = 9;
            t.minute = 5;
            t.second = 2;
            return t;
        });
        g_bDebugInfo = 0;
        sys.Initialize(nullptr, 1);
    }
    void TearDown() override {
        plat::SetUnlinkHook(nullptr);
        plat::SetLocalTimeSource(nullptr);
        plat::InputState::Get().ReleaseAll();
        g_bDebugInfo = 0;
    }

    // Declared in this order so the system object goes first (its destructor
    // cleans tmp/ inside the temporary folder, under the fake clock).
    TempDir dir;
    FakeClockScope clock;
    KUSYSTEM sys;
};

} // namespace kutest
