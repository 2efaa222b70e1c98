#include "platform/backend/audio_decode_ahead.h"

#include <algorithm>

#include "platform/audio_mixer.h"

namespace plat {

namespace {

constexpr int kBlock = 4096; // frames decoded between hand-overs to the reader
// Decoded before the thread starts: the reader's first callbacks never wait
// for a thread that is slow to be scheduled.
constexpr int kHead = kAudioRate / 4;

} // namespace

AudioDecodeAhead::AudioDecodeAhead(const FfmpegApi* api, void* dec, int64_t expectFrames, int64_t maxFrames)
    : api_(api), dec_(dec), max_(maxFrames) {
    // Room for what the header promised and the encoder's padding, no more than the limit.
    const int64_t room = std::min(expectFrames + kAudioRate / 10, maxFrames);
    pcm_.reserve(static_cast<size_t>(std::max<int64_t>(room, 0)) * kAudioChannels);
    std::vector<float> block(static_cast<size_t>(kBlock) * kAudioChannels);
    bool more = true;
    while (more && frames_ < kHead)
        more = Step(&block);
    if (more)
        thread_ = std::thread([this] { Run(); });
}

AudioDecodeAhead::~AudioDecodeAhead() {
    stop_.store(true);
    if (thread_.joinable())
        thread_.join();
    if (dec_)
        api_->audioClose(dec_);
}

void AudioDecodeAhead::Run() {
    std::vector<float> block(static_cast<size_t>(kBlock) * kAudioChannels);
    while (!stop_.load() && Step(&block)) {
    }
    // Stopped early: the owner is going away and reads nothing more.
    std::lock_guard<std::mutex> lock(m_);
    ended_ = true;
    cv_.notify_all();
}

bool AudioDecodeAhead::Step(std::vector<float>* block) {
    int64_t have = 0;
    {
        std::lock_guard<std::mutex> lock(m_);
        have = frames_;
    }
    if (have >= max_) {
        const bool more = !api_->audioAtEnd(dec_);
        std::lock_guard<std::mutex> lock(m_);
        capped_ = more;
        ended_ = true;
        cv_.notify_all();
        return false;
    }
    const int want = static_cast<int>(std::min<int64_t>(kBlock, max_ - have));
    const int n = api_->audioRead(dec_, block->data(), want);
    std::lock_guard<std::mutex> lock(m_);
    pcm_.insert(pcm_.end(), block->begin(), block->begin() + static_cast<std::ptrdiff_t>(n) * kAudioChannels);
    frames_ += n;
    if (n < want)
        ended_ = true; // the end of the media, or a decoder that gave up
    cv_.notify_all();
    return n == want;
}

int AudioDecodeAhead::Read(int64_t pos, float* out, int frames) {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [&] { return ended_ || frames_ >= pos + frames; });
    const int n = static_cast<int>(std::clamp<int64_t>(frames_ - pos, 0, frames));
    if (n > 0)
        std::copy_n(pcm_.data() + pos * kAudioChannels, static_cast<size_t>(n) * kAudioChannels, out);
    return n;
}

bool AudioDecodeAhead::Reach(int64_t pos) {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [&] { return ended_ || frames_ >= pos; });
    return frames_ >= pos;
}

bool AudioDecodeAhead::Capped() {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [&] { return ended_; });
    return capped_;
}

int64_t AudioDecodeAhead::Frames() {
    std::lock_guard<std::mutex> lock(m_);
    return frames_;
}

void* AudioDecodeAhead::TakeDecoder() {
    Capped();
    if (thread_.joinable())
        thread_.join();
    void* dec = dec_;
    dec_ = nullptr;
    return dec;
}

} // namespace plat
