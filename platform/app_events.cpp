#include "platform/app_events.h"

#include <atomic>
#include <deque>
#include <mutex>

namespace plat {

namespace {
std::mutex g_mutex;
std::deque<AppEvent> g_queue;
std::atomic<AppEventWaker> g_waker{nullptr};
} // namespace

void PostAppEvent(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        AppEvent e;
        e.message = message;
        e.wParam = wParam;
        e.lParam = lParam;
        g_queue.push_back(e);
    }
    if (AppEventWaker w = g_waker.load())
        w();
}

bool PopAppEvent(AppEvent* out) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_queue.empty())
        return false;
    if (out)
        *out = g_queue.front();
    g_queue.pop_front();
    return true;
}

size_t PendingAppEvents() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_queue.size();
}

void ClearAppEvents() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_queue.clear();
}

void DropAppEvents(uint32_t message) {
    std::lock_guard<std::mutex> lock(g_mutex);
    std::erase_if(g_queue, [message](const AppEvent& e) { return e.message == message; });
}

void SetAppEventWaker(AppEventWaker waker) { g_waker.store(waker); }

} // namespace plat
