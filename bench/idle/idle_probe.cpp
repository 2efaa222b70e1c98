// Preloaded into a measured process (LD_PRELOAD): notes when frames reach the
// window and when their pixels change, into the file IDLE_PROBE_STATE names.
// The program itself stays untouched.
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "probe_state.h"

namespace {

ProbeState* State() {
    static ProbeState* state = []() -> ProbeState* {
        const char* path = getenv("IDLE_PROBE_STATE");
        if (!path)
            return nullptr;
        int fd = open(path, O_RDWR);
        if (fd < 0)
            return nullptr;
        void* m = mmap(nullptr, sizeof(ProbeState), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
        return m == MAP_FAILED ? nullptr : static_cast<ProbeState*>(m);
    }();
    return state;
}

uint64_t NowNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

template <typename F>
F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

std::vector<unsigned char> g_lastUpload;

} // namespace

extern "C" SDL_Renderer* SDL_CreateRenderer(SDL_Window* window, int index, Uint32 flags) {
    static auto next = Next<SDL_Renderer* (*)(SDL_Window*, int, Uint32)>("SDL_CreateRenderer");
    SDL_Renderer* r = next(window, index, flags);
    SDL_RendererInfo info;
    if (r && State() && SDL_GetRendererInfo(r, &info) == 0 && info.name) {
        strncpy(State()->renderer, info.name, sizeof(State()->renderer) - 1);
        State()->renderer[sizeof(State()->renderer) - 1] = '\0';
    }
    return r;
}

extern "C" int SDL_UpdateTexture(SDL_Texture* texture, const SDL_Rect* rect, const void* pixels, int pitch) {
    static auto next = Next<int (*)(SDL_Texture*, const SDL_Rect*, const void*, int)>("SDL_UpdateTexture");
    if (ProbeState* s = State()) {
        int h = 0;
        if (rect)
            h = rect->h;
        else
            SDL_QueryTexture(texture, nullptr, nullptr, nullptr, &h);
        const size_t bytes = pitch > 0 && h > 0 ? static_cast<size_t>(pitch) * static_cast<size_t>(h) : 0;
        const auto* p = static_cast<const unsigned char*>(pixels);
        s->uploads.fetch_add(1);
        if (bytes == 0 || bytes != g_lastUpload.size() || memcmp(p, g_lastUpload.data(), bytes) != 0) {
            g_lastUpload.assign(p, p + bytes);
            s->changes.fetch_add(1);
            s->lastChangeNs.store(NowNs());
        }
    }
    return next(texture, rect, pixels, pitch);
}

extern "C" void SDL_RenderPresent(SDL_Renderer* renderer) {
    static auto next = Next<void (*)(SDL_Renderer*)>("SDL_RenderPresent");
    next(renderer);
    if (ProbeState* s = State()) {
        uint64_t none = 0;
        s->firstPresentNs.compare_exchange_strong(none, NowNs());
        s->presents.fetch_add(1);
    }
}
