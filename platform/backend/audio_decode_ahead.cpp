#include "platform/backend/audio_decode_ahead.h"

#include <algorithm>

#include "platform/audio_mixer.h"

namespace plat {

namespace {

constexpr int kBlock = 4096; // frames decoded between hand-overs to the reader
// Decoded before the thread starts: the reader's first callbacks never wait
// for a thread that is slow to be scheduled.
constexpr int kHead = kAudioRate / 4;

// Orders the moments readers finish with their memory, across all media.
std::atomic<uint64_t> g_idleClock{0};

} // namespace

AudioDecodeAhead::AudioDecodeAhead(int64_t maxFrames) : max_(std::max<int64_t>(maxFrames, 0)) {}

AudioDecodeAhead::~AudioDecodeAhead() {
    stop_.store(true);
    if (thread_.joinable())
        thread_.join();
    if (dec_)
        api_->audioClose(dec_);
}

int64_t AudioDecodeAhead::BytesFor(int64_t frames) {
    return std::max<int64_t>(frames, 0) * kAudioChannels * static_cast<int64_t>(sizeof(float));
}

bool AudioDecodeAhead::Start(const FfmpegApi* api, void* dec) {
    // All the share at once: the samples are never copied to grow.
    if (!pcm_.Map(static_cast<size_t>(max_) * kAudioChannels))
        return false;
    api_ = api;
    dec_ = dec;
    bool more = true;
    while (more && frames_ < kHead)
        more = Step();
    if (more)
        thread_ = std::thread([this] { Run(); });
    return true;
}

void AudioDecodeAhead::Run() {
    while (!stop_.load() && Step()) {
    }
    // Stopped early: the owner is going away and reads nothing more.
    std::lock_guard<std::mutex> lock(m_);
    ended_ = true;
    cv_.notify_all();
}

bool AudioDecodeAhead::Step() {
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
    // Decoded in place past what the reader may read: it reads only below frames_.
    const int want = static_cast<int>(std::min<int64_t>(kBlock, max_ - have));
    const int n = api_->audioRead(dec_, pcm_.data() + have * kAudioChannels, want);
    std::lock_guard<std::mutex> lock(m_);
    frames_ += n;
    if (n < want)
        ended_ = true; // the end of the media, or a decoder that gave up
    cv_.notify_all();
    return n == want;
}

void AudioDecodeAhead::NoteReaderLocked(int64_t pos) {
    if (ended_ && !capped_ && pos >= frames_) {
        if (idleSince_ == 0)
            idleSince_ = ++g_idleClock;
    } else {
        idleSince_ = 0;
    }
}

int AudioDecodeAhead::Read(int64_t pos, float* out, int frames) {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [&] { return ended_ || frames_ >= pos + frames; });
    // Given back only at the end, where there is nothing left to copy.
    const int n = givenBack_ ? 0 : static_cast<int>(std::clamp<int64_t>(frames_ - pos, 0, frames));
    if (n > 0)
        std::copy_n(pcm_.data() + pos * kAudioChannels, static_cast<size_t>(n) * kAudioChannels, out);
    NoteReaderLocked(pos + n);
    return n;
}

bool AudioDecodeAhead::More(int64_t pos) {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [&] { return ended_ || frames_ > pos; });
    NoteReaderLocked(pos);
    return frames_ > pos;
}

bool AudioDecodeAhead::Seek(int64_t frame, int64_t* pos) {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [&] { return ended_ || frames_ >= frame; });
    if (givenBack_ || (frames_ < frame && capped_))
        return false;
    *pos = std::min(frame, frames_);
    NoteReaderLocked(*pos);
    return true;
}

bool AudioDecodeAhead::Capped() {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [&] { return ended_; });
    return capped_;
}

void* AudioDecodeAhead::TakeDecoder() {
    Capped();
    if (thread_.joinable())
        thread_.join();
    void* dec = dec_;
    dec_ = nullptr;
    return dec;
}

uint64_t AudioDecodeAhead::IdleSince() {
    std::lock_guard<std::mutex> lock(m_);
    return givenBack_ ? 0 : idleSince_;
}

bool AudioDecodeAhead::GiveBack() {
    std::lock_guard<std::mutex> lock(m_);
    if (givenBack_ || idleSince_ == 0)
        return false;
    pcm_.Release();
    givenBack_ = true;
    return true;
}

} // namespace plat
