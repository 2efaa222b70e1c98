#include "platform/video_present.h"

#include <SDL.h>

#include <algorithm>

#include "platform/letterbox.h"
#include "platform/picture_shrink.h"
#include "platform/present_renderer_order.h"
#include "platform/raster_pool.h"
#include "platform/video.h"
#include "platform/video_present_test_hooks.h"

namespace plat {

namespace {

struct Presenter {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int texW = 0, texH = 0;
    SDL_Rect area{0, 0, 0, 0};
    PresentOverlay overlay;
    PresentFrameWatch watch;
    Surface last;
    Surface next; // scratch for the frame being presented
    // `last` shrunk to the size it shows at, while the window is smaller
    // than the frame; fresh while it matches `last`.
    Surface small;
    bool smallFresh = false;
    bool stale = true; // the window must be drawn even if the frame is unchanged
    int unchangedRun = 0; // frames skipped since the last real present
    int partialRun = 0; // frames shown in part since the last whole one
    bool software = false; // the renderer draws into the window surface
    uint64_t count = 0;
    Surface* capture = nullptr;
    // Which surface, at which stamp and depth, `last` was made from.
    uintptr_t lastSource = 0;
    uint64_t lastStamp = 0;
    uint32_t lastBpp = 0;
};

Presenter& P() {
    static Presenter p;
    return p;
}

// About five seconds of unchanged (or partly shown) frames at the game's
// 16 ms pacing: a safety net only, since the window layer repaints on every
// exposure, and a whole upload of the frame costs a still screen more than
// all its other frames together.
constexpr int kMaxUnchangedRun = 300;

// n pixels as the window shows them: quantised for 16 bits, else as they are.
void CopyPixels(const uint32_t* from, size_t n, uint32_t* to, uint32_t bpp) {
    if (bpp == 16)
        std::transform(from, from + n, to, [](uint32_t c) { return QuantizePixel(c, 16); });
    else
        std::copy(from, from + n, to);
}

// The frame copied (quantised for 16 bits) in bands: on the thread that
// presents, a whole frame's copy costs as much as drawing much of it.
void CopyFrame(const Surface& from, Surface& to, uint32_t bpp) {
    struct Ctx {
        const Surface* from;
        Surface* to;
        uint32_t bpp;
    } ctx{&from, &to, bpp};
    const int64_t area = int64_t(from.width) * from.height;
    RunRasterBands(
        [](void* c, int band, int bands) {
            const Ctx& x = *static_cast<const Ctx*>(c);
            const size_t n = x.from->pixels.size();
            const size_t a = n * static_cast<size_t>(band) / static_cast<size_t>(bands);
            const size_t b = n * static_cast<size_t>(band + 1) / static_cast<size_t>(bands);
            CopyPixels(x.from->pixels.data() + a, b - a, x.to->pixels.data() + a, x.bpp);
        },
        &ctx, area >= 65536 ? RasterBandCount() : 1);
}

// Render resets empty what the renderer held; the game reloads its pictures.
int EventWatch(void*, SDL_Event* e) {
    if (e->type == SDL_RENDER_TARGETS_RESET || e->type == SDL_RENDER_DEVICE_RESET) {
        Presenter& p = P();
        if (e->type == SDL_RENDER_DEVICE_RESET && p.texture) {
            SDL_DestroyTexture(p.texture);
            p.texture = nullptr;
        }
        p.stale = true;
        SignalDeviceLoss();
    }
    return 1;
}

void DropRenderer() {
    Presenter& p = P();
    if (p.texture)
        SDL_DestroyTexture(p.texture);
    if (p.renderer)
        SDL_DestroyRenderer(p.renderer);
    p.texture = nullptr;
    p.renderer = nullptr;
    p.texW = p.texH = 0;
}

// A renderer of the given kind, or null.
SDL_Renderer* MakeRenderer(SDL_Window* window, RendererKind kind) {
    if (kind == RendererKind::kSoftware) {
        // The window surface as plain shared memory: with acceleration SDL
        // would back it with a GL texture and bring the GL driver in anyway.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    }
    SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    SDL_Renderer* r = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    return r ? r : SDL_CreateRenderer(window, -1, 0);
}

// Where the frame lands in the output: the window layer's area, or the whole
// output letterboxed.
SDL_Rect FrameArea(const Surface& frame, int outW, int outH) {
    SDL_Rect dst = P().area;
    if (dst.w <= 0 || dst.h <= 0) {
        const FitRect r = Letterbox(outW, outH, frame.width, frame.height);
        dst = SDL_Rect{r.x, r.y, r.w, r.h};
    }
    return dst;
}

ShrinkGrid ShrinkOf(const Surface& frame) {
    const Presenter& p = P();
    return ShrinkGrid{frame.width, frame.height, p.small.width, p.small.height};
}

// Whether the shrunk picture holds the last frame as shown in dst.
bool SmallFits(const SDL_Rect& dst) {
    const Presenter& p = P();
    return p.smallFresh && p.small.width == dst.w && p.small.height == dst.h;
}

// What the texture holds for `frame` (the last frame) shown in dst: the frame
// itself, or in a smaller dst the frame shrunk by averaging, made again only
// when the frame or dst changed. Enlarged or 1:1, pixels are copied as they
// are: SDL scales with the nearest pixel.
const Surface& ShownPicture(const Surface& frame, const SDL_Rect& dst) {
    Presenter& p = P();
    if (!Shrinks(frame.width, frame.height, dst.w, dst.h)) {
        if (p.small.width > 0)
            p.small = Surface();
        p.smallFresh = false;
        return frame;
    }
    if (!SmallFits(dst)) {
        ShrinkTop(frame, ShrinkGrid{frame.width, frame.height, dst.w, dst.h}, dst.h, true, &p.small);
        p.smallFresh = true;
    }
    return p.small;
}

// The streaming texture sized for a w x h picture; false when it cannot be made.
bool FitTexture(int w, int h) {
    Presenter& p = P();
    if (p.texture && p.texW == w && p.texH == h)
        return true;
    if (p.texture)
        SDL_DestroyTexture(p.texture);
    p.texture = SDL_CreateTexture(p.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, w, h);
    p.texW = p.texture ? w : 0;
    p.texH = p.texture ? h : 0;
    if (p.texture)
        SDL_SetTextureBlendMode(p.texture, SDL_BLENDMODE_NONE);
    return p.texture != nullptr;
}

// Before the game's first frame (an empty `frame`) the window shows black
// with the overlay: no picture is made or uploaded for it, which keeps the
// first present of a start cheap.
void Show(const Surface& frame) {
    Presenter& p = P();
    p.stale = false;
    p.unchangedRun = 0;
    p.partialRun = 0;
    if (!p.renderer)
        return;
    const bool picture = frame.width > 0 && frame.height > 0;
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(p.renderer, &outW, &outH);
    // The window layer places the frame (it knows the menu strip).
    const SDL_Rect dst = picture ? FrameArea(frame, outW, outH) : SDL_Rect{0, 0, 0, 0};
    const Surface* shown = picture ? &ShownPicture(frame, dst) : nullptr;
    if (shown && !FitTexture(shown->width, shown->height))
        return;
    if (shown)
        SDL_UpdateTexture(p.texture, nullptr, shown->pixels.data(), shown->width * 4);
    SDL_SetRenderDrawColor(p.renderer, 0, 0, 0, 255);
    SDL_RenderClear(p.renderer);
    if (shown)
        SDL_RenderCopy(p.renderer, p.texture, nullptr, &dst);
    if (p.overlay)
        p.overlay(p.renderer);
    if (p.capture && outW > 0 && outH > 0) {
        *p.capture = Surface(outW, outH);
        SDL_RenderReadPixels(p.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, p.capture->pixels.data(), outW * 4);
        p.capture = nullptr;
    }
    SDL_RenderPresent(p.renderer);
}

// Shows `frame` (already shown but for rects) by uploading the rects only (of
// the shrunk picture, where they changed it). A software renderer unscaled
// also draws and sends just those rects to the window, unless the overlay
// changed with them (overlayFollows); any other draws the whole output from
// the updated texture.
void ShowRects(const Surface& frame, const RectI* rects, size_t count, bool overlayFollows) {
    Presenter& p = P();
    p.unchangedRun = 0;
    ++p.partialRun;
    if (!p.renderer)
        return;
    int outW = 0, outH = 0, winW = 0, winH = 0;
    SDL_GetRendererOutputSize(p.renderer, &outW, &outH);
    SDL_GetWindowSize(p.window, &winW, &winH);
    const SDL_Rect dst = FrameArea(frame, outW, outH);
    const bool shrunk = Shrinks(frame.width, frame.height, dst.w, dst.h);
    const Surface& shown = shrunk ? p.small : frame;
    const bool ready = !shrunk || SmallFits(dst);
    if (!ready || !p.texture || p.texW != shown.width || p.texH != shown.height) {
        Show(frame);
        return;
    }
    SDL_Rect parts[16];
    count = std::min(count, std::size(parts));
    for (size_t i = 0; i < count; ++i) {
        const RectI r = shrunk ? ShrunkRect(ShrinkOf(frame), rects[i]) : rects[i];
        parts[i] = SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
        SDL_UpdateTexture(p.texture, &parts[i], shown.Row(r.top) + r.left, shown.width * 4);
    }
    if (!p.software || overlayFollows || dst.w != shown.width || dst.h != shown.height || outW != winW ||
        outH != winH) {
        SDL_SetRenderDrawColor(p.renderer, 0, 0, 0, 255);
        SDL_RenderClear(p.renderer);
        SDL_RenderCopy(p.renderer, p.texture, nullptr, &dst);
        if (p.overlay)
            p.overlay(p.renderer);
        SDL_RenderPresent(p.renderer);
        return;
    }
    SDL_Rect out[16];
    for (size_t i = 0; i < count; ++i) {
        out[i] = SDL_Rect{dst.x + parts[i].x, dst.y + parts[i].y, parts[i].w, parts[i].h};
        SDL_RenderSetClipRect(p.renderer, &out[i]);
        SDL_RenderCopy(p.renderer, p.texture, &parts[i], &out[i]);
        if (p.overlay)
            p.overlay(p.renderer);
    }
    SDL_RenderSetClipRect(p.renderer, nullptr);
    SDL_RenderFlush(p.renderer);
    SDL_UpdateWindowSurfaceRects(p.window, out, static_cast<int>(count));
}

} // namespace

void AttachPresentWindow(void* sdlWindow) {
    Presenter& p = P();
    DropRenderer();
    p.window = static_cast<SDL_Window*>(sdlWindow);
    p.stale = true;
    // A window starts with no picture of its own: an earlier window's last
    // frame must neither show in it nor pass for its own unchanged frame.
    p.last = Surface();
    p.smallFresh = false;
    p.lastSource = 0;
    p.lastStamp = 0;
    p.lastBpp = 0;
    p.unchangedRun = p.partialRun = 0;
    if (!p.window)
        return;
    // Added again for every window: shutting SDL's events down drops watches.
    SDL_DelEventWatch(EventWatch, nullptr);
    SDL_AddEventWatch(EventWatch, nullptr);
    const char* forced = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const RendererOrder order = PresentRendererOrder(SDL_GetCurrentVideoDriver(), forced && *forced);
    p.renderer = MakeRenderer(p.window, order.first);
    if (!p.renderer)
        p.renderer = MakeRenderer(p.window, order.fallback);
    SDL_RendererInfo info{};
    p.software = p.renderer && SDL_GetRendererInfo(p.renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
    if (p.renderer)
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
}

bool PresentWindowAttached() { return P().window != nullptr; }
void* PresentRenderer() { return P().renderer; }

void SetPresentArea(int x, int y, int width, int height) {
    P().area = SDL_Rect{x, y, width, height};
    P().stale = true;
}
void SetPresentOverlay(PresentOverlay overlay) {
    P().overlay = std::move(overlay);
    P().stale = true;
}
void SetPresentFrameWatch(PresentFrameWatch watch) { P().watch = std::move(watch); }

uint32_t QuantizePixel(uint32_t c, uint32_t bpp) {
    if (bpp != 16)
        return c;
    // 5-6-5 as the display stores it, widened back by bit replication.
    uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    r = (r >> 3), g = (g >> 2), b = (b >> 3);
    r = (r << 3) | (r >> 2), g = (g << 2) | (g >> 4), b = (b << 3) | (b >> 2);
    return (c & 0xFF000000u) | (r << 16) | (g << 8) | b;
}

void PresentFrame(const Surface& frame, uint32_t bpp) {
    Presenter& p = P();
    ++p.count;
    // An idle screen repeats the same frame: uploading it again would only
    // cost time. Now and then it is shown anyway, in case the window system
    // lost what it showed without telling us.
    const bool mayskip = !p.stale && !p.capture && p.unchangedRun < kMaxUnchangedRun;
    // The surface shown last, not written since (same stamp): `last` already
    // holds it, with nothing to compare or copy.
    const uintptr_t source = reinterpret_cast<uintptr_t>(&frame);
    if (source == p.lastSource && frame.stamp == p.lastStamp && bpp == p.lastBpp && frame.width == p.last.width &&
        frame.height == p.last.height) {
        if (mayskip) {
            ++p.unchangedRun;
            return;
        }
        Show(p.last);
        return;
    }
    p.lastSource = source;
    p.lastStamp = frame.stamp;
    p.lastBpp = bpp;
    if (mayskip && bpp != 16 && frame.width == p.last.width && frame.height == p.last.height &&
        frame.pixels == p.last.pixels) {
        ++p.unchangedRun;
        return;
    }
    p.next.width = frame.width;
    p.next.height = frame.height;
    p.next.pixels.resize(frame.pixels.size());
    CopyFrame(frame, p.next, bpp);
    // A 16-bit frame can only be compared once quantised.
    const bool same = mayskip && bpp == 16 && p.next.width == p.last.width && p.next.height == p.last.height &&
                      p.next.pixels == p.last.pixels;
    std::swap(p.last, p.next);
    if (same) {
        ++p.unchangedRun;
        return;
    }
    p.smallFresh = false;
    if (p.watch)
        p.watch(nullptr, 0);
    Show(p.last);
}

void PresentFrameDamage(const Surface& frame, uint32_t bpp, uint64_t shownStamp, const RectI* rects, size_t count) {
    Presenter& p = P();
    const bool follows = count > 0 && count <= 16 && !p.stale && !p.capture &&
                         reinterpret_cast<uintptr_t>(&frame) == p.lastSource && shownStamp == p.lastStamp &&
                         bpp == p.lastBpp && frame.width == p.last.width && frame.height == p.last.height;
    bool inside = true;
    for (size_t i = 0; i < count; ++i)
        inside = inside && rects[i].left >= 0 && rects[i].top >= 0 && rects[i].left < rects[i].right &&
                 rects[i].top < rects[i].bottom && rects[i].right <= frame.width && rects[i].bottom <= frame.height;
    if (!follows || !inside) {
        PresentFrame(frame, bpp);
        return;
    }
    ++p.count;
    p.lastStamp = frame.stamp;
    for (size_t i = 0; i < count; ++i) {
        const RectI& r = rects[i];
        for (int y = r.top; y < r.bottom; ++y)
            CopyPixels(frame.Row(y) + r.left, static_cast<size_t>(r.right - r.left), p.last.Row(y) + r.left, bpp);
    }
    // The shrunk picture follows, where the rects reach it.
    if (p.smallFresh) {
        const ShrinkGrid g = ShrinkOf(p.last);
        for (size_t i = 0; i < count; ++i)
            ShrinkPart(p.last, g, ShrunkRect(g, rects[i]), true, &p.small);
    }
    const bool overlayFollows = p.watch && p.watch(rects, count);
    // Now and then the whole frame, as with unchanged ones: `last` already
    // holds it, with nothing to compare or copy.
    if (p.partialRun >= kMaxUnchangedRun)
        Show(p.last);
    else
        ShowRects(p.last, rects, count, overlayFollows);
}

void CaptureNextPresent(Surface* out) { P().capture = out; }

void RepresentLastFrame() { Show(P().last); }
const Surface& LastPresentedFrame() { return P().last; }
uint64_t PresentedFrameCount() { return P().count; }

void ApplyPresentScreenMode(bool fullScreen) {
    // The window layer switches the window itself and places the frame for
    // the new size; the presenter only shows the next frame in full.
    (void)fullScreen;
    P().stale = true;
}

bool PresentDisplayUnavailable() {
    Presenter& p = P();
    if (!p.window)
        return false;
    Uint32 f = SDL_GetWindowFlags(p.window);
    return (f & SDL_WINDOW_FULLSCREEN) && (f & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN));
}

} // namespace plat
