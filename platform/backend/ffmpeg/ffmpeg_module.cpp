#include "platform/backend/ffmpeg/ffmpeg_decoders.h"
#include "platform/backend/ffmpeg_api.h"

// The table the program looks up after loading this module.
extern "C" __attribute__((visibility("default"))) const plat::FfmpegApi ku_ffmpeg_api = {
    &plat::FfAudioOpen,          &plat::FfAudioClose,         &plat::FfAudioReadC,           &plat::FfAudioAtEnd,
    &plat::FfAudioDuration100ns, &plat::FfVideoOpen,          &plat::FfVideoClose,           &plat::FfVideoWidth,
    &plat::FfVideoHeight,        &plat::FfVideoDuration100ns, &plat::FfVideoPicturesDecoded, &plat::FfVideoPictureAt,
};
