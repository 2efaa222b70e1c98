#include <SDL.h>
#include <langinfo.h>

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "platform/app_events.h"
#include "platform/backend/window_sdl.h"
#include "platform/cursor.h"
#include "platform/input_state.h"
#include "platform/letterbox.h"
#include "platform/sjis.h"
#include "platform/video_present.h"
#include "platform/window.h"
#include "platform/window_state.h"

// The one SDL window: made, shown, raised and destroyed.

namespace plat {

namespace {

Uint32 g_wakeEvent = 0;

// Media events come from the audio thread: an SDL event ends the wait for
// window events so that the main loop reads them at once.
void WakeFromOtherThread() {
    if (g_wakeEvent != 0 && g_wakeEvent != static_cast<Uint32>(-1)) {
        SDL_Event e;
        SDL_zero(e);
        e.type = g_wakeEvent;
        SDL_PushEvent(&e);
    }
}

void WarpPointer(int x, int y) {
    Window* w = MainWindow();
    if (!w || !w->sys->sdl)
        return;
    const SDL_Rect r = CanvasRectInWindow(w);
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    int wx, wy;
    PictureToOutput(FitRect{r.x, r.y, r.w, r.h}, cw, ch, x, y + MouseOriginY(w), &wx, &wy);
    SDL_WarpMouseInWindow(w->sys->sdl, wx, wy);
}

void SetIcon(SDL_Window* window, const Surface* icon) {
    if (!icon || icon->width <= 0)
        return;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(icon->pixels.data()), icon->width,
                                                        icon->height, 32, icon->width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (s) {
        SDL_SetWindowIcon(window, s);
        SDL_FreeSurface(s);
    }
}

void DeleteWindow(Window* w) {
    delete w->sys;
    delete w;
}

} // namespace

SDL_Window* SdlWindowOf(WindowHandle window) { return window ? window->sys->sdl : nullptr; }

namespace {

// SDL gives X its text (the title, the system's own error box) in UTF-8, and
// X reads it by the C library's character type: under the "C" a program
// starts in, the old-style title WM_NAME got every byte of the UTF-8 title as
// a Latin-1 character of its own. The player's locale serves when it is
// UTF-8, else C.UTF-8; numbers and messages keep the "C" locale.
void UseUtf8CharacterType() {
    for (const char* name : {"", "C.UTF-8", "en_US.UTF-8"})
        if (setlocale(LC_CTYPE, name) && strcmp(nl_langinfo(CODESET), "UTF-8") == 0)
            return;
    setlocale(LC_CTYPE, "C");
}

} // namespace

void PrepareWindowSystem() {
    // The game reads keys, never typed text: without this, X's input method
    // parses the locale's whole compose table (some 300 KB, a character at a
    // time) before the first window can open. A player's own setting stands.
    setenv("XCOMPOSEFILE", "/dev/null", 0);
    UseUtf8CharacterType();
}

WindowHandle CreateMainWindow(const WindowParams& p) {
    if (MainWindow())
        return nullptr;
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // SDL drops a click that arrives with the window's focus, so the click
    // that brings the window back would do nothing; the game expects it.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return nullptr;
    if (g_wakeEvent == 0) {
        g_wakeEvent = SDL_RegisterEvents(1);
        SetAppEventWaker(&WakeFromOtherThread);
    }
    auto* w = new Window;
    w->sys = new WindowSystemParts;
    w->proc = p.proc;
    w->caption = p.caption ? p.caption : "";
    w->menu = p.menu;
    w->fullScreen = p.fullScreen;
    w->clientW = p.clientWidth;
    w->clientH = p.clientHeight;
    int height = w->clientH + TopOf(w);
    // Resizable, so that the window manager's maximise, its full screen and a
    // dragged edge work: the canvas is letterboxed into whatever size results.
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | (w->fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    w->sys->sdl = SDL_CreateWindow(SjisToUtf8(w->caption).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   w->clientW, height, flags);
    if (!w->sys->sdl) {
        DeleteWindow(w);
        return nullptr;
    }
    SDL_SetWindowMinimumSize(w->sys->sdl, w->clientW / 2, height / 2);
    SetIcon(w->sys->sdl, p.icon);
    SetWindowCursor(p.cursor);
    SetMainWindow(w);
    InputState::Get().SetWarpHook(&WarpPointer);
    AttachPresentWindow(w->sys->sdl);
    ApplyPresentArea(w);
    SetPresentOverlay(&DrawOverlay);
    SetPresentFrameWatch(&NoteFrameChange);
    if (w->proc)
        w->proc(w, kMsgCreate, 0, 0);
    return MainWindow() == w ? w : nullptr;
}

void DestroyMainWindow(WindowHandle window) {
    if (!window)
        return;
    if (MainWindow() == window) {
        SetMainWindow(nullptr);
        InputState::Get().SetWarpHook(nullptr);
    }
    if (window->sys->overlayTex)
        SDL_DestroyTexture(window->sys->overlayTex);
    SetPresentOverlay(nullptr);
    SetPresentFrameWatch(nullptr);
    AttachPresentWindow(nullptr);
    if (window->sys->sdl)
        SDL_DestroyWindow(window->sys->sdl);
    DeleteWindow(window);
    ClearMessageQueue();
    ClearMenuChoices();
}

void ShowMainWindow(WindowHandle window) {
    if (!window)
        return;
    SDL_ShowWindow(window->sys->sdl);
    CoverScreenWithoutWindowManager(window->sys->sdl);
    RedrawWindow(window);
}

bool CenterWindow(WindowHandle w) {
    if (!w || w->fullScreen)
        return w != nullptr;
    SDL_SetWindowPosition(w->sys->sdl, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    return true;
}

void RestoreAndRaiseWindow(WindowHandle w) {
    if (!w)
        return;
    if (SDL_GetWindowFlags(w->sys->sdl) & SDL_WINDOW_MINIMIZED)
        SDL_RestoreWindow(w->sys->sdl);
    SDL_RaiseWindow(w->sys->sdl);
}

bool IsWindowMinimized(WindowHandle w) { return w && (SDL_GetWindowFlags(w->sys->sdl) & SDL_WINDOW_MINIMIZED) != 0; }

bool WindowSystemHeadless() {
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : nullptr;
    return driver && (strcmp(driver, "dummy") == 0 || strcmp(driver, "offscreen") == 0);
}

void ShowSystemErrorBox(const std::string& caption, const std::string& text) {
    // A start refused before the window system is up (no game folder) still
    // gets its box: SDL shows one without being started, unless the headless
    // drivers are asked for and nobody could answer it.
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        const char* asked = SDL_getenv("SDL_VIDEODRIVER");
        if (asked && (strcmp(asked, "dummy") == 0 || strcmp(asked, "offscreen") == 0))
            return;
    }
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, SjisToUtf8(caption).c_str(), SjisToUtf8(text).c_str(), nullptr);
}

} // namespace plat
