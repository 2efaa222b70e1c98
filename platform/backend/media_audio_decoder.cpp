#include "platform/media_audio_decoder.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/audio_ahead_budget.h"
#include "platform/backend/audio_decode_ahead.h"
#include "platform/backend/ffmpeg_api.h"
#include "platform/pinned_file.h"
#include "platform/files.h"
#include "platform/media_audio_decoder_test_hooks.h"

namespace plat {

namespace {

int64_t g_keepCap = 0; // tests only

// Never destroyed: media may still close while the program exits.
AudioAheadBudget& AheadBudget() {
    static auto* budget = new AudioAheadBudget(AudioDecoder::kAheadBudgetBytes);
    return *budget;
}

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
        // The pinned name is good only inside this call: the module opens its
        // own descriptor by it, and once `file` closes the number may name
        // anything. Never keep the name to reopen the sound later; a seek
        // back opens the path again through a new PinnedFile.
        const PinnedFile file(path);
        dec = api && !file.name().empty() ? api->audioOpen(file.name().c_str()) : nullptr;
        return dec != nullptr;
    }
};

} // namespace

struct AudioDecoder::Impl {
    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl() { DropAhead(); }

    Handle stream; // reads when there is nothing ahead
    std::unique_ptr<AudioDecodeAhead> ahead;

    // Its share goes back to the budget while the holder is whole.
    void DropAhead() {
        if (!ahead)
            return;
        AheadBudget().Release(ahead.get());
        ahead.reset();
    }
    // A short media that outran its header: the rest is streamed.
    void StreamRest() {
        stream.api = Ffmpeg();
        stream.dec = ahead->TakeDecoder();
        DropAhead();
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
    if (frames > 0 && frames <= kKeepFrames) {
        // Room for what the header promised and the encoder's padding.
        const int64_t room = std::min(frames + kAudioRate / 10, g_keepCap > 0 ? g_keepCap : kKeepFrames);
        auto ahead = std::make_unique<AudioDecodeAhead>(room);
        // Without room in the budget the media streams.
        if (AheadBudget().Reserve(ahead.get(), AudioDecodeAhead::BytesFor(room))) {
            if (ahead->Start(h.api, h.dec)) {
                h.dec = nullptr;
                impl->ahead = std::move(ahead);
            } else {
                AheadBudget().Release(ahead.get());
            }
        }
    }
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
        if (impl_->ahead->More(pos_))
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
    if (impl_ && impl_->ahead && impl_->ahead->Seek(frame, &pos_))
        return true;
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

void SetAudioAheadBudgetForTest(int64_t bytes) {
    AheadBudget().SetLimit(bytes > 0 ? bytes : AudioDecoder::kAheadBudgetBytes);
}

int64_t AudioAheadHeldBytesForTest() { return AheadBudget().HeldBytes(); }

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
