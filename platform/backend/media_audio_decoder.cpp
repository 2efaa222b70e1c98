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
    return true;
}

void AudioDecoder::Close() { impl_.reset(); }

bool AudioDecoder::IsOpen() const { return impl_ != nullptr; }

int AudioDecoder::Read(float* out, int frames) {
    if (!impl_ || frames <= 0)
        return 0;
    const int done = impl_->api->audioRead(impl_->dec, out, frames);
    impl_->framesRead += done;
    return done;
}

bool AudioDecoder::AtEnd() { return !impl_ || impl_->api->audioAtEnd(impl_->dec); }

int64_t AudioDecoder::FramesRead() const { return impl_ ? impl_->framesRead : 0; }

bool AudioDecoder::Rewind() {
    if (path_.empty())
        return false;
    auto fresh = std::make_unique<Impl>();
    if (!fresh->Open(path_))
        return false;
    impl_ = std::move(fresh);
    return true;
}

bool AudioDecoder::SeekToFrame(int64_t frame) {
    if (!Rewind())
        return false;
    std::vector<float> scratch(4096 * kAudioChannels);
    while (impl_->framesRead < frame) {
        const int want = static_cast<int>(std::min<int64_t>(4096, frame - impl_->framesRead));
        if (Read(scratch.data(), want) < want)
            break;
    }
    return true;
}

int64_t AudioDecoder::Duration100ns() const { return impl_ ? impl_->api->audioDuration100ns(impl_->dec) : 0; }

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
