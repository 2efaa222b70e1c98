#include "tools/pictures/staff_roll_pictures.h"

#include <cstdint>

#include "tools/pictures/picture_files.h"

namespace rollpics {

namespace {

constexpr int kW = 800;
// Credit lines, one strip each from y = 200; headings drawn larger.
const struct {
    const char* text;
    bool heading;
} kLines[] = {
    {"STAFF", true},
    {"PROGRAM", true},
    {"THE ENGINE OF THIS PROJECT", false},
    {"SAMPLE STORY", true},
    {"WRITTEN FOR THIS PROJECT", false},
    {"SOUNDS AND MOVIE", true},
    {"SYNTHESISED WITH FFMPEG", false},
    {"PICTURES", true},
    {"DRAWN BY MKPICS AND MKSCREENPICS", false},
    {"THANK YOU FOR PLAYING", true},
};

void Fill(plat::Surface& s, int l, int t, int r, int b, uint32_t argb) {
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x)
            s.pixels[static_cast<size_t>(y) * s.width + x] = argb;
}

// Vertical gradient between two opaque colours.
plat::Surface Gradient(uint32_t top, uint32_t bottom) {
    plat::Surface s(kW, 600);
    for (int y = 0; y < 600; ++y) {
        uint32_t c = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            int a = (top >> shift) & 0xFF, b = (bottom >> shift) & 0xFF;
            c |= static_cast<uint32_t>(a + (b - a) * y / 599) << shift;
        }
        Fill(s, 0, y, kW, y + 1, c);
    }
    return s;
}

plat::Surface Sheet() {
    const int lines = static_cast<int>(sizeof(kLines) / sizeof(kLines[0]));
    plat::Surface s(kW, 200 + 40 * lines);
    // Bands: dark, thinning toward the roll so names slide out of sight.
    for (int y = 0; y < 100; ++y) {
        const uint32_t alpha = static_cast<uint32_t>(255 - y * 2);
        Fill(s, 0, y, kW, y + 1, alpha << 24 | 0x101018u);
        Fill(s, 0, 199 - y, kW, 200 - y, alpha << 24 | 0x101018u);
    }
    for (int i = 0; i < lines; ++i) {
        const int scale = kLines[i].heading ? 4 : 3;
        const int width = static_cast<int>(std::string(kLines[i].text).size()) * 6 * scale;
        const int top = 200 + 40 * i;
        const uint32_t colour = kLines[i].heading ? 0xFFFFE080u : 0xFFFFFFFFu;
        DrawLabel(s, (kW - width) / 2 + 2, top + (40 - 7 * scale) / 2 + 2, kLines[i].text, 0xC0000000u, scale);
        DrawLabel(s, (kW - width) / 2, top + (40 - 7 * scale) / 2, kLines[i].text, colour, scale);
    }
    return s;
}

} // namespace

std::vector<std::pair<std::string, std::string>> StaffRollPictures() {
    return {
        {"StaffRollMaterial.dds", EncodeDds32(Sheet())},
        {"StaffRollBG01.bmp", EncodeBmp24(Gradient(0xFF203860u, 0xFF80A0C0u))},
        {"StaffRollBG02.bmp", EncodeBmp24(Gradient(0xFF402030u, 0xFFD09060u))},
    };
}

} // namespace rollpics
