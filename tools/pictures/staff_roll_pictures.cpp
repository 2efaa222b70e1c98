#include "tools/pictures/staff_roll_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/pictures/paint.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/story_pictures.h"

namespace rollpics {

namespace {

using paint::Captions;

constexpr int kW = 800;
constexpr int kBands = 200; // the top and bottom bands, 100 rows each
constexpr int kColumn = 400; // the credits rise in the right half of the screen

// The lettering of the game's own captions: white or gold over a navy edge
// (the title's lighter navy), with a soft shadow below right.
constexpr uint32_t kInk = 0xFFFFFFFF, kGold = 0xFFF6D98A, kEdge = 0xFF1A2A48, kLogoEdge = 0xFF2A4A8A;

enum class Kind { kRole, kName, kCast, kEnd };

struct Line {
    const char* id;
    Kind kind;
    const char* text;
    const char* sub; // the cast line's character, the end line's maker
};

const Line kLines[] = {
    {"SCENARIO", Kind::kRole, "シナリオ", nullptr},
    {"SCENARIO_BY", Kind::kName, "宮坂 律子", nullptr},
    {"ART", Kind::kRole, "原画", nullptr},
    {"ART_BY", Kind::kName, "白石 なつめ", nullptr},
    {"MUSIC", Kind::kRole, "音楽", nullptr},
    {"MUSIC_BY", Kind::kName, "青柳 透", nullptr},
    {"VOICE", Kind::kRole, "声の出演", nullptr},
    {"VOICE_BY", Kind::kCast, "早瀬 ひより", "少女"},
    {"PROGRAM", Kind::kRole, "プログラム", nullptr},
    {"PROGRAM_BY1", Kind::kName, "内田 航平", nullptr},
    {"PROGRAM_BY2", Kind::kName, "森下 優", nullptr},
    {"THANKS", Kind::kRole, "スペシャルサンクス", nullptr},
    {"THANKS_BY1", Kind::kName, "北村 文乃", nullptr},
    {"THANKS_BY2", Kind::kName, "テストプレイの皆さん", nullptr},
    {"END", Kind::kEnd, "プレイしていただき、ありがとうございました。", "見本工房"},
};

int HeightOf(Kind k) {
    switch (k) {
        case Kind::kRole: return 30;
        case Kind::kEnd: return 96;
        default: return 36;
    }
}

// Pieces stack below the bands in script order; the end line, alone on the
// screen when the roll stops, spans the whole width.
std::vector<Piece> Layout() {
    std::vector<Piece> out;
    int top = kBands;
    for (const Line& line : kLines) {
        const int h = HeightOf(line.kind);
        out.push_back({line.id, 0, top, line.kind == Kind::kEnd ? kW : kColumn, top + h});
        top += h;
    }
    return out;
}

// The inked part of a surface, cut to its bounding box (0 x 0 when blank).
plat::Surface Crop(const plat::Surface& s) {
    int l = s.width, t = s.height, r = 0, b = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.Row(y)[x] >> 24) {
                l = std::min(l, x), t = std::min(t, y);
                r = std::max(r, x + 1), b = std::max(b, y + 1);
            }
    if (l >= r)
        return plat::Surface();
    plat::Surface out(r - l, b - t);
    for (int y = t; y < b; ++y)
        std::copy(s.Row(y) + l, s.Row(y) + r, out.Row(y - t));
    return out;
}

// A caption with its edge, cropped to its ink so that lines centre by what
// is drawn rather than by the font's cell.
plat::Surface Stamp(Captions& cap, const char* text, int height, int weight, uint32_t fill, uint32_t edge,
                    int edgeWidth) {
    const int pad = edgeWidth + 2;
    plat::Surface s(cap.Width(text, height, weight) + 2 * pad, 2 * height + 2 * pad);
    cap.Outlined(s, pad, pad, text, height, fill, edge, weight, edgeWidth);
    return Crop(s);
}

// Blends a stamp at (x, y), clipped to the surface; the shadow form lays a
// black copy of its shape, blurred by one pixel, at 60 % opacity.
void Put(plat::Surface& dst, const plat::Surface& stamp, int x, int y, bool shadow = false) {
    for (int sy = -1; sy <= stamp.height; ++sy)
        for (int sx = -1; sx <= stamp.width; ++sx) {
            if (!dst.Contains(x + sx, y + sy))
                continue;
            uint32_t& px = dst.Row(y + sy)[x + sx];
            if (!shadow) {
                if (stamp.Contains(sx, sy))
                    paint::Blend(px, stamp.Row(sy)[sx] | 0xFF000000u, (stamp.Row(sy)[sx] >> 24) / 255.0);
                continue;
            }
            int sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (stamp.Contains(sx + dx, sy + dy))
                        sum += static_cast<int>(stamp.Row(sy + dy)[sx + dx] >> 24);
            if (sum)
                paint::Blend(px, 0xFF000000u, 0.6 * sum / (9 * 255.0));
        }
}

void Lettered(plat::Surface& dst, const plat::Surface& stamp, int x, int y) {
    Put(dst, stamp, x + 2, y + 3, true);
    Put(dst, stamp, x, y);
}

plat::Surface DrawLine(Captions& cap, const Line& line, int w, int h) {
    plat::Surface s(w, h);
    switch (line.kind) {
        case Kind::kRole: {
            const plat::Surface role = Stamp(cap, line.text, 17, 700, kGold, kEdge, 1);
            Lettered(s, role, (w - role.width) / 2, (h - role.height) / 2);
            break;
        }
        case Kind::kName: {
            const plat::Surface name = Stamp(cap, line.text, 26, 400, kInk, kEdge, 2);
            Lettered(s, name, (w - name.width) / 2, (h - name.height) / 2);
            break;
        }
        case Kind::kCast: {
            // The character's name small and gold beside the voice's, bottoms in line.
            const plat::Surface part = Stamp(cap, line.sub, 16, 700, kGold, kEdge, 1);
            const plat::Surface name = Stamp(cap, line.text, 26, 400, kInk, kEdge, 2);
            const int x = (w - (part.width + 14 + name.width)) / 2, y = (h - name.height) / 2;
            Lettered(s, part, x, y + name.height - part.height - 1);
            Lettered(s, name, x + part.width + 14, y);
            break;
        }
        case Kind::kEnd: {
            const plat::Surface thanks = Stamp(cap, line.text, 28, 400, kInk, kEdge, 2);
            const plat::Surface maker = Stamp(cap, line.sub, 18, 700, kGold, kEdge, 1);
            const int top = (h - (thanks.height + 22 + maker.height)) / 2;
            Lettered(s, thanks, (w - thanks.width) / 2, top);
            Lettered(s, maker, (w - maker.width) / 2, top + thanks.height + 22);
            break;
        }
    }
    return s;
}

// The bands shade the screen's edges solidly and fade out toward the roll,
// so lines rise out of the dark and sink into it again.
void Bands(plat::Surface& s) {
    for (int d = 0; d < 100; ++d) {
        double a = 1.0;
        if (d >= 24) {
            const double t = (d - 24) / 76.0;
            a = 1.0 - t * t * (3 - 2 * t);
        }
        const uint32_t argb = static_cast<uint32_t>(std::lround(a * 255)) << 24; // black, as the roll ends on black
        paint::Fill(s, 0, d, kW, d + 1, argb);
        paint::Fill(s, 0, 199 - d, kW, 200 - d, argb);
    }
}

plat::Surface Sheet() {
    const std::vector<Piece> pieces = Layout();
    plat::Surface s(kW, pieces.back().bottom);
    Bands(s);
    Captions cap;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        const plat::Surface line = DrawLine(cap, kLines[i], p.right - p.left, p.bottom - p.top);
        for (int y = 0; y < line.height; ++y)
            std::copy(line.Row(y), line.Row(y) + line.width, s.Row(p.top + y) + p.left);
    }
    return s;
}

// An area-averaged copy of a picture at a smaller size.
plat::Surface Shrink(const plat::Surface& src, int w, int h) {
    plat::Surface out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int l = x * src.width / w, r = std::max(l + 1, (x + 1) * src.width / w);
            const int t = y * src.height / h, b = std::max(t + 1, (y + 1) * src.height / h);
            uint32_t sum[3] = {0, 0, 0};
            for (int sy = t; sy < b; ++sy)
                for (int sx = l; sx < r; ++sx)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += src.Row(sy)[sx] >> (8 * c) & 0xFF;
            const uint32_t n = static_cast<uint32_t>((r - l) * (b - t));
            out.Row(y)[x] = 0xFF000000u | (sum[2] / n) << 16 | (sum[1] / n) << 8 | sum[0] / n;
        }
    return out;
}

// A dusk backdrop with the game's title over one of the story's scenes,
// framed, on the left: the credits rise in the right half beside them.
plat::Surface Background(Captions& cap, int scene, uint32_t top, uint32_t bottom) {
    plat::Surface s(kW, 600);
    paint::Gradient(s, 0, 0, kW, 600, top, bottom);
    const plat::Surface name = Stamp(cap, "見本の物語", 44, 700, kInk, kLogoEdge, 3);
    const plat::Surface sub = Stamp(cap, "～　ひと夏のサンプル　～", 16, 400, kInk, kLogoEdge, 1);
    Lettered(s, name, 200 - name.width / 2, 118);
    paint::Fill(s, 200 - 124, 126 + name.height, 200 + 124, 129 + name.height, 0xFFF4C430);
    Lettered(s, sub, 200 - sub.width / 2, 137 + name.height);
    constexpr int kPw = 320, kPh = 240, kPl = 40, kPt = 226, kRim = 6;
    for (int k = 6; k >= 1; --k) // soft shadow, widest first
        paint::Panel(s, kPl - kRim + 4 - k, kPt - kRim + 6 - k, kPl + kPw + kRim + 4 + k, kPt + kPh + kRim + 6 + k,
                     0x12000000, 0x12000000, 0x12000000, kRim + k, 0);
    paint::Fill(s, kPl - kRim, kPt - kRim, kPl + kPw + kRim, kPt + kPh + kRim, 0xFFF4F0E6);
    const plat::Surface photo = Shrink(story::EventPicture(scene), kPw, kPh);
    for (int y = 0; y < kPh; ++y)
        std::copy(photo.Row(y), photo.Row(y) + kPw, s.Row(kPt + y) + kPl);
    return s;
}

} // namespace

std::vector<Piece> StaffRollPieces() { return Layout(); }

std::vector<std::pair<std::string, std::string>> StaffRollPictures() {
    Captions cap;
    return {
        {"StaffRollMaterial.dds", EncodeDds32(Sheet())},
        {"StaffRollBG01.bmp", EncodeBmp24(Background(cap, 1, 0xFF141C34, 0xFF2C3452))},
        {"StaffRollBG02.bmp", EncodeBmp24(Background(cap, 4, 0xFF1C1630, 0xFF3A2A40))},
    };
}

} // namespace rollpics
