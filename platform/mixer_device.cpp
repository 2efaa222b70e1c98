#include "platform/mixer_device.h"

#include "platform/audio_mixer.h"
#include "platform/audio_output.h"

namespace plat {

namespace {
// Line ids; each line has one volume control with the same id, and the master
// a mute control after it that is never set.
constexpr uint32_t kSpeakers = 0;
constexpr uint32_t kWaveOut = 1;
constexpr uint32_t kMuteId = 2;
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
    *line = MixerLineInfo{0, 0, kSpeakers, kMixerDstSpeakers, 1, 2};
    return true;
}

bool MixerDevice::Source(unsigned destination, unsigned index, MixerLineInfo* line) const {
    if (!open_ || !line || destination != 0 || index != 0)
        return false;
    *line = MixerLineInfo{0, 0, kWaveOut, kMixerSrcWaveOut, 0, 1};
    return true;
}

bool MixerDevice::LineControls(uint32_t lineId, MixerControlInfo* controls, unsigned max, unsigned* count) const {
    if (!open_ || !controls || !count || lineId > kWaveOut)
        return false;
    const MixerControlInfo all[2] = {{lineId, kMixerControlVolume, 0, 65535}, {kMuteId, kMixerControlMute, 0, 1}};
    const unsigned n = lineId == kSpeakers ? 2 : 1;
    *count = 0;
    for (unsigned i = 0; i < n && i < max; ++i)
        controls[(*count)++] = all[i];
    return true;
}

bool MixerDevice::ControlValue(uint32_t controlId, uint32_t* value) const {
    if (!open_ || !value || controlId > kWaveOut)
        return false;
    *value = AudioMixer::Get().OutputLevel(static_cast<int>(controlId));
    return true;
}

bool MixerDevice::SetControlValue(uint32_t controlId, uint32_t value) {
    if (!open_ || controlId > kWaveOut || value > 65535)
        return false;
    AudioMixer::Get().SetOutputLevel(static_cast<int>(controlId), value);
    return true;
}

} // namespace plat
