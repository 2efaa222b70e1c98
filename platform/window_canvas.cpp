#include <algorithm>
#include <cstring>

#include "platform/menu.h"
#include "platform/overlay_blend.h"
#include "platform/video_present.h"
#include "platform/window.h"
#include "platform/window_state.h"

// The window's picture as the program composes it: the last game frame below
// the menu strip, with the menu bar, an open drop-down and a dialog on top.

namespace plat {

namespace {

void Unite(CanvasArea* a, int x, int y, int w, int h) {
    if (a->w <= 0 || a->h <= 0) {
        *a = CanvasArea{x, y, w, h};
        return;
    }
    int x1 = std::max(a->x + a->w, x + w), y1 = std::max(a->y + a->h, y + h);
    a->x = std::min(a->x, x);
    a->y = std::min(a->y, y);
    a->w = x1 - a->x;
    a->h = y1 - a->y;
}

} // namespace

void PaintOverlay(Window* w) {
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    const bool strip = w->menu && (!w->fullScreen || w->fsMenuShown || w->menuOpenTop >= 0);
    const int barH = w->fullScreen ? kSmCyCaption : kSmCyMenu;
    // Only as tall as what it holds (the strip alone, most of the time): it
    // is uploaded whole, and at start every fresh page costs.
    const bool dropDown = w->menu && w->menuOpenTop >= 0;
    int dx = 0, dy = 0, dw = 0, dh = 0;
    if (dropDown)
        menu_draw::DropDownRect(*w->menu, w->menuOpenTop, barH, &dx, &dy, &dw, &dh);
    int tall = strip ? barH : 0;
    if (dropDown)
        tall = std::max(tall, dy + dh);
    if (w->overlay)
        tall = ch;
    tall = std::clamp(tall, 0, ch);
    if (w->overlaySurf.width != cw || w->overlaySurf.height != tall)
        w->overlaySurf = Surface(cw, tall);
    std::fill(w->overlaySurf.pixels.begin(), w->overlaySurf.pixels.end(), 0u);
    w->overlayUsed = CanvasArea{};
    if (strip) {
        menu_draw::DrawBar(&w->overlaySurf, *w->menu, barH, w->menuOpenTop);
        Unite(&w->overlayUsed, 0, 0, cw, barH);
    }
    if (dropDown) {
        menu_draw::DrawDropDown(&w->overlaySurf, *w->menu, w->menuOpenTop, barH, w->menuSelected);
        Unite(&w->overlayUsed, dx, dy, dw, dh);
    }
    if (w->overlay) {
        w->overlay(&w->overlaySurf, TopOf(w));
        Unite(&w->overlayUsed, 0, 0, cw, ch);
    }
}

void SetOverlayPainter(WindowHandle window, OverlayPainter painter) {
    if (window)
        window->overlay = std::move(painter);
}

const Surface* WindowCanvas(WindowHandle w) {
    if (!w)
        return nullptr;
    if (w->overlayDirty)
        PaintOverlay(w);
    const Surface& frame = LastPresentedFrame();
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    w->canvas = Surface(cw, ch);
    std::fill(w->canvas.pixels.begin(), w->canvas.pixels.end(), 0xFF000000u);
    int top = TopOf(w);
    for (int y = 0; y < std::min(frame.height, ch - top); ++y) {
        memcpy(w->canvas.Row(y + top), frame.Row(y), static_cast<size_t>(std::min(frame.width, cw)) * 4);
    }
    for (size_t i = 0; i < w->canvas.pixels.size() && i < w->overlaySurf.pixels.size(); ++i)
        w->canvas.pixels[i] = BlendOver(w->overlaySurf.pixels[i], w->canvas.pixels[i]);
    return &w->canvas;
}

void CanvasSize(WindowHandle w, int* cw, int* ch) {
    *cw = *ch = 0;
    if (w)
        CanvasSizeOf(w, cw, ch);
}

bool IsWindowFullScreen(WindowHandle w) { return w && w->fullScreen; }
int MenuStripHeight(WindowHandle w) { return w ? TopOf(w) : 0; }
MenuModel* GetWindowMenu(WindowHandle w) { return w ? w->menu : nullptr; }
std::string WindowCaption(WindowHandle w) { return w ? w->caption : std::string(); }

void DrawMenuBar(WindowHandle w) {
    if (w)
        RedrawWindow(w);
}

void ShowFullScreenMenuBar(WindowHandle w, bool shown) {
    if (!w || w->fsMenuShown == shown)
        return;
    w->fsMenuShown = shown;
    RedrawWindow(w);
}

// The game reads keys, never composed text: there is no input method to
// switch, and turning SDL's text input on would only queue events nobody reads.
void SetImeEnabled(bool) {}

} // namespace plat
