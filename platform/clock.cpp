#include "platform/clock.h"

#include <ctime>

namespace plat {

uint32_t SystemClock::NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);  // wraps like the original 32-bit timer
}

void SystemClock::SleepMs(uint32_t ms) {
    timespec ts{};
    ts.tv_sec = ms / 1000;
    ts.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0) {
    }
}

namespace {
SystemClock g_systemClock;
Clock* g_clock = &g_systemClock;
}  // namespace

Clock& GetClock() { return *g_clock; }

void SetClock(Clock* clock) { g_clock = clock ? clock : &g_systemClock; }

}  // namespace plat
