#pragma once
// Inside the FFmpeg module only: the decoders its table hands out.
#include <cstdint>

#include "platform/surface.h"

namespace plat {

void* FfAudioOpen(const char* path);
void FfAudioClose(void* dec);
int FfAudioReadC(void* dec, float* out, int frames);
bool FfAudioAtEnd(void* dec);
int64_t FfAudioDuration100ns(void* dec);

void* FfVideoOpen(const char* path);
void FfVideoClose(void* dec);
int FfVideoWidth(void* dec);
int FfVideoHeight(void* dec);
int64_t FfVideoDuration100ns(void* dec);
int64_t FfVideoPicturesDecoded(void* dec);
bool FfVideoPictureAt(void* dec, int64_t t, Surface* out);

} // namespace plat
