#pragma once
// Inside the platform layer only: the SDL side of the main window, for the
// video presenter, the menu and the dialogs.
#include <SDL.h>

#include <functional>

#include "platform/window.h"

namespace plat {

SDL_Window* SdlWindowOf(WindowHandle window);

// Input as the modal loops (menu, dialogs) see it: positions are on the
// canvas (game area below the menu strip in a window).
struct RawInput {
    // kClose: the window's close button; kQuit: a termination signal (the
    // system close is queued for the main loop as well).
    enum Kind { kNone, kKeyDown, kKeyUp, kMouseMove, kMouseDown, kMouseUp, kClose, kQuit } kind = kNone;
    int vk = 0;
    bool repeat = false; // a key held down: the modal loops act on presses only
    int x = 0;
    int y = 0;
};

// Takes one window-system event, keeps the key and mouse state, and returns
// it as raw input (kNone for events the modal loops do not care about: those
// are translated into queued messages as usual). False when none waits.
bool PollRawInput(RawInput* out);

// A painter drawn over the game frame and the menu (a dialog). Null removes it.
using OverlayPainter = std::function<void(Surface* canvas, int gameTop)>;
void SetOverlayPainter(WindowHandle window, OverlayPainter painter);

// Hands waiting media-channel events to the window procedure (modal loops
// keep the media running).
void DispatchAppEvents(WindowHandle window);

} // namespace plat
