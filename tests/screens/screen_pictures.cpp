#include "tests/screens/screen_pictures.h"

#include <cstring>

#include "platform/files.h"
#include "tools/archive_writer.h"

namespace screens {

namespace {

void Put32(std::string& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }
void Put16(std::string& b, size_t at, uint16_t v) { std::memcpy(&b[at], &v, 2); }

uint32_t Mix(uint32_t a, uint32_t b, int num, int den) {
    uint32_t out = 0;
    for (int s = 0; s < 32; s += 8) {
        int ca = (a >> s) & 0xFF, cb = (b >> s) & 0xFF;
        out |= static_cast<uint32_t>(ca + (cb - ca) * num / den) << s;
    }
    return out;
}

Canvas Logo() {
    Canvas c(420, 298, 0xFF203060);
    c.Box(0, 0, 420, 298, 0xFF203060, 0xFFC0C8FF, 8);
    // Three blocks standing for a word mark, and an underline.
    c.Fill(60, 80, 140, 200, 0xFFF0F0FF);
    c.Fill(170, 80, 250, 200, 0xFF80A0FF);
    c.Fill(280, 80, 360, 200, 0xFFF0F0FF);
    c.Fill(60, 224, 360, 236, 0xFFFFD040);
    return c;
}

Canvas TitleBackground(bool day) {
    Canvas c(800, 600, 0);
    uint32_t top = day ? 0xFF70B0F0 : 0xFF000018;
    uint32_t bottom = day ? 0xFFE0F0FF : 0xFF183060;
    for (int y = 0; y < 600; ++y) c.Fill(0, y, 800, y + 1, Mix(top, bottom, y, 599));
    c.Fill(0, 520, 800, 600, day ? 0xFF509050 : 0xFF102018);
    if (!day) {
        // Stars on a fixed pattern.
        for (int i = 0; i < 120; ++i) {
            int x = (i * 173) % 797, y = (i * 97) % 480;
            c.Fill(x, y, x + 2, y + 2, 0xFFFFFFE0);
        }
    } else {
        c.Fill(620, 60, 700, 140, 0xFFFFF0A0);  // the sun
    }
    return c;
}

Canvas TitleMaterial() {
    Canvas c(880, 384, 0x00000000);
    c.Box(0, 0, 544, 176, 0xFF304080, 0xFFFFFFFF, 4);
    for (int i = 0; i < 5; ++i) c.Fill(40 + i * 96, 48, 112 + i * 96, 128, 0xFFF0F0FF);
    c.Fill(0, 176, 544, 352, 0x80000000);
    c.Box(0, 352, 352, 376, 0xFF404040, 0xFFA0A0A0, 1);
    c.Fill(0, 376, 800, 384, 0xC0FFFFFF);
    const uint32_t kinds[3] = {0xFF606060, 0xFFE0C040, 0xFFC06020};
    for (int top : {0, 24, 48, 72, 96, 120}) {
        for (int k = 0; k < 3; ++k) c.Box(544 + 112 * k, top, 656 + 112 * k, top + 24, kinds[k], 0xFFFFFFFF, 2);
    }
    return c;
}

Canvas ConfigBackground() {
    Canvas c(800, 600, 0xFF303848);
    const int portraits[6][4] = {{65, 44, 202, 133},   {86, 132, 185, 223}, {15, 290, 191, 370},
                                 {93, 523, 135, 600}, {27, 553, 90, 600},   {141, 555, 214, 600}};
    const uint32_t colours[6] = {0xFFC08080, 0xFF80C080, 0xFF8080C0, 0xFFC0C080, 0xFF80C0C0, 0xFFC080C0};
    for (int i = 0; i < 6; ++i) c.Fill(portraits[i][0], portraits[i][1], portraits[i][2], portraits[i][3], colours[i]);
    // Row labels.
    for (int y : {174, 206, 238, 300, 333, 363, 426, 458, 489}) c.Fill(230, y + 4, 330, y + 20, 0xFF8890A0);
    return c;
}

Canvas ConfigMaterial() {
    Canvas c(440, 192, 0x00000000);
    // Normal rows grey, selected rows green; cells separated by their borders.
    const int cellsX[4][5] = {{0, 64, 176, -1, -1}, {0, 104, 200, -1, -1}, {0, 48, 96, 144, -1}, {0, 32, 64, -1, -1}};
    const int rowTop[4] = {0, 48, 96, 144};
    for (int r = 0; r < 4; ++r) {
        for (int i = 0; i < 4 && cellsX[r][i + 1] >= 0; ++i) {
            c.Box(cellsX[r][i], rowTop[r], cellsX[r][i + 1], rowTop[r] + 24, 0xFF707070, 0xFFD0D0D0, 1);
            c.Box(cellsX[r][i], rowTop[r] + 24, cellsX[r][i + 1], rowTop[r] + 48, 0xFF30A040, 0xFFD0FFD0, 1);
        }
    }
    // Anti-alias cells and volume 0, then the volume columns 1..10.
    const int aa[5] = {176, 216, 288, 360, 432};
    for (int i = 0; i < 4; ++i) {
        c.Box(aa[i], 0, aa[i + 1], 24, 0xFF707070, 0xFFD0D0D0, 1);
        c.Box(aa[i], 24, aa[i + 1], 48, 0xFF30A040, 0xFFD0FFD0, 1);
    }
    for (int v = 1; v <= 10; ++v) {
        int l = 200 + 24 * (v - 1);
        c.Box(l, 48, l + 24, 72, Mix(0xFF505050, 0xFFA0A0A0, v, 10), 0xFFD0D0D0, 1);
        c.Box(l, 72, l + 24, 96, Mix(0xFF207030, 0xFF60E070, v, 10), 0xFFD0FFD0, 1);
    }
    c.Box(144, 96, 408, 120, 0xFF4060C0, 0xFFFFFFFF, 2);
    c.Box(144, 120, 408, 144, 0xFF8040A0, 0xFFFFFFFF, 2);
    c.Box(144, 144, 408, 168, 0xFF203070, 0xFFFFFFFF, 2);
    c.Box(144, 168, 408, 192, 0xFF502070, 0xFFFFFFFF, 2);
    return c;
}

Canvas MessageWindow() {
    Canvas c(776, 232, 0x00000000);
    c.Box(0, 0, 540, 116, 0xC0102040, 0xFFA0B0FF, 3);
    c.Box(0, 116, 540, 232, 0xC0203050, 0xFFA0B0FF, 3);
    c.Fill(540, 0, 592, 29, 0xFFFFFFFF);
    c.Box(544, 32, 776, 56, 0xFF40A040, 0xFFFFFFFF, 2);
    c.Box(544, 56, 776, 80, 0xFFA04040, 0xFFFFFFFF, 2);
    c.Box(544, 80, 776, 104, 0xFF206020, 0xFFFFFFFF, 2);
    c.Box(544, 104, 776, 128, 0xFF602020, 0xFFFFFFFF, 2);
    return c;
}

}  // namespace

Canvas::Canvas(int width, int height, uint32_t fill) : w(width), h(height), px(static_cast<size_t>(width) * height, fill) {}

void Canvas::Fill(int l, int t, int r, int b, uint32_t argb) {
    for (int y = t < 0 ? 0 : t; y < b && y < h; ++y)
        for (int x = l < 0 ? 0 : l; x < r && x < w; ++x) px[static_cast<size_t>(y) * w + x] = argb;
}

void Canvas::Box(int l, int t, int r, int b, uint32_t fill, uint32_t border, int width) {
    Fill(l, t, r, b, border);
    Fill(l + width, t + width, r - width, b - width, fill);
}

std::string ToBmp24(const Canvas& c) {
    const size_t stride = (static_cast<size_t>(c.w) * 3 + 3) & ~size_t(3);
    std::string b(54 + stride * c.h, '\0');
    b[0] = 'B', b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(c.w));
    Put32(b, 22, static_cast<uint32_t>(c.h));
    Put16(b, 26, 1);
    Put16(b, 28, 24);
    for (int y = 0; y < c.h; ++y) {
        char* row = &b[54 + stride * (c.h - 1 - y)];
        for (int x = 0; x < c.w; ++x) {
            uint32_t p = c.px[static_cast<size_t>(y) * c.w + x];
            std::memcpy(row + x * 3, &p, 3);
        }
    }
    return b;
}

std::string ToDds32(const Canvas& c) {
    std::string b(128 + static_cast<size_t>(c.w) * c.h * 4, '\0');
    std::memcpy(&b[0], "DDS ", 4);
    Put32(b, 4, 124);
    Put32(b, 8, 0x100F);
    Put32(b, 12, static_cast<uint32_t>(c.h));
    Put32(b, 16, static_cast<uint32_t>(c.w));
    Put32(b, 20, static_cast<uint32_t>(c.w * 4));
    Put32(b, 76, 32);
    Put32(b, 80, 0x41);  // RGB with alpha
    Put32(b, 88, 32);
    Put32(b, 92, 0x00FF0000);
    Put32(b, 96, 0x0000FF00);
    Put32(b, 100, 0x000000FF);
    Put32(b, 104, 0xFF000000);
    Put32(b, 108, 0x1000);
    std::memcpy(&b[128], c.px.data(), c.px.size() * 4);
    return b;
}

std::vector<std::pair<std::string, std::string>> ScreenPictures() {
    return {
        {"ConfigBG.bmp", ToBmp24(ConfigBackground())},
        {"ConfigMaterial.dds", ToDds32(ConfigMaterial())},
        {"fade.bmp", ToBmp24(Canvas(800, 600, 0xFFFFFFFF))},
        {"logo.bmp", ToBmp24(Logo())},
        {"MessageWindow.dds", ToDds32(MessageWindow())},
        {"TitleBG.bmp", ToBmp24(TitleBackground(true))},
        {"TitleBG2.bmp", ToBmp24(TitleBackground(false))},
        {"TitleMaterial.dds", ToDds32(TitleMaterial())},
    };
}

bool WriteScreenArchive(const std::string& gameDir) {
    const std::string dat = gameDir.empty() ? "dat" : gameDir + "/dat";
    plat::MakeDir(dat);
    std::vector<ArchiveMember> members;
    for (auto& [name, bytes] : ScreenPictures()) members.push_back(ArchiveMember{name, "", bytes});
    std::string error;
    return WriteArchive(dat + "/Img.dat", members, false, &error);
}

}  // namespace screens
