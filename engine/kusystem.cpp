#include "engine/kusystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>

#include "engine/game_paths.h"
#include "engine/kusystem_internal.h"
#include "engine/trace_line.h"
#include "platform/clock.h"
#include "platform/debug_out.h"
#include "platform/files.h"
#include "platform/input_state.h"
#include "platform/local_time.h"
#include "platform/random.h"
#include "platform/sjis.h"

KUSYSTEM::KUSYSTEM() {
    std::fill(std::begin(push_), std::end(push_), 1u);
    std::fill(std::begin(current_), std::end(current_), 1u);
    std::fill(std::begin(previous_), std::end(previous_), 1u);
    std::fill(std::begin(latched_), std::end(latched_), 1u);
    mouseButton_[0] = mouseButton_[1] = 1;
    memset(removeList_, 0, sizeof(removeList_));
    memset(pathBuffer_, 0, sizeof(pathBuffer_));
}

KUSYSTEM::~KUSYSTEM() {
    window_ = nullptr;
    currentTime_ = pausedTotal_ = pauseStart_ = 0;
    pauseDepth_ = 0;
    mouseX_ = mouseY_ = mouseOffsetY_ = 0;
    lastFrameWait_ = 0;
    gameCursor_ = startCursor_ = 0;
    memset(removeList_, 0, sizeof(removeList_));
    if (initialized_)
        RemoveTempFiles();
}

// ---------------------------------------------------------------------------
// Start, frame and end

int KUSYSTEM::Initialize(plat::WindowHandle hWnd, int clearList) {
    plat::SeedRand(static_cast<uint32_t>(time(nullptr)));
    RemoveFile(nullptr, kTraceFile, 0);
    currentTime_ = plat::TimeMs();
    pausedTotal_ = 0;
    pauseStart_ = 0;
    pauseDepth_ = 0;
    window_ = hWnd;
    std::fill(std::begin(push_), std::end(push_), 0u);
    std::fill(std::begin(current_), std::end(current_), 0u);
    std::fill(std::begin(previous_), std::end(previous_), 0u);
    // The latched flags stay set until ClearKeyPush.
    plat::InputState::Get().GetMouse(&mouseX_, &mouseY_);
    mouseOffsetY_ = 0;
    lastFrameWait_ = 0;
    gameCursor_ = startCursor_ = 0;
    if (clearList)
        memset(removeList_, 0, sizeof(removeList_));
    initialized_ = true;
    return MakeDirectory(kTempFolder, 1);
}

void KUSYSTEM::Update(plat::WindowHandle) {
    UpdateTime();
    UpdateKeyState();
    UpdateMousePos();
    ProcessRemoveFileList();
}

void KUSYSTEM::RemoveTempFiles() {
    // A link or file put in tmp/'s place since the start is taken away
    // itself, never walked; the shell may have emptied and removed a real
    // tmp/ already, leaving nothing to walk.
    const bool gone = plat::UnlinkFile(kTempFolderName) == 0;
    if (!gone && plat::FileExists(kTempFolder))
        RemoveFile(kTempFolder, nullptr, 1);
    if (!gone && plat::FileExists(kTempFolder) && plat::RemoveDir(kTempFolder) != 0) {
        TracePrint(
            kusys::FormatPath("Error: <KUSYSTEM::RemoveFile> ディレクトリ %s が削除出来ません\n", kTempFolder).c_str());
    }
    ProcessRemoveFileList();
    // Cleaned up: the destructor must not sweep tmp/ again. It runs after the
    // single-instance lock is gone, when the next start may already be
    // unpacking its own pictures there.
    initialized_ = false;
}

// ---------------------------------------------------------------------------
// Clock

void KUSYSTEM::UpdateTime() {
    if (pauseDepth_ < 1)
        currentTime_ = plat::TimeMs();
}

int KUSYSTEM::GetTime() const { return static_cast<int>(currentTime_ - pausedTotal_); }

void KUSYSTEM::StopTime() {
    if (pauseDepth_ < 1)
        pauseStart_ = plat::TimeMs();
    ++pauseDepth_;
}

void KUSYSTEM::StartTime() {
    // An unmatched StartTime would drive the depth negative, after which the
    // next pause would no longer freeze the clock yet still be subtracted,
    // moving the game time backwards.
    if (pauseDepth_ < 1)
        return;
    --pauseDepth_;
    if (pauseDepth_ > 0 || pauseStart_ == 0)
        return;
    UpdateTime();
    pausedTotal_ += plat::TimeMs() - pauseStart_;
    pauseStart_ = 0;
}

int KUSYSTEM::FrameWait(int fps) {
    fps = std::clamp(fps, 1, 1000);
    const uint32_t interval = 1000u / static_cast<uint32_t>(fps);
    uint32_t now = plat::TimeMs();
    // Sleep through most of the wait, spin only the last millisecond.
    while (now - lastFrameWait_ < interval) {
        uint32_t left = interval - (now - lastFrameWait_);
        if (left > 1)
            plat::SleepMs(left - 1);
        now = plat::TimeMs();
    }
    uint32_t elapsed = std::max<uint32_t>(now - lastFrameWait_, 1u);
    lastFrameWait_ = now;
    return std::max(static_cast<int>(1000u / elapsed), 1);
}

// ---------------------------------------------------------------------------
// Random numbers

int KUSYSTEM::Rand() { return plat::Rand(); }

// ---------------------------------------------------------------------------
// Trace

void KUSYSTEM::TracePrint(const char* message) {
    if (!message)
        return;
    if (held_) {
        held_->append(message);
        held_->push_back('\0');
        return;
    }
    char line[kTraceLineBytes];
    FormatTraceLine(message, line, sizeof(line));
    plat::DebugOut(line);
    if (!g_bDebugInfo)
        return;
    FILE* f = plat::OpenFile(kTraceFile, "a+"); // never through a link
    bool ok = f != nullptr;
    if (f) {
        ok = fputs(line, f) >= 0;
        ok = (fclose(f) == 0) && ok;
    }
    if (!ok)
        plat::DebugOut("Error: <KUSYSTEM::TracePrint> fprintfに失敗しました\n");
}
