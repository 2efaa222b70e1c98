#include "tools/media/synth.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace music {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kTableBits = 12;
constexpr int kTableSize = 1 << kTableBits;

// One period of a sine with a guard entry, read with linear interpolation.
const std::array<float, kTableSize + 1>& SineTable() {
    static const auto table = [] {
        std::array<float, kTableSize + 1> t{};
        for (int i = 0; i <= kTableSize; ++i)
            t[i] = static_cast<float>(std::sin(2.0 * kPi * i / kTableSize));
        return t;
    }();
    return table;
}

inline float Sine(double phase) { // phase in periods, >= 0
    const double x = (phase - std::floor(phase)) * kTableSize;
    const int i = static_cast<int>(x);
    const float f = static_cast<float>(x - i);
    const auto& t = SineTable();
    return t[i] + (t[i + 1] - t[i]) * f;
}

// A sine oscillator on a 32-bit phase that wraps by itself: the top bits
// index the table, the rest interpolate.
class Oscillator {
public:
    Oscillator(double frequency, double phase)
        : phase_(static_cast<uint32_t>(phase * 4294967296.0)), inc_(Increment(frequency)) {}
    static uint32_t Increment(double frequency) {
        return static_cast<uint32_t>(frequency / kRate * 4294967296.0);
    }
    float Next(uint32_t inc) {
        const uint32_t i = phase_ >> (32 - kTableBits);
        const float f = static_cast<float>(phase_ & ((1u << (32 - kTableBits)) - 1)) *
                        (1.0f / static_cast<float>(1u << (32 - kTableBits)));
        phase_ += inc;
        const auto& t = SineTable();
        return t[i] + (t[i + 1] - t[i]) * f;
    }
    float Next() { return Next(inc_); }
    uint32_t increment() const { return inc_; }

private:
    uint32_t phase_;
    uint32_t inc_;
};

struct Partial {
    float ratio;
    float amp;
    float decay; // seconds for the level to fall to 1/e near middle C; 0 holds
};

struct Voice {
    float attack;
    float release;
    std::vector<Partial> partials;
    float vibrato = 0;      // relative depth, 5 Hz, fading in after the attack
    float detuneCents = 0;  // > 0: two copies at -d and +d cents, a chorus
};

const Voice& VoiceOf(Timbre timbre) {
    static const Voice kPiano{0.004f, 0.25f,
                              {{1, 1, 1.7f}, {2.001f, 0.5f, 1.0f}, {3.004f, 0.28f, 0.7f}, {4.008f, 0.16f, 0.5f},
                               {5.013f, 0.08f, 0.35f}, {6.02f, 0.05f, 0.25f}}};
    static const Voice kKeys{0.003f, 0.3f,
                             {{1, 1, 2.0f}, {2, 0.22f, 0.5f}, {3, 0.06f, 0.4f}, {7, 0.05f, 0.08f}}};
    static const Voice kFlute{0.07f, 0.16f, {{1, 1, 0}, {2, 0.3f, 0}, {3, 0.1f, 0}, {4, 0.04f, 0}}, 0.005f};
    static const Voice kBell{0.002f, 0.4f,
                             {{1, 1, 1.8f}, {2.0f, 0.35f, 1.0f}, {3.0f, 0.2f, 0.6f}, {4.16f, 0.12f, 0.35f},
                              {5.43f, 0.08f, 0.22f}}};
    static const Voice kPluck{0.002f, 0.1f,
                              {{1, 1, 0.9f}, {2, 0.45f, 0.5f}, {3, 0.25f, 0.35f}, {4, 0.13f, 0.25f},
                               {5, 0.07f, 0.18f}, {6, 0.04f, 0.14f}}};
    static const Voice kPad{0.45f, 0.7f, {{1, 1, 0}, {2, 0.38f, 0}, {3, 0.2f, 0}, {4, 0.11f, 0}}, 0.0f, 6.0f};
    static const Voice kBass{0.006f, 0.12f, {{1, 1, 1.4f}, {2, 0.5f, 0.6f}, {3, 0.22f, 0.35f}, {4, 0.1f, 0.2f}}};
    switch (timbre) {
    case Timbre::kPiano: return kPiano;
    case Timbre::kKeys: return kKeys;
    case Timbre::kFlute: return kFlute;
    case Timbre::kBell: return kBell;
    case Timbre::kPluck: return kPluck;
    case Timbre::kPad: return kPad;
    default: return kBass;
    }
}

// The voice's level at `t` seconds, apart from the partials' own decay.
float Envelope(const Voice& v, double t, double heldSeconds) {
    float level = 1;
    if (t < v.attack) {
        const double s = std::sin(0.5 * kPi * t / v.attack);
        level = static_cast<float>(s * s);
    }
    if (t > heldSeconds) {
        const double x = (t - heldSeconds) / v.release;
        level *= x >= 1 ? 0.0f : static_cast<float>(0.5 * (1 + std::cos(kPi * x)));
    }
    return level;
}

void RenderPitched(const Voice& v, double frequency, size_t held, std::vector<float>* mono) {
    const double heldSeconds = static_cast<double>(held) / kRate;
    const size_t total = mono->size();
    // Low notes ring longer, as strings do.
    const double decayScale = std::pow(261.6 / frequency, 0.35);
    float ampSum = 0;
    for (const Partial& p : v.partials)
        ampSum += p.amp;
    const int copies = v.detuneCents > 0 ? 2 : 1;
    std::vector<float> envelope(total);
    for (size_t i = 0; i < total; ++i)
        envelope[i] = Envelope(v, static_cast<double>(i) / kRate, heldSeconds);
    for (size_t k = 0; k < v.partials.size(); ++k) {
        const Partial& p = v.partials[k];
        if (frequency * p.ratio > 16000)
            continue;
        const double decay = p.decay > 0 ? p.decay * decayScale : 0;
        const float step = decay > 0 ? static_cast<float>(std::exp(-1.0 / (decay * kRate))) : 1.0f;
        size_t end = total;
        if (decay > 0) // stop where the partial has faded below hearing
            end = std::min(total, static_cast<size_t>(decay * std::log(1e5 * p.amp) * kRate) + 1);
        for (int c = 0; c < copies; ++c) {
            const double cents = copies == 1 ? 0 : (c == 0 ? -v.detuneCents : v.detuneCents);
            Oscillator osc(frequency * p.ratio * std::pow(2.0, cents / 1200.0), 0.13 * static_cast<double>(k) + 0.31 * c);
            float level = p.amp / (ampSum * static_cast<float>(copies));
            if (v.vibrato > 0) {
                for (size_t i = 0; i < end; ++i) {
                    const double t = static_cast<double>(i) / kRate;
                    const double depth = std::min(1.0, std::max(0.0, (t - 0.2) / 0.4)) * v.vibrato;
                    const double wobble = 1 + depth * Sine(5.0 * t);
                    (*mono)[i] += osc.Next(static_cast<uint32_t>(osc.increment() * wobble)) * level * envelope[i];
                }
                continue;
            }
            float* out = mono->data();
            const float* env = envelope.data();
            for (size_t i = 0; i < end; ++i) {
                out[i] += osc.Next() * level * env[i];
                level *= step;
            }
        }
    }
}

// A fixed noise sequence per hit, so the build's output never changes.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    float Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) / static_cast<float>(1u << 23) - 1.0f;
    }

private:
    uint32_t state_;
};

void RenderDrum(Timbre timbre, size_t seed, std::vector<float>* mono) {
    Noise noise(static_cast<uint32_t>(seed));
    double phase = 0;
    float previous = 0;
    float smooth = 0;
    for (size_t i = 0; i < mono->size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.002);
        float s = 0;
        if (timbre == Timbre::kShaker) {
            const float n = noise.Next();
            s = static_cast<float>((n - previous) * 0.5 * attack * std::exp(-t / 0.03));
            previous = n;
        } else {
            const bool taiko = timbre == Timbre::kTaiko;
            const double f = taiko ? 68 + 45 * std::exp(-t / 0.04) : 50 + 80 * std::exp(-t / 0.022);
            phase += f / kRate;
            s = static_cast<float>(Sine(phase) * attack * std::exp(-t / (taiko ? 0.32 : 0.15)));
            if (taiko) { // the skin's thud
                smooth += 0.05f * (noise.Next() - smooth);
                s += static_cast<float>(smooth * 2.0 * std::exp(-t / 0.05));
            }
        }
        (*mono)[i] = s;
    }
}

} // namespace

double MidiFrequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

void RenderNote(Timbre timbre, double frequency, size_t start, size_t held, float gain, float pan, StereoBuffer* out) {
    std::vector<float> mono;
    if (timbre == Timbre::kKick || timbre == Timbre::kShaker || timbre == Timbre::kTaiko) {
        mono.resize(static_cast<size_t>(kRate * (timbre == Timbre::kTaiko ? 1.2 : 0.5)));
        RenderDrum(timbre, start, &mono);
    } else {
        const Voice& v = VoiceOf(timbre);
        mono.resize(held + static_cast<size_t>(v.release * kRate) + 1);
        RenderPitched(v, frequency, held, &mono);
    }
    const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1) * kPi / 4;
    const float l = gain * static_cast<float>(std::cos(angle));
    const float r = gain * static_cast<float>(std::sin(angle));
    for (size_t i = 0; i < mono.size(); ++i)
        out->Add(start + i, mono[i] * l, mono[i] * r);
}

} // namespace music
