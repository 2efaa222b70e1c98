#include "platform/window.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <deque>

#include "platform/app_events.h"
#include "platform/cursor.h"
#include "platform/input_state.h"
#include "platform/menu.h"
#include "platform/sjis.h"
#include "platform/video_present.h"
#include "platform/window_metrics.h"
#include "platform/window_sdl.h"

namespace plat {

struct Window {
    SDL_Window* sdl = nullptr;
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
    SDL_Texture* overlayTex = nullptr;
    SDL_Renderer* overlayOwner = nullptr;
    bool overlayDirty = true;
    SDL_Rect overlayUsed{0, 0, 0, 0};
    Surface canvas; // composed on request (tests, screenshots)
};

namespace {

// Queued when a key or click opens the menu; the loop runs between messages.
constexpr uint32_t kOpenMenu = 0x7F01;

Window* g_main = nullptr;
std::deque<Message> g_queue;
Uint32 g_wakeEvent = 0;
std::deque<int> g_menuChoices;
int g_menuLoops = 0;
bool g_lShift = false, g_rShift = false, g_lCtrl = false, g_rCtrl = false, g_lAlt = false, g_rAlt = false;
bool g_altAlone = false; // Alt pressed with no other key since: its release opens the menu

void WakeFromOtherThread() {
    if (g_wakeEvent != 0 && g_wakeEvent != static_cast<Uint32>(-1)) {
        SDL_Event e;
        SDL_zero(e);
        e.type = g_wakeEvent;
        SDL_PushEvent(&e);
    }
}

int TopOf(const Window* w) { return (!w->fullScreen && w->menu) ? kSmCyMenu : 0; }

// Full screen: the game area's origin for the mouse sits at the strip
// height, so that the system object's offset (the caption height) gives back
// picture coordinates.
int MouseOriginY(const Window* w) { return w->fullScreen ? kSmCyCaption : TopOf(w); }

SDL_Rect CanvasRect(const Window* w);
void CanvasSizeOf(const Window* w, int* cw, int* ch);
void ToCanvas(const Window* w, int x, int y, int* cx, int* cy);

int MapKey(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z)
        return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9)
        return '0' + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12)
        return kVkF1 + (k - SDLK_F1);
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9)
        return 0x61 + (k - SDLK_KP_1);
    switch (k) {
        case SDLK_KP_0: return 0x60;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return kVkReturn;
        case SDLK_ESCAPE: return kVkEscape;
        case SDLK_SPACE: return kVkSpace;
        case SDLK_BACKSPACE: return kVkBack;
        case SDLK_TAB: return kVkTab;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return kVkShift;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return kVkControl;
        case SDLK_LALT:
        case SDLK_RALT: return kVkMenu;
        case SDLK_LEFT: return kVkLeft;
        case SDLK_UP: return kVkUp;
        case SDLK_RIGHT: return kVkRight;
        case SDLK_DOWN: return kVkDown;
        case SDLK_DELETE: return kVkDelete;
        case SDLK_INSERT: return 45;
        case SDLK_HOME: return kVkHome;
        case SDLK_END: return kVkEnd;
        case SDLK_PAGEUP: return kVkPrior;
        case SDLK_PAGEDOWN: return kVkNext;
        default: return 0;
    }
}

// Keeps the virtual-key table; both sides of a modifier share one key.
void TrackKey(SDL_Keycode k, bool down, int vk) {
    auto& in = InputState::Get();
    switch (k) {
        case SDLK_LSHIFT:
            g_lShift = down;
            in.SetVkDown(160, down);
            break;
        case SDLK_RSHIFT:
            g_rShift = down;
            in.SetVkDown(161, down);
            break;
        case SDLK_LCTRL:
            g_lCtrl = down;
            in.SetVkDown(162, down);
            break;
        case SDLK_RCTRL:
            g_rCtrl = down;
            in.SetVkDown(163, down);
            break;
        case SDLK_LALT:
            g_lAlt = down;
            in.SetVkDown(164, down);
            break;
        case SDLK_RALT:
            g_rAlt = down;
            in.SetVkDown(165, down);
            break;
        default: break;
    }
    if (vk == kVkShift)
        in.SetVkDown(vk, g_lShift || g_rShift);
    else if (vk == kVkControl)
        in.SetVkDown(vk, g_lCtrl || g_rCtrl);
    else if (vk == kVkMenu)
        in.SetVkDown(vk, g_lAlt || g_rAlt);
    else if (vk != 0)
        in.SetVkDown(vk, down);
}

int MouseVk(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT: return kVkLButton;
        case SDL_BUTTON_RIGHT: return kVkRButton;
        case SDL_BUTTON_MIDDLE: return kVkMButton;
        default: return 0;
    }
}

void Push(uint32_t msg, uintptr_t w = 0, intptr_t l = 0) { g_queue.push_back(Message{g_main, msg, w, l}); }

// One SDL event: state kept, raw form filled for the modal loops, and (when
// queueMessages) window messages queued for the main loop.
void Translate(const SDL_Event& e, RawInput* raw, bool queueMessages) {
    raw->kind = RawInput::kNone;
    Window* w = g_main;
    switch (e.type) {
        case SDL_QUIT:
            // Only a signal (the session or a terminal ending the program)
            // gets here: closing the window comes as a window event.
            raw->kind = RawInput::kQuit;
            Push(kMsgClose, 0, kCloseFromSystem);
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    raw->kind = RawInput::kClose;
                    if (queueMessages)
                        Push(kMsgClose);
                    break;
                case SDL_WINDOWEVENT_SHOWN:
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    if (queueMessages)
                        Push(kMsgActivateApp, 1);
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    InputState::Get().ReleaseAll();
                    g_lShift = g_rShift = g_lCtrl = g_rCtrl = g_lAlt = g_rAlt = false;
                    if (queueMessages)
                        Push(kMsgActivateApp, 0);
                    break;
                case SDL_WINDOWEVENT_MOVED:
                    if (queueMessages)
                        Push(kMsgMove, 0, 0);
                    break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    if (queueMessages)
                        Push(kMsgSize, 0, 0);
                    break;
                case SDL_WINDOWEVENT_EXPOSED:
                    if (w)
                        RedrawWindow(w);
                    if (queueMessages)
                        Push(kMsgPaint);
                    break;
                default: break;
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            bool down = e.type == SDL_KEYDOWN;
            int vk = MapKey(e.key.keysym.sym);
            TrackKey(e.key.keysym.sym, down, vk);
            raw->kind = down ? RawInput::kKeyDown : RawInput::kKeyUp;
            raw->vk = vk;
            raw->repeat = e.key.repeat != 0;
            if (!queueMessages || vk == 0)
                break;
            bool alt = InputState::Get().IsVkDown(kVkMenu);
            if (vk == kVkMenu) {
                if (down)
                    g_altAlone = true;
                else if (g_altAlone && w && w->menu) {
                    g_altAlone = false;
                    Push(kOpenMenu, 0); // opened by the loop below
                }
                break;
            }
            if (down)
                g_altAlone = false;
            if (down && vk == kVkF1 + 9 && w && w->menu) { // F10
                Push(kOpenMenu, 0);
                break;
            }
            if (down && alt && w && w->menu) {
                const auto& tops = w->menu->tops();
                for (size_t i = 0; i < tops.size(); ++i) {
                    if (MenuModel::Mnemonic(tops[i].caption) == vk) {
                        Push(kOpenMenu, i);
                        break;
                    }
                }
                break;
            }
            Push(down ? kMsgKeyDown : kMsgKeyUp, static_cast<uintptr_t>(vk));
            break;
        }
        case SDL_MOUSEMOTION:
            raw->kind = RawInput::kMouseMove;
            if (!w)
                break;
            ToCanvas(w, e.motion.x, e.motion.y, &raw->x, &raw->y);
            InputState::Get().SetMouse(raw->x, raw->y - MouseOriginY(w));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            bool down = e.type == SDL_MOUSEBUTTONDOWN;
            raw->kind = down ? RawInput::kMouseDown : RawInput::kMouseUp;
            raw->vk = MouseVk(e.button.button);
            if (!w)
                break;
            ToCanvas(w, e.button.x, e.button.y, &raw->x, &raw->y);
            InputState::Get().SetMouse(raw->x, raw->y - MouseOriginY(w));
            int strip = w->fullScreen ? (w->fsMenuShown ? kSmCyCaption : 0) : TopOf(w);
            if (queueMessages && down && raw->vk == kVkLButton && w->menu && raw->y < strip) {
                int top = menu_draw::TopIndexAt(*w->menu, raw->x);
                if (top >= 0) {
                    Push(kOpenMenu, static_cast<uintptr_t>(top));
                    break;
                }
            }
            if (raw->vk)
                InputState::Get().SetVkDown(raw->vk, down);
            break;
        }
        default:
            if (g_wakeEvent != 0 && e.type == g_wakeEvent)
                break;
            break;
    }
}

void WarpPointer(int x, int y) {
    Window* w = g_main;
    if (!w || !w->sdl)
        return;
    SDL_Rect r = CanvasRect(w);
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    int cy = y + MouseOriginY(w);
    SDL_WarpMouseInWindow(w->sdl, r.x + static_cast<int>(static_cast<int64_t>(x) * r.w / cw),
                          r.y + static_cast<int>(static_cast<int64_t>(cy) * r.h / ch));
}

void CanvasSizeOf(const Window* w, int* cw, int* ch) {
    *cw = w->clientW;
    *ch = w->clientH + TopOf(w);
}

// Where the canvas lands in the window, in window coordinates.
SDL_Rect CanvasRect(const Window* w) {
    int ww = 0, wh = 0;
    SDL_GetWindowSize(w->sdl, &ww, &wh);
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

void ToCanvas(const Window* w, int x, int y, int* cx, int* cy) {
    SDL_Rect r = CanvasRect(w);
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    *cx = r.w > 0 ? static_cast<int>(static_cast<int64_t>(x - r.x) * cw / r.w) : x;
    *cy = r.h > 0 ? static_cast<int>(static_cast<int64_t>(y - r.y) * ch / r.h) : y;
}

void Unite(SDL_Rect* a, int x, int y, int w, int h) {
    if (a->w <= 0 || a->h <= 0) {
        *a = SDL_Rect{x, y, w, h};
        return;
    }
    int x1 = std::max(a->x + a->w, x + w), y1 = std::max(a->y + a->h, y + h);
    a->x = std::min(a->x, x);
    a->y = std::min(a->y, y);
    a->w = x1 - a->x;
    a->h = y1 - a->y;
}

void PaintOverlay(Window* w) {
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    if (w->overlaySurf.width != cw || w->overlaySurf.height != ch)
        w->overlaySurf = Surface(cw, ch);
    std::fill(w->overlaySurf.pixels.begin(), w->overlaySurf.pixels.end(), 0u);
    w->overlayUsed = SDL_Rect{0, 0, 0, 0};
    if (w->menu) {
        bool strip = !w->fullScreen || w->fsMenuShown || w->menuOpenTop >= 0;
        int barH = w->fullScreen ? kSmCyCaption : kSmCyMenu;
        if (strip) {
            menu_draw::DrawBar(&w->overlaySurf, *w->menu, barH, w->menuOpenTop);
            Unite(&w->overlayUsed, 0, 0, cw, barH);
        }
        if (w->menuOpenTop >= 0) {
            menu_draw::DrawDropDown(&w->overlaySurf, *w->menu, w->menuOpenTop, barH, w->menuSelected);
            int x, y, dw, dh;
            menu_draw::DropDownRect(*w->menu, w->menuOpenTop, barH, &x, &y, &dw, &dh);
            Unite(&w->overlayUsed, x, y, dw, dh);
        }
    }
    if (w->overlay) {
        w->overlay(&w->overlaySurf, TopOf(w));
        Unite(&w->overlayUsed, 0, 0, cw, ch);
    }
}

// Drawn by the presenter after the game frame.
void DrawOverlay(void* rendererPtr) {
    Window* w = g_main;
    auto* renderer = static_cast<SDL_Renderer*>(rendererPtr);
    if (!w || !renderer)
        return;
    if (w->overlayOwner != renderer && w->overlayTex) {
        SDL_DestroyTexture(w->overlayTex);
        w->overlayTex = nullptr;
    }
    w->overlayOwner = renderer;
    if (w->overlayDirty)
        PaintOverlay(w);
    if (w->overlayUsed.w <= 0 || w->overlayUsed.h <= 0) {
        w->overlayDirty = false;
        return;
    }
    int cw = w->overlaySurf.width, ch = w->overlaySurf.height;
    if (!w->overlayTex) {
        w->overlayTex = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, cw, ch);
        if (!w->overlayTex)
            return;
        SDL_SetTextureBlendMode(w->overlayTex, SDL_BLENDMODE_BLEND);
        w->overlayDirty = true;
    } else {
        int tw = 0, th = 0;
        SDL_QueryTexture(w->overlayTex, nullptr, nullptr, &tw, &th);
        if (tw != cw || th != ch) {
            SDL_DestroyTexture(w->overlayTex);
            w->overlayTex = nullptr;
            DrawOverlay(rendererPtr);
            return;
        }
    }
    if (w->overlayDirty) {
        SDL_UpdateTexture(w->overlayTex, nullptr, w->overlaySurf.pixels.data(), cw * 4);
        w->overlayDirty = false;
    }
    // Output pixels may differ from window coordinates (high density).
    int outW = 0, outH = 0, ww = 0, wh = 0;
    SDL_GetRendererOutputSize(renderer, &outW, &outH);
    SDL_GetWindowSize(w->sdl, &ww, &wh);
    SDL_Rect r = CanvasRect(w);
    double sx = ww > 0 ? static_cast<double>(outW) / ww : 1.0, sy = wh > 0 ? static_cast<double>(outH) / wh : 1.0;
    const SDL_Rect& u = w->overlayUsed;
    SDL_Rect dst{static_cast<int>((r.x + static_cast<int64_t>(u.x) * r.w / cw) * sx),
                 static_cast<int>((r.y + static_cast<int64_t>(u.y) * r.h / ch) * sy),
                 static_cast<int>(static_cast<int64_t>(u.w) * r.w / cw * sx),
                 static_cast<int>(static_cast<int64_t>(u.h) * r.h / ch * sy)};
    SDL_RenderCopy(renderer, w->overlayTex, &u, &dst);
}

void ApplyPresentArea(Window* w) {
    if (w->fullScreen)
        SetPresentArea(0, 0, 0, 0);
    else
        SetPresentArea(0, TopOf(w), w->clientW, w->clientH);
}

} // namespace

SDL_Window* SdlWindowOf(WindowHandle window) { return window ? window->sdl : nullptr; }

WindowHandle CreateMainWindow(const WindowParams& p) {
    if (g_main)
        return nullptr;
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return nullptr;
    if (g_wakeEvent == 0) {
        g_wakeEvent = SDL_RegisterEvents(1);
        SetAppEventWaker(&WakeFromOtherThread);
    }
    auto* w = new Window;
    w->proc = p.proc;
    w->caption = p.caption ? p.caption : "";
    w->menu = p.menu;
    w->fullScreen = p.fullScreen;
    w->clientW = p.clientWidth;
    w->clientH = p.clientHeight;
    int height = w->clientH + TopOf(w);
    Uint32 flags = SDL_WINDOW_HIDDEN | (w->fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    w->sdl = SDL_CreateWindow(SjisToUtf8(w->caption).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              w->clientW, height, flags);
    if (!w->sdl) {
        delete w;
        return nullptr;
    }
    if (p.icon && p.icon->width > 0) {
        SDL_Surface* s =
            SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(p.icon->pixels.data()), p.icon->width,
                                               p.icon->height, 32, p.icon->width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (s) {
            SDL_SetWindowIcon(w->sdl, s);
            SDL_FreeSurface(s);
        }
    }
    SetWindowCursor(p.cursor);
    g_main = w;
    InputState::Get().SetWarpHook(&WarpPointer);
    AttachPresentWindow(w->sdl);
    ApplyPresentArea(w);
    SetPresentOverlay(&DrawOverlay);
    if (w->proc)
        w->proc(w, kMsgCreate, 0, 0);
    return g_main == w ? w : nullptr;
}

void DestroyMainWindow(WindowHandle window) {
    if (!window)
        return;
    if (g_main == window) {
        g_main = nullptr;
        InputState::Get().SetWarpHook(nullptr);
    }
    if (window->overlayTex)
        SDL_DestroyTexture(window->overlayTex);
    SetPresentOverlay(nullptr);
    AttachPresentWindow(nullptr);
    if (window->sdl)
        SDL_DestroyWindow(window->sdl);
    delete window;
    g_queue.clear();
    g_menuChoices.clear();
}

WindowHandle MainWindow() { return g_main; }

void ShowMainWindow(WindowHandle window) {
    if (!window)
        return;
    SDL_ShowWindow(window->sdl);
    RedrawWindow(window);
}

intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (!window || !window->proc)
        return 0;
    return window->proc(window, message, wParam, lParam);
}

void PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    g_queue.push_back(Message{window, message, wParam, lParam});
}

void PostQuitMessage(int exitCode) {
    g_queue.push_back(Message{nullptr, kMsgQuit, static_cast<uintptr_t>(static_cast<intptr_t>(exitCode)), 0});
}

bool PeekMessage(Message* out) {
    for (;;) {
        if (!g_queue.empty()) {
            Message m = g_queue.front();
            g_queue.pop_front();
            if (m.message == kOpenMenu) {
                // Menu opened by key or click: runs here, between messages.
                if (g_main)
                    RunMenuLoop(g_main, static_cast<int>(m.wParam));
                continue;
            }
            *out = m;
            return true;
        }
        AppEvent ae;
        if (PopAppEvent(&ae)) {
            *out = Message{g_main, ae.message, ae.wParam, ae.lParam};
            return true;
        }
        if (!SDL_WasInit(SDL_INIT_VIDEO))
            return false;
        SDL_Event e;
        if (!SDL_PollEvent(&e))
            return false;
        RawInput raw;
        Translate(e, &raw, true);
    }
}

intptr_t DispatchMessage(const Message& m) {
    if (m.message == kMsgQuit)
        return 0;
    WindowHandle w = m.window ? m.window : g_main;
    return SendMessage(w, m.message, m.wParam, m.lParam);
}

void WaitMessage(int timeoutMs) {
    if (!g_queue.empty() || PendingAppEvents() > 0 || !SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_WaitEventTimeout(nullptr, timeoutMs);
}

bool PollRawInput(RawInput* out) {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    SDL_Event e;
    if (!SDL_PollEvent(&e))
        return false;
    Translate(e, out, false);
    if (e.type == SDL_WINDOWEVENT &&
        (e.window.event == SDL_WINDOWEVENT_SHOWN || e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED ||
         e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)) {
        // Activation changes wait for the main loop.
        Push(kMsgActivateApp, e.window.event == SDL_WINDOWEVENT_FOCUS_LOST ? 0 : 1);
    }
    return true;
}

void SetOverlayPainter(WindowHandle window, OverlayPainter painter) {
    if (window)
        window->overlay = std::move(painter);
}

void DispatchAppEvents(WindowHandle window) {
    AppEvent ae;
    while (PopAppEvent(&ae))
        SendMessage(window, ae.message, ae.wParam, ae.lParam);
}

void RedrawWindow(WindowHandle w) {
    if (!w)
        return;
    w->overlayDirty = true;
    // A dialog may come up before the game has shown anything (start-up):
    // the window must be on screen and hold a picture to draw it over.
    if (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_HIDDEN)
        SDL_ShowWindow(w->sdl);
    if (LastPresentedFrame().width <= 0) {
        Surface black(w->clientW, w->clientH);
        std::fill(black.pixels.begin(), black.pixels.end(), 0xFF000000u);
        plat::PresentFrame(black, 32);
        return;
    }
    RepresentLastFrame();
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
    for (size_t i = 0; i < w->canvas.pixels.size() && i < w->overlaySurf.pixels.size(); ++i) {
        uint32_t o = w->overlaySurf.pixels[i];
        uint32_t a = o >> 24;
        if (a == 0)
            continue;
        uint32_t d = w->canvas.pixels[i];
        auto mix = [a](uint32_t sc, uint32_t dc) { return (sc * a + dc * (255 - a)) / 255; };
        uint32_t r = mix((o >> 16) & 0xFF, (d >> 16) & 0xFF), g = mix((o >> 8) & 0xFF, (d >> 8) & 0xFF),
                 b = mix(o & 0xFF, d & 0xFF);
        w->canvas.pixels[i] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
    return &w->canvas;
}

void CanvasSize(WindowHandle w, int* cw, int* ch) {
    *cw = *ch = 0;
    if (w)
        CanvasSizeOf(w, cw, ch);
}

bool SetWindowFullScreen(WindowHandle w, bool full) {
    if (!w)
        return false;
    if (SDL_SetWindowFullscreen(w->sdl, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    w->fullScreen = full;
    w->fsMenuShown = false;
    if (!full)
        SDL_SetWindowSize(w->sdl, w->clientW, w->clientH + TopOf(w));
    ApplyPresentArea(w);
    if (w->overlayTex)
        SDL_DestroyTexture(w->overlayTex);
    w->overlayTex = nullptr;
    RedrawWindow(w);
    return true;
}

bool IsWindowFullScreen(WindowHandle w) { return w && w->fullScreen; }

bool CenterWindow(WindowHandle w) {
    if (!w || w->fullScreen)
        return w != nullptr;
    SDL_SetWindowPosition(w->sdl, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    return true;
}

void RestoreAndRaiseWindow(WindowHandle w) {
    if (!w)
        return;
    if (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_MINIMIZED)
        SDL_RestoreWindow(w->sdl);
    SDL_RaiseWindow(w->sdl);
}

bool IsWindowMinimized(WindowHandle w) { return w && (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_MINIMIZED) != 0; }

int MenuStripHeight(WindowHandle w) { return w ? TopOf(w) : 0; }

void SetWindowMenu(WindowHandle w, MenuModel* menu) {
    if (!w || w->menu == menu)
        return;
    w->menu = menu;
    if (!w->fullScreen)
        SDL_SetWindowSize(w->sdl, w->clientW, w->clientH + TopOf(w));
    ApplyPresentArea(w);
    if (w->overlayTex)
        SDL_DestroyTexture(w->overlayTex);
    w->overlayTex = nullptr;
    RedrawWindow(w);
}

MenuModel* GetWindowMenu(WindowHandle w) { return w ? w->menu : nullptr; }

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

std::string WindowCaption(WindowHandle w) { return w ? w->caption : std::string(); }

void QueueMenuChoice(int commandId) { g_menuChoices.push_back(commandId); }
int MenuLoopCount() { return g_menuLoops; }

void RunMenuLoop(WindowHandle w, int topIndex) {
    if (!w || !w->menu || w->menu->tops().empty())
        return;
    ++g_menuLoops;
    SendMessage(w, kMsgEnterMenuLoop, 0, 0);
    const auto& tops = w->menu->tops();
    int ntop = static_cast<int>(tops.size());
    w->menuOpenTop = std::clamp(topIndex, 0, ntop - 1);
    w->menuSelected = -1;
    int chosen = 0;
    bool closeWindow = false;
    bool done = false;
    if (!g_menuChoices.empty()) {
        chosen = g_menuChoices.front();
        g_menuChoices.pop_front();
        done = true;
    }
    int barH = w->fullScreen ? kSmCyCaption : kSmCyMenu;
    RedrawWindow(w);
    while (!done) {
        RawInput in;
        if (!PollRawInput(&in)) {
            DispatchAppEvents(w);
            SDL_WaitEventTimeout(nullptr, 10);
            continue;
        }
        const auto& items = tops[static_cast<size_t>(w->menuOpenTop)].items;
        int nitems = static_cast<int>(items.size());
        bool redraw = true;
        switch (in.kind) {
            case RawInput::kKeyDown:
                if (in.repeat) {
                    redraw = false;
                    break;
                }
                if (in.vk == kVkEscape || in.vk == kVkMenu || in.vk == kVkF1 + 9)
                    done = true;
                else if (in.vk == kVkLeft)
                    w->menuOpenTop = (w->menuOpenTop + ntop - 1) % ntop, w->menuSelected = -1;
                else if (in.vk == kVkRight)
                    w->menuOpenTop = (w->menuOpenTop + 1) % ntop, w->menuSelected = -1;
                else if (in.vk == kVkDown && nitems)
                    w->menuSelected = (w->menuSelected + 1) % nitems;
                else if (in.vk == kVkUp && nitems)
                    w->menuSelected = (w->menuSelected + nitems - 1) % nitems;
                else if (in.vk == kVkReturn && w->menuSelected >= 0) {
                    chosen = items[static_cast<size_t>(w->menuSelected)].id;
                    done = true;
                } else {
                    bool hit = false;
                    for (int i = 0; i < nitems && !hit; ++i) {
                        if (MenuModel::Mnemonic(items[static_cast<size_t>(i)].caption) == in.vk) {
                            chosen = items[static_cast<size_t>(i)].id;
                            done = hit = true;
                        }
                    }
                    for (int t = 0; t < ntop && !hit; ++t) {
                        if (MenuModel::Mnemonic(tops[static_cast<size_t>(t)].caption) == in.vk) {
                            w->menuOpenTop = t;
                            w->menuSelected = -1;
                            hit = true;
                        }
                    }
                }
                break;
            case RawInput::kMouseMove:
            case RawInput::kMouseDown:
            case RawInput::kMouseUp: {
                int dx, dy, dw, dh;
                menu_draw::DropDownRect(*w->menu, w->menuOpenTop, barH, &dx, &dy, &dw, &dh);
                bool inBar = in.y < barH;
                bool inDrop = in.x >= dx && in.x < dx + dw && in.y >= dy + 2 && in.y < dy + dh - 2;
                if (inBar) {
                    int t = menu_draw::TopIndexAt(*w->menu, in.x);
                    if (t >= 0 && t != w->menuOpenTop)
                        w->menuOpenTop = t, w->menuSelected = -1;
                } else if (inDrop) {
                    w->menuSelected = std::clamp((in.y - dy - 2) / menu_draw::kItemHeight, 0, nitems - 1);
                    if (in.kind == RawInput::kMouseUp && in.vk == kVkLButton) {
                        chosen = items[static_cast<size_t>(w->menuSelected)].id;
                        done = true;
                    }
                } else if (in.kind == RawInput::kMouseDown) {
                    done = true;
                } else {
                    w->menuSelected = -1;
                }
                break;
            }
            case RawInput::kClose: closeWindow = done = true; break;
            case RawInput::kQuit: done = true; break;
            default: redraw = false; break;
        }
        if (redraw && !done)
            RedrawWindow(w);
    }
    w->menuOpenTop = -1;
    w->menuSelected = -1;
    RedrawWindow(w);
    SendMessage(w, kMsgExitMenuLoop, 0, 0);
    if (chosen != 0)
        PostMessage(w, kMsgCommand, static_cast<uintptr_t>(chosen), 0);
    if (closeWindow)
        PostMessage(w, kMsgClose, 0, 0);
}

} // namespace plat
