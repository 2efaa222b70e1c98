#include "platform/audio_output.h"

#include <atomic>
#include <ctime>
#include <mutex>
#include <thread>

#include "platform/audio_mixer.h"
#include "platform/backend.h"
#include "platform/audio_output_test_hooks.h"

namespace plat {

namespace {

std::mutex g_outputMutex;
AudioOutputKind g_kind = AudioOutputKind::kNone;
bool g_manualAsDevice = false;
std::thread g_clockThread;
std::atomic<bool> g_clockRun{false};

void ClockLoop() {
    // Real time on purpose: without a device this thread is the sound clock.
    auto nowMs = [] {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    };
    const uint64_t start = nowMs();
    int64_t rendered = 0;
    std::vector<float> scratch;
    while (g_clockRun.load()) {
        const uint64_t elapsed = nowMs() - start;
        int64_t due = ClockFramesDue(elapsed, rendered);
        while (due > 0) {
            const int n = static_cast<int>(due > 1024 ? 1024 : due);
            scratch.resize(static_cast<size_t>(n) * kAudioChannels);
            AudioMixer::Get().Render(scratch.data(), n);
            rendered += n;
            due -= n;
        }
        timespec pause{0, 20 * 1000000L};
        nanosleep(&pause, nullptr);
    }
}

void StopLocked() {
    if (g_kind == AudioOutputKind::kDevice)
        CloseAudioDevice();
    if (g_kind == AudioOutputKind::kClock) {
        g_clockRun.store(false);
        if (g_clockThread.joinable())
            g_clockThread.join();
    }
    g_kind = AudioOutputKind::kNone;
}

// Stops the output thread before the program's statics go away.
struct ExitGuard {
    ~ExitGuard() {
        std::lock_guard<std::mutex> lock(g_outputMutex);
        StopLocked();
    }
} g_exitGuard;

} // namespace

int64_t ClockFramesDue(uint64_t elapsedMs, int64_t renderedSoFar) {
    const int64_t target = static_cast<int64_t>(elapsedMs * static_cast<uint64_t>(kAudioRate) / 1000u);
    return target > renderedSoFar ? target - renderedSoFar : 0;
}

AudioOutputKind AudioOutputStart() {
    std::lock_guard<std::mutex> lock(g_outputMutex);
    if (g_kind != AudioOutputKind::kNone)
        return g_kind;
    if (OpenAudioDevice()) {
        g_kind = AudioOutputKind::kDevice;
    } else {
        g_clockRun.store(true);
        g_clockThread = std::thread(ClockLoop);
        g_kind = AudioOutputKind::kClock;
    }
    return g_kind;
}

AudioOutputKind AudioOutputCurrent() {
    std::lock_guard<std::mutex> lock(g_outputMutex);
    return g_kind;
}

bool AudioOutputHasDevice() {
    std::lock_guard<std::mutex> lock(g_outputMutex);
    return g_kind == AudioOutputKind::kDevice || (g_kind == AudioOutputKind::kManual && g_manualAsDevice);
}

void AudioOutputStop() {
    std::lock_guard<std::mutex> lock(g_outputMutex);
    StopLocked();
}

void AudioOutputUseManual(bool actsAsDevice) {
    std::lock_guard<std::mutex> lock(g_outputMutex);
    StopLocked();
    g_kind = AudioOutputKind::kManual;
    g_manualAsDevice = actsAsDevice;
}

void AudioManualPump(int frames, std::vector<float>* capture) {
    {
        std::lock_guard<std::mutex> lock(g_outputMutex);
        if (g_kind != AudioOutputKind::kManual)
            return;
    }
    std::vector<float> block;
    while (frames > 0) {
        const int n = frames > 4096 ? 4096 : frames;
        block.resize(static_cast<size_t>(n) * kAudioChannels);
        AudioMixer::Get().Render(block.data(), n);
        if (capture)
            capture->insert(capture->end(), block.begin(), block.end());
        frames -= n;
    }
}

} // namespace plat
