#include "platform/backend/ffmpeg/media_ffmpeg_init.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <mutex>

#include <sys/stat.h>

namespace plat {

void EnsureFfmpegQuiet() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

bool OpenBestStream(const std::string& path, int mediaType, AVFormatContext** fmt, AVCodecContext** codec,
                    int* stream) {
    EnsureFfmpegQuiet();
    // A FIFO or device would block the demuxer or feed it without end. (The
    // module calls nothing of the program's, so it asks the system itself.)
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (avformat_open_input(fmt, path.c_str(), nullptr, nullptr) < 0)
        return false;
    if (avformat_find_stream_info(*fmt, nullptr) < 0)
        return false;
    const AVCodec* dec = nullptr;
    *stream = av_find_best_stream(*fmt, static_cast<AVMediaType>(mediaType), -1, -1, &dec, 0);
    if (*stream < 0 || !dec)
        return false;
    // An MP3's cover art is a one-picture "video" stream: the file is sound.
    if ((*fmt)->streams[*stream]->disposition & AV_DISPOSITION_ATTACHED_PIC)
        return false;
    *codec = avcodec_alloc_context3(dec);
    if (!*codec)
        return false;
    if (avcodec_parameters_to_context(*codec, (*fmt)->streams[*stream]->codecpar) < 0)
        return false;
    return avcodec_open2(*codec, dec, nullptr) >= 0;
}

int64_t ContainerDuration100ns(const AVFormatContext* fmt) {
    if (fmt->duration == AV_NOPTS_VALUE || fmt->duration <= 0 || fmt->duration >= INT64_MAX / 10)
        return 0;
    return fmt->duration * 10;
}

int64_t StreamDelay100ns(const AVFormatContext* fmt, int stream) {
    const auto startOf = [fmt](unsigned i, int64_t* start) {
        const AVStream* st = fmt->streams[i];
        const AVMediaType type = st->codecpar->codec_type;
        if ((type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_VIDEO) ||
            (st->disposition & AV_DISPOSITION_ATTACHED_PIC) || st->start_time == AV_NOPTS_VALUE)
            return false;
        *start = av_rescale_q(st->start_time, st->time_base, AVRational{1, 10000000});
        return true;
    };
    int64_t own = 0;
    if (stream < 0 || static_cast<unsigned>(stream) >= fmt->nb_streams || !startOf(static_cast<unsigned>(stream), &own))
        return 0;
    int64_t first = own;
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        int64_t start = 0;
        if (startOf(i, &start) && start < first)
            first = start;
    }
    int64_t delay = 0;
    if (__builtin_sub_overflow(own, first, &delay) || delay >= ContainerDuration100ns(fmt))
        return 0;
    return delay;
}

bool DecodeNextFrame(AVFormatContext* fmt, AVCodecContext* codec, int stream, AVPacket* packet, AVFrame* frame,
                     bool* flushSent) {
    for (;;) {
        const int rc = avcodec_receive_frame(codec, frame);
        if (rc == 0)
            return true;
        if (rc != AVERROR(EAGAIN) || *flushSent)
            return false;
        if (av_read_frame(fmt, packet) < 0) {
            avcodec_send_packet(codec, nullptr);
            *flushSent = true;
            continue;
        }
        if (packet->stream_index == stream)
            avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
    }
}

} // namespace plat
