#pragma once
// What the portable platform layer asks of a backend beside the functions its
// public headers declare (files, local time, conversions, fonts, decoders,
// presenting, window creation, single instance): the window system's events,
// the system message box, the cursor's visibility and the audio device.
// platform/backend/ defines all of them with SDL2; nothing here names a
// library, so another backend (headless, another window system) fits beside.
#include <string>

namespace plat {

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
// Takes one window-system event and queues it as the program's messages.
// False when none waits (or no window system runs).
bool PumpWindowEvent();
// True once the window system runs (a window was made).
bool WindowSystemUp();
// True while a window-system event waits to be taken (PollRawInput may
// report none before all of them are read).
bool WindowEventWaiting();
// Blocks until a window-system event may be waiting, at most timeoutMs.
void WaitWindowEvent(int timeoutMs);

// True when the window system shows nothing to anyone (a headless driver):
// a box there would wait for an answer that never comes.
bool WindowSystemHeadless();

// A message box of the system's own, for errors while no window exists.
void ShowSystemErrorBox(const std::string& caption, const std::string& text);

// Shows or hides the mouse cursor over the window.
void ApplyCursorShown(bool shown);

// Starts the audio device pulling the mixer's output from its own thread;
// false when no device opens.
bool OpenAudioDevice();
void CloseAudioDevice();

} // namespace plat
