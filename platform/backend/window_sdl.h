#pragma once
// Inside the SDL backend only: the SDL side of the main window, shared by
// window creation, event translation and presenting.
#include <SDL.h>

#include <vector>

#include "platform/window_state.h"

namespace plat {

struct WindowSystemParts {
    SDL_Window* sdl = nullptr;
    SDL_Texture* overlayTex = nullptr; // the overlay picture, uploaded
    SDL_Renderer* overlayOwner = nullptr; // the renderer that texture belongs to
    // In a window smaller than the canvas: the overlay laid over the game
    // frame and averaged down, where it covers (transparent elsewhere).
    Surface overlayShrunk;
    // Game frame rectangles changed since overlayShrunk was made (or any
    // part of the frame), which it must follow where it covers them.
    std::vector<RectI> frameChanges;
    bool frameChangedWhole = false;
    std::vector<RectI> overlayParts; // scratch: the parts of overlayShrunk to upload
};

SDL_Window* SdlWindowOf(WindowHandle window);

// Full screen where no window manager grants it: the window is moved and
// sized over its display directly (X11; nothing elsewhere).
void CoverScreenWithoutWindowManager(SDL_Window* window);

// Where the canvas lands in the window, in window coordinates.
SDL_Rect CanvasRectInWindow(const Window* w);

// A canvas rectangle in the renderer's output pixels (renderer may be null:
// window coordinates).
SDL_Rect CanvasToOutput(const Window* w, void* sdlRenderer, int x, int y, int width, int height);

// Places the game frame where it shows in the window: the game area below the
// strip, the whole canvas letterboxed into the window's current size. Called
// again whenever the window's size or mode changes.
void ApplyPresentArea(Window* w);
// Drawn by the presenter after the game frame: the overlay picture.
void DrawOverlay(void* sdlRenderer);
// Told by the presenter of a change of the game frame (in rects, or anywhere
// with none); true when the overlay as shown changes with it.
bool NoteFrameChange(const RectI* rects, size_t count);
// Forgets the uploaded overlay (the window changed size or mode).
void DropOverlayTexture(Window* w);

} // namespace plat
