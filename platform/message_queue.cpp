#include <deque>

#include "platform/app_events.h"
#include "platform/backend.h"
#include "platform/window.h"
#include "platform/window_state.h"

// The window's message queue: posted messages first, then media-channel
// events, then window-system events translated by the backend.

namespace plat {

namespace {
Window* g_main = nullptr;
std::deque<Message> g_queue;
} // namespace

WindowHandle MainWindow() { return g_main; }
void SetMainWindow(Window* w) { g_main = w; }

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
        if (!PumpWindowEvent())
            return false;
    }
}

intptr_t DispatchMessage(const Message& m) {
    if (m.message == kMsgQuit)
        return 0;
    WindowHandle w = m.window ? m.window : g_main;
    return SendMessage(w, m.message, m.wParam, m.lParam);
}

void WaitMessage(int timeoutMs) {
    if (!g_queue.empty() || PendingAppEvents() > 0 || !WindowSystemUp())
        return;
    WaitWindowEvent(timeoutMs);
}

void DispatchAppEvents(WindowHandle window) {
    AppEvent ae;
    while (PopAppEvent(&ae))
        SendMessage(window, ae.message, ae.wParam, ae.lParam);
}

void ClearMessageQueue() { g_queue.clear(); }

} // namespace plat
