#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tests/support/test_env.h"
#include "tools/pictures/gallery_pictures.h"

namespace {

struct Size {
    int w = 0, h = 0;
    std::string bytes;
};

int Get32(const std::string& b, size_t at) {
    int32_t v = 0;
    std::memcpy(&v, &b[at], 4);
    return v;
}

Size Measure(const std::string& b) {
    if (b.compare(0, 2, "BM") == 0)
        return {Get32(b, 18), Get32(b, 22), b};
    if (b.compare(0, 4, "DDS ") == 0)
        return {Get32(b, 16), Get32(b, 12), b};
    return {};
}

// Alpha of one DDS pixel (32-bit rows after the 128-byte header).
int DdsAlpha(const Size& s, int x, int y) {
    return static_cast<unsigned char>(s.bytes[128 + (static_cast<size_t>(y) * s.w + x) * 4 + 3]);
}

bool Inside(const Size& s, int l, int t, int r, int b) { return l >= 0 && t >= 0 && r <= s.w && b <= s.h && l < r; }

} // namespace

// Every rectangle the gallery cuts from the sample's pictures lies inside
// them, and every picture the sample's data script names is made.
TEST(GalleryPictures, EveryCutLiesInsideItsPicture) {
    std::map<std::string, Size> pics;
    for (const auto& [name, bytes] : screens::GalleryPictures())
        pics[name] = Measure(bytes);
    for (const char* bg : {"CGModeBG.bmp", "CGModeBG2.bmp"}) {
        EXPECT_EQ(pics[bg].w, 800);
        EXPECT_EQ(pics[bg].h, 600);
    }
    const Size& mat = pics["CGModeMaterial.dds"];
    // One point inside each piece: episode buttons, locked button, lock tile,
    // badge, label, slash, digits, arrows, panel, list and replay, exit and
    // its pushed look.
    const int pieces[][4] = {{0, 0, 112, 72},      {224, 72, 336, 144},  {336, 72, 448, 144},  {136, 144, 272, 248},
                             {272, 144, 304, 168}, {0, 248, 40, 264},    {40, 248, 56, 264},   {56, 248, 72, 264},
                             {200, 248, 216, 264}, {272, 168, 328, 200}, {328, 168, 384, 200}, {272, 200, 416, 240},
                             {272, 240, 360, 256}, {272, 256, 408, 272}, {0, 264, 264, 288},   {0, 288, 264, 312}};
    for (const auto& p : pieces) {
        ASSERT_TRUE(Inside(mat, p[0], p[1], p[2], p[3]));
        EXPECT_NE(DdsAlpha(mat, (p[0] + p[2]) / 2, (p[1] + p[3]) / 2), 0) << p[0] << "," << p[1];
    }
    std::ifstream in(kutest::SourceDir() + "/sample/Scenario/CGModeData.txt");
    ASSERT_TRUE(in.good());
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        int e = 0, k = 0, p = 0, x = 0, y = 0;
        char file[128] = {};
        if (std::sscanf(line.c_str(), "EPISODE%2d-SCENE%2d-PAGE%2d-X%2d-Y%2d %127s", &e, &k, &p, &x, &y, file) == 6) {
            char atlas[40];
            std::snprintf(atlas, sizeof atlas, "TH_CG_EPI%02d_SC%02d.bmp", e, k);
            EXPECT_TRUE(
                Inside(pics[atlas], (x - 1) * 136, ((p - 1) * 3 + y - 1) * 104, x * 136, ((p - 1) * 3 + y) * 104))
                << line;
            const Size& view = pics[file];
            EXPECT_TRUE(view.w > 0 && view.w <= 800 && view.h > 0 && view.h <= 600) << file;
            ++lines;
        } else if (std::sscanf(line.c_str(), "EPISODE%2d-SCENE%2d %127s", &e, &k, file) == 3) {
            char atlas[32];
            std::snprintf(atlas, sizeof atlas, "TH_SC_EPI%02d.bmp", e);
            const int q = (k - 1) / 5 + 1, c = (k - 1) % 5 + 1;
            EXPECT_TRUE(Inside(pics[atlas], (c - 1) * 136, (q - 1) * 104, c * 136, q * 104)) << line;
        }
    }
    EXPECT_GT(lines, 10);
}
