// Mixing and movie-decoding costs of the audio layer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/audio_output.h"
#include "platform/media_audio_decoder.h"
#include "platform/media_graph.h"
#include "platform/media_video_decoder.h"
#include "platform/audio_output_test_hooks.h"

namespace {

std::string FixtureDir() {
    std::string here = __FILE__;
    return here.substr(0, here.rfind('/')) + "/../tests/audio/data/";
}

std::string WriteWav(const std::string& path, int frames, double freq) {
    std::string d;
    auto u32 = [&d](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&d](uint16_t v) {
        d.push_back(static_cast<char>(v & 0xFF));
        d.push_back(static_cast<char>(v >> 8));
    };
    d += "RIFF";
    u32(36 + static_cast<uint32_t>(frames) * 2);
    d += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    d += "data";
    u32(static_cast<uint32_t>(frames) * 2);
    for (int i = 0; i < frames; ++i)
        u16(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(2 * M_PI * freq * i / 22050))));
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
        fwrite(d.data(), 1, d.size(), f);
        fclose(f);
    }
    return path;
}

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Ten seconds of output with eight looping sound effects, a voice and music
// (the music an mp3 that is rewound whenever it ends), pulled in device-sized
// blocks.
void BM_MixTenSeconds(benchmark::State& state) {
    plat::AudioOutputUseManual(true);
    auto& mixer = plat::AudioMixer::Get();
    mixer.Reset();
    const int bus = mixer.CreateBus(-600);
    std::vector<std::shared_ptr<plat::PcmBuffer>> effects;
    for (int i = 0; i < 8; ++i) {
        auto pcm = std::make_shared<plat::PcmBuffer>();
        plat::DecodeAudioFile(WriteWav("/tmp/ku_bench_se" + std::to_string(i) + ".wav", 6615, 400 + 90 * i), pcm.get());
        effects.push_back(pcm);
    }
    plat::MediaGraph voice;
    voice.RenderFile(WriteWav("/tmp/ku_bench_voice.wav", 22050 * 10, 220));
    plat::MediaGraph music;
    music.RenderFile(FixtureDir() + "tone.mp3");
    voice.PutVolume(-400);
    music.PutVolume(-800);
    std::vector<float> block(1024 * 2);
    double cpu = 0;
    for ([[maybe_unused]] auto _ : state) {
        for (auto& e : effects)
            mixer.PlayBuffer(e, bus, true);
        const int64_t zero = 0;
        voice.SetPositions(&zero, nullptr);
        music.SetPositions(&zero, nullptr);
        voice.Run();
        music.Run();
        const double t0 = CpuSeconds();
        for (int done = 0; done < 441000; done += 1024) {
            mixer.Render(block.data(), 1024);
            int32_t code = 0;
            intptr_t p1 = 0;
            intptr_t p2 = 0;
            if (music.GetEvent(&code, &p1, &p2, 0) == plat::kMediaOk)
                music.SetPositions(&zero, nullptr);
        }
        cpu += CpuSeconds() - t0;
        benchmark::DoNotOptimize(block.data());
        mixer.StopAllBuffers();
    }
    state.counters["cpu_percent_of_realtime"] = 100.0 * cpu / (10.0 * static_cast<double>(state.iterations()));
    mixer.Reset();
}
BENCHMARK(BM_MixTenSeconds)->Unit(benchmark::kMillisecond);

// Every picture of a 320 x 240 MPEG-1 movie, decoded and converted to ARGB.
void BM_DecodeMoviePictures(benchmark::State& state) {
    int64_t pictures = 0;
    const double t0 = CpuSeconds();
    for ([[maybe_unused]] auto _ : state) {
        plat::VideoDecoder dec;
        dec.Open(FixtureDir() + "movie.mpg");
        plat::Surface out;
        for (int64_t t = 0; t <= dec.Duration100ns() + 400000; t += 400000)
            dec.PictureAt(t, &out);
        pictures += dec.PicturesDecoded();
        benchmark::DoNotOptimize(out.pixels.data());
    }
    state.counters["pictures"] = static_cast<double>(pictures) / static_cast<double>(state.iterations());
    state.counters["cpu_ms_per_picture"] = 1000.0 * (CpuSeconds() - t0) / static_cast<double>(pictures ? pictures : 1);
}
BENCHMARK(BM_DecodeMoviePictures)->Unit(benchmark::kMillisecond);

} // namespace
