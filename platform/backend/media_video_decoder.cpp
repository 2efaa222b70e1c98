#include "platform/media_video_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "platform/files.h"
#include "platform/backend/media_ffmpeg_init.h"

namespace plat {

struct VideoDecoder::Impl {
    AVFormatContext* fmt = nullptr;
    AVCodecContext* codec = nullptr;
    SwsContext* sws = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* ahead = nullptr; // decoded, not yet due
    AVFrame* latest = nullptr; // due, not yet converted
    int stream = -1;
    bool haveAhead = false;
    bool haveLatest = false;
    bool flushSent = false;
    bool finished = false;
    int64_t startPts = 0;
    int64_t shownTime = -1;
    int64_t decoded = 0;
    int64_t taken = 0; // pictures made current so far
    int64_t duration100ns = 0;

    ~Impl() {
        av_frame_free(&ahead);
        av_frame_free(&latest);
        av_packet_free(&packet);
        sws_freeContext(sws);
        avcodec_free_context(&codec);
        avformat_close_input(&fmt);
    }

    bool Open(const std::string& path) {
        if (!OpenBestStream(path, AVMEDIA_TYPE_VIDEO, &fmt, &codec, &stream))
            return false;
        if (codec->width <= 0 || codec->height <= 0)
            return false;
        packet = av_packet_alloc();
        ahead = av_frame_alloc();
        latest = av_frame_alloc();
        if (!packet || !ahead || !latest)
            return false;
        const AVStream* st = fmt->streams[stream];
        startPts = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
        duration100ns = ContainerDuration100ns(fmt);
        return true;
    }

    int64_t TimeOf(const AVFrame* f) const {
        int64_t pts = f->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE)
            pts = f->pts;
        int64_t fromStart = 0;
        // A stamp without a value, or one too far off to count from the
        // start (a damaged file), keeps the picture at the current time.
        if (pts == AV_NOPTS_VALUE || __builtin_sub_overflow(pts, startPts, &fromStart))
            return shownTime < 0 ? 0 : shownTime;
        return av_rescale_q(fromStart, fmt->streams[stream]->time_base, AVRational{1, 10000000});
    }

    // Decodes the next picture into `ahead`; false at the end.
    bool DecodeNext() {
        if (finished)
            return false;
        if (DecodeNextFrame(fmt, codec, stream, packet, ahead, &flushSent)) {
            ++decoded;
            return true;
        }
        finished = true;
        return false;
    }

    bool Convert(const AVFrame* f, Surface* out) {
        sws = sws_getCachedContext(sws, f->width, f->height, static_cast<AVPixelFormat>(f->format), f->width, f->height,
                                   AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!sws)
            return false;
        if (out->width != f->width || out->height != f->height)
            *out = Surface(f->width, f->height);
        // BGRA bytes in memory are 0xAARRGGBB words on a little-endian machine.
        uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(out->pixels.data()), nullptr, nullptr, nullptr};
        int dstStride[4] = {out->width * 4, 0, 0, 0};
        sws_scale(sws, f->data, f->linesize, 0, f->height, dst, dstStride);
        return true;
    }
};

VideoDecoder::VideoDecoder() = default;
VideoDecoder::~VideoDecoder() = default;

bool VideoDecoder::Open(const std::string& path) {
    path_ = ResolvePath(path);
    impl_ = std::make_unique<Impl>();
    if (!impl_->Open(path_)) {
        impl_.reset();
        return false;
    }
    return true;
}

bool VideoDecoder::IsOpen() const { return impl_ != nullptr; }
int VideoDecoder::Width() const { return impl_ ? impl_->codec->width : 0; }
int VideoDecoder::Height() const { return impl_ ? impl_->codec->height : 0; }
int64_t VideoDecoder::Duration100ns() const { return impl_ ? impl_->duration100ns : 0; }
int64_t VideoDecoder::PicturesDecoded() const { return impl_ ? impl_->decoded : 0; }

bool VideoDecoder::PictureAt(int64_t t, Surface* out) {
    if (!impl_ || !out)
        return false;
    if (impl_->taken > 1 && t < impl_->shownTime) {
        auto fresh = std::make_unique<Impl>();
        if (!fresh->Open(path_))
            return false;
        impl_ = std::move(fresh);
    }
    Impl& d = *impl_;
    for (;;) {
        if (!d.haveAhead) {
            if (!d.DecodeNext())
                break;
            d.haveAhead = true;
        }
        const int64_t at = d.TimeOf(d.ahead);
        if (at > t && d.shownTime >= 0)
            break;
        // Due (the first picture is always due): keep it, drop the one before.
        av_frame_unref(d.latest);
        av_frame_move_ref(d.latest, d.ahead);
        d.haveAhead = false;
        d.haveLatest = true;
        ++d.taken;
        d.shownTime = at;
        if (at > t)
            break;
    }
    if (!d.haveLatest)
        return false;
    const bool ok = d.Convert(d.latest, out);
    av_frame_unref(d.latest);
    d.haveLatest = false;
    return ok;
}

} // namespace plat
