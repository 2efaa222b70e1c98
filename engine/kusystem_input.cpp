#include "engine/kusystem.h"

#include "engine/virtual_keys.h"
#include "platform/debug_out.h"
#include "platform/input_state.h"

namespace {

// Game keys (kGameKeyReturn .. kGameKeyEscape) as virtual keys.
constexpr int kGameKeyToVk[] = {
    plat::kVkReturn, plat::kVkControl, plat::kVkSpace,   plat::kVkUp,     plat::kVkDown,   plat::kVkLeft,
    plat::kVkRight,  plat::kVkLButton, plat::kVkRButton, plat::kVkDelete, plat::kVkEscape,
};
constexpr int kGameKeyCount = static_cast<int>(sizeof(kGameKeyToVk) / sizeof(kGameKeyToVk[0]));

bool IsGameKey(int key) { return key >= 0 && key < kGameKeyCount; }

} // namespace

// Keys.

void KUSYSTEM::UpdateKeyState() {
    plat::InputState& input = plat::InputState::Get();
    for (int vk = 0; vk < kKeyCount; ++vk) {
        previous_[vk] = current_[vk];
        // A press released before this frame reads as down for this one
        // frame, so the next one sees its release.
        const bool pressed = input.TakePress(vk);
        current_[vk] = (input.IsVkDown(vk) || pressed) ? 1u : 0u;
        push_[vk] = (previous_[vk] && !current_[vk]) ? 1u : 0u;
        if (push_[vk])
            latched_[vk] = 1;
    }
}

int KUSYSTEM::GetKey(int gameKey) {
    if (!IsGameKey(gameKey)) {
        plat::DebugOut("Warn: <KUSYSTEM::GetKey> 定義されていない列挙名です\n");
        return 0;
    }
    return current_[kGameKeyToVk[gameKey]] ? 1 : 0;
}

int KUSYSTEM::GetKeyPush(int gameKey) {
    if (!IsGameKey(gameKey)) {
        plat::DebugOut("Warn: <KUSYSTEM::GetKeyPush> 定義されていない列挙名です\n");
        return 0;
    }
    return static_cast<int>(push_[kGameKeyToVk[gameKey]]);
}

int KUSYSTEM::GetKeyPushLatched(int gameKey) {
    if (!IsGameKey(gameKey)) {
        plat::DebugOut("Warn: <KUSYSTEM::GetKeyPush> 定義されていない列挙名です\n");
        return 0;
    }
    return static_cast<int>(latched_[kGameKeyToVk[gameKey]]);
}

void KUSYSTEM::ClearKeyPush() { std::fill(std::begin(latched_), std::end(latched_), 0u); }

void KUSYSTEM::ClearKeyState() {
    std::fill(std::begin(push_), std::end(push_), 0u);
    std::fill(std::begin(current_), std::end(current_), 0u);
    std::fill(std::begin(previous_), std::end(previous_), 0u);
}

int KUSYSTEM::GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= kKeyCount) {
        const char* msg = "Error: <KUSYSTEM::GetKeyState> 仮想キーコードが不正です\n";
        plat::DebugOut(msg);
        TracePrint(msg);
        return 0;
    }
    const bool before = previous_[virtualKey] != 0;
    const bool now = current_[virtualKey] != 0;
    if (!before && !now)
        return 0;
    if (before && now)
        return 1;
    return now ? 2 : 3;
}

void KUSYSTEM::SetKeyState(int virtualKey, int state) {
    if (virtualKey < 0 || virtualKey >= kKeyCount) {
        const char* msg = "Error: <KUSYSTEM::SetKeyState> 仮想キーコードが不正です\n";
        plat::DebugOut(msg);
        TracePrint(msg);
        return;
    }
    previous_[virtualKey] = (state == 1 || state == 3) ? 1u : 0u;
    current_[virtualKey] = (state == 1 || state == 2) ? 1u : 0u;
}

void KUSYSTEM::SetMouseButtonFlag(int gameKey, int value) {
    if (gameKey == kGameKeyLButton)
        mouseButton_[0] = static_cast<uint32_t>(value);
    if (gameKey == kGameKeyRButton)
        mouseButton_[1] = static_cast<uint32_t>(value);
}

int KUSYSTEM::GetMouseButtonFlag(int gameKey) const {
    if (gameKey == kGameKeyLButton)
        return static_cast<int>(mouseButton_[0]);
    if (gameKey == kGameKeyRButton)
        return static_cast<int>(mouseButton_[1]);
    return 0;
}

// ---------------------------------------------------------------------------
// Mouse

void KUSYSTEM::UpdateMousePos() {
    int x = 0;
    int y = 0;
    plat::InputState::Get().GetMouse(&x, &y);
    mouseX_ = x;
    mouseY_ = y + mouseOffsetY_;
}

void KUSYSTEM::GetMousePos(int* x, int* y) const {
    if (x)
        *x = mouseX_;
    if (y)
        *y = mouseY_;
}

void KUSYSTEM::SetMousePos(int x, int y) {
    plat::InputState::Get().WarpMouse(x, y - mouseOffsetY_);
    mouseX_ = x;
    mouseY_ = y;
}

void KUSYSTEM::SetMouseOffsetY(int offset) { mouseOffsetY_ = offset; }

int KUSYSTEM::GetMouseOffsetY() const { return mouseOffsetY_; }

void KUSYSTEM::SetWindowHandle(plat::WindowHandle hWnd) { window_ = hWnd; }

plat::WindowHandle KUSYSTEM::GetWindowHandle() const { return window_; }

// The pointer's look is the window layer's business; both cursors are the
// one found at start, so switching between them changes nothing.
int KUSYSTEM::ChangeCursor(int) { return 1; }
