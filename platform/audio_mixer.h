#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace plat {

// The one output format everything is decoded and mixed to.
constexpr int kAudioRate = 44100;
constexpr int kAudioChannels = 2;

// Gain of a level in hundredths of a decibel: 10^(cB/2000). Levels at or below
// the floor are silence (the sound paths use -9600, the media graphs -10000).
float GainFromCentibels(int centibels, int floorCentibels);

// A whole sound decoded to the output format (interleaved stereo float).
struct PcmBuffer {
    std::vector<float> samples;
    int64_t frames = 0;
};

// The program's own output lines, each with a level 0..65535: the master
// scales everything; the others scale what plays on them.
enum OutputLine : int {
    kLineMaster = 0,
    kLineWave = 1, // media graphs: the streamed channels and media files
    kLineSynth = 2, // buffer instances: the sound slots
    kLineCd = 3, // CD audio read from the drive
};

// Something the mixer pulls every render: a media graph's audio, or its clock,
// or CD audio. MixInto runs on the audio thread with the mixer lock held and
// adds its samples times gain (its line's) to out (frames stereo frames).
class MixerStream {
public:
    virtual ~MixerStream() = default;
    virtual void MixInto(float* out, int frames, float gain) = 0;
};

// What a playing instance of a PcmBuffer reports; shared between the mixer and
// whoever started it, read under the mixer lock.
struct VoiceRecord {
    bool playing = false;
    int64_t framesPlayed = 0;
};

// Buses with a gain each, any number of buffer instances on them, and the
// registered streams. Render is the only call the audio thread makes; every
// other call comes from the main thread. One recursive lock guards it all, so
// the main thread can make several changes that no render sees half-done.
class AudioMixer {
public:
    static AudioMixer& Get();

    std::unique_lock<std::recursive_mutex> Lock() { return std::unique_lock<std::recursive_mutex>(mutex_); }

    int CreateBus(int centibels);
    void DestroyBus(int bus); // stops the instances on it
    bool SetBusLevel(int bus, int centibels);
    bool BusExists(int bus);

    // Starts an instance at once; null when the bus does not exist.
    std::shared_ptr<VoiceRecord> PlayBuffer(std::shared_ptr<const PcmBuffer> buffer, int bus, bool loop);
    void StopBuffer(const PcmBuffer* buffer);
    void StopAllBuffers();
    int ActiveVoiceCount();

    void AddStream(MixerStream* stream, OutputLine line = kLineWave);
    void RemoveStream(MixerStream* stream);

    // Overwrites out with frames stereo frames of the mix.
    void Render(float* out, int frames);
    // Total frames rendered since start; lets tests and clocks tell time.
    int64_t RenderedFrames();

    // The levels of the output lines (OutputLine), 0..65535 each.
    static constexpr int kOutputLevels = 4;
    void SetOutputLevel(int line, uint32_t level);
    uint32_t OutputLevel(int line);

    // Drops every bus, voice and stream and sets the levels to full (tests).
    void Reset();

private:
    struct Bus {
        int id = 0;
        float gain = 1.0f;
    };
    struct Voice {
        std::shared_ptr<const PcmBuffer> buffer;
        std::shared_ptr<VoiceRecord> record;
        int bus = 0;
        bool loop = false;
        int64_t pos = 0;
    };
    Bus* FindBus(int id);

    std::recursive_mutex mutex_;
    std::vector<Bus> buses_;
    std::vector<Voice> voices_;
    struct Stream {
        MixerStream* stream = nullptr;
        OutputLine line = kLineWave;
    };
    std::vector<Stream> streams_;
    int nextBus_ = 1;
    int64_t rendered_ = 0;
    uint32_t levels_[kOutputLevels] = {65535, 65535, 65535, 65535};
    float lineGain_[kOutputLevels] = {1.0f, 1.0f, 1.0f, 1.0f};
};

} // namespace plat
