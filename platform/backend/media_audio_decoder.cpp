#include "platform/media_audio_decoder.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/backend/audio_decode_ahead.h"
#include "platform/backend/ffmpeg_api.h"
#include "platform/files.h"
#include "platform/media_audio_decoder_test_hooks.h"

namespace plat {

namespace {

int64_t g_keepCap = 0; // tests only

// A decoder of the FFmpeg module; without the module nothing opens.
struct Handle {
    const FfmpegApi* api = nullptr;
    void* dec = nullptr;
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (dec)
            api->audioClose(dec);
    }
    bool Open(const std::string& path) {
        api = Ffmpeg();
        dec = api ? api->audioOpen(path.c_str()) : nullptr;
        return dec != nullptr;
    }
};

} // namespace

struct AudioDecoder::Impl {
    Handle stream; // reads when there is nothing ahead
    std::unique_ptr<AudioDecodeAhead> ahead;

    // A short media that outran its header: the rest is streamed.
    void StreamRest() {
        stream.api = Ffmpeg();
        stream.dec = ahead->TakeDecoder();
        ahead.reset();
    }
};

AudioDecoder::AudioDecoder() = default;
AudioDecoder::~AudioDecoder() = default;

bool AudioDecoder::Open(const std::string& path) {
    Close();
    path_ = ResolvePath(path);
    return Start();
}

bool AudioDecoder::Start() {
    auto impl = std::make_unique<Impl>();
    if (!impl->stream.Open(path_))
        return false;
    Handle& h = impl->stream;
    duration100ns_ = h.api->audioDuration100ns(h.dec);
    const int64_t frames = FramesFrom100ns(duration100ns_);
    if (frames > 0 && frames <= kKeepFrames)
        impl->ahead = std::make_unique<AudioDecodeAhead>(h.api, std::exchange(h.dec, nullptr), frames,
                                                         g_keepCap > 0 ? g_keepCap : kKeepFrames);
    impl_ = std::move(impl);
    pos_ = 0;
    return true;
}

void AudioDecoder::Close() {
    impl_.reset();
    pos_ = 0;
    duration100ns_ = 0;
}

bool AudioDecoder::IsOpen() const { return impl_ != nullptr; }

int AudioDecoder::Read(float* out, int frames) {
    if (!impl_ || frames <= 0)
        return 0;
    int done = 0;
    if (impl_->ahead) {
        done = impl_->ahead->Read(pos_, out, frames);
        pos_ += done;
        if (done == frames || !impl_->ahead->Capped())
            return done;
        impl_->StreamRest();
    }
    const Handle& h = impl_->stream;
    if (!h.dec)
        return done;
    const int n = h.api->audioRead(h.dec, out + static_cast<size_t>(done) * kAudioChannels, frames - done);
    pos_ += n;
    return done + n;
}

bool AudioDecoder::AtEnd() {
    if (!impl_)
        return true;
    if (impl_->ahead) {
        if (impl_->ahead->Reach(pos_ + 1))
            return false;
        if (!impl_->ahead->Capped())
            return true;
        impl_->StreamRest();
    }
    const Handle& h = impl_->stream;
    return !h.dec || h.api->audioAtEnd(h.dec);
}

int64_t AudioDecoder::FramesRead() const { return pos_; }

bool AudioDecoder::Rewind() { return SeekToFrame(0); }

bool AudioDecoder::SeekToFrame(int64_t frame) {
    frame = std::max<int64_t>(frame, 0);
    // Held in memory, or the media ends before it.
    AudioDecodeAhead* ahead = impl_ ? impl_->ahead.get() : nullptr;
    if (ahead && (ahead->Reach(frame) || !ahead->Capped())) {
        pos_ = std::min(frame, ahead->Frames());
        return true;
    }
    if (path_.empty() || !Start())
        return false;
    std::vector<float> scratch(4096 * kAudioChannels);
    while (pos_ < frame) {
        const int want = static_cast<int>(std::min<int64_t>(4096, frame - pos_));
        if (Read(scratch.data(), want) < want)
            break;
    }
    return true;
}

void SetAudioKeepCapForTest(int64_t frames) { g_keepCap = frames; }

int64_t AudioDecoder::Duration100ns() const { return duration100ns_; }

bool DecodeAudioFile(const std::string& path, PcmBuffer* out) {
    out->samples.clear();
    out->frames = 0;
    Handle dec;
    if (!dec.Open(ResolvePath(path)))
        return false;
    std::vector<float> block(8192 * kAudioChannels);
    for (;;) {
        const int n = dec.api->audioRead(dec.dec, block.data(), 8192);
        out->samples.insert(out->samples.end(), block.begin(), block.begin() + n * kAudioChannels);
        if (n < 8192)
            break;
    }
    out->frames = static_cast<int64_t>(out->samples.size() / kAudioChannels);
    return true;
}

} // namespace plat
