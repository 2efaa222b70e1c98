#include "platform/cd_audio_player.h"

#include <algorithm>

#include "platform/cd_device_test_hooks.h"

namespace plat {

namespace {

constexpr size_t kSamplesPerFrame = static_cast<size_t>(kCdSamplesPerFrame) * kAudioChannels;

// Live players, so tests can wait for every reader.
std::mutex g_playersMutex;
std::vector<CdAudioPlayer*> g_players;

} // namespace

void CdWaitForReaders() {
    std::lock_guard<std::mutex> lock(g_playersMutex);
    for (CdAudioPlayer* p : g_players)
        p->WaitForReader();
}

CdAudioPlayer::CdAudioPlayer(CdBackend* drive)
    : drive_(drive), ring_(static_cast<size_t>(kRingFrames) * kSamplesPerFrame) {
    std::lock_guard<std::mutex> lock(g_playersMutex);
    g_players.push_back(this);
}

CdAudioPlayer::~CdAudioPlayer() {
    Stop();
    std::lock_guard<std::mutex> lock(g_playersMutex);
    g_players.erase(std::remove(g_players.begin(), g_players.end(), this), g_players.end());
}

bool CdAudioPlayer::ReadChunk(uint32_t at, uint32_t frames, std::vector<int16_t>* samples) {
    samples->resize(frames * kSamplesPerFrame);
    return drive_->ReadAudio(at, frames, samples->data());
}

bool CdAudioPlayer::Start(uint32_t from, uint32_t to) {
    Stop();
    if (from >= to)
        return false;
    // The first read tells whether the drive reads audio at all.
    const uint32_t first = std::min(kChunkFrames, to - from);
    std::vector<int16_t> samples;
    if (!ReadChunk(from, first, &samples))
        return false;
    bool more = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        head_ = buffered_ = 0;
        PushLocked(samples);
        from_ = from;
        end_ = to;
        nextRead_ = from + first;
        played_ = 0;
        mode_ = CdMode::kPlaying;
        quit_ = readFailed_ = failure_ = false;
        more = nextRead_ < end_;
        readerDone_ = !more;
    }
    if (more)
        reader_ = std::thread([this] { ReaderLoop(); });
    AudioMixer::Get().AddStream(this, kLineCd);
    return true;
}

void CdAudioPlayer::JoinReader() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    room_.notify_all();
    if (reader_.joinable())
        reader_.join();
}

void CdAudioPlayer::Stop() {
    // Out of the mix first (the mixer lock is never taken under ours).
    AudioMixer::Get().RemoveStream(this);
    JoinReader();
    std::lock_guard<std::mutex> lock(mutex_);
    mode_ = CdMode::kStopped;
    head_ = buffered_ = 0;
    readerDone_ = true;
}

void CdAudioPlayer::Pause() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (mode_ == CdMode::kPlaying)
        mode_ = CdMode::kPaused;
}

bool CdAudioPlayer::Resume() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (mode_ != CdMode::kPaused)
        return false;
    mode_ = CdMode::kPlaying;
    return true;
}

CdMode CdAudioPlayer::Mode() {
    std::lock_guard<std::mutex> lock(mutex_);
    return mode_;
}

uint32_t CdAudioPlayer::Position() {
    std::lock_guard<std::mutex> lock(mutex_);
    return from_ + static_cast<uint32_t>(played_ / kCdSamplesPerFrame);
}

uint32_t CdAudioPlayer::End() {
    std::lock_guard<std::mutex> lock(mutex_);
    return end_;
}

bool CdAudioPlayer::TakeFailure() {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool failed = failure_;
    failure_ = false;
    return failed;
}

uint32_t CdAudioPlayer::NextChunkLocked() const {
    return nextRead_ < end_ ? std::min(kChunkFrames, end_ - nextRead_) : 0;
}

size_t CdAudioPlayer::FreeLocked() const { return ring_.size() - buffered_; }

void CdAudioPlayer::PushLocked(const std::vector<int16_t>& samples) {
    // The reader only reads what fits, so this never overwrites.
    size_t at = (head_ + buffered_) % ring_.size();
    for (int16_t s : samples) {
        ring_[at] = s;
        at = at + 1 == ring_.size() ? 0 : at + 1;
    }
    buffered_ += samples.size();
}

void CdAudioPlayer::ReaderLoop() {
    std::vector<int16_t> samples;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        room_.wait(lock, [this] { return quit_ || FreeLocked() >= NextChunkLocked() * kSamplesPerFrame; });
        const uint32_t frames = NextChunkLocked();
        if (quit_ || frames == 0)
            break;
        const uint32_t at = nextRead_;
        lock.unlock();
        // Reads that fail are tried again at once: a scratch may read on a
        // second pass, a drive that is gone fails fast every time.
        bool ok = false;
        for (int i = 0; i < kReadTries && !ok; ++i)
            ok = ReadChunk(at, frames, &samples);
        lock.lock();
        if (quit_)
            break;
        if (!ok) {
            readFailed_ = true;
            break;
        }
        PushLocked(samples);
        nextRead_ = at + frames;
        filled_.notify_all();
    }
    readerDone_ = true;
    filled_.notify_all();
}

void CdAudioPlayer::WaitForReader() {
    std::unique_lock<std::mutex> lock(mutex_);
    filled_.wait(lock, [this] { return readerDone_ || FreeLocked() < NextChunkLocked() * kSamplesPerFrame; });
}

void CdAudioPlayer::MixInto(float* out, int frames, float gain) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (mode_ != CdMode::kPlaying)
        return;
    const int64_t left = static_cast<int64_t>(end_ - from_) * kCdSamplesPerFrame - played_;
    const int64_t ready = static_cast<int64_t>(buffered_ / kAudioChannels);
    // An empty ring while the reader still reads is an underrun: silence, and
    // the position waits for the audio.
    const int n = static_cast<int>(std::min<int64_t>({frames, ready, left}));
    const float g = gain / 32768.0f;
    for (int i = 0; i < n * kAudioChannels; ++i) {
        out[i] += static_cast<float>(ring_[head_]) * g;
        head_ = head_ + 1 == ring_.size() ? 0 : head_ + 1;
    }
    buffered_ -= static_cast<size_t>(n) * kAudioChannels;
    played_ += n;
    if (n > 0)
        room_.notify_one();
    if (played_ >= static_cast<int64_t>(end_ - from_) * kCdSamplesPerFrame) {
        mode_ = CdMode::kStopped;
    } else if (buffered_ == 0 && readFailed_) {
        mode_ = CdMode::kStopped;
        failure_ = true;
    }
}

} // namespace plat
