#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/backend/ffmpeg_api.h"

namespace plat {

// Decodes a short media whole into memory on a thread of its own, ahead of
// its reader: a tune is decoded once, in a burst on another core, and its
// loops and seeks read memory. Stops at a limit (a header that gave a short
// length for a long media); the reader then takes the decoder and streams
// the rest. Positions are stereo frames from the media's start.
class AudioDecodeAhead {
public:
    // Takes dec (a decoder of api) and decodes the first frames before returning.
    AudioDecodeAhead(const FfmpegApi* api, void* dec, int64_t expectFrames, int64_t maxFrames);
    ~AudioDecodeAhead();
    AudioDecodeAhead(const AudioDecodeAhead&) = delete;
    AudioDecodeAhead& operator=(const AudioDecodeAhead&) = delete;

    // Copies frames from pos on, waiting for them; fewer only where decoding ended.
    int Read(int64_t pos, float* out, int frames);
    // Waits until frame count pos is decoded or decoding ended; true when it is.
    bool Reach(int64_t pos);
    // Waits for decoding to end; true when it stopped at the limit with more to come.
    bool Capped();
    int64_t Frames();
    // After Capped(): the decoder, just past the last frame held. The caller closes it.
    void* TakeDecoder();

private:
    void Run();
    bool Step(std::vector<float>* block); // false when decoding ended

    const FfmpegApi* api_;
    void* dec_;
    const int64_t max_;
    std::mutex m_;
    std::condition_variable cv_;
    std::vector<float> pcm_; // interleaved stereo
    int64_t frames_ = 0;
    bool ended_ = false;
    bool capped_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace plat
