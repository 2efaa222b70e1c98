// Additive instruments for the sample game's tunes: each note is a few sine
// partials under an envelope, mixed into a stereo buffer that can wrap
// around, so that a tune's last notes ring on over its start when it loops.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace music {

constexpr int kRate = 44100;

enum class Timbre { kPiano, kKeys, kFlute, kBell, kPluck, kPad, kBass, kKick, kShaker, kTaiko };

class StereoBuffer {
public:
    StereoBuffer(size_t frames, bool wrap) : left_(frames), right_(frames), wrap_(wrap) {}
    size_t frames() const { return left_.size(); }
    // Adds a frame at `at`; past the end it wraps to the start or is dropped.
    void Add(size_t at, float l, float r) {
        if (at >= left_.size()) {
            if (!wrap_)
                return;
            at %= left_.size();
        }
        left_[at] += l;
        right_[at] += r;
    }
    std::vector<float>& left() { return left_; }
    std::vector<float>& right() { return right_; }
    const std::vector<float>& left() const { return left_; }
    const std::vector<float>& right() const { return right_; }
    bool wraps() const { return wrap_; }

private:
    std::vector<float> left_;
    std::vector<float> right_;
    bool wrap_;
};

// One note: `held` frames from `start`, then the timbre's release. pan runs
// from -1 (left) to 1 (right).
void RenderNote(Timbre timbre, double frequency, size_t start, size_t held, float gain, float pan, StereoBuffer* out);

double MidiFrequency(int midi);

} // namespace music
