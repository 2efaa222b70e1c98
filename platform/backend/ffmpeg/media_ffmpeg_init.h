#pragma once
#include <cstdint>
#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

namespace plat {

// FFmpeg's own log lines would clutter standard error for every damaged or
// foreign file we probe; the program reports failures in its own words.
void EnsureFfmpegQuiet();

// Opens the file and a decoder for its best stream of mediaType (an
// AVMediaType). False on any failure; whatever was made is left in *fmt and
// *codec for the caller to free.
bool OpenBestStream(const std::string& path, int mediaType, AVFormatContext** fmt, AVCodecContext** codec, int* stream);

// The container's duration in 100 ns units; 0 when unknown or when a damaged
// header claims more than fits.
int64_t ContainerDuration100ns(const AVFormatContext* fmt);

// How long after the media's start (the earliest first stamp of its sound
// and picture streams; cover art does not count) the stream begins, in 100 ns
// units: a movie's sound may start after its first picture. 0 when a stamp is
// unknown, or when the gap is not shorter than the container's duration (a
// damaged stamp).
int64_t StreamDelay100ns(const AVFormatContext* fmt, int stream);

// The next decoded frame of the stream into frame: reads packets as the
// decoder asks for them (a damaged one is skipped) and drains the decoder at
// the end of the file. False once no frame is left or the decoder gave up.
bool DecodeNextFrame(AVFormatContext* fmt, AVCodecContext* codec, int stream, AVPacket* packet, AVFrame* frame,
                     bool* flushSent);

} // namespace plat
