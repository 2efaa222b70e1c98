#pragma once
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_env.h"

namespace audiotest {

// A 16-bit PCM RIFF WAVE file holding a sine of the given frequency.
inline std::string WavBytes(int rate, int channels, int frames, double freq, double amplitude = 0.5) {
    std::string d;
    auto u32 = [&d](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&d](uint16_t v) {
        d.push_back(static_cast<char>(v & 0xFF));
        d.push_back(static_cast<char>(v >> 8));
    };
    const uint32_t dataBytes = static_cast<uint32_t>(frames * channels * 2);
    d += "RIFF";
    u32(36 + dataBytes);
    d += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(static_cast<uint16_t>(channels));
    u32(static_cast<uint32_t>(rate));
    u32(static_cast<uint32_t>(rate * channels * 2));
    u16(static_cast<uint16_t>(channels * 2));
    u16(16);
    d += "data";
    u32(dataBytes);
    for (int i = 0; i < frames; ++i) {
        const double s = amplitude * std::sin(2.0 * M_PI * freq * i / rate);
        const int16_t v = static_cast<int16_t>(std::lround(s * 32767.0));
        for (int c = 0; c < channels; ++c)
            u16(static_cast<uint16_t>(v));
    }
    return d;
}

inline std::string Fixture(const std::string& name) { return kutest::SourceDir() + "/tests/audio/data/" + name; }

// Root mean square over interleaved stereo samples [from, to) in frames.
inline double Rms(const std::vector<float>& s, size_t from, size_t to) {
    double sum = 0;
    size_t n = 0;
    for (size_t i = from * 2; i < to * 2 && i < s.size(); ++i, ++n)
        sum += static_cast<double>(s[i]) * s[i];
    return n ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
}

// Frames that carry sound (any side above a small threshold).
inline size_t AudibleFrames(const std::vector<float>& s) {
    size_t n = 0;
    for (size_t i = 0; i + 1 < s.size(); i += 2)
        if (std::fabs(s[i]) > 1e-4 || std::fabs(s[i + 1]) > 1e-4)
            ++n;
    return n;
}

// Index one past the last frame that carries sound; 0 when all is silent.
inline size_t AudibleEnd(const std::vector<float>& s) {
    for (size_t f = s.size() / 2; f > 0; --f)
        if (std::fabs(s[2 * f - 2]) > 1e-4 || std::fabs(s[2 * f - 1]) > 1e-4)
            return f;
    return 0;
}

} // namespace audiotest
