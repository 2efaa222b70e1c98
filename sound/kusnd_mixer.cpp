#include <algorithm>
#include <cstring>
#include <string>

#include "platform/mixer_device.h"
#include "sound/kusnd.h"
#include "sound/sound_log.h"

namespace {

constexpr int kMaxControls = 8;
constexpr int kMaxVolume = 65535;

void Log(KUSYSTEM* sys, const char* method, const char* text) {
    std::string tag = "KUSND::";
    tag += method;
    snd::LogLine(sys, "Error", tag.c_str(), text);
}

// Line index of a source kind; -1 for the kinds we do not keep.
int SourceIndex(uint32_t component) {
    switch (component) {
        case plat::kMixerSrcWaveOut: return 1;
        case plat::kMixerSrcSynthesizer: return 2;
        case plat::kMixerSrcCompactDisc: return 3;
        default: return -1;
    }
}

} // namespace

int KUSND::MixerOpen(unsigned int device) {
    m_Mixer = MixerBlock{};
    m_Mixer.deviceId = device;
    if (plat::MixerDevice::DeviceCount() == 0) {
        Log(m_pKUSys, "MixerOpen", "ミキサー数が得られませんでした");
        return 0;
    }
    plat::MixerDevice mixer;
    if (!mixer.Open(device)) {
        Log(m_pKUSys, "MixerOpen", "ミキサーオープンに失敗しました");
        return 0;
    }
    MixerGetDev(device, &mixer);
    for (int i = 0; i < kMixerLines; ++i) {
        if (m_Mixer.lineFound[i])
            m_Mixer.saved[i] = m_Mixer.current[i];
    }
    mixer.Close();
    m_Mixer.open = 1;
    return 1;
}

int KUSND::MixerGetDev(unsigned int, plat::MixerDevice* mixer) {
    unsigned int destinations = 0;
    if (!mixer || !mixer->Destinations(&destinations)) {
        ErrorPrint("Error: <KUSND::MixerGetDev> デバイスの取得に失敗しました\n");
        return 0;
    }
    for (unsigned int d = 0; d < destinations; ++d) {
        plat::MixerLineInfo line;
        if (!mixer->Destination(d, &line))
            continue;
        // A later speaker destination replaces an earlier one.
        if (line.component == plat::kMixerDstSpeakers && MixerGetLineVolume(0, &line, mixer)) {
            m_Mixer.lineFound[0] = 1;
            m_Mixer.lineId[0] = line.lineId;
        }
        for (unsigned int s = 0; s < line.sources; ++s) {
            plat::MixerLineInfo source;
            if (!mixer->Source(d, s, &source))
                continue;
            // The first source of each kind stays.
            const int index = SourceIndex(source.component);
            if (index > 0 && !m_Mixer.lineFound[index] && MixerGetLineVolume(index, &source, mixer)) {
                m_Mixer.lineFound[index] = 1;
                m_Mixer.lineId[index] = source.lineId;
            }
        }
    }
    return 1;
}

int KUSND::MixerGetLineVolume(int index, const plat::MixerLineInfo* line, plat::MixerDevice* mixer) {
    if (index < 0 || index >= kMixerLines || !line || !mixer)
        return 0;
    plat::MixerControlInfo controls[kMaxControls];
    unsigned int count = 0;
    if (!mixer->LineControls(line->lineId, controls, kMaxControls, &count))
        return 0;
    for (unsigned int i = 0; i < count; ++i) {
        uint32_t value = 0;
        if (controls[i].type != plat::kMixerControlVolume || !mixer->ControlValue(controls[i].controlId, &value))
            continue;
        m_Mixer.controlId[index] = controls[i].controlId;
        m_Mixer.current[index] = value;
        m_Mixer.lastControl = controls[i].controlId;
        return 1;
    }
    return 0;
}

int KUSND::MixerSetControl(int index, plat::MixerDevice* mixer) {
    if (index < 0 || index >= kMixerLines || !mixer)
        return 0;
    return mixer->SetControlValue(m_Mixer.controlId[index], m_Mixer.current[index]) ? 1 : 0;
}

int KUSND::MixerChange(int index, int mode, int* value) {
    if (!m_Mixer.open || !value || index < 0 || index >= kMixerLines || !m_Mixer.lineFound[index])
        return 0;
    plat::MixerDevice mixer;
    if (!mixer.Open(m_Mixer.deviceId))
        return 0;
    plat::MixerLineInfo line;
    line.lineId = m_Mixer.lineId[index];
    int result = 0;
    if (MixerGetLineVolume(index, &line, &mixer)) {
        int64_t volume = 0;
        if (mode == 0) {
            volume = *value;
        } else {
            *value = std::clamp(*value, -kMaxVolume, kMaxVolume);
            volume = static_cast<int64_t>(mode == 1 ? m_Mixer.current[index] : m_Mixer.saved[index]) + *value;
        }
        volume = std::clamp<int64_t>(volume, 0, kMaxVolume);
        if (mode == 0)
            *value = static_cast<int>(volume);
        m_Mixer.current[index] = static_cast<uint32_t>(volume);
        result = MixerSetControl(index, &mixer);
    }
    mixer.Close();
    return result;
}

int KUSND::MixerSetVolume(int index, unsigned int* volume) {
    if (!volume)
        return 0;
    // Callers pass signed values too: a negative one clamps to 0.
    int value = 0;
    std::memcpy(&value, volume, sizeof(value));
    const int r = MixerChange(index, 0, &value);
    if (r)
        std::memcpy(volume, &value, sizeof(value));
    return r;
}

int KUSND::MixerAddVolume(int index, int* delta) { return MixerChange(index, 1, delta); }

int KUSND::MixerAddVolumeFromDefault(int index, int* delta) { return MixerChange(index, 2, delta); }

int KUSND::MixerSetAllVolume() {
    if (!m_Mixer.open)
        return 0;
    int result = 1;
    for (int i = 0; i < kMixerLines; ++i) {
        unsigned int volume = m_Mixer.saved[i];
        if (m_Mixer.lineFound[i] && !MixerSetVolume(i, &volume))
            result = 0;
    }
    return result;
}
