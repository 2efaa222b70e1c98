#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_mixer.h"

namespace plat {

// Streams the audio of a media file (WAV, Ogg, mp3, an MPEG movie's mp2...)
// decoded and resampled to the mixer's format. Positions count output frames
// from the media's own start (not from container time stamps, which for an
// MPEG program stream begin at about half a second); a movie's sound that
// starts after its first picture is preceded by silence up to its time.
class AudioDecoder {
public:
    AudioDecoder();
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    // False when the file is missing, cannot be probed or has no audio stream.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const;

    // Fills up to frames stereo frames; fewer only at the end of the media.
    int Read(float* out, int frames);
    // True once every frame has been read (decodes ahead to find out, so the
    // end is known exactly at the last frame, not one read later).
    bool AtEnd();
    int64_t FramesRead() const;

    // Back to the start: in memory for a short media that still holds it,
    // else by reopening (exact for every format; a seek is not, for Ogg and
    // mp3).
    bool Rewind();
    // Exact positioning: in memory for a short media, else rewind, then
    // decode and discard up to the frame.
    bool SeekToFrame(int64_t frame);

    // The container's duration in 100 ns units, 0 when unknown.
    int64_t Duration100ns() const;

    // Media up to this long (by their header) are decoded whole into memory
    // on a thread of their own as soon as they open (16 MB at most): a tune
    // played in a loop is decoded once, and not on the audio thread.
    static constexpr int64_t kKeepFrames = 2 * 1024 * 1024;
    // What all open media together may hold decoded ahead. A media that
    // finds no room, even after media played to their end gave theirs back,
    // streams from its file.
    static constexpr int64_t kAheadBudgetBytes = 20 * 1024 * 1024;

private:
    struct Impl; // the decoder streaming, or the media in memory
    bool Start(); // opens path_ from its start; false leaves the old state
    std::unique_ptr<Impl> impl_;
    std::string path_;
    int64_t duration100ns_ = 0;
    int64_t pos_ = 0; // frames read
};

// Decodes a whole file into memory. False on any failure (out left empty).
bool DecodeAudioFile(const std::string& path, PcmBuffer* out);

// 100 ns units <-> output frames, rounded down. Whole seconds and the rest are
// converted apart, so any 64-bit position a caller passes converts without
// overflow.
inline int64_t FramesFrom100ns(int64_t t) {
    return t <= 0 ? 0 : t / 10000000 * kAudioRate + t % 10000000 * kAudioRate / 10000000;
}
inline int64_t FramesTo100ns(int64_t frames) {
    return frames <= 0 ? 0 : frames / kAudioRate * 10000000 + frames % kAudioRate * 10000000 / kAudioRate;
}

} // namespace plat
