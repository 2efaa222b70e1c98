#include "platform/audio_mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plat {

float GainFromCentibels(int centibels, int floorCentibels) {
    if (centibels <= floorCentibels)
        return 0.0f;
    if (centibels >= 0)
        return 1.0f;
    return static_cast<float>(std::pow(10.0, centibels / 2000.0));
}

AudioMixer& AudioMixer::Get() {
    // Never destroyed: the audio thread and global objects' destructors may
    // still reach it during exit.
    static AudioMixer* mixer = new AudioMixer;
    return *mixer;
}

AudioMixer::Bus* AudioMixer::FindBus(int id) {
    for (Bus& b : buses_)
        if (b.id == id)
            return &b;
    return nullptr;
}

int AudioMixer::CreateBus(int centibels) {
    auto lock = Lock();
    Bus b;
    b.id = nextBus_++;
    b.gain = GainFromCentibels(centibels, -9600);
    buses_.push_back(b);
    return b.id;
}

void AudioMixer::DestroyBus(int bus) {
    auto lock = Lock();
    for (auto it = voices_.begin(); it != voices_.end();) {
        if (it->bus == bus) {
            it->record->playing = false;
            it = voices_.erase(it);
        } else {
            ++it;
        }
    }
    buses_.erase(std::remove_if(buses_.begin(), buses_.end(), [bus](const Bus& b) { return b.id == bus; }),
                 buses_.end());
}

bool AudioMixer::SetBusLevel(int bus, int centibels) {
    auto lock = Lock();
    Bus* b = FindBus(bus);
    if (!b)
        return false;
    b->gain = GainFromCentibels(centibels, -9600);
    return true;
}

bool AudioMixer::BusExists(int bus) {
    auto lock = Lock();
    return FindBus(bus) != nullptr;
}

std::shared_ptr<VoiceRecord> AudioMixer::PlayBuffer(std::shared_ptr<const PcmBuffer> buffer, int bus, bool loop) {
    auto lock = Lock();
    if (!buffer || !FindBus(bus))
        return nullptr;
    Voice v;
    v.record = std::make_shared<VoiceRecord>();
    // Marked playing at once, so a state read right after the start says so.
    v.record->playing = buffer->frames > 0;
    v.buffer = std::move(buffer);
    v.bus = bus;
    v.loop = loop;
    std::shared_ptr<VoiceRecord> rec = v.record;
    if (rec->playing)
        voices_.push_back(std::move(v));
    return rec;
}

void AudioMixer::StopBuffer(const PcmBuffer* buffer) {
    auto lock = Lock();
    for (auto it = voices_.begin(); it != voices_.end();) {
        if (it->buffer.get() == buffer) {
            it->record->playing = false;
            it = voices_.erase(it);
        } else {
            ++it;
        }
    }
}

void AudioMixer::StopAllBuffers() {
    auto lock = Lock();
    for (Voice& v : voices_)
        v.record->playing = false;
    voices_.clear();
}

int AudioMixer::ActiveVoiceCount() {
    auto lock = Lock();
    return static_cast<int>(voices_.size());
}

void AudioMixer::AddStream(MixerStream* stream, OutputLine line) {
    auto lock = Lock();
    for (const Stream& s : streams_)
        if (s.stream == stream)
            return;
    streams_.push_back(Stream{stream, line});
}

void AudioMixer::RemoveStream(MixerStream* stream) {
    auto lock = Lock();
    streams_.erase(
        std::remove_if(streams_.begin(), streams_.end(), [stream](const Stream& s) { return s.stream == stream; }),
        streams_.end());
}

void AudioMixer::Render(float* out, int frames) {
    auto lock = Lock();
    if (frames <= 0)
        return;
    std::memset(out, 0, sizeof(float) * static_cast<size_t>(frames) * kAudioChannels);
    for (auto it = voices_.begin(); it != voices_.end();) {
        Voice& v = *it;
        const Bus* bus = FindBus(v.bus);
        const float g = bus ? bus->gain * lineGain_[kLineSynth] : 0.0f;
        const float* src = v.buffer->samples.data();
        const int64_t total = v.buffer->frames;
        int done = 0;
        while (done < frames) {
            if (v.pos >= total) {
                if (!v.loop)
                    break;
                v.pos = 0;
            }
            const int n = static_cast<int>(std::min<int64_t>(frames - done, total - v.pos));
            float* dst = out + static_cast<size_t>(done) * kAudioChannels;
            const float* s = src + static_cast<size_t>(v.pos) * kAudioChannels;
            if (g != 0.0f) {
                for (int i = 0; i < n * kAudioChannels; ++i)
                    dst[i] += s[i] * g;
            }
            v.pos += n;
            done += n;
            v.record->framesPlayed += n;
        }
        if (v.pos >= total && !v.loop) {
            v.record->playing = false;
            it = voices_.erase(it);
        } else {
            ++it;
        }
    }
    // Streams join and leave only on the main thread under this lock, never
    // from inside MixInto, so the list holds still while it is walked.
    for (const Stream& s : streams_)
        s.stream->MixInto(out, frames, lineGain_[s.line]);
    const float master = lineGain_[kLineMaster];
    if (master != 1.0f) {
        for (int i = 0; i < frames * kAudioChannels; ++i)
            out[i] *= master;
    }
    rendered_ += frames;
}

int64_t AudioMixer::RenderedFrames() {
    auto lock = Lock();
    return rendered_;
}

void AudioMixer::SetOutputLevel(int line, uint32_t level) {
    auto lock = Lock();
    if (line < 0 || line >= kOutputLevels)
        return;
    levels_[line] = level > 65535 ? 65535 : level;
    lineGain_[line] = static_cast<float>(levels_[line]) / 65535.0f;
}

uint32_t AudioMixer::OutputLevel(int line) {
    auto lock = Lock();
    return line >= 0 && line < kOutputLevels ? levels_[line] : 0;
}

void AudioMixer::Reset() {
    auto lock = Lock();
    for (int i = 0; i < kOutputLevels; ++i) {
        levels_[i] = 65535;
        lineGain_[i] = 1.0f;
    }
    for (Voice& v : voices_)
        v.record->playing = false;
    voices_.clear();
    buses_.clear();
    streams_.clear();
    rendered_ = 0;
}

} // namespace plat
