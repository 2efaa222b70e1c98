#include <algorithm>
#include <deque>

#include "platform/backend.h"
#include "platform/input_state.h"
#include "platform/menu.h"
#include "platform/window.h"
#include "platform/window_state.h"
#include "platform/window_test_hooks.h"

// The menu bar's modal loop: keyboard and mouse navigation over the drawn bar
// and drop-downs, ended by a choice, Escape, a click elsewhere or a close.

namespace plat {

namespace {

std::deque<int> g_menuChoices;
int g_menuLoops = 0;

struct MenuLoopState {
    Window* w = nullptr;
    int ntop = 0;
    int barH = 0;
    int chosen = 0;
    bool closeWindow = false;
    bool done = false;

    const std::vector<MenuModel::Item>& Items() const {
        return w->menu->tops()[static_cast<size_t>(w->menuOpenTop)].items;
    }
    void OpenTop(int top) {
        w->menuOpenTop = top;
        w->menuSelected = -1;
    }
};

// A mnemonic picks an item of the open drop-down, else opens another top.
void OnMenuMnemonic(MenuLoopState* s, int vk) {
    const auto& items = s->Items();
    for (const auto& item : items) {
        if (MenuModel::Mnemonic(item.caption) == vk) {
            s->chosen = item.id;
            s->done = true;
            return;
        }
    }
    const auto& tops = s->w->menu->tops();
    for (int t = 0; t < s->ntop; ++t) {
        if (MenuModel::Mnemonic(tops[static_cast<size_t>(t)].caption) == vk) {
            s->OpenTop(t);
            return;
        }
    }
}

// False when the key changes nothing to show (a held key).
bool OnMenuKey(MenuLoopState* s, const RawInput& in) {
    if (in.repeat)
        return false;
    Window* w = s->w;
    const int nitems = static_cast<int>(s->Items().size());
    if (in.vk == kVkEscape || in.vk == kVkMenu || in.vk == kVkF1 + 9)
        s->done = true;
    else if (in.vk == kVkLeft)
        s->OpenTop((w->menuOpenTop + s->ntop - 1) % s->ntop);
    else if (in.vk == kVkRight)
        s->OpenTop((w->menuOpenTop + 1) % s->ntop);
    else if (in.vk == kVkDown && nitems)
        w->menuSelected = (w->menuSelected + 1) % nitems;
    else if (in.vk == kVkUp && nitems)
        w->menuSelected = (w->menuSelected + nitems - 1) % nitems;
    else if (in.vk == kVkReturn && w->menuSelected >= 0) {
        s->chosen = s->Items()[static_cast<size_t>(w->menuSelected)].id;
        s->done = true;
    } else {
        OnMenuMnemonic(s, in.vk);
    }
    return true;
}

// The pointer over the bar opens that top, over the drop-down selects (a
// left release chooses), and a press anywhere else leaves the menu.
void OnMenuMouse(MenuLoopState* s, const RawInput& in) {
    Window* w = s->w;
    int dx, dy, dw, dh;
    menu_draw::DropDownRect(*w->menu, w->menuOpenTop, s->barH, &dx, &dy, &dw, &dh);
    bool inBar = in.y >= 0 && in.y < s->barH; // above it is a letterbox bar
    bool inDrop = in.x >= dx && in.x < dx + dw && in.y >= dy + 2 && in.y < dy + dh - 2;
    if (inBar) {
        int t = menu_draw::TopIndexAt(*w->menu, in.x);
        if (t >= 0 && t != w->menuOpenTop)
            s->OpenTop(t);
    } else if (inDrop) {
        const int nitems = static_cast<int>(s->Items().size());
        w->menuSelected = std::clamp((in.y - dy - 2) / menu_draw::kItemHeight, 0, nitems - 1);
        if (in.kind == RawInput::kMouseUp && in.vk == kVkLButton) {
            s->chosen = s->Items()[static_cast<size_t>(w->menuSelected)].id;
            s->done = true;
        }
    } else if (in.kind == RawInput::kMouseDown) {
        s->done = true;
    } else {
        w->menuSelected = -1;
    }
}

// False when the input changes nothing to show.
bool OnMenuInput(MenuLoopState* s, const RawInput& in) {
    switch (in.kind) {
        case RawInput::kKeyDown: return OnMenuKey(s, in);
        case RawInput::kMouseMove:
        case RawInput::kMouseDown:
        case RawInput::kMouseUp: OnMenuMouse(s, in); return true;
        case RawInput::kClose: s->closeWindow = s->done = true; return true;
        case RawInput::kQuit: s->done = true; return true;
        default: return false;
    }
}

void FinishMenuLoop(const MenuLoopState& s) {
    Window* w = s.w;
    w->menuOpenTop = -1;
    w->menuSelected = -1;
    RedrawWindow(w);
    SendMessage(w, kMsgExitMenuLoop, 0, 0);
    if (s.chosen != 0)
        PostMessage(w, kMsgCommand, static_cast<uintptr_t>(s.chosen), 0);
    if (s.closeWindow)
        PostMessage(w, kMsgClose, 0, 0);
}

} // namespace

void RunMenuLoop(WindowHandle w, int topIndex) {
    if (!w || !w->menu || w->menu->tops().empty())
        return;
    ++g_menuLoops;
    SendMessage(w, kMsgEnterMenuLoop, 0, 0);
    MenuLoopState s;
    s.w = w;
    s.ntop = static_cast<int>(w->menu->tops().size());
    s.barH = w->fullScreen ? kSmCyCaption : kSmCyMenu;
    s.OpenTop(std::clamp(topIndex, 0, s.ntop - 1));
    if (!g_menuChoices.empty()) {
        s.chosen = g_menuChoices.front();
        g_menuChoices.pop_front();
        s.done = true;
    }
    RedrawWindow(w);
    while (!s.done) {
        RawInput in;
        if (!PollRawInput(&in)) {
            DispatchAppEvents(w);
            WaitWindowEvent(10);
            continue;
        }
        if (OnMenuInput(&s, in) && !s.done)
            RedrawWindow(w);
    }
    FinishMenuLoop(s);
}

void QueueMenuChoice(int commandId) { g_menuChoices.push_back(commandId); }
int MenuLoopCount() { return g_menuLoops; }
void ClearMenuChoices() { g_menuChoices.clear(); }

} // namespace plat
