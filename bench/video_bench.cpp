// Rasteriser speed against SDL's software renderer on the same pictures.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <vector>

#include "platform/video.h"

namespace {

constexpr int kW = 800, kH = 600, kTile = 256;

uint32_t Texel(int x, int y) {
    // A picture with an alpha ramp and varied colour, like a character layer.
    return uint32_t((x * 255) / kW) << 24 | uint32_t(x & 0xFF) << 16 | uint32_t(y & 0xFF) << 8 |
           uint32_t((x ^ y) & 0xFF);
}

// A picture cut into 256 x 256 tiles, as the graphic slots hold it.
struct TiledPicture {
    int w, h;
    std::vector<plat::DeviceSurfacePtr> tiles;
    TiledPicture(plat::VideoDevice& dev, int width, int height, bool alpha) : w(width), h(height) {
        for (int ty = 0; ty < h; ty += kTile)
            for (int tx = 0; tx < w; tx += kTile) {
                plat::DeviceSurfacePtr t = dev.CreateTexture(kTile, kTile);
                for (int y = 0; y < kTile && ty + y < h; ++y)
                    for (int x = 0; x < kTile && tx + x < w; ++x)
                        t->Row(y)[x] = alpha ? Texel(tx + x, ty + y) : (Texel(tx + x, ty + y) | 0xFF000000u);
                tiles.push_back(std::move(t));
            }
    }
    // One quad per tile in one batch, as the picture draw sends them.
    void Draw(plat::VideoDevice& dev, float x, float y, uint32_t colour) const {
        const int across = (w + kTile - 1) / kTile;
        dev.BeginBatch();
        for (size_t i = 0; i < tiles.size(); ++i) {
            int c = static_cast<int>(i) % across, r = static_cast<int>(i) / across;
            int tw = std::min(kTile, w - c * kTile), th = std::min(kTile, h - r * kTile);
            float px = x + c * kTile - 0.5f, py = y + r * kTile - 0.5f;
            float u = float(tw) / kTile, v = float(th) / kTile;
            plat::TLVertex q[4] = {{px, py + th, 0, 1, colour, 0, 0, v},
                                   {px, py, 0, 1, colour, 0, 0, 0},
                                   {px + tw, py + th, 0, 1, colour, 0, u, v},
                                   {px + tw, py, 0, 1, colour, 0, u, 0}};
            dev.SetTexture(tiles[i].get());
            dev.DrawQuadStrip(q);
        }
        dev.EndBatch();
    }
};

void AlphaLayerOurs(benchmark::State& state) {
    auto dev = plat::VideoDevice::Create(plat::kVideoLevelTnL, kW, kH, 32, false);
    TiledPicture layer(*dev, kW, kH, true);
    dev->SetAlphaBlend(true);
    for ([[maybe_unused]] auto _ : state) {
        layer.Draw(*dev, 0, 0, 0xFFFFFFFFu);
        benchmark::DoNotOptimize(dev->BackBuffer()->pixels.data());
    }
}

void AlphaLayerSdlSoftware(benchmark::State& state) {
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* r = SDL_CreateSoftwareRenderer(target);
    if (!target || !r) {
        state.SkipWithError("no SDL software renderer");
        return;
    }
    SDL_Texture* tex = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kW, kH);
    std::vector<uint32_t> px(size_t(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            px[size_t(y) * kW + x] = Texel(x, y);
    SDL_UpdateTexture(tex, nullptr, px.data(), kW * 4);
    SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(tex, SDL_ScaleModeNearest);
    const SDL_Color white{255, 255, 255, 255};
    SDL_Vertex v[4] = {{{0, float(kH)}, white, {0, 1}},
                       {{0, 0}, white, {0, 0}},
                       {{float(kW), float(kH)}, white, {1, 1}},
                       {{float(kW), 0}, white, {1, 0}}};
    const int idx[6] = {0, 1, 2, 1, 2, 3};
    for ([[maybe_unused]] auto _ : state) {
        SDL_RenderGeometry(r, tex, v, 4, idx, 6);
        SDL_RenderFlush(r);
        benchmark::DoNotOptimize(target->pixels);
    }
    SDL_DestroyTexture(tex);
    SDL_DestroyRenderer(r);
    SDL_FreeSurface(target);
}

// A typical adventure frame: background, three characters, message window.
void AdventureFrame(benchmark::State& state) {
    auto dev = plat::VideoDevice::Create(plat::kVideoLevelTnL, kW, kH, 32, false);
    TiledPicture bg(*dev, kW, kH, false);
    TiledPicture chara(*dev, 400, 600, true);
    TiledPicture window(*dev, 800, 200, true);
    for ([[maybe_unused]] auto _ : state) {
        dev->Clear(0xFF000000u);
        dev->SetAlphaBlend(false);
        bg.Draw(*dev, 0, 0, 0xFFFFFFFFu);
        dev->SetAlphaBlend(true);
        chara.Draw(*dev, -100, 0, 0xFFFFFFFFu);
        chara.Draw(*dev, 200, 0, 0xFFFFFFFFu);
        chara.Draw(*dev, 500, 0, 0xFFFFFFFFu);
        window.Draw(*dev, 0, 400, 0xC0FFFFFFu);
        dev->SetAlphaBlend(false);
        benchmark::DoNotOptimize(dev->BackBuffer()->pixels.data());
    }
}

} // namespace

BENCHMARK(AlphaLayerOurs)->Name("BM_AlphaLayer/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaLayerSdlSoftware)->Name("BM_AlphaLayer/sdl_software")->Unit(benchmark::kMicrosecond);
BENCHMARK(AdventureFrame)->Name("BM_AdventureFrame")->Unit(benchmark::kMicrosecond);
