#include "platform/media_video_decoder.h"

#include <memory>

#include "platform/backend/ffmpeg_api.h"
#include "platform/pinned_file.h"
#include "platform/files.h"

namespace plat {

// A decoder of the FFmpeg module; without the module nothing opens.
struct VideoDecoder::Impl {
    // Held open for the decoder's life: going back in time, the module opens
    // the file afresh by its name.
    std::unique_ptr<PinnedFile> file;
    const FfmpegApi* api = nullptr;
    void* dec = nullptr;
    ~Impl() {
        if (dec)
            api->videoClose(dec);
    }
};

VideoDecoder::VideoDecoder() = default;
VideoDecoder::~VideoDecoder() = default;

bool VideoDecoder::Open(const std::string& path) {
    path_ = ResolvePath(path);
    impl_ = std::make_unique<Impl>();
    impl_->api = Ffmpeg();
    impl_->file = std::make_unique<PinnedFile>(path_);
    const std::string& name = impl_->file->name();
    impl_->dec = impl_->api && !name.empty() ? impl_->api->videoOpen(name.c_str()) : nullptr;
    if (!impl_->dec) {
        impl_.reset();
        return false;
    }
    return true;
}

bool VideoDecoder::IsOpen() const { return impl_ != nullptr; }
int VideoDecoder::Width() const { return impl_ ? impl_->api->videoWidth(impl_->dec) : 0; }
int VideoDecoder::Height() const { return impl_ ? impl_->api->videoHeight(impl_->dec) : 0; }
int64_t VideoDecoder::Duration100ns() const { return impl_ ? impl_->api->videoDuration100ns(impl_->dec) : 0; }
int64_t VideoDecoder::PicturesDecoded() const { return impl_ ? impl_->api->videoPicturesDecoded(impl_->dec) : 0; }

bool VideoDecoder::PictureAt(int64_t t, Surface* out) {
    if (!impl_ || !out)
        return false;
    // The module writes the pixels and may resize the surface.
    out->Touch();
    return impl_->api->videoPictureAt(impl_->dec, t, out);
}

} // namespace plat
