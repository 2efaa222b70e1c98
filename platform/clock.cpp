#include "platform/clock.h"

#include <ctime>

namespace plat {

namespace {

uint64_t MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

// Counting from the first reading (plus an offset, since 0 means "not set" to
// several callers) keeps the 32-bit time far from its wrap in any real run.
// A function-local epoch is set before any reading, even one made by another
// file's start-up code.
uint64_t Epoch() {
    static const uint64_t epoch = MonotonicMs();
    return epoch;
}
constexpr uint64_t kEpochOffset = 1000000u;

} // namespace

uint32_t SystemClock::NowMs() {
    const uint64_t epoch = Epoch(); // first, so that the difference is never negative
    return static_cast<uint32_t>(MonotonicMs() - epoch + kEpochOffset);
}

void SystemClock::SleepMs(uint32_t ms) {
    timespec ts{};
    ts.tv_sec = ms / 1000;
    ts.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0) {
    }
}

namespace {
// Never destroyed: the clock stays readable from code that runs at exit.
Clock& TheSystemClock() {
    static Clock* clock = new SystemClock;
    return *clock;
}
Clock* g_clock = nullptr; // nullptr: the system clock
} // namespace

Clock& GetClock() { return g_clock ? *g_clock : TheSystemClock(); }

void SetClock(Clock* clock) { g_clock = clock; }

} // namespace plat
