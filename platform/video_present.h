#pragma once
#include <cstdint>
#include <functional>

#include "platform/surface.h"
#include "platform/video.h"

namespace plat {

// Showing finished frames in the SDL window. The window layer owns the
// window and hands it over here; without one (tests, before the window
// exists) presenting only keeps the frame, which stays readable.

// sdlWindow is an SDL_Window*; nullptr detaches (and drops the renderer).
void AttachPresentWindow(void* sdlWindow);
bool PresentWindowAttached();
// The SDL_Renderer* the frames are drawn with (null when detached), for the
// window layer's overlays (menu, dialogs, movie picture).
void* PresentRenderer();

// Where the game picture goes in the window's output, in output pixels; a
// width of 0 (the default) letterboxes it into the whole output.
void SetPresentArea(int x, int y, int width, int height);
// Called after the frame is copied and before the window is updated.
using PresentOverlay = std::function<void(void* sdlRenderer)>;
void SetPresentOverlay(PresentOverlay overlay);
// Told when the presented frame changes, before it is shown: in rects (frame
// pixels) or, with none, anywhere. True when the overlay as it shows changes
// with it (laid over the frame before shrinking), so the output is drawn whole.
using PresentFrameWatch = std::function<bool(const RectI* rects, size_t count)>;
void SetPresentFrameWatch(PresentFrameWatch watch);

// Shows a frame quantised to the colour depth (16 bits: 5-6-5; 24 and 32
// bits: unchanged) and keeps it as the last frame.
void PresentFrame(const Surface& frame, uint32_t bpp);
// The same for a frame that differs from the one shown at stamp shownStamp
// only inside rects: only they are copied and reach the window. Anything
// else (another surface or stamp shown last) presents the whole frame.
void PresentFrameDamage(const Surface& frame, uint32_t bpp, uint64_t shownStamp, const RectI* rects, size_t count);
// Shows the last frame again (with the overlay), e.g. while the game draws
// no frames because a menu or dialog is up; black before the first frame.
void RepresentLastFrame();
// The last frame as presented (after quantising); empty before the first.
const Surface& LastPresentedFrame();

// Reads back what the next present puts into the window (the whole output,
// letterbox and overlays included) into *out; out stays untouched when no
// window is attached.
void CaptureNextPresent(Surface* out);

// The device's screen mode: a full-screen device is letterboxed into the
// whole output (the window layer switches the window to the desktop mode).
void ApplyPresentScreenMode(bool fullScreen);
// True while the window is full screen and minimised or hidden: the display
// cannot be used until it comes back.
bool PresentDisplayUnavailable();

} // namespace plat
