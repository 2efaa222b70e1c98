#include "platform/media_audio_decoder.h"

#include <algorithm>
#include <vector>

#include "platform/backend/ffmpeg_api.h"
#include "platform/files.h"

namespace plat {

// A decoder of the FFmpeg module; without the module nothing opens.
struct AudioDecoder::Impl {
    const FfmpegApi* api = nullptr;
    void* dec = nullptr;
    int64_t framesRead = 0;
    ~Impl() {
        if (dec)
            api->audioClose(dec);
    }
    bool Open(const std::string& path) {
        api = Ffmpeg();
        dec = api ? api->audioOpen(path.c_str()) : nullptr;
        return dec != nullptr;
    }
};

AudioDecoder::AudioDecoder() = default;
AudioDecoder::~AudioDecoder() = default;

bool AudioDecoder::Open(const std::string& path) {
    Close();
    path_ = ResolvePath(path);
    impl_ = std::make_unique<Impl>();
    if (!impl_->Open(path_)) {
        impl_.reset();
        return false;
    }
    duration100ns_ = impl_->api->audioDuration100ns(impl_->dec);
    StartKeeping();
    return true;
}

void AudioDecoder::StartKeeping() {
    kept_.clear();
    whole_ = false;
    replaying_ = false;
    replayPos_ = 0;
    // Only media known to be short: a long one would be kept only to be dropped.
    const int64_t frames = FramesFrom100ns(duration100ns_);
    keeping_ = frames > 0 && frames <= kKeepFrames;
    if (keeping_)
        kept_.reserve(static_cast<size_t>(frames + kAudioRate / 10) * kAudioChannels); // room for the last frame's padding
}

void AudioDecoder::Close() {
    impl_.reset();
    std::vector<float>().swap(kept_);
    keeping_ = whole_ = replaying_ = false;
    replayPos_ = 0;
    duration100ns_ = 0;
}

bool AudioDecoder::IsOpen() const { return impl_ != nullptr || replaying_; }

int64_t AudioDecoder::KeptFrames() const { return static_cast<int64_t>(kept_.size() / kAudioChannels); }

int AudioDecoder::Read(float* out, int frames) {
    if (frames <= 0)
        return 0;
    if (replaying_) {
        const int n = static_cast<int>(std::min<int64_t>(frames, KeptFrames() - replayPos_));
        std::copy_n(kept_.data() + replayPos_ * kAudioChannels, static_cast<size_t>(n) * kAudioChannels, out);
        replayPos_ += n;
        return n;
    }
    if (!impl_)
        return 0;
    const int done = impl_->api->audioRead(impl_->dec, out, frames);
    impl_->framesRead += done;
    if (keeping_) {
        if (KeptFrames() + done > kKeepFrames) {
            // Longer than its header said: streamed like any long media.
            std::vector<float>().swap(kept_);
            keeping_ = false;
        } else {
            kept_.insert(kept_.end(), out, out + static_cast<size_t>(done) * kAudioChannels);
        }
    }
    if (done < frames)
        whole_ = keeping_;
    return done;
}

bool AudioDecoder::AtEnd() {
    if (replaying_)
        return replayPos_ >= KeptFrames();
    if (!impl_)
        return true;
    const bool end = impl_->api->audioAtEnd(impl_->dec);
    if (end)
        whole_ = keeping_;
    return end;
}

int64_t AudioDecoder::FramesRead() const { return replaying_ ? replayPos_ : impl_ ? impl_->framesRead : 0; }

bool AudioDecoder::Rewind() { return SeekToFrame(0); }

bool AudioDecoder::SeekToFrame(int64_t frame) {
    if (whole_) {
        // Every frame is in memory: the decoder is no longer needed.
        impl_.reset();
        replaying_ = true;
        replayPos_ = std::clamp<int64_t>(frame, 0, KeptFrames());
        return true;
    }
    if (path_.empty())
        return false;
    auto fresh = std::make_unique<Impl>();
    if (!fresh->Open(path_))
        return false;
    impl_ = std::move(fresh);
    StartKeeping();
    std::vector<float> scratch(4096 * kAudioChannels);
    while (FramesRead() < frame) {
        const int want = static_cast<int>(std::min<int64_t>(4096, frame - FramesRead()));
        if (Read(scratch.data(), want) < want)
            break;
    }
    return true;
}

int64_t AudioDecoder::Duration100ns() const { return duration100ns_; }

bool DecodeAudioFile(const std::string& path, PcmBuffer* out) {
    out->samples.clear();
    out->frames = 0;
    AudioDecoder dec;
    if (!dec.Open(path))
        return false;
    std::vector<float> block(8192 * kAudioChannels);
    for (;;) {
        const int n = dec.Read(block.data(), 8192);
        out->samples.insert(out->samples.end(), block.begin(), block.begin() + n * kAudioChannels);
        if (n < 8192)
            break;
    }
    out->frames = static_cast<int64_t>(out->samples.size() / kAudioChannels);
    return true;
}

} // namespace plat
