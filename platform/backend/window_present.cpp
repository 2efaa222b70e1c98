#include <SDL.h>

#include <algorithm>
#include <vector>

#include "platform/backend/window_sdl.h"
#include "platform/letterbox.h"
#include "platform/picture_shrink.h"
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
    // Whatever size the window got (a tiling window manager, none at all, full
    // screen), the canvas keeps its shape and fills as much as fits.
    const FitRect r = Letterbox(ww, wh, cw, ch);
    return SDL_Rect{r.x, r.y, r.w, r.h};
}

SDL_Rect CanvasToOutput(const Window* w, void* rendererPtr, int x, int y, int width, int height) {
    const SDL_Rect r = CanvasRectInWindow(w);
    const FitRect fit{r.x, r.y, r.w, r.h};
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    int x0, y0, x1, y1;
    PictureToOutput(fit, cw, ch, x, y, &x0, &y0);
    PictureToOutput(fit, cw, ch, x + width, y + height, &x1, &y1);
    // Output pixels may differ from window coordinates (high density).
    int outW = 0, outH = 0, ww = 0, wh = 0;
    if (rendererPtr)
        SDL_GetRendererOutputSize(static_cast<SDL_Renderer*>(rendererPtr), &outW, &outH);
    SDL_GetWindowSize(w->sys->sdl, &ww, &wh);
    if (outW <= 0 || outH <= 0 || ww <= 0 || wh <= 0)
        return SDL_Rect{x0, y0, x1 - x0, y1 - y0};
    auto sx = [&](int v) { return static_cast<int>(static_cast<int64_t>(v) * outW / ww); };
    auto sy = [&](int v) { return static_cast<int>(static_cast<int64_t>(v) * outH / wh); };
    return SDL_Rect{sx(x0), sy(y0), sx(x1) - sx(x0), sy(y1) - sy(y0)};
}

void ApplyPresentArea(Window* w) {
    const SDL_Rect a = CanvasToOutput(w, PresentRenderer(), 0, TopOf(w), w->clientW, w->clientH);
    SetPresentArea(a.x, a.y, a.w, a.h);
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

// The overlay texture the size of its picture, made on first use and after a
// change of size; null when it cannot be made.
SDL_Texture* OverlayTexture(Window* w, SDL_Renderer* renderer, const Surface& picture) {
    WindowSystemParts* sys = w->sys;
    int cw = picture.width, ch = picture.height;
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

// The canvas's grid in the output; false unless the window shows it shrunk.
bool CanvasShrink(const Window* w, void* renderer, ShrinkGrid* g) {
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    const SDL_Rect out = CanvasToOutput(w, renderer, 0, 0, cw, ch);
    *g = ShrinkGrid{cw, ch, out.w, out.h};
    return Shrinks(cw, ch, out.w, out.h);
}

RectI Meet(const RectI& a, const RectI& b) {
    return RectI{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
}
bool IsEmpty(const RectI& r) { return r.left >= r.right || r.top >= r.bottom; }

// The output pixels where the shrunk overlay may cover anything.
RectI CoverOf(const Window* w, const ShrinkGrid& g) {
    const CanvasArea& u = w->overlayUsed;
    return ShrunkRect(g, RectI{u.x, u.y, u.x + u.w, u.y + u.h});
}

// The output pixels a change of the game frame in r reaches on the canvas's grid.
RectI FrameChangeOut(const Window* w, const ShrinkGrid& g, const RectI& r) {
    const int top = TopOf(w);
    return ShrunkRect(g, RectI{r.left, r.top + top, r.right, r.bottom + top});
}

void ForgetFrameChanges(WindowSystemParts* sys) {
    sys->frameChanges.clear();
    sys->frameChangedWhole = false;
}

// Where the canvas shrinks into the output, the overlay as it shows there:
// laid over the game frame first and then averaged like the frame, so that an
// opaque dialog's edge shows nothing of what it hides and the menu bar's text
// stays legible. Made again when the overlay, the size or all of the frame
// changed; otherwise only where it covers changed parts of the frame, which
// go to *parts (output pixels) to be uploaded. Null at 1:1 or enlarged.
const Surface* ShrunkOverlay(Window* w, void* renderer, std::vector<RectI>* parts) {
    WindowSystemParts* sys = w->sys;
    Surface& small = sys->overlayShrunk;
    ShrinkGrid g;
    if (!CanvasShrink(w, renderer, &g)) {
        if (small.width > 0)
            small = Surface();
        ForgetFrameChanges(sys);
        return nullptr;
    }
    const Surface& frame = LastPresentedFrame();
    const int rows = ShrunkRect(g, RectI{0, 0, g.srcW, w->overlaySurf.height}).bottom;
    if (w->overlayDirty || sys->frameChangedWhole || small.width != g.outW || small.height != rows) {
        if (small.width != g.outW || small.height != rows)
            small = Surface(g.outW, rows);
        ShrinkOverPart(w->overlaySurf, frame, TopOf(w), g, RectI{0, 0, g.outW, rows}, &small);
        w->overlayDirty = true; // to be uploaded
    } else {
        const RectI cover = Meet(CoverOf(w, g), RectI{0, 0, g.outW, rows});
        for (const RectI& r : sys->frameChanges) {
            const RectI o = Meet(FrameChangeOut(w, g, r), cover);
            if (IsEmpty(o))
                continue;
            ShrinkOverPart(w->overlaySurf, frame, TopOf(w), g, o, &small);
            parts->push_back(o);
        }
    }
    ForgetFrameChanges(sys);
    return &small;
}

} // namespace

bool NoteFrameChange(const RectI* rects, size_t count) {
    Window* w = MainWindow();
    if (!w)
        return false;
    WindowSystemParts* sys = w->sys;
    // At 1:1 or enlarged the overlay is laid over the frame as it is: the
    // changes are not kept, and a shrunk overlay is made again whole.
    ShrinkGrid g;
    const bool shrunk = CanvasShrink(w, PresentRenderer(), &g);
    // Kept few: past a handful, the overlay is made again whole.
    if (!shrunk || !rects || count == 0 || sys->frameChangedWhole || sys->frameChanges.size() + count > 16) {
        sys->frameChanges.clear();
        sys->frameChangedWhole = true;
    } else {
        sys->frameChanges.insert(sys->frameChanges.end(), rects, rects + count);
    }
    if (!shrunk)
        return false;
    if (w->overlayDirty)
        return true;
    if (w->overlayUsed.w <= 0 || w->overlayUsed.h <= 0)
        return false;
    if (!rects || count == 0)
        return true;
    const RectI cover = CoverOf(w, g);
    for (size_t i = 0; i < count; ++i)
        if (!IsEmpty(Meet(FrameChangeOut(w, g, rects[i]), cover)))
            return true;
    return false;
}

void DrawOverlay(void* rendererPtr) {
    Window* w = MainWindow();
    auto* renderer = static_cast<SDL_Renderer*>(rendererPtr);
    if (!w || !renderer)
        return;
    AdoptRenderer(w, renderer);
    if (w->overlayDirty)
        PaintOverlay(w);
    if (w->overlayUsed.w <= 0 || w->overlayUsed.h <= 0) {
        // Painted again, and so made again whole, once it is used.
        ForgetFrameChanges(w->sys);
        w->overlayDirty = false;
        return;
    }
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    const SDL_Rect canvasOut = CanvasToOutput(w, renderer, 0, 0, cw, ch);
    std::vector<RectI>& parts = w->sys->overlayParts;
    parts.clear();
    const Surface* small = ShrunkOverlay(w, renderer, &parts);
    const Surface& picture = small ? *small : w->overlaySurf;
    SDL_Texture* tex = OverlayTexture(w, renderer, picture);
    if (!tex)
        return;
    if (w->overlayDirty) {
        SDL_UpdateTexture(tex, nullptr, picture.pixels.data(), picture.width * 4);
        w->overlayDirty = false;
    } else {
        for (const RectI& r : parts) {
            const SDL_Rect part{r.left, r.top, r.right - r.left, r.bottom - r.top};
            SDL_UpdateTexture(tex, &part, picture.Row(r.top) + r.left, picture.width * 4);
        }
    }
    const CanvasArea& u = w->overlayUsed;
    SDL_Rect src{u.x, u.y, u.w, u.h};
    SDL_Rect dst = CanvasToOutput(w, renderer, u.x, u.y, u.w, u.h);
    if (small) {
        // Already at the output's size: copied 1:1.
        const RectI r = ShrunkRect(ShrinkGrid{cw, ch, canvasOut.w, canvasOut.h}, RectI{u.x, u.y, u.x + u.w, u.y + u.h});
        src = SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
        dst = SDL_Rect{canvasOut.x + src.x, canvasOut.y + src.y, src.w, src.h};
    }
    SDL_RenderCopy(renderer, tex, &src, &dst);
}

void RedrawWindow(WindowHandle w) {
    if (!w)
        return;
    w->overlayDirty = true;
    // A dialog may come up before the game has shown anything (start-up):
    // the window must be on screen (black until the first frame) to draw it over.
    if (SDL_GetWindowFlags(w->sys->sdl) & SDL_WINDOW_HIDDEN)
        SDL_ShowWindow(w->sys->sdl);
    RepresentLastFrame();
}

bool SetWindowFullScreen(WindowHandle w, bool full) {
    if (!w)
        return false;
    if (SDL_SetWindowFullscreen(w->sys->sdl, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    w->fullScreen = full;
    w->fsMenuShown = false;
    if (full) {
        CoverScreenWithoutWindowManager(w->sys->sdl);
    } else {
        // Back to the window's own size, also from a maximised window.
        SDL_RestoreWindow(w->sys->sdl);
        SDL_SetWindowSize(w->sys->sdl, w->clientW, w->clientH + TopOf(w));
    }
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
