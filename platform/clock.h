#pragma once
#include <cstdint>

namespace plat {

// Monotonic millisecond clock with sleep. The program uses the system clock;
// tests install a FakeClock so that every timing is deterministic.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t NowMs() = 0;
    virtual void SleepMs(uint32_t ms) = 0;
    // Sleeps until NowMs() reads deadline or later; at once when it already
    // does. Times compare modulo 2^32, as everywhere else.
    virtual void SleepUntilMs(uint32_t deadline) {
        const uint32_t now = NowMs();
        if (static_cast<int32_t>(deadline - now) > 0)
            SleepMs(deadline - now);
    }
};

class SystemClock : public Clock {
public:
    uint32_t NowMs() override;
    void SleepMs(uint32_t ms) override;
    // One absolute sleep to the start of the deadline's millisecond.
    void SleepUntilMs(uint32_t deadline) override;
};

// Starts far from 0 because several callers treat a time of 0 as "not set".
class FakeClock : public Clock {
public:
    static constexpr uint32_t kStart = 0x10000000u;
    explicit FakeClock(uint32_t start = kStart) : now_(start) {}
    uint32_t NowMs() override { return now_ += step_; }
    void SleepMs(uint32_t ms) override { now_ += ms; }
    // Wakes so that the next read gives the deadline, as a real clock read
    // right at the wake would (the step a read costs included).
    void SleepUntilMs(uint32_t deadline) override {
        ++sleeps_;
        if (static_cast<int32_t>(deadline - (now_ + step_)) > 0)
            now_ = deadline - step_;
    }
    void Advance(uint32_t ms) { now_ += ms; }
    void Set(uint32_t ms) { now_ = ms; }
    uint32_t Peek() const { return now_; }
    // Added on every read, so that a busy wait on the clock always ends.
    void SetStepPerRead(uint32_t step) { step_ = step; }
    // Calls of SleepUntilMs so far.
    int SleepUntilCount() const { return sleeps_; }

private:
    uint32_t now_;
    uint32_t step_ = 0;
    int sleeps_ = 0;
};

// The clock every caller reads. Passing nullptr restores the system clock.
Clock& GetClock();
void SetClock(Clock* clock);

inline uint32_t TimeMs() { return GetClock().NowMs(); }
inline void SleepMs(uint32_t ms) { GetClock().SleepMs(ms); }
inline void SleepUntilMs(uint32_t deadline) { GetClock().SleepUntilMs(deadline); }

} // namespace plat
