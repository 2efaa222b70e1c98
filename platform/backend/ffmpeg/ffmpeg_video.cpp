#include "platform/surface.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

#include "platform/backend/ffmpeg/ffmpeg_decoders.h"
#include "platform/backend/ffmpeg/media_ffmpeg_init.h"

namespace plat {

namespace {

struct FfVideo {
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
    int64_t startDelay100ns = 0; // the first picture's time when the sound starts before it
    int64_t shownTime = -1;
    int64_t decoded = 0;
    int64_t taken = 0; // pictures made current so far
    int64_t duration100ns = 0;

    ~FfVideo() {
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
        startDelay100ns = StreamDelay100ns(fmt, stream);
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
        const int64_t t = av_rescale_q(fromStart, fmt->streams[stream]->time_base, AVRational{1, 10000000});
        int64_t at = 0;
        return __builtin_add_overflow(t, startDelay100ns, &at) ? t : at;
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
        // The caller touched the surface before the call; no Surface is made
        // or destroyed here, since its bookkeeping lives in the program.
        if (out->width != f->width || out->height != f->height) {
            out->width = f->width;
            out->height = f->height;
            out->pixels.assign(static_cast<size_t>(f->width) * static_cast<size_t>(f->height), 0);
        }
        // BGRA bytes in memory are 0xAARRGGBB words on a little-endian machine.
        uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(out->pixels.data()), nullptr, nullptr, nullptr};
        int dstStride[4] = {out->width * 4, 0, 0, 0};
        sws_scale(sws, f->data, f->linesize, 0, f->height, dst, dstStride);
        return true;
    }
};

// The decoder and the file it reads: going back in time opens it afresh.
struct FfVideoFile {
    std::string path;
    std::unique_ptr<FfVideo> dec;
};

} // namespace

void* FfVideoOpen(const char* path) {
    auto f = std::make_unique<FfVideoFile>();
    f->path = path;
    f->dec = std::make_unique<FfVideo>();
    if (!f->dec->Open(f->path))
        return nullptr;
    return f.release();
}

void FfVideoClose(void* dec) { delete static_cast<FfVideoFile*>(dec); }
int FfVideoWidth(void* dec) { return static_cast<FfVideoFile*>(dec)->dec->codec->width; }
int FfVideoHeight(void* dec) { return static_cast<FfVideoFile*>(dec)->dec->codec->height; }
int64_t FfVideoDuration100ns(void* dec) { return static_cast<FfVideoFile*>(dec)->dec->duration100ns; }
int64_t FfVideoPicturesDecoded(void* dec) { return static_cast<FfVideoFile*>(dec)->dec->decoded; }

bool FfVideoPictureAt(void* file, int64_t t, Surface* out) {
    auto* f = static_cast<FfVideoFile*>(file);
    if (!out)
        return false;
    if (f->dec->taken > 1 && t < f->dec->shownTime) {
        auto fresh = std::make_unique<FfVideo>();
        if (!fresh->Open(f->path))
            return false;
        f->dec = std::move(fresh);
    }
    FfVideo& d = *f->dec;
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
