#include <SDL.h>

#include <algorithm>

#include "platform/backend/window_sdl.h"
#include "platform/video_present.h"
#include "platform/window.h"
#include "platform/window_state.h"

// The window on screen: where the canvas lands, the overlay picture drawn over
// the presented game frame, redraws, and the switch to and from full screen.

namespace plat {

SDL_Rect CanvasRectInWindow(const Window* w) {
    int ww = 0, wh = 0;
    SDL_GetWindowSize(w->sys->sdl, &ww, &wh);
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    SDL_Rect r{0, 0, ww, wh};
    if (!w->fullScreen || ww <= 0 || wh <= 0)
        return r;
    if (static_cast<int64_t>(ww) * ch > static_cast<int64_t>(wh) * cw) {
        r.w = static_cast<int>(static_cast<int64_t>(wh) * cw / ch);
        r.x = (ww - r.w) / 2;
    } else {
        r.h = static_cast<int>(static_cast<int64_t>(ww) * ch / cw);
        r.y = (wh - r.h) / 2;
    }
    return r;
}

void ApplyPresentArea(Window* w) {
    if (w->fullScreen)
        SetPresentArea(0, 0, 0, 0);
    else
        SetPresentArea(0, TopOf(w), w->clientW, w->clientH);
}

void DropOverlayTexture(Window* w) {
    if (w->sys->overlayTex)
        SDL_DestroyTexture(w->sys->overlayTex);
    w->sys->overlayTex = nullptr;
}

namespace {

// A texture belongs to the renderer that made it: a new renderer (the display
// was reset) needs a new one.
void AdoptRenderer(Window* w, SDL_Renderer* renderer) {
    WindowSystemParts* sys = w->sys;
    if (sys->overlayOwner != renderer && sys->overlayTex) {
        SDL_DestroyTexture(sys->overlayTex);
        sys->overlayTex = nullptr;
    }
    sys->overlayOwner = renderer;
}

// The overlay texture the size of the canvas, made on first use and after a
// change of size; null when it cannot be made.
SDL_Texture* OverlayTexture(Window* w, SDL_Renderer* renderer) {
    WindowSystemParts* sys = w->sys;
    int cw = w->overlaySurf.width, ch = w->overlaySurf.height;
    if (sys->overlayTex) {
        int tw = 0, th = 0;
        SDL_QueryTexture(sys->overlayTex, nullptr, nullptr, &tw, &th);
        if (tw == cw && th == ch)
            return sys->overlayTex;
        SDL_DestroyTexture(sys->overlayTex);
        sys->overlayTex = nullptr;
    }
    sys->overlayTex = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, cw, ch);
    if (!sys->overlayTex)
        return nullptr;
    SDL_SetTextureBlendMode(sys->overlayTex, SDL_BLENDMODE_BLEND);
    w->overlayDirty = true;
    return sys->overlayTex;
}

} // namespace

void DrawOverlay(void* rendererPtr) {
    Window* w = MainWindow();
    auto* renderer = static_cast<SDL_Renderer*>(rendererPtr);
    if (!w || !renderer)
        return;
    AdoptRenderer(w, renderer);
    if (w->overlayDirty)
        PaintOverlay(w);
    if (w->overlayUsed.w <= 0 || w->overlayUsed.h <= 0) {
        w->overlayDirty = false;
        return;
    }
    SDL_Texture* tex = OverlayTexture(w, renderer);
    if (!tex)
        return;
    int cw = w->overlaySurf.width, ch = w->overlaySurf.height;
    if (w->overlayDirty) {
        SDL_UpdateTexture(tex, nullptr, w->overlaySurf.pixels.data(), cw * 4);
        w->overlayDirty = false;
    }
    // Output pixels may differ from window coordinates (high density).
    int outW = 0, outH = 0, ww = 0, wh = 0;
    SDL_GetRendererOutputSize(renderer, &outW, &outH);
    SDL_GetWindowSize(w->sys->sdl, &ww, &wh);
    SDL_Rect r = CanvasRectInWindow(w);
    double sx = ww > 0 ? static_cast<double>(outW) / ww : 1.0, sy = wh > 0 ? static_cast<double>(outH) / wh : 1.0;
    const CanvasArea& u = w->overlayUsed;
    SDL_Rect src{u.x, u.y, u.w, u.h};
    SDL_Rect dst{static_cast<int>((r.x + static_cast<int64_t>(u.x) * r.w / cw) * sx),
                 static_cast<int>((r.y + static_cast<int64_t>(u.y) * r.h / ch) * sy),
                 static_cast<int>(static_cast<int64_t>(u.w) * r.w / cw * sx),
                 static_cast<int>(static_cast<int64_t>(u.h) * r.h / ch * sy)};
    SDL_RenderCopy(renderer, tex, &src, &dst);
}

void RedrawWindow(WindowHandle w) {
    if (!w)
        return;
    w->overlayDirty = true;
    // A dialog may come up before the game has shown anything (start-up):
    // the window must be on screen and hold a picture to draw it over.
    if (SDL_GetWindowFlags(w->sys->sdl) & SDL_WINDOW_HIDDEN)
        SDL_ShowWindow(w->sys->sdl);
    if (LastPresentedFrame().width <= 0) {
        Surface black(w->clientW, w->clientH);
        std::fill(black.pixels.begin(), black.pixels.end(), 0xFF000000u);
        plat::PresentFrame(black, 32);
        return;
    }
    RepresentLastFrame();
}

bool SetWindowFullScreen(WindowHandle w, bool full) {
    if (!w)
        return false;
    if (SDL_SetWindowFullscreen(w->sys->sdl, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    w->fullScreen = full;
    w->fsMenuShown = false;
    if (!full)
        SDL_SetWindowSize(w->sys->sdl, w->clientW, w->clientH + TopOf(w));
    ApplyPresentArea(w);
    DropOverlayTexture(w);
    RedrawWindow(w);
    return true;
}

void SetWindowMenu(WindowHandle w, MenuModel* menu) {
    if (!w || w->menu == menu)
        return;
    w->menu = menu;
    if (!w->fullScreen)
        SDL_SetWindowSize(w->sys->sdl, w->clientW, w->clientH + TopOf(w));
    ApplyPresentArea(w);
    DropOverlayTexture(w);
    RedrawWindow(w);
}

} // namespace plat
