#pragma once

namespace plat {

// Virtual-key codes the engine uses (the values are the original's, since
// game data and settings never store them, only the engine compares them).
enum VirtualKey : int {
    kVkLButton = 1,
    kVkRButton = 2,
    kVkMButton = 4,
    kVkBack = 8,
    kVkTab = 9,
    kVkReturn = 13,
    kVkShift = 16,
    kVkControl = 17,
    kVkMenu = 18,
    kVkEscape = 27,
    kVkSpace = 32,
    kVkPrior = 33,
    kVkNext = 34,
    kVkEnd = 35,
    kVkHome = 36,
    kVkLeft = 37,
    kVkUp = 38,
    kVkRight = 39,
    kVkDown = 40,
    kVkDelete = 46,
    kVkF1 = 112,
};

// Key and mouse state as the window's events leave it. The window layer
// feeds it from the events it pumps; tests set it directly.
class InputState {
public:
    static InputState& Get();

    // A swallowed key reads as up although it is held.
    bool IsVkDown(int vk) const { return vk >= 0 && vk < 256 && down_[vk] && !swallowed_[vk]; }
    void SetVkDown(int vk, bool down) {
        if (vk >= 0 && vk < 256) {
            if (down && !down_[vk])
                pressed_[vk] = true;
            down_[vk] = down;
            if (!down)
                swallowed_[vk] = false;
        }
    }
    // Whether the key went down since the last call, held or not by now: a
    // press and its release between two frames (a tap, an injected click)
    // still counts once, as the original platform's key state reported it.
    bool TakePress(int vk) {
        if (vk < 0 || vk >= 256)
            return false;
        const bool pressed = pressed_[vk];
        pressed_[vk] = false;
        return pressed;
    }
    // A press a menu or dialog took: the game never sees it, and the key
    // counts as up until it is released and pressed again.
    void Swallow(int vk) {
        if (vk >= 0 && vk < 256 && down_[vk]) {
            swallowed_[vk] = true;
            pressed_[vk] = false;
        }
    }
    bool IsSwallowed(int vk) const { return vk >= 0 && vk < 256 && swallowed_[vk]; }
    void ReleaseAll();

    // Mouse position in client (game) coordinates.
    void GetMouse(int* x, int* y) const {
        *x = mouseX_;
        *y = mouseY_;
    }
    void SetMouse(int x, int y) {
        mouseX_ = x;
        mouseY_ = y;
    }
    // Moving the pointer on request; the window layer warps the real one.
    using WarpHook = void (*)(int x, int y);
    void SetWarpHook(WarpHook hook) { warp_ = hook; }
    void WarpMouse(int x, int y);

private:
    bool down_[256] = {};
    bool swallowed_[256] = {};
    bool pressed_[256] = {};
    int mouseX_ = 0;
    int mouseY_ = 0;
    WarpHook warp_ = nullptr;
};

} // namespace plat
