#pragma once
#include <cstdint>
#include <functional>

#include "app/app_shell.h"

// Test hooks. The instance name keeps parallel test runs apart; the others
// stand in for a failing renderer or sound device and watch the loop.
struct ShellHooks {
    const char* instanceName = "__LARKSPIN_OPNE_ID__";
    // When set, replaces KUSPRITE2::Initialize's result for a depth (the
    // real start-up is skipped for a result other than 1).
    std::function<int(uint32_t bpp)> spriteInit;
    // When set and negative, KUSND::Initialize counts as failed.
    std::function<int()> soundInit;
    // Called once per turn of the message loop, before the next message.
    std::function<void()> onLoopTurn;
    // Called when another start asked this one to come forward.
    std::function<void()> onRaise;
};
ShellHooks& GetShellHooks();
// Counts of calls the tests look at.
struct ShellCounters {
    int libraryRelease = 0;
    int frames = 0;
    int raises = 0;
};
ShellCounters& GetShellCounters();
// Back to the start state between in-process runs (tests).
void ResetShellState();
