#pragma once
#include <cstddef>
#include <cstdint>

namespace plat {

// The program's own window messages that come from other threads (the end of
// a media channel: 0x8002 voice, 0x8003 music, 0x8004 movie). Any thread may
// post; the shell drains the queue on the main thread between frames and
// dispatches each message as its window procedure would.
struct AppEvent {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

void PostAppEvent(uint32_t message, uintptr_t wParam, intptr_t lParam);
// Takes the oldest message; false when none waits.
bool PopAppEvent(AppEvent* out);
size_t PendingAppEvents();
void ClearAppEvents();
// Takes out every waiting message of that code, as a closing channel does
// with its end-of-media messages: nothing is left to answer them.
void DropAppEvents(uint32_t message);

// Called (on the posting thread) after each post, so that a shell blocked in
// its event wait can wake up, e.g. by pushing an SDL user event. Optional.
using AppEventWaker = void (*)();
void SetAppEventWaker(AppEventWaker waker);

} // namespace plat
