#include "platform/media_ffmpeg_init.h"

extern "C" {
#include <libavutil/log.h>
}

#include <mutex>

namespace plat {

void EnsureFfmpegQuiet() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

}  // namespace plat
