// Damaged media files through the FFmpeg-backed decoders: seeded mutations of
// the WAV, Ogg, mp3, mp2 and MPEG fixtures. Opening either fails or gives a
// decoder whose reads, rewinds and pictures stay consistent.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/media_audio_decoder.h"
#include "platform/media_video_decoder.h"
#include "tests/audio/audio_fixtures.h"
#include "tests/support/fuzz_mutator.h"
#include "tests/support/test_env.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Reads at most maxFrames (a damaged rate may stretch a few bytes into hours).
int64_t ReadSome(plat::AudioDecoder* dec, int64_t maxFrames) {
    std::vector<float> block(2048 * plat::kAudioChannels);
    int64_t total = 0;
    while (total < maxFrames) {
        const int n = dec->Read(block.data(), 2048);
        EXPECT_GE(n, 0);
        EXPECT_LE(n, 2048);
        total += n;
        if (n < 2048)
            break;
    }
    return total;
}

TEST(MediaFuzz, DamagedAudioFilesOpenAndReadOrFail) {
    kutest::TempDir dir;
    const std::vector<std::string> samples = {
        audiotest::WavBytes(22050, 1, 2000, 440.0), audiotest::WavBytes(44100, 2, 1500, 660.0),
        Slurp(audiotest::Fixture("tone.ogg")), Slurp(audiotest::Fixture("tone.mp3")),
        Slurp(audiotest::Fixture("switch.mp2"))};
    for (const std::string& s : samples)
        ASSERT_GT(s.size(), 1000u);
    int opened = 0;
    for (uint64_t seed = 0; seed < 300; ++seed) {
        const std::string path = "m" + std::to_string(seed % 3) + ".bin";
        dir.Write(path, kutest::Mutate(samples[seed % samples.size()], seed));
        plat::AudioDecoder dec;
        if (!dec.Open(path)) {
            ASSERT_FALSE(dec.IsOpen());
            continue;
        }
        ++opened;
        ASSERT_GE(dec.Duration100ns(), 0) << "seed " << seed;
        const int64_t first = ReadSome(&dec, plat::kAudioRate * 4);
        ASSERT_EQ(dec.FramesRead(), first) << "seed " << seed;
        if (seed % 5 == 0) {
            // Back to the start and to a frame past whatever is there.
            ASSERT_TRUE(dec.Rewind()) << "seed " << seed;
            ASSERT_EQ(dec.FramesRead(), 0);
            ASSERT_TRUE(dec.SeekToFrame(first / 2)) << "seed " << seed;
            ASSERT_LE(dec.FramesRead(), first / 2);
            dec.AtEnd();
        }
    }
    EXPECT_GT(opened, 100);
}

TEST(MediaFuzz, AbsurdSampleRatesDecodeToNothing) {
    // A damaged rate field: at 1 Hz every stored sample would become 44100
    // output frames (a few KB of file, hundreds of MB decoded); rates far
    // above any real one are as unusable. Neither is decoded.
    kutest::TempDir dir;
    for (int rate : {1, 100, 3999, 1000000000}) {
        dir.Write("r.wav", audiotest::WavBytes(rate, 1, 2000, 1.0));
        plat::PcmBuffer pcm;
        EXPECT_TRUE(plat::DecodeAudioFile("r.wav", &pcm)) << rate;
        EXPECT_EQ(pcm.frames, 0) << rate;
        plat::AudioDecoder dec;
        ASSERT_TRUE(dec.Open("r.wav"));
        EXPECT_TRUE(dec.AtEnd()) << rate;
    }
    // The lowest telephone rate still plays: 2000 frames at 8 kHz.
    dir.Write("r.wav", audiotest::WavBytes(8000, 1, 2000, 440.0));
    plat::PcmBuffer pcm;
    ASSERT_TRUE(plat::DecodeAudioFile("r.wav", &pcm));
    EXPECT_NEAR(static_cast<double>(pcm.frames), 2000.0 * 44100 / 8000, 64.0);
}

TEST(MediaFuzz, DamagedMoviesGivePicturesOrFail) {
    kutest::TempDir dir;
    // The movie cut to its first 40 KB keeps the test short; still many pictures.
    const std::string movie = Slurp(audiotest::Fixture("movie.mpg")).substr(0, 40000);
    const std::string videoOnly = Slurp(audiotest::Fixture("video_only.mpg"));
    ASSERT_EQ(movie.size(), 40000u);
    int opened = 0;
    for (uint64_t seed = 0; seed < 60; ++seed) {
        dir.Write("v.mpg", kutest::Mutate(seed % 2 ? movie : videoOnly, seed));
        plat::VideoDecoder dec;
        if (!dec.Open("v.mpg"))
            continue;
        ++opened;
        ASSERT_GT(dec.Width(), 0);
        ASSERT_GT(dec.Height(), 0);
        plat::Surface s;
        for (int64_t t : {0LL, 4000000LL, 12000000LL, 0LL, 30000000LL}) {
            if (dec.PictureAt(t, &s)) {
                ASSERT_GT(s.width, 0) << "seed " << seed;
                ASSERT_EQ(s.pixels.size(), static_cast<size_t>(s.width) * s.height) << "seed " << seed;
            }
        }
        // The audio of the same damaged movie.
        plat::AudioDecoder audio;
        if (audio.Open("v.mpg"))
            ReadSome(&audio, plat::kAudioRate * 3);
    }
    EXPECT_GT(opened, 10);
}

} // namespace
