// The least a still 800 x 600 picture can cost through SDL: one streaming
// texture, uploaded once (or every frame with --upload), presented 62 times a
// second with the same renderer choice as the game, until SIGTERM or quit.
#include <SDL.h>
#include <signal.h>
#include <time.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/present_renderer_order.h"

namespace {

volatile sig_atomic_t g_stop = 0;
void OnTerm(int) { g_stop = 1; }

void AddNs(timespec& t, long ns) {
    t.tv_nsec += ns;
    while (t.tv_nsec >= 1000000000L) {
        t.tv_nsec -= 1000000000L;
        ++t.tv_sec;
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool uploadEveryFrame = argc > 1 && strcmp(argv[1], "--upload") == 0;
    signal(SIGTERM, OnTerm);
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    SDL_Window* window = SDL_CreateWindow("baseline", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 800, 600, 0);
    if (!window)
        return 1;
    const char* forced = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const plat::RendererOrder order = plat::PresentRendererOrder(SDL_GetCurrentVideoDriver(), forced && *forced);
    SDL_Renderer* renderer = nullptr;
    for (plat::RendererKind kind : {order.first, order.fallback}) {
        if (kind == plat::RendererKind::kSoftware) {
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        } else {
            SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
            if (!renderer)
                renderer = SDL_CreateRenderer(window, -1, 0);
        }
        if (renderer)
            break;
    }
    if (!renderer)
        return 1;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, 800, 600);
    if (!texture)
        return 1;
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    std::vector<uint32_t> pixels(800 * 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)] =
                0xFF000000u | static_cast<uint32_t>(x * 255 / 799) << 16 | static_cast<uint32_t>(y * 255 / 599) << 8;
    SDL_UpdateTexture(texture, nullptr, pixels.data(), 800 * 4);

    const long frameNs = 1000000000L / 62;
    timespec next;
    clock_gettime(CLOCK_MONOTONIC, &next);
    while (!g_stop) {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_QUIT)
                g_stop = 1;
        if (uploadEveryFrame)
            SDL_UpdateTexture(texture, nullptr, pixels.data(), 800 * 4);
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
        AddNs(next, frameNs);
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
