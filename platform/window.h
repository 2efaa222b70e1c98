#pragma once
#include <cstdint>
#include <string>

#include "platform/surface.h"
#include "platform/window_handle.h"

namespace plat {

class MenuModel;

// The program's window messages (our own codes; the media-channel events are
// kMsgApp + 2..4 as platform/app_events.h posts them).
enum : uint32_t {
    kMsgCreate = 0x0001,
    kMsgDestroy = 0x0002,
    kMsgMove = 0x0003,
    kMsgSize = 0x0005,
    kMsgPaint = 0x000F,
    kMsgClose = 0x0010,
    kMsgQuit = 0x0012,
    kMsgActivateApp = 0x001C, // wParam 1 activated, 0 deactivated
    kMsgKeyDown = 0x0100, // wParam virtual key
    kMsgKeyUp = 0x0101,
    kMsgCommand = 0x0111, // wParam command id
    kMsgEnterMenuLoop = 0x0211,
    kMsgExitMenuLoop = 0x0212,
    kMsgApp = 0x8000,
};

// lParam of a kMsgClose that the system sent (a termination signal), not the
// player: nobody is there to answer a question.
constexpr intptr_t kCloseFromSystem = 1;

struct Message {
    WindowHandle window = nullptr;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// A cursor image: ARGB pixels (alpha 0 transparent) and its hot spot.
struct CursorImage {
    const Surface* image = nullptr;
    int hotX = 0;
    int hotY = 0;
};

struct WindowParams {
    const char* caption = ""; // Shift-JIS
    WindowProc proc = nullptr;
    const Surface* icon = nullptr; // window icon, may be null
    CursorImage cursor; // image null: the standard arrow
    MenuModel* menu = nullptr; // the menu bar, may be null
    int clientWidth = 800; // the game area
    int clientHeight = 600;
    bool fullScreen = false;
};

// Creates the one window. Like its Windows counterpart it sends kMsgCreate to
// the procedure before returning (the procedure gets the handle as argument).
// Null when SDL cannot make the window.
WindowHandle CreateMainWindow(const WindowParams& params);
// Readies the process for the window system. Call first thing, while the
// program is still one thread: it may set environment variables, and it makes
// the C library read text as UTF-8, as the window system is handed it.
void PrepareWindowSystem();
// Destroys the window (no messages are sent). Safe on null.
void DestroyMainWindow(WindowHandle window);
// The window made by CreateMainWindow, null when none lives.
WindowHandle MainWindow();
// Shows the window; SHOWN arrives as activation (headless drivers never send
// focus events, so the shown window counts as the active one).
void ShowMainWindow(WindowHandle window);

// Synchronous call of the window procedure.
intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Queues a message behind the pending ones.
void PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Queues kMsgQuit with the exit code.
void PostQuitMessage(int exitCode);
// Takes the next message (queued ones first, then media events, then window
// system events translated into our codes). False when none waits.
bool PeekMessage(Message* out);
// Hands the message to the window procedure (kMsgQuit goes nowhere).
intptr_t DispatchMessage(const Message& message);
// Blocks until an event may be waiting, at most timeoutMs.
void WaitMessage(int timeoutMs);

// Shows the last presented game frame again with the menu bar, a drop-down
// or a dialog on top (the game presents its frames through the video layer).
void RedrawWindow(WindowHandle window);
// The picture the window shows now (game area plus menu strip), composed in
// memory, for tests and screenshots.
const Surface* WindowCanvas(WindowHandle window);
// Size of that picture.
void CanvasSize(WindowHandle window, int* width, int* height);

// Screen mode. Full screen takes the desktop with the game area scaled and
// letterboxed and no menu strip; a window has the strip above the game area.
bool SetWindowFullScreen(WindowHandle window, bool full);
bool IsWindowFullScreen(WindowHandle window);
bool CenterWindow(WindowHandle window);
void RestoreAndRaiseWindow(WindowHandle window);
bool IsWindowMinimized(WindowHandle window);
// Height of the menu strip above the game area (0 in full screen).
int MenuStripHeight(WindowHandle window);

// Attaches a menu bar (the window grows by the strip) or detaches it (null).
void SetWindowMenu(WindowHandle window, MenuModel* menu);
MenuModel* GetWindowMenu(WindowHandle window);

// The drawn menu bar: changes of the model are shown at the next redraw.
void DrawMenuBar(WindowHandle window);
// Full screen: show the menu strip over the top of the game area or hide it.
void ShowFullScreenMenuBar(WindowHandle window, bool shown);
// Runs the menu's modal loop (kMsgEnterMenuLoop, navigation, kMsgExitMenuLoop,
// then a posted kMsgCommand for a chosen item). topIndex opens that drop-down.
void RunMenuLoop(WindowHandle window, int topIndex);

// Input method on/off; the game reads keys only, so these change nothing.
void SetImeEnabled(bool enabled);

// Caption text of the window (Shift-JIS), as set at creation.
std::string WindowCaption(WindowHandle window);

} // namespace plat
