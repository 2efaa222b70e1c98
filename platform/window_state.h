#pragma once
// Inside the platform layer only: the window's portable state, shared by the
// message queue, the menu loop, the canvas and the backend that shows it.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/surface.h"
#include "platform/window.h"
#include "platform/window_metrics.h"

namespace plat {

// The backend's own part of the window (its system window, textures).
struct WindowSystemParts;

// A rectangle in canvas pixels.
struct CanvasArea {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// A painter drawn over the game frame and the menu (a dialog). Null removes it.
using OverlayPainter = std::function<void(Surface* canvas, int gameTop)>;

struct Window {
    WindowSystemParts* sys = nullptr;
    WindowProc proc = nullptr;
    std::string caption;
    MenuModel* menu = nullptr;
    bool fullScreen = false;
    bool fsMenuShown = false;
    int clientW = 800;
    int clientH = 600;
    int menuOpenTop = -1;
    int menuSelected = -1;
    OverlayPainter overlay;
    // The menu and dialogs are drawn into a transparent picture the size of
    // the canvas and laid over the presented game frame.
    Surface overlaySurf;
    bool overlayDirty = true;
    CanvasArea overlayUsed;
    Surface canvas; // composed on request (tests, screenshots)
};

// Queued when a key or click opens the menu; the loop runs between messages.
constexpr uint32_t kOpenMenu = 0x7F01;

// Height of the menu strip above the game area (none in full screen).
inline int TopOf(const Window* w) { return (!w->fullScreen && w->menu) ? kSmCyMenu : 0; }

// Full screen: the game area's origin for the mouse sits at the strip
// height, so that the system object's offset (the caption height) gives back
// picture coordinates.
inline int MouseOriginY(const Window* w) { return w->fullScreen ? kSmCyCaption : TopOf(w); }

inline void CanvasSizeOf(const Window* w, int* cw, int* ch) {
    *cw = w->clientW;
    *ch = w->clientH + TopOf(w);
}

// The window MainWindow() returns; the backend sets it when it makes one.
void SetMainWindow(Window* w);
// Drop queued messages and menu choices (the window is gone).
void ClearMessageQueue();
void ClearMenuChoices();

// Draws the menu bar, an open drop-down and the overlay painter into the
// window's overlay picture and notes the part in use.
void PaintOverlay(Window* w);
void SetOverlayPainter(WindowHandle window, OverlayPainter painter);

// Hands waiting media-channel events to the window procedure (modal loops
// keep the media running).
void DispatchAppEvents(WindowHandle window);

} // namespace plat
