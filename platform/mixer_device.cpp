#include "platform/mixer_device.h"

#include "platform/audio_mixer.h"
#include "platform/audio_output.h"

namespace plat {

namespace {
// Line ids are the output lines; each line has one volume control with the
// same id, and the master a mute control after them that is never set.
constexpr uint32_t kSpeakers = kLineMaster;
constexpr uint32_t kLastLine = kLineCd;
constexpr uint32_t kMuteId = kLastLine + 1;

// The speaker destination's sources, in order.
constexpr MixerLineInfo kSources[] = {
    {0, 0, kLineWave, kMixerSrcWaveOut, 0, 1},
    {0, 1, kLineSynth, kMixerSrcSynthesizer, 0, 1},
    {0, 2, kLineCd, kMixerSrcCompactDisc, 0, 1},
};
constexpr unsigned kSourceCount = sizeof(kSources) / sizeof(kSources[0]);
} // namespace

unsigned MixerDevice::DeviceCount() { return AudioOutputHasDevice() ? 1 : 0; }

bool MixerDevice::Open(unsigned id) {
    open_ = id < DeviceCount();
    return open_;
}

void MixerDevice::Close() { open_ = false; }

bool MixerDevice::Destinations(unsigned* count) const {
    if (!open_ || !count)
        return false;
    *count = 1;
    return true;
}

bool MixerDevice::Destination(unsigned index, MixerLineInfo* line) const {
    if (!open_ || !line || index != 0)
        return false;
    *line = MixerLineInfo{0, 0, kSpeakers, kMixerDstSpeakers, kSourceCount, 2};
    return true;
}

bool MixerDevice::Source(unsigned destination, unsigned index, MixerLineInfo* line) const {
    if (!open_ || !line || destination != 0 || index >= kSourceCount)
        return false;
    *line = kSources[index];
    return true;
}

bool MixerDevice::LineControls(uint32_t lineId, MixerControlInfo* controls, unsigned max, unsigned* count) const {
    if (!open_ || !controls || !count || lineId > kLastLine)
        return false;
    const MixerControlInfo all[2] = {{lineId, kMixerControlVolume, 0, 65535}, {kMuteId, kMixerControlMute, 0, 1}};
    const unsigned n = lineId == kSpeakers ? 2 : 1;
    *count = 0;
    for (unsigned i = 0; i < n && i < max; ++i)
        controls[(*count)++] = all[i];
    return true;
}

bool MixerDevice::ControlValue(uint32_t controlId, uint32_t* value) const {
    if (!open_ || !value || controlId > kLastLine)
        return false;
    *value = AudioMixer::Get().OutputLevel(static_cast<int>(controlId));
    return true;
}

bool MixerDevice::SetControlValue(uint32_t controlId, uint32_t value) {
    if (!open_ || controlId > kLastLine || value > 65535)
        return false;
    AudioMixer::Get().SetOutputLevel(static_cast<int>(controlId), value);
    return true;
}

} // namespace plat
