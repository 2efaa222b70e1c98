#include "platform/clock.h"

#include <ctime>

namespace plat {

namespace {

uint64_t MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

// Counting from the program's start (plus an offset, since 0 means "not set"
// to several callers) keeps the 32-bit time far from its wrap in any real run.
const uint64_t g_epoch = MonotonicMs();
constexpr uint64_t kEpochOffset = 1000000u;

}  // namespace

uint32_t SystemClock::NowMs() { return static_cast<uint32_t>(MonotonicMs() - g_epoch + kEpochOffset); }

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
