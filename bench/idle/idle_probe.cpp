// Preloaded into a measured process (LD_PRELOAD): notes when frames reach the
// window and when their pixels change, into the file IDLE_PROBE_STATE names.
// The program itself stays untouched.
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
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
        // Only the rectangle's own bytes, row by row: the pitch is the whole
        // picture's, and copying whole rows would bill the program for the
        // probe's own work.
        int w = 0, h = 0;
        Uint32 format = 0;
        SDL_QueryTexture(texture, &format, nullptr, &w, &h);
        if (rect)
            w = rect->w, h = rect->h;
        const size_t rowBytes = w > 0 ? static_cast<size_t>(w) * SDL_BYTESPERPIXEL(format) : 0;
        const size_t bytes = pitch > 0 && h > 0 ? rowBytes * static_cast<size_t>(h) : 0;
        const auto* p = static_cast<const unsigned char*>(pixels);
        s->uploads.fetch_add(1);
        bool changed = bytes == 0 || bytes != g_lastUpload.size();
        for (int y = 0; !changed && y < h; ++y)
            changed = memcmp(p + static_cast<size_t>(y) * static_cast<size_t>(pitch),
                             g_lastUpload.data() + y * rowBytes, rowBytes) != 0;
        if (changed) {
            g_lastUpload.resize(bytes);
            for (int y = 0; y < h && bytes > 0; ++y)
                memcpy(g_lastUpload.data() + y * rowBytes, p + static_cast<size_t>(y) * static_cast<size_t>(pitch),
                       rowBytes);
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

namespace {

// Input the measurement plays into the program (IDLE_PROBE_INPUT), seconds
// after its first present: "T click X Y" (window coordinates), "T ctrl"
// (a tap), "T hold" (Ctrl pressed and kept down: fast-forward), "T release"
// (Ctrl let go), "T every P click X Y" (a click every P seconds from T on);
// ';' between entries. Pushed as SDL events, so the program reads them as a
// player's.
struct InputStep {
    double at = 0, every = 0;
    bool click = false, hold = false, release = false;
    int x = 0, y = 0;
};

std::vector<InputStep>& Steps() {
    static std::vector<InputStep> steps = [] {
        std::vector<InputStep> out;
        const char* spec = getenv("IDLE_PROBE_INPUT");
        for (const char* p = spec; p && *p;) {
            InputStep s;
            char kind[16] = {};
            int used = 0;
            if (sscanf(p, " %lf every %lf click %d %d%n", &s.at, &s.every, &s.x, &s.y, &used) == 4) {
                s.click = true;
            } else if (sscanf(p, " %lf %15s%n", &s.at, kind, &used) == 2) {
                s.click = strcmp(kind, "click") == 0;
                s.hold = strcmp(kind, "hold") == 0;
                s.release = strcmp(kind, "release") == 0;
                int more = 0;
                if (s.click && sscanf(p + used, " %d %d%n", &s.x, &s.y, &more) == 2)
                    used += more;
            } else {
                break;
            }
            out.push_back(s);
            p += used;
            while (*p == ';' || *p == ' ')
                ++p;
        }
        return out;
    }();
    return steps;
}

void PushInput(const InputStep& s, bool up) {
    SDL_Window* w = SDL_GetKeyboardFocus();
    if (!w)
        w = SDL_GetMouseFocus();
    const Uint32 id = w ? SDL_GetWindowID(w) : 1;
    SDL_Event e{};
    if (!s.click) {
        for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
            if ((s.hold && type == SDL_KEYUP) || (s.release && type == SDL_KEYDOWN))
                continue;
            e = SDL_Event{};
            e.type = type;
            e.key.windowID = id;
            e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.key.keysym.sym = SDLK_LCTRL;
            e.key.keysym.scancode = SDL_SCANCODE_LCTRL;
            SDL_PushEvent(&e);
        }
        return;
    }
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = id;
    e.motion.x = s.x, e.motion.y = s.y;
    SDL_PushEvent(&e);
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        if (type != (up ? SDL_MOUSEBUTTONUP : SDL_MOUSEBUTTONDOWN))
            continue;
        e = SDL_Event{};
        e.type = type;
        e.button.windowID = id;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = s.x, e.button.y = s.y;
        SDL_PushEvent(&e);
    }
}

// The next step due; a click's release comes a frame after its press, so
// that the program sees the button down.
void PlayInput() {
    ProbeState* st = State();
    const uint64_t first = st ? st->firstPresentNs.load() : 0;
    if (!first)
        return;
    const double now = static_cast<double>(NowNs() - first) * 1e-9;
    static const InputStep* pendingUp = nullptr;
    if (pendingUp) {
        PushInput(*pendingUp, true);
        pendingUp = nullptr;
        return;
    }
    for (InputStep& s : Steps()) {
        if (s.at < 0 || now < s.at)
            continue;
        PushInput(s, false);
        if (s.click)
            pendingUp = &s;
        s.at = s.every > 0 ? s.at + s.every : -1;
        return;
    }
}

} // namespace

extern "C" int SDL_PollEvent(SDL_Event* event) {
    static auto next = Next<int (*)(SDL_Event*)>("SDL_PollEvent");
    static uint64_t lastNs = 0;
    // Once a frame is enough: the program polls until its queue is empty.
    const uint64_t now = NowNs();
    if (now - lastNs > 8000000u) {
        lastNs = now;
        PlayInput();
    }
    return next(event);
}

extern "C" int SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int numrects) {
    static auto next = Next<int (*)(SDL_Window*, const SDL_Rect*, int)>("SDL_UpdateWindowSurfaceRects");
    if (ProbeState* s = State()) {
        s->presents.fetch_add(1);
        s->changes.fetch_add(1);
        s->lastChangeNs.store(NowNs());
    }
    return next(window, rects, numrects);
}
