#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/audio_ahead_budget.h"
#include "platform/backend/ffmpeg_api.h"
#include "platform/backend/pcm_pages.h"

namespace plat {

// Decodes a short media whole into memory on a thread of its own, ahead of
// its reader: a tune is decoded once, in a burst on another core, and its
// loops and seeks read memory. Holds at most maxFrames, the share its owner
// reserved in the budget; a media longer than its header said stops there
// and the reader takes the decoder and streams the rest. Once the reader has
// read to the end, the memory may be given back to the budget; the owner
// then reopens the file for a seek. Positions are stereo frames from the
// media's start.
class AudioDecodeAhead final : public AudioAheadBudget::Holder {
public:
    explicit AudioDecodeAhead(int64_t maxFrames);
    // The owner releases the share (AudioAheadBudget::Release) before this.
    ~AudioDecodeAhead();
    AudioDecodeAhead(const AudioDecodeAhead&) = delete;
    AudioDecodeAhead& operator=(const AudioDecodeAhead&) = delete;

    static int64_t BytesFor(int64_t frames);

    // Takes dec (a decoder of api) and decodes the first frames before
    // returning. False, with dec left to the caller, when there is no memory.
    bool Start(const FfmpegApi* api, void* dec);

    // Copies frames from pos on, waiting for them; fewer only where decoding ended.
    int Read(int64_t pos, float* out, int frames);
    // Waits until the frame at pos is decoded or decoding ended; true when there is one.
    bool More(int64_t pos);
    // Waits for what a seek to frame needs; false when the memory cannot serve
    // it (given back, or past the limit with more to come). Else *pos is the
    // frame, or the end when the media ends before it.
    bool Seek(int64_t frame, int64_t* pos);
    // Waits for decoding to end; true when it stopped at the limit with more to come.
    bool Capped();
    // After Capped(): the decoder, just past the last frame held. The caller closes it.
    void* TakeDecoder();

    uint64_t IdleSince() override;
    bool GiveBack() override;

private:
    void Run();
    bool Step(); // false when decoding ended
    // Under m_: the reader stands at pos; at the end of all there is, it is done with the memory.
    void NoteReaderLocked(int64_t pos);

    const FfmpegApi* api_ = nullptr;
    void* dec_ = nullptr;
    const int64_t max_;
    std::mutex m_;
    std::condition_variable cv_;
    PcmPages pcm_; // interleaved stereo; frames_ of them written
    int64_t frames_ = 0;
    bool ended_ = false;
    bool capped_ = false;
    bool givenBack_ = false;
    uint64_t idleSince_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace plat
