#pragma once
// Inside the backend only: what the FFmpeg module (ffmpeg/, loaded on the
// first decode) offers the program. Decoders are opaque handles; paths come
// resolved. Both sides are built together, so C++ types may cross.
#include <cstdint>

#include "platform/surface.h"

namespace plat {

struct FfmpegApi {
    void* (*audioOpen)(const char* path); // null on failure
    void (*audioClose)(void* dec);
    // Up to frames stereo frames into out (null: skipped); fewer at the end.
    int (*audioRead)(void* dec, float* out, int frames);
    bool (*audioAtEnd)(void* dec);
    int64_t (*audioDuration100ns)(void* dec);

    void* (*videoOpen)(const char* path); // null on failure
    void (*videoClose)(void* dec);
    int (*videoWidth)(void* dec);
    int (*videoHeight)(void* dec);
    int64_t (*videoDuration100ns)(void* dec);
    int64_t (*videoPicturesDecoded)(void* dec);
    // The picture due at t (100 ns units) into out; a time before the one
    // shown starts the file again.
    bool (*videoPictureAt)(void* dec, int64_t t, Surface* out);
};

// The module's one exported symbol.
#define KU_FFMPEG_API_SYMBOL "ku_ffmpeg_api"

// The module, loaded on first use (once, from any thread); null when it
// cannot be loaded.
const FfmpegApi* Ffmpeg();

} // namespace plat
