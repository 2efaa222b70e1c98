#include "tools/media/reverb.h"

#include <algorithm>
#include <vector>

namespace music {
namespace {

class Comb {
public:
    explicit Comb(size_t length) : line_(length) {}
    float Process(float in) {
        const float out = line_[at_];
        damped_ = out * 0.7f + damped_ * 0.3f;
        line_[at_] = in + damped_ * 0.8f;
        if (++at_ == line_.size())
            at_ = 0;
        return out;
    }

private:
    std::vector<float> line_;
    size_t at_ = 0;
    float damped_ = 0;
};

class AllPass {
public:
    explicit AllPass(size_t length) : line_(length) {}
    float Process(float in) {
        const float delayed = line_[at_];
        const float out = delayed - in;
        line_[at_] = in + delayed * 0.5f;
        if (++at_ == line_.size())
            at_ = 0;
        return out;
    }

private:
    std::vector<float> line_;
    size_t at_ = 0;
};

class Room {
public:
    explicit Room(size_t spread) {
        for (size_t d : {1116u, 1277u, 1422u, 1557u})
            combs_.emplace_back(d + spread);
        for (size_t d : {556u, 441u})
            passes_.emplace_back(d + spread);
    }
    float Process(float in) {
        float sum = 0;
        for (Comb& c : combs_)
            sum += c.Process(in * 0.15f);
        for (AllPass& a : passes_)
            sum = a.Process(sum);
        return sum;
    }

private:
    std::vector<Comb> combs_;
    std::vector<AllPass> passes_;
};

constexpr size_t kWarmUpFrames = 4 * kRate;

void Run(std::vector<float>* channel, size_t spread, float wet, bool wraps) {
    Room room(spread);
    std::vector<float> dry = *channel;
    // The room forgets within a few seconds: warming it on the loop's last
    // seconds leaves it as it would be coming round from the end.
    if (wraps)
        for (size_t i = dry.size() - std::min(dry.size(), kWarmUpFrames); i < dry.size(); ++i)
            room.Process(dry[i]);
    for (size_t i = 0; i < dry.size(); ++i)
        (*channel)[i] = dry[i] + wet * room.Process(dry[i]);
}

} // namespace

void AddReverb(StereoBuffer* audio, float wet) {
    Run(&audio->left(), 0, wet, audio->wraps());
    Run(&audio->right(), 23, wet, audio->wraps());
}

} // namespace music
