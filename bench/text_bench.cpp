// Texture text and GDI text: the message window's worst case per frame, and
// building a long slot with and without rendered glyphs at hand.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "engine/kutextgraphic.h"
#include "platform/gdi_font.h"

namespace {

struct Renderer {
    Renderer() {
        sprite.Initialize(&sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0);
        sprite.CreateTextureTextBuffer(71);
    }
    ~Renderer() { sprite.Release(); }
    int token = 0;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
};

// Full-width characters taken in turn from a mixed run of kana and kanji.
std::string Text(int chars, int perLine) {
    static const char* pool = "あいうえおかきくけこ漢字初期化失敗体験版ラークスピン設定画面音量文章速度選択肢";
    const std::string p(pool);
    std::string s;
    for (int i = 0; i < chars; ++i) {
        if (i && i % perLine == 0)
            s += '\n';
        s += p.substr(static_cast<size_t>(i % static_cast<int>(p.size() / 2)) * 2, 2);
    }
    return s;
}

// Three lines of 30 characters, drawn twice (shadow and text) with the next character fading in.
void BM_MessageWindowText(benchmark::State& state) {
    Renderer r;
    r.sprite.SetTextureTextData(1, Text(90, 30).c_str(), 18, 400, 4, 17, 0);
    r.sprite.D3DXDrawStart();
    const KURECT area{80, 440, 80 + 30 * 18 + 4, 580};
    const KURECT shadow{81, 441, 81 + 30 * 18 + 4, 581};
    for ([[maybe_unused]] auto _ : state) {
        r.sprite.D3DXDrawTextureText(1, &shadow, 0xFF000000u, 89.5f, 4, 0, 6, 1, 1);
        benchmark::DoNotOptimize(r.sprite.D3DXDrawTextureText(1, &area, 0xFFFFFFFFu, 89.5f, 4, 0, 6, 1, 1));
    }
    r.sprite.D3DXDrawEnd();
}
BENCHMARK(BM_MessageWindowText)->Unit(benchmark::kMicrosecond);

// Baseline: the same 90 characters through the GDI text path onto the back buffer.
void BM_MessageWindowGdiBaseline(benchmark::State& state) {
    Renderer r;
    const std::string line = Text(30, 30);
    r.sprite.D3DXDrawStart();
    for ([[maybe_unused]] auto _ : state) {
        for (int i = 0; i < 3; ++i)
            r.sprite.DDTextOut(-1, 80, 440 + 24 * i, line.c_str(), 0xFFFFFF, 18, 400);
    }
    r.sprite.D3DXDrawEnd();
}
BENCHMARK(BM_MessageWindowGdiBaseline)->Unit(benchmark::kMicrosecond);

void BuildSlot(benchmark::State& state, bool cold) {
    Renderer r;
    const std::string text = Text(200, 200);
    for ([[maybe_unused]] auto _ : state) {
        if (cold)
            plat::ClearGlyphCaches();
        benchmark::DoNotOptimize(r.sprite.SetTextureTextData(2, text.c_str(), 18, 400, 4, 17, 0));
    }
}
void BM_Build200CharSlot(benchmark::State& state) { BuildSlot(state, false); }
void BM_Build200CharSlotColdGlyphCache(benchmark::State& state) { BuildSlot(state, true); }
BENCHMARK(BM_Build200CharSlot)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Build200CharSlotColdGlyphCache)->Unit(benchmark::kMicrosecond);

} // namespace
