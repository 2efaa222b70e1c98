#include "platform/raster_pool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include <sched.h>
#include <time.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plat {

namespace {

// Processors this process may run on: with fewer than the machine has (a
// container or an affinity mask), extra workers would only take turns with
// the caller and spin in each other's time.
int UsableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) == 0)
        return CPU_COUNT(&set);
    return static_cast<int>(std::thread::hardware_concurrency());
}

// Monotonic nanoseconds (not the program's clock: tests replace that one).
int64_t NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

inline void CpuRelax() {
#if defined(__SSE2__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

// Bands are handed out one at a time from a shared counter, to the caller as
// well as the workers: a worker that the system has not scheduled yet simply
// gets none, and the caller never waits for a band nobody started. The draws
// of one frame come back to back a few microseconds apart: a worker spins that
// long for the next job, then sleeps on a condition variable, so nothing
// spins while the program has nothing to draw (waking a sleeping worker
// costs more than a whole band of a frame's draw).
class BandPool {
public:
    static constexpr int kBands = 8;
    // A worker's wait for the next job before it sleeps.
    static constexpr int64_t kIdleSpinNs = 20000;
    // The caller's wait for bands still running elsewhere before it sleeps.
    static constexpr int64_t kDoneSpinNs = 50000;

    BandPool() {
        int usable = UsableProcessors();
        int workers = std::min(usable > 1 ? usable - 1 : 0, 3);
        for (int i = 0; i < workers; ++i)
            threads_.emplace_back([this] { Worker(); });
    }
    ~BandPool() {
        {
            std::lock_guard<std::mutex> lk(m_);
            quit_.store(true);
        }
        wake_.notify_all();
        for (std::thread& t : threads_)
            t.join();
    }
    int bands() const { return threads_.empty() ? 1 : kBands; }

    void Run(BandJob job, void* ctx, int bands) {
        std::unique_lock<std::mutex> busy(dispatch_, std::try_to_lock);
        if (!busy.owns_lock() || bands <= 1 || threads_.empty()) {
            for (int b = 0; b < bands; ++b)
                job(ctx, b, bands);
            return;
        }
        bands = std::min(bands, 0xFFFF);
        job_ = job;
        ctx_ = ctx;
        done_.store(0, std::memory_order_relaxed);
        uint64_t gen;
        {
            std::lock_guard<std::mutex> lk(m_);
            gen = (state_.load(std::memory_order_relaxed) >> 32) + 1;
            state_.store(gen << 32 | static_cast<uint64_t>(bands) << 16, std::memory_order_release);
        }
        // A worker counts itself asleep under the lock and checks the state
        // under it, so either it sees this job or the count shows it.
        if (sleepers_.load(std::memory_order_acquire) > 0)
            wake_.notify_all();
        TakeBands(gen);
        SpinUntil(kDoneSpinNs, [&] { return done_.load(std::memory_order_acquire) >= bands; });
        if (done_.load(std::memory_order_acquire) < bands) {
            // A worker that claimed a band may have lost its processor (a busy
            // machine): sleep until it is done rather than burn ours.
            std::unique_lock<std::mutex> lk(m_);
            allDone_.wait(lk, [&] { return done_.load(std::memory_order_acquire) >= bands; });
        }
    }

private:
    // Runs bands of generation gen until none is left or another began.
    void TakeBands(uint64_t gen) {
        for (;;) {
            uint64_t v = state_.load(std::memory_order_acquire);
            if ((v >> 32) != gen)
                return;
            const int band = static_cast<int>(v & 0xFFFF), total = static_cast<int>((v >> 16) & 0xFFFF);
            if (band >= total)
                return;
            // A claimed band keeps the job alive until it is counted done, so
            // reading the job after a successful claim is safe.
            if (!state_.compare_exchange_weak(v, v + 1, std::memory_order_acq_rel))
                continue;
            job_(ctx_, band, total);
            if (done_.fetch_add(1, std::memory_order_acq_rel) + 1 == total) {
                // Under the lock: the caller checks the count under it before sleeping.
                std::lock_guard<std::mutex> lk(m_);
                allDone_.notify_one();
            }
        }
    }

    // Spins until ready() or about ns have passed; returns ready().
    template <typename Ready>
    static bool SpinUntil(int64_t ns, Ready ready) {
        const int64_t until = NowNs() + ns;
        for (int spins = 1;; ++spins) {
            if (ready())
                return true;
            if (spins % 64 == 0 && NowNs() >= until)
                return ready();
            CpuRelax();
        }
    }

    void Worker() {
        uint64_t seenGen = 0;
        for (;;) {
            auto moved = [&] { return quit_.load() || (state_.load(std::memory_order_acquire) >> 32) != seenGen; };
            if (!SpinUntil(kIdleSpinNs, moved)) {
                std::unique_lock<std::mutex> lk(m_);
                sleepers_.fetch_add(1, std::memory_order_acq_rel);
                wake_.wait(lk, moved);
                sleepers_.fetch_sub(1, std::memory_order_acq_rel);
            }
            if (quit_.load())
                return;
            seenGen = state_.load(std::memory_order_acquire) >> 32;
            TakeBands(seenGen);
        }
    }

    std::vector<std::thread> threads_;
    std::mutex m_;
    std::mutex dispatch_;
    std::condition_variable wake_; // a job began, or the pool ends
    std::condition_variable allDone_; // the last band of a job is done
    std::atomic<uint64_t> state_{0}; // generation << 32 | bands << 16 | next band
    std::atomic<int> done_{0};
    std::atomic<int> sleepers_{0};
    std::atomic<bool> quit_{false};
    BandJob job_ = nullptr;
    void* ctx_ = nullptr;
};

BandPool& Pool() {
    static BandPool pool;
    return pool;
}

} // namespace

int RasterBandCount() { return Pool().bands(); }

void RunRasterBands(BandJob job, void* ctx, int bands) { Pool().Run(job, ctx, bands); }

} // namespace plat
