#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/cd_device.h"

namespace plat {

// Plays a stretch of an audio CD through the program's own output: a reader
// thread reads the frames digitally from the drive into a ring, and the mixer
// pulls them on the CD line. Mode and position follow what has been played,
// not what has been read. Control calls come from the main thread.
class CdAudioPlayer : public MixerStream {
public:
    // Frames read from the drive at a time (a third of a second), and how many
    // the ring holds ahead of what plays.
    static constexpr uint32_t kChunkFrames = 25;
    static constexpr uint32_t kRingFrames = 150;
    // A failing read is tried this often before the track stops.
    static constexpr int kReadTries = 3;

    explicit CdAudioPlayer(CdBackend* drive); // not owned; outlives the player
    ~CdAudioPlayer() override;
    CdAudioPlayer(const CdAudioPlayer&) = delete;
    CdAudioPlayer& operator=(const CdAudioPlayer&) = delete;

    // Plays frames [from, to). Reads the first chunk before returning: false,
    // with nothing started, when the drive cannot read its audio digitally.
    bool Start(uint32_t from, uint32_t to);
    void Stop();
    void Pause(); // only a playing track pauses
    bool Resume(); // false unless paused
    // kPlaying, kPaused or kStopped (at the end, after Stop, or on failure).
    CdMode Mode();
    // The frame now sounding (where it stopped once stopped), and the end.
    uint32_t Position();
    uint32_t End();
    // True once after the drive failed while playing and the track stopped.
    bool TakeFailure();

    void MixInto(float* out, int frames, float gain) override;

    // Tests: blocks until the reader has filled the ring, reached the end or
    // given up, so a pump right after it finds everything it can read.
    void WaitForReader();

private:
    void ReaderLoop();
    bool ReadChunk(uint32_t at, uint32_t frames, std::vector<int16_t>* samples);
    // Under mutex_.
    uint32_t NextChunkLocked() const;
    size_t FreeLocked() const;
    void PushLocked(const std::vector<int16_t>& samples);
    void JoinReader();

    CdBackend* drive_;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable room_; // the reader waits for space or quit
    std::condition_variable filled_; // WaitForReader waits for the reader to idle
    // Ring of interleaved 16-bit stereo samples.
    std::vector<int16_t> ring_;
    size_t head_ = 0; // first sample not yet played
    size_t buffered_ = 0; // samples ready to play
    uint32_t from_ = 0;
    uint32_t end_ = 0;
    uint32_t nextRead_ = 0;
    int64_t played_ = 0; // stereo samples since from_
    CdMode mode_ = CdMode::kStopped;
    bool quit_ = false;
    bool readerDone_ = true;
    bool readFailed_ = false;
    bool failure_ = false;
};

} // namespace plat
