#include <SDL.h>

#include "platform/backend.h"
#include "platform/backend/window_sdl.h"
#include "platform/input_state.h"
#include "platform/letterbox.h"
#include "platform/menu.h"
#include "platform/window.h"
#include "platform/window_metrics.h"
#include "platform/window_state.h"

// SDL events translated into the program's messages, raw input for the modal
// loops, and the key and mouse state.

namespace plat {

namespace {

bool g_lShift = false, g_rShift = false, g_lCtrl = false, g_rCtrl = false, g_lAlt = false, g_rAlt = false;
bool g_altAlone = false; // Alt pressed with no other key since: its release opens the menu

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
        // The volume keys: "+" and "-" on the keypad and on the main block.
        case SDLK_KP_PLUS: return 107;
        case SDLK_KP_MINUS: return 109;
        case SDLK_EQUALS:
        case SDLK_PLUS: return 187;
        case SDLK_MINUS: return 189;
        default: return 0;
    }
}

// The code of one side of a modifier, 0 for other keys.
int SideVk(SDL_Keycode k) {
    switch (k) {
        case SDLK_LSHIFT: return 160;
        case SDLK_RSHIFT: return 161;
        case SDLK_LCTRL: return 162;
        case SDLK_RCTRL: return 163;
        case SDLK_LALT: return 164;
        case SDLK_RALT: return 165;
        default: return 0;
    }
}

void SwallowKey(SDL_Keycode k, int vk) {
    auto& in = InputState::Get();
    in.Swallow(vk);
    in.Swallow(SideVk(k));
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

void Push(uint32_t msg, uintptr_t w = 0, intptr_t l = 0) { PostMessage(MainWindow(), msg, w, l); }

// The pointer goes back through the same letterbox the picture went through.
void ToCanvas(const Window* w, int x, int y, int* cx, int* cy) {
    const SDL_Rect r = CanvasRectInWindow(w);
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    OutputToPicture(FitRect{r.x, r.y, r.w, r.h}, cw, ch, x, y, cx, cy);
}

void TranslateWindowEvent(const SDL_WindowEvent& e, RawInput* raw, bool queueMessages) {
    switch (e.event) {
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
            // The picture follows the size the window really got.
            if (Window* w = MainWindow()) {
                ApplyPresentArea(w);
                if (!(SDL_GetWindowFlags(w->sys->sdl) & SDL_WINDOW_HIDDEN))
                    RedrawWindow(w);
            }
            if (queueMessages)
                Push(kMsgSize, 0, 0);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            if (MainWindow())
                RedrawWindow(MainWindow());
            if (queueMessages)
                Push(kMsgPaint);
            break;
        default: break;
    }
}

// Alt alone, F10 and Alt with a top's mnemonic open the menu; other keys
// become key messages. True when the key was taken for the menu.
bool QueueMenuKey(Window* w, int vk, bool down) {
    bool alt = InputState::Get().IsVkDown(kVkMenu);
    if (vk == kVkMenu) {
        if (down)
            g_altAlone = true;
        else if (g_altAlone && w && w->menu) {
            g_altAlone = false;
            Push(kOpenMenu, 0); // opened by the queue's reader
        }
        return true;
    }
    if (down)
        g_altAlone = false;
    if (down && vk == kVkF1 + 9 && w && w->menu) { // F10
        Push(kOpenMenu, 0);
        return true;
    }
    if (down && alt && w && w->menu) {
        const auto& tops = w->menu->tops();
        for (size_t i = 0; i < tops.size(); ++i) {
            if (MenuModel::Mnemonic(tops[i].caption) == vk) {
                Push(kOpenMenu, i);
                break;
            }
        }
        return true;
    }
    return false;
}

void TranslateKey(const SDL_KeyboardEvent& e, RawInput* raw, bool queueMessages) {
    bool down = e.type == SDL_KEYDOWN;
    int vk = MapKey(e.keysym.sym);
    // A key a menu or dialog took stays theirs until released: its repeats
    // and its release are no key messages either.
    bool swallowed = InputState::Get().IsSwallowed(vk);
    TrackKey(e.keysym.sym, down, vk);
    raw->kind = down ? RawInput::kKeyDown : RawInput::kKeyUp;
    raw->vk = vk;
    raw->repeat = e.repeat != 0;
    if (!queueMessages) {
        if (down)
            SwallowKey(e.keysym.sym, vk);
        return;
    }
    if (vk == 0 || swallowed)
        return;
    if (QueueMenuKey(MainWindow(), vk, down)) {
        // Alt stays readable: the menu's own chords test it.
        if (down && vk != kVkMenu)
            SwallowKey(e.keysym.sym, vk);
        return;
    }
    Push(down ? kMsgKeyDown : kMsgKeyUp, static_cast<uintptr_t>(vk));
}

void TranslateMouseButton(const SDL_MouseButtonEvent& e, RawInput* raw, bool queueMessages) {
    Window* w = MainWindow();
    bool down = e.type == SDL_MOUSEBUTTONDOWN;
    raw->kind = down ? RawInput::kMouseDown : RawInput::kMouseUp;
    raw->vk = MouseVk(e.button);
    if (!w)
        return;
    ToCanvas(w, e.x, e.y, &raw->x, &raw->y);
    InputState::Get().SetMouse(raw->x, raw->y - MouseOriginY(w));
    int cw, ch;
    CanvasSizeOf(w, &cw, &ch);
    // A press on the bars around the letterboxed canvas is on neither the
    // menu nor the picture. Releases pass, so that no button stays down.
    const bool onCanvas = raw->x >= 0 && raw->x < cw && raw->y >= 0 && raw->y < ch;
    if (queueMessages && down && !onCanvas)
        return;
    int strip = w->fullScreen ? (w->fsMenuShown ? kSmCyCaption : 0) : TopOf(w);
    if (queueMessages && down && raw->vk == kVkLButton && w->menu && raw->y < strip) {
        int top = menu_draw::TopIndexAt(*w->menu, raw->x);
        if (top >= 0) {
            Push(kOpenMenu, static_cast<uintptr_t>(top));
            return;
        }
    }
    if (raw->vk) {
        InputState::Get().SetVkDown(raw->vk, down);
        // A click a menu or dialog took never counts as the game's.
        if (down && !queueMessages)
            InputState::Get().Swallow(raw->vk);
    }
}

// One SDL event: state kept, raw form filled for the modal loops, and (when
// queueMessages) window messages queued for the main loop.
void Translate(const SDL_Event& e, RawInput* raw, bool queueMessages) {
    raw->kind = RawInput::kNone;
    switch (e.type) {
        case SDL_QUIT:
            // Only a signal (the session or a terminal ending the program)
            // gets here: closing the window comes as a window event.
            raw->kind = RawInput::kQuit;
            Push(kMsgClose, 0, kCloseFromSystem);
            break;
        case SDL_WINDOWEVENT: TranslateWindowEvent(e.window, raw, queueMessages); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: TranslateKey(e.key, raw, queueMessages); break;
        case SDL_MOUSEMOTION:
            raw->kind = RawInput::kMouseMove;
            if (Window* w = MainWindow()) {
                ToCanvas(w, e.motion.x, e.motion.y, &raw->x, &raw->y);
                InputState::Get().SetMouse(raw->x, raw->y - MouseOriginY(w));
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: TranslateMouseButton(e.button, raw, queueMessages); break;
        default: break; // the wake-up event only ends a wait
    }
}

} // namespace

bool WindowSystemUp() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

// A poll ends at the marker SDL queues when it pumps, with events pushed
// after it still waiting.
bool WindowEventWaiting() {
    return SDL_WasInit(SDL_INIT_VIDEO) &&
           (SDL_HasEvents(SDL_FIRSTEVENT, SDL_POLLSENTINEL - 1) || SDL_HasEvents(SDL_POLLSENTINEL + 1, SDL_LASTEVENT));
}

void WaitWindowEvent(int timeoutMs) { SDL_WaitEventTimeout(nullptr, timeoutMs); }

bool PumpWindowEvent() {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    SDL_Event e;
    if (!SDL_PollEvent(&e))
        return false;
    RawInput raw;
    Translate(e, &raw, true);
    return true;
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

} // namespace plat
