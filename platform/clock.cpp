#include "platform/clock.h"

#include <cerrno>
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

void SystemClock::SleepUntilMs(uint32_t deadline) {
    const uint64_t epoch = Epoch();
    const uint64_t mono = MonotonicMs();
    const uint32_t now = static_cast<uint32_t>(mono - epoch + kEpochOffset);
    const int32_t ahead = static_cast<int32_t>(deadline - now);
    if (ahead <= 0)
        return;
    // The deadline's millisecond begins at this monotonic time: waking there
    // (not a relative sleep, which drifts by the time spent getting to it)
    // makes the next NowMs() read the deadline.
    const uint64_t wakeMs = mono + static_cast<uint64_t>(ahead);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(wakeMs / 1000u);
    ts.tv_nsec = static_cast<long>(wakeMs % 1000u) * 1000000L;
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
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
