#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio_mixer.h"

namespace plat {

// Result codes of the sound objects below, in the engine's COM-like style:
// negative is failure.
constexpr int32_t kSoundOk = 0;
constexpr int32_t kSoundFalse = 1;
constexpr int32_t kSoundFail = static_cast<int32_t>(0x80004005u);
constexpr int32_t kSoundPointer = static_cast<int32_t>(0x80004003u);

// A decoded sound ready to play any number of times at once.
class SoundSegment {
public:
    explicit SoundSegment(std::shared_ptr<const PcmBuffer> pcm) : pcm_(std::move(pcm)) {}
    void SetLoop(bool loop) { loop_ = loop; }
    bool Loop() const { return loop_; }
    int64_t LengthFrames() const { return pcm_ ? pcm_->frames : 0; }
    const std::shared_ptr<const PcmBuffer>& Pcm() const { return pcm_; }

private:
    std::shared_ptr<const PcmBuffer> pcm_;
    bool loop_ = false;
};

// One started instance of a segment.
class SoundSegmentState {
public:
    explicit SoundSegmentState(std::shared_ptr<VoiceRecord> record) : record_(std::move(record)) {}
    bool Playing() const;
    // Frames played so far.
    int32_t GetSeek(int64_t* frames) const;

private:
    std::shared_ptr<VoiceRecord> record_;
};

// A mixer bus with its level; destroying the path stops what plays on it.
class SoundPath {
public:
    SoundPath();
    ~SoundPath();
    SoundPath(const SoundPath&) = delete;
    SoundPath& operator=(const SoundPath&) = delete;
    // Level in hundredths of a decibel, applied at once.
    int32_t SetVolume(int centibels);
    int Volume() const { return volume_; }
    int Bus() const { return bus_; }

private:
    int bus_ = 0;
    int volume_ = 0;
};

// Decodes sound files for the performance.
class SoundLoader {
public:
    // A RIFF WAVE file into a new segment (the caller owns it).
    int32_t LoadWave(const std::string& path, SoundSegment** out);
    // Any file FFmpeg can decode (used for Ogg slots).
    int32_t LoadAny(const std::string& path, SoundSegment** out);
    int32_t SetSearchDirectory(const std::string& dir);
    int32_t ClearCache();

private:
    std::string searchDir_;
};

// Plays segments on paths. It needs a real output: InitAudio fails without a
// sound device, which is how the program learns that it has no sound.
class SoundPerformance {
public:
    SoundPerformance() = default;
    ~SoundPerformance();
    SoundPerformance(const SoundPerformance&) = delete;
    SoundPerformance& operator=(const SoundPerformance&) = delete;

    int32_t InitAudio();
    int32_t CreateStandardPath(SoundPath** out);
    // Starts a new instance at once on the path; the caller owns the state.
    int32_t PlaySegment(SoundSegment* segment, SoundPath* path, SoundSegmentState** out);
    int32_t StopSegment(SoundSegment* segment);
    int32_t StopAll();
    // kSoundOk while the state's instance sounds, kSoundFalse otherwise.
    int32_t IsPlaying(SoundSegment* segment, SoundSegmentState* state);
    int32_t CloseDown();

private:
    bool ready_ = false;
};

} // namespace plat
