#include <SDL.h>
#include <SDL_syswm.h>

#include "platform/backend/window_sdl.h"

#if defined(KU_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

// Full screen on X11 is a request to the window manager. With none running
// (a kiosk, a bare X server) nobody grants it: the window keeps its old size
// while SDL draws for the whole screen, so the picture is cropped and clicks
// land elsewhere. There the window is placed over the screen directly.

namespace plat {

#if defined(KU_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)

namespace {

// A window manager of the current standard announces itself on the root.
bool HasWindowManager(Display* d) {
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int rc = XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                                      &after, &data);
    const bool found = rc == Success && data && count == 1;
    if (data)
        XFree(data);
    return found;
}

} // namespace

void CoverScreenWithoutWindowManager(SDL_Window* window) {
    if (!window || !(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN))
        return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    Display* d = info.info.x11.display;
    if (HasWindowManager(d))
        return;
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &bounds) != 0)
        return;
    XMoveResizeWindow(d, info.info.x11.window, bounds.x, bounds.y, static_cast<unsigned>(bounds.w),
                      static_cast<unsigned>(bounds.h));
    XRaiseWindow(d, info.info.x11.window);
    XFlush(d);
}

#else

void CoverScreenWithoutWindowManager(SDL_Window*) {}

#endif

} // namespace plat
