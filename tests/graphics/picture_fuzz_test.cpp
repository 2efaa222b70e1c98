// Damaged pictures: seeded mutations of small BMP and DDS files of every kind
// the decoder takes, through the header readers and the decoder. A picture
// either decodes to a consistent surface or is refused.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/image_header.h"
#include "platform/surface.h"
#include "platform/video_image.h"
#include "tests/support/fuzz_mutator.h"
#include "tests/support/test_env.h"

namespace {

void Put32(std::string* s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Put16(std::string* s, uint16_t v) {
    s->push_back(static_cast<char>(v & 0xFF));
    s->push_back(static_cast<char>(v >> 8));
}

// A w x h BMP of the given depth; bit-field masks for 16 and 32 bits when asked.
std::string Bmp(int w, int h, int bpp, bool fields, size_t dataCap = SIZE_MAX) {
    const uint32_t stride = ((static_cast<uint32_t>(w) * bpp + 31) / 32) * 4;
    const uint32_t colours = bpp <= 8 ? (1u << bpp) : 0;
    const uint32_t masks = fields ? 12 : 0;
    const uint32_t off = 14 + 40 + masks + colours * 4;
    std::string s = "BM";
    Put32(&s, off + stride * h);
    Put32(&s, 0);
    Put32(&s, off);
    Put32(&s, 40);
    Put32(&s, static_cast<uint32_t>(w));
    Put32(&s, static_cast<uint32_t>(h));
    Put16(&s, 1);
    Put16(&s, static_cast<uint16_t>(bpp));
    Put32(&s, fields ? 3 : 0);
    Put32(&s, stride * h);
    Put32(&s, 2835);
    Put32(&s, 2835);
    Put32(&s, 0);
    Put32(&s, 0);
    if (fields) {
        if (bpp == 16)
            Put32(&s, 0xF800), Put32(&s, 0x07E0), Put32(&s, 0x001F);
        else
            Put32(&s, 0xFF0000), Put32(&s, 0xFF00), Put32(&s, 0xFF);
    }
    for (uint32_t i = 0; i < colours; ++i)
        Put32(&s, i * 0x010203u);
    for (uint32_t i = 0; i < stride * h && i < dataCap; ++i)
        s.push_back(static_cast<char>(i * 37 + 11));
    return s;
}

// A w x h DDS: fourCC DXT1/DXT3/DXT5, or uncompressed with masks.
std::string Dds(int w, int h, uint32_t fourCC, int bits, size_t dataCap = SIZE_MAX) {
    std::string s = "DDS ";
    Put32(&s, 124);
    Put32(&s, 0x100F);
    Put32(&s, static_cast<uint32_t>(h));
    Put32(&s, static_cast<uint32_t>(w));
    Put32(&s, 0);
    Put32(&s, 0);
    Put32(&s, 1);
    for (int i = 0; i < 11; ++i)
        Put32(&s, 0);
    Put32(&s, 32);
    const bool alpha = !fourCC && bits == 32;
    Put32(&s, fourCC ? 0x4 : (0x40 | (alpha ? 0x1 : 0)));
    Put32(&s, fourCC);
    Put32(&s, fourCC ? 0 : static_cast<uint32_t>(bits));
    if (bits == 16)
        Put32(&s, 0xF800), Put32(&s, 0x07E0), Put32(&s, 0x001F), Put32(&s, 0);
    else
        Put32(&s, fourCC ? 0 : 0xFF0000), Put32(&s, fourCC ? 0 : 0xFF00), Put32(&s, fourCC ? 0 : 0xFF),
            Put32(&s, alpha ? 0xFF000000u : 0);
    Put32(&s, 0x1000);
    for (int i = 0; i < 4; ++i)
        Put32(&s, 0);
    size_t data = fourCC ? static_cast<size_t>((w + 3) / 4) * ((h + 3) / 4) * (fourCC == 0x31545844u ? 8 : 16)
                         : static_cast<size_t>(w) * h * (bits / 8);
    for (size_t i = 0; i < data && i < dataCap; ++i)
        s.push_back(static_cast<char>(i * 53 + 7));
    return s;
}

// A palette BMP coded RLE8 or RLE4, each kind of command in its stream; or
// the same pixels uncoded under an OS/2 1.x header.
std::string Coded(int w, int h, int bpp, bool os2) {
    const uint32_t colours = bpp <= 8 ? 1u << bpp : 0;
    std::string pixels;
    if (os2) {
        const uint32_t stride = ((static_cast<uint32_t>(w) * bpp + 31) / 32) * 4;
        for (uint32_t i = 0; i < stride * h; ++i)
            pixels.push_back(static_cast<char>(i * 29 + 3));
    } else {
        for (int y = 0; y < h; ++y) {
            pixels += std::string{3, 0x21, 0, 3, 0x12, 0x34, 0x56, 0, 0, 2, 1, 0};
            pixels += std::string{static_cast<char>(w), 0x43, 0, 0};
        }
        pixels += std::string{0, 1};
    }
    const uint32_t header = os2 ? 12 : 40, entry = os2 ? 3 : 4;
    const uint32_t off = 14 + header + colours * entry;
    std::string s = "BM";
    Put32(&s, off + static_cast<uint32_t>(pixels.size()));
    Put32(&s, 0);
    Put32(&s, off);
    Put32(&s, header);
    if (os2) {
        Put16(&s, static_cast<uint16_t>(w)), Put16(&s, static_cast<uint16_t>(h)), Put16(&s, 1);
        Put16(&s, static_cast<uint16_t>(bpp));
    } else {
        Put32(&s, static_cast<uint32_t>(w)), Put32(&s, static_cast<uint32_t>(h)), Put16(&s, 1);
        Put16(&s, static_cast<uint16_t>(bpp)), Put32(&s, bpp == 8 ? 1 : 2), Put32(&s, 0);
        Put32(&s, 2835), Put32(&s, 2835), Put32(&s, 0), Put32(&s, 0);
    }
    for (uint32_t i = 0; i < colours; ++i)
        for (uint32_t k = 0; k < entry; ++k)
            s.push_back(static_cast<char>(i * 7 + k));
    return s + pixels;
}

// A w x h DDS of 8 or 16 bits: luminance (with alpha at 16 bits) or an
// 8-bit palette.
std::string DdsSmall(int w, int h, bool palette, int bits) {
    std::string s = Dds(w, h, 0, 16, 0);
    const uint32_t flags = palette ? 0x20 : bits == 16 ? 0x20001 : 0x20000;
    const uint32_t masks[] = {palette ? 0u : 0xFFu, 0, 0, bits == 16 ? 0xFF00u : 0u};
    std::memcpy(&s[80], &flags, 4);
    const uint32_t b = static_cast<uint32_t>(bits);
    std::memcpy(&s[88], &b, 4);
    std::memcpy(&s[92], masks, sizeof(masks));
    const size_t data = (palette ? 1024 : 0) + static_cast<size_t>(w) * h * (bits / 8);
    for (size_t i = 0; i < data; ++i)
        s.push_back(static_cast<char>(i * 41 + 5));
    return s;
}

std::vector<std::string> Samples() {
    return {Bmp(7, 5, 24, false),      Bmp(9, 4, 8, false),       Bmp(13, 3, 4, false),      Bmp(17, 2, 1, false),
            Bmp(6, 5, 16, true),       Bmp(5, 6, 32, false),      Bmp(4, 4, 32, true),       Bmp(6, 3, 16, false),
            Dds(9, 7, 0x31545844u, 0), Dds(8, 8, 0x33545844u, 0), Dds(5, 6, 0x35545844u, 0), Dds(6, 5, 0, 32),
            Dds(7, 3, 0, 24),          Dds(5, 5, 0, 16),          Coded(9, 4, 8, false),     Coded(11, 3, 4, false),
            Coded(7, 3, 8, true),      Coded(5, 4, 24, true),     DdsSmall(5, 3, false, 8),  DdsSmall(4, 3, false, 16),
            DdsSmall(6, 2, true, 8)};
}

// Standard output silenced while it lives (the header readers print there).
class QuietStdout {
public:
    QuietStdout() {
        fflush(stdout);
        saved_ = dup(1);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~QuietStdout() {
        fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
    }

private:
    int saved_;
};

void CheckSurface(const plat::Surface& s, uint64_t seed) {
    ASSERT_GT(s.width, 0) << "seed " << seed;
    ASSERT_GT(s.height, 0) << "seed " << seed;
    ASSERT_LE(s.width, kMaxPictureSide) << "seed " << seed;
    ASSERT_LE(s.height, kMaxPictureSide) << "seed " << seed;
    ASSERT_EQ(s.pixels.size(), static_cast<size_t>(s.width) * s.height) << "seed " << seed;
}

TEST(PictureFuzz, SamplesDecode) {
    for (const std::string& b : Samples()) {
        plat::Surface s;
        EXPECT_TRUE(plat::DecodePicture(b, &s)) << b.substr(0, 4);
    }
}

TEST(PictureFuzz, LargestSidesWithoutTheirPixelsAreRefused) {
    // A bare header claiming 16384 x 16384 pixels must be refused from its
    // size alone, not after setting up a 1 GiB picture for it.
    for (const std::string& b :
         {Dds(16384, 16384, 0, 32, 64), Dds(16384, 16384, 0x31545844u, 0, 64), Dds(16384, 16384, 0x35545844u, 0, 64),
          Bmp(16384, 16384, 24, false, 64), Coded(16384, 16384, 8, false).substr(0, 14 + 40 + 1024 + 64)}) {
        plat::Surface s;
        EXPECT_FALSE(plat::DecodePicture(b, &s));
        EXPECT_TRUE(s.pixels.empty());
    }
}

TEST(PictureFuzz, DamagedPicturesDecodeConsistentlyOrAreRefused) {
    const std::vector<std::string> samples = Samples();
    int decoded = 0;
    for (uint64_t seed = 0; seed < 4000; ++seed) {
        const std::string b = kutest::Mutate(samples[seed % samples.size()], seed);
        plat::Surface s;
        if (plat::DecodePicture(b, &s)) {
            ++decoded;
            CheckSurface(s, seed);
        } else {
            ASSERT_TRUE(s.pixels.empty()) << "seed " << seed; // a refusal leaves the output alone
        }
    }
    EXPECT_GT(decoded, 500);
}

TEST(PictureFuzz, DamagedHeadersGiveAKindAndASaneSizeOrFail) {
    kutest::TempDir dir;
    const std::vector<std::string> samples = Samples();
    kutest::DebugCapture quiet;
    QuietStdout mute;
    for (uint64_t seed = 0; seed < 1500; ++seed) {
        const std::string b = kutest::Mutate(samples[seed % samples.size()], seed);
        dir.Write("p.bmp", b);
        uint32_t w = 0, h = 0, bpp = 0;
        const int kind = GetFileInfoGraphics("p.bmp", &w, &h, &bpp);
        ASSERT_TRUE(kind >= 0 && kind <= 2) << "seed " << seed;
        if (kind) {
            ASSERT_TRUE(w >= 1 && w <= static_cast<uint32_t>(kMaxPictureSide)) << "seed " << seed;
            ASSERT_TRUE(h >= 1 && h <= static_cast<uint32_t>(kMaxPictureSide)) << "seed " << seed;
        }
        KU_DDSURFACEDESC2 desc;
        KU_BITMAPINFOHEADER info;
        const int dds = GetFileInfoDDS("p.bmp", &desc);
        const int bmp = GetFileInfoBMP("p.bmp", &info);
        ASSERT_TRUE(dds == 0 || dds == 1);
        ASSERT_TRUE(bmp == 0 || bmp == 1);
        plat::Surface s;
        if (plat::LoadPictureFile("p.bmp", &s))
            CheckSurface(s, seed);
    }
}

} // namespace
