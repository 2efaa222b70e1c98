#pragma once
#include <cstdint>

namespace plat {

// Kinds of mixer lines.
enum MixerComponent : uint32_t {
    kMixerDstSpeakers = 1,
    kMixerDstOther = 2,
    kMixerSrcWaveOut = 16,
    kMixerSrcSynthesizer = 17,
    kMixerSrcCompactDisc = 18,
    kMixerSrcOther = 19,
};

constexpr uint32_t kMixerControlVolume = 1;
constexpr uint32_t kMixerControlMute = 2;

struct MixerLineInfo {
    uint32_t destination = 0;
    uint32_t source = 0;
    uint32_t lineId = 0;
    uint32_t component = 0;
    uint32_t sources = 0; // for a destination
    uint32_t controls = 0;
};

struct MixerControlInfo {
    uint32_t controlId = 0;
    uint32_t type = 0;
    uint32_t minimum = 0;
    uint32_t maximum = 0;
};

// The program's own mixer: one speaker destination whose volume is the master
// level of everything we output, with three sources: wave output (media
// channels and files), synthesizer (sound slots) and CD audio. It exists only
// while the program has a sound device; the desktop's mixer is left alone.
class MixerDevice {
public:
    static unsigned DeviceCount();

    bool Open(unsigned id);
    void Close();
    bool IsOpen() const { return open_; }

    bool Destinations(unsigned* count) const;
    bool Destination(unsigned index, MixerLineInfo* line) const;
    bool Source(unsigned destination, unsigned index, MixerLineInfo* line) const;
    // Writes up to max controls of a line; false for an unknown line.
    bool LineControls(uint32_t lineId, MixerControlInfo* controls, unsigned max, unsigned* count) const;
    bool ControlValue(uint32_t controlId, uint32_t* value) const;
    bool SetControlValue(uint32_t controlId, uint32_t value);

private:
    bool open_ = false;
};

} // namespace plat
