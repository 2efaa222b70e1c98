#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/surface.h"

namespace plat {

// Decodes the pictures of a movie file in order, on the main thread, with its
// own demuxer (the audio side has another). Times count from the media's
// start as the sound's do (the first picture, or the sound's start when that
// comes first), in 100 ns units.
class VideoDecoder {
public:
    VideoDecoder();
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // False when the file has no video stream or its codec cannot be opened.
    bool Open(const std::string& path);
    bool IsOpen() const;
    int Width() const;
    int Height() const;
    // Container duration, 100 ns; 0 when unknown.
    int64_t Duration100ns() const;

    // Brings out the latest picture shown at time t (rewinding when t lies
    // before the current picture). True when out received a new picture.
    bool PictureAt(int64_t t, Surface* out);
    int64_t PicturesDecoded() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string path_;
};

} // namespace plat
