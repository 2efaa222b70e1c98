// Generates the sample game's generic pictures: gradients, shapes and labels
// of our own making, as BMP (backgrounds, opaque) and DDS with alpha
// (materials), at the sizes the game's slot tables and screens use; mkscreenpics
// then writes the drawn screens and story pictures over them.
//   mkpics <out folder>    writes <out folder>/Img/<name>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/pictures/picture_files.h"

namespace {

uint32_t Mix(uint32_t c0, uint32_t c1, double t) {
    auto ch = [&](int sh) {
        double v = ((c0 >> sh) & 0xFF) * (1 - t) + ((c1 >> sh) & 0xFF) * t;
        return static_cast<uint32_t>(std::lround(v)) << sh;
    };
    return ch(24) | ch(16) | ch(8) | ch(0);
}

// A vertical two-colour gradient with soft diagonal bands and circles.
plat::Surface Background(int w, int h, uint32_t top, uint32_t bottom, int seed) {
    plat::Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t c = Mix(top, bottom, double(y) / std::max(1, h - 1));
            double band = 0.5 + 0.5 * std::sin((x + y * 0.6) / (37.0 + seed * 5));
            c = Mix(c, 0xFFFFFFFFu, band * 0.08);
            s.Row(y)[x] = c | 0xFF000000u;
        }
    for (int k = 0; k < 5; ++k) {
        int cx = (seed * 131 + k * 173) % w, cy = (seed * 71 + k * 97) % h, r = 40 + (k * 29 + seed * 13) % 90;
        for (int y = std::max(0, cy - r); y < std::min(h, cy + r); ++y)
            for (int x = std::max(0, cx - r); x < std::min(w, cx + r); ++x) {
                double d = std::hypot(x - cx, y - cy);
                if (d < r)
                    s.Row(y)[x] = Mix(s.Row(y)[x], 0xFFFFFFFFu, 0.18 * (1 - d / r)) | 0xFF000000u;
            }
    }
    return s;
}

// A material sheet: a grid of framed cells with translucent fills and
// labels, so that any source rectangle of a screen shows a visible part.
plat::Surface Material(int w, int h, uint32_t tint, int cell) {
    plat::Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int cx = x % cell, cy = y % cell;
            bool border = cx < 2 || cy < 2 || cx >= cell - 2 || cy >= cell - 2;
            double t = double(cy) / cell;
            uint32_t fill = Mix(tint, 0xFF202040u, t);
            s.Row(y)[x] = border ? 0xFFFFFFFFu : ((fill & 0x00FFFFFFu) | 0xC0000000u);
        }
    for (int y = 0; y < h; y += cell)
        for (int x = 0; x < w; x += cell) {
            char label[16];
            std::snprintf(label, sizeof(label), "%d.%d", x / cell, y / cell);
            DrawLabel(s, x + 6, y + 6, label, 0xFFFFFFFFu, 1);
        }
    return s;
}

// A window frame: rounded, translucent body with an opaque rim.
plat::Surface Window(int w, int h, uint32_t body) {
    plat::Surface s(w, h);
    const int r = 14;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int dx = std::max({r - x, x - (w - 1 - r), 0}), dy = std::max({r - y, y - (h - 1 - r), 0});
            double d = std::hypot(dx, dy);
            if (d > r)
                continue;
            bool rim = d > r - 3 || (dx == 0 && dy == 0 && (x < 3 || y < 3 || x >= w - 3 || y >= h - 3));
            s.Row(y)[x] = rim ? 0xFFE8E8FFu : ((body & 0x00FFFFFFu) | 0xB0000000u);
        }
    return s;
}

struct Output {
    std::string dir;
    int count = 0;
    bool ok = true;
    void Bmp(const std::string& name, const plat::Surface& s) { Put(name, EncodeBmp24(s)); }
    void Dds(const std::string& name, const plat::Surface& s) { Put(name, EncodeDds32(s)); }
    void Put(const std::string& name, const std::string& bytes) {
        if (!WriteBytes(dir + "/" + name, bytes)) {
            std::fprintf(stderr, "mkpics: cannot write %s/%s\n", dir.c_str(), name.c_str());
            ok = false;
        }
        ++count;
    }
};

plat::Surface Labeled(plat::Surface s, const std::string& text) {
    DrawLabel(s, 24, 24, text, 0xFFFFFFFFu, 3);
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkpics <out folder>\n");
        return 2;
    }
    Output out;
    out.dir = std::string(argv[1]) + "/Img";
    mkdir(argv[1], 0755);
    mkdir(out.dir.c_str(), 0755);

    // Fixed slots of the game.
    plat::Surface black(800, 600);
    for (uint32_t& p : black.pixels)
        p = 0xFF000000u;
    out.Bmp("fade.bmp", black);
    {
        plat::Surface logo = Background(420, 298, 0xFF203060u, 0xFF6080C0u, 1);
        DrawLabel(logo, 90, 120, "SAMPLE GAME", 0xFFFFFFFFu, 4);
        out.Bmp("logo.bmp", logo);
    }
    {
        plat::Surface mw = Window(540, 116, 0xFF102040u);
        out.Dds("MessageWindow.dds", mw);
    }
    out.Dds("Controller.dds", Material(512, 256, 0xFF406080u, 32));
    out.Dds("SelectWindow.dds", Window(540, 116, 0xFF403010u));
    out.Dds("TitleMaterial.dds", Material(1024, 512, 0xFF804060u, 64));
    out.Bmp("TitleBG.bmp", Labeled(Background(800, 600, 0xFF88B8F0u, 0xFFF0E0C0u, 2), "TITLE"));
    out.Bmp("TitleBG2.bmp", Labeled(Background(800, 600, 0xFF101838u, 0xFF403060u, 3), "TITLE NIGHT"));
    out.Dds("SaveLoadMaterial.dds", Material(1024, 512, 0xFF306040u, 36));
    out.Bmp("SaveBG.bmp", Labeled(Background(800, 600, 0xFF305070u, 0xFF102030u, 4), "SAVE"));
    out.Bmp("LoadBG.bmp", Labeled(Background(800, 600, 0xFF507030u, 0xFF203010u, 5), "LOAD"));
    out.Dds("Test_Mode_Material.dds", Material(1024, 512, 0xFF605030u, 64));
    out.Bmp("Test_Mode_bg01.bmp", Labeled(Background(800, 600, 0xFFE0E0D0u, 0xFFA0B0A0u, 6), "TEST 1"));
    out.Bmp("Test_Mode_bg02.bmp", Labeled(Background(800, 600, 0xFFD0E0E0u, 0xFFA0A0B0u, 7), "TEST 2"));
    out.Bmp("Test_Mode_bg03.bmp", Labeled(Background(800, 600, 0xFFE0D0E0u, 0xFFB0A0A0u, 8), "TEST 3"));
    out.Dds("ConfigMaterial.dds", Material(1024, 512, 0xFF405080u, 64));
    out.Bmp("ConfigBG.bmp", Labeled(Background(800, 600, 0xFF404860u, 0xFF202430u, 9), "CONFIG"));
    out.Dds("CGModeMaterial.dds", Material(1024, 512, 0xFF704050u, 64));
    out.Dds("CGReplay_Controller.dds", Material(512, 256, 0xFF704050u, 32));
    out.Bmp("CGModeBG.bmp", Labeled(Background(800, 600, 0xFF503040u, 0xFF201018u, 10), "GALLERY"));
    out.Bmp("CGModeBG2.bmp", Labeled(Background(800, 600, 0xFF302030u, 0xFF100810u, 11), "GALLERY 2"));
    out.Dds("BGMModeMaterial.dds", Material(1024, 512, 0xFF305070u, 64));
    out.Dds("BGM_Controller.dds", Material(512, 256, 0xFF305070u, 32));
    out.Bmp("BGMModeBG.bmp", Labeled(Background(800, 600, 0xFF203850u, 0xFF101820u, 12), "MUSIC"));
    out.Dds("StaffRollMaterial.dds", Material(1024, 512, 0xFF505050u, 64));

    // The story's backgrounds, characters and event pictures come from mkscreenpics.
    if (!out.ok)
        return 1;
    std::printf("mkpics: %d pictures in %s\n", out.count, out.dir.c_str());
    return 0;
}
