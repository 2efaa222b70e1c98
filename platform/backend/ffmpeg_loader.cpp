#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/backend/ffmpeg_api.h"

// FFmpeg is loaded with the first sound or movie, not at start: the module
// and the libraries it needs are looked for next to the program, then where
// the build put them.

namespace plat {

namespace {

constexpr char kModuleName[] = "libku_ffmpeg.so";

std::string ProgramFolder() {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0)
        return std::string();
    buf[n] = '\0';
    std::string path(buf);
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

const FfmpegApi* Load() {
    std::string candidates[] = {ProgramFolder() + kModuleName,
#ifdef KU_FFMPEG_MODULE_PATH
                                KU_FFMPEG_MODULE_PATH
#endif
    };
    for (const std::string& path : candidates) {
        if (path.empty() || path[0] != '/' || access(path.c_str(), R_OK) != 0)
            continue;
        // Kept loaded for the rest of the run: decoders may live until exit.
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            std::fprintf(stderr, "%s\n", dlerror());
            continue;
        }
        if (auto* api = static_cast<const FfmpegApi*>(dlsym(handle, KU_FFMPEG_API_SYMBOL)))
            return api;
        dlclose(handle);
    }
    return nullptr;
}

} // namespace

const FfmpegApi* Ffmpeg() {
    static std::once_flag once;
    static const FfmpegApi* api = nullptr;
    std::call_once(once, [] { api = Load(); });
    return api;
}

} // namespace plat
