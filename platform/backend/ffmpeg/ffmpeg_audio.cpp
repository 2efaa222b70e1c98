#include "platform/audio_mixer.h"
#include "platform/media_audio_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/backend/ffmpeg/ffmpeg_decoders.h"
#include "platform/backend/ffmpeg/media_ffmpeg_init.h"

namespace plat {

namespace {

constexpr int kMinInputRate = 4000;
constexpr int kMaxInputRate = 768000;

} // namespace

struct FfAudio {
    AVFormatContext* fmt = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    int swrChannels = 0; // 1 for mono input (duplicated to both sides), else 2
    // What the resampler was set up for; a frame that differs (a stream may
    // switch from stereo to mono midway) needs a new one.
    int inChannels = 0;
    int inRate = 0;
    int inFormat = -1;
    std::vector<float> pending; // interleaved stereo, decoded but not yet read
    size_t pendingPos = 0; // in floats
    std::vector<float> monoScratch;
    bool flushSent = false;
    bool finished = false;
    int64_t framesRead = 0;
    int64_t duration100ns = 0;
    int64_t leadFrames = 0; // silence before the first sample: the sound starts after the media does

    ~FfAudio() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&swr);
        avcodec_free_context(&codec);
        avformat_close_input(&fmt);
    }

    bool Open(const std::string& path) {
        if (!OpenBestStream(path, AVMEDIA_TYPE_AUDIO, &fmt, &codec, &stream))
            return false;
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        if (!packet || !frame)
            return false;
        duration100ns = ContainerDuration100ns(fmt);
        leadFrames = FramesFrom100ns(StreamDelay100ns(fmt, stream));
        return true;
    }

    int ChannelsOf(const AVFrame* f) const {
        return f->ch_layout.nb_channels > 0 ? f->ch_layout.nb_channels : codec->ch_layout.nb_channels;
    }

    bool SameInput(const AVFrame* f) const {
        return ChannelsOf(f) == inChannels && f->sample_rate == inRate && f->format == inFormat;
    }

    bool SetUpResampler(const AVFrame* f) {
        // Every layout starts zeroed: copying an uninitialised one is undefined.
        AVChannelLayout in{};
        AVChannelLayout out{};
        const int channels = ChannelsOf(f);
        // A rate outside what any real recording uses comes from a damaged
        // header: at 1 Hz each stored sample would become 44100 output frames.
        if (channels <= 0 || f->sample_rate < kMinInputRate || f->sample_rate > kMaxInputRate)
            return false;
        inChannels = channels;
        inRate = f->sample_rate;
        inFormat = f->format;
        if (f->ch_layout.nb_channels > 0 && f->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC) {
            if (av_channel_layout_copy(&in, &f->ch_layout) < 0)
                return false;
        } else {
            av_channel_layout_default(&in, channels);
        }
        // Mono is resampled as mono and duplicated, so it keeps full level on
        // both sides (the stock down/up-mix would lower it by 3 dB).
        swrChannels = channels == 1 ? 1 : 2;
        av_channel_layout_default(&out, swrChannels);
        const int rc = swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_FLT, kAudioRate, &in,
                                           static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        av_channel_layout_uninit(&out);
        if (rc < 0 || !swr)
            return false;
        // For float output the stock down-mix adds the centre and surrounds
        // to each side unscaled: 5.1 at full scale on every channel reaches
        // 2.4 times full scale. Scaled so that the mix cannot pass it. Mono
        // and stereo are not mixed, so they stay as they are.
        if (av_opt_set_double(swr, "rematrix_maxval", 1.0, 0) < 0)
            return false;
        return swr_init(swr) >= 0;
    }

    // Appends resampled output; a null frame flushes the resampler.
    void Convert(const AVFrame* f) {
        if (!swr)
            return;
        const int inSamples = f ? f->nb_samples : 0;
        const int maxOut = swr_get_out_samples(swr, inSamples);
        if (maxOut <= 0)
            return;
        monoScratch.resize(static_cast<size_t>(maxOut) * static_cast<size_t>(swrChannels));
        uint8_t* outPlane = reinterpret_cast<uint8_t*>(monoScratch.data());
        const uint8_t** inPlanes = f ? const_cast<const uint8_t**>(f->extended_data) : nullptr;
        const int n = swr_convert(swr, &outPlane, maxOut, inPlanes, inSamples);
        if (n <= 0)
            return;
        // Drop what was read already before growing the queue.
        if (pendingPos > 0) {
            pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(pendingPos));
            pendingPos = 0;
        }
        const size_t old = pending.size();
        pending.resize(old + static_cast<size_t>(n) * kAudioChannels);
        float* dst = pending.data() + old;
        if (swrChannels == 1) {
            for (int i = 0; i < n; ++i)
                dst[2 * i] = dst[2 * i + 1] = monoScratch[static_cast<size_t>(i)];
        } else {
            std::memcpy(dst, monoScratch.data(), sizeof(float) * static_cast<size_t>(n) * kAudioChannels);
        }
    }

    // Decodes until more output is queued; false at the end of the media.
    bool Refill() {
        if (finished)
            return false;
        const size_t before = pending.size() - pendingPos;
        while (DecodeNextFrame(fmt, codec, stream, packet, frame, &flushSent)) {
            if (swr && !SameInput(frame)) {
                Convert(nullptr); // what the old set-up still holds
                swr_free(&swr);
            }
            if (!swr && !SetUpResampler(frame)) {
                av_frame_unref(frame);
                finished = true;
                return pending.size() - pendingPos > before;
            }
            Convert(frame);
            av_frame_unref(frame);
            if (pending.size() - pendingPos > before)
                return true;
        }
        // End of stream (or a decoder that gave up): empty the resampler.
        finished = true;
        if (swr)
            Convert(nullptr);
        return pending.size() - pendingPos > before;
    }
};

// Reads up to frames stereo frames, decoding as needed.
int FfAudioRead(FfAudio* d, float* out, int frames) {
    int done = 0;
    if (d->leadFrames > 0 && frames > 0) {
        done = static_cast<int>(std::min<int64_t>(d->leadFrames, frames));
        if (out)
            std::fill(out, out + static_cast<size_t>(done) * kAudioChannels, 0.0f);
        d->leadFrames -= done;
    }
    while (done < frames) {
        const size_t avail = (d->pending.size() - d->pendingPos) / kAudioChannels;
        if (avail == 0) {
            if (!d->Refill())
                break;
            continue;
        }
        const int n = static_cast<int>(std::min<size_t>(avail, static_cast<size_t>(frames - done)));
        if (out) {
            std::memcpy(out + static_cast<size_t>(done) * kAudioChannels, d->pending.data() + d->pendingPos,
                        sizeof(float) * static_cast<size_t>(n) * kAudioChannels);
        }
        d->pendingPos += static_cast<size_t>(n) * kAudioChannels;
        done += n;
    }
    d->framesRead += done;
    return done;
}

void* FfAudioOpen(const char* path) {
    auto* d = new FfAudio;
    if (!d->Open(path)) {
        delete d;
        return nullptr;
    }
    return d;
}

void FfAudioClose(void* dec) { delete static_cast<FfAudio*>(dec); }

int FfAudioReadC(void* dec, float* out, int frames) { return FfAudioRead(static_cast<FfAudio*>(dec), out, frames); }

bool FfAudioAtEnd(void* dec) {
    auto* d = static_cast<FfAudio*>(dec);
    if (d->leadFrames > 0)
        return false;
    while (d->pending.size() == d->pendingPos) {
        if (!d->Refill())
            return true;
    }
    return false;
}

int64_t FfAudioDuration100ns(void* dec) { return static_cast<FfAudio*>(dec)->duration100ns; }

} // namespace plat
