#include "tools/pictures/character_pictures.h"

#include <cmath>
#include <cstdio>

#include "tools/pictures/ink_canvas.h"
#include "tools/pictures/paint.h"
#include "tools/pictures/picture_files.h"

namespace story {

namespace {

using ink::Canvas;
using ink::Pt;

enum class Hair { kLong, kBob, kPonytail };

struct Look {
    Hair hair;
    uint32_t hairColour, hairShade, eyes, ribbon;
};

constexpr Look kLooks[3] = {
    {Hair::kLong, 0xFF4A2E22, 0xFF2E1A12, 0xFF7A4A2A, 0xFFD03A48},
    {Hair::kBob, 0xFFB07848, 0xFF80502C, 0xFF3A7A5A, 0xFF3A6AC8},
    {Hair::kPonytail, 0xFF22283E, 0xFF141828, 0xFF4A4A9A, 0xFFE0A020},
};

constexpr uint32_t kSkin = 0xFFFCE4D4, kSkinShade = 0xFFF0C8B4, kNavy = 0xFF24305A, kWhite = 0xFFF8F8FA;
constexpr uint32_t kLine = 0xFF3A2830;

// Parts, lowest drawn behind; a higher part inks its border with a lower one.
enum Part { kHairBack = 1, kLegs, kSocks, kSkirt, kNeck, kBlouse, kArms, kHands, kCollar, kRibbon, kFace, kBangs };

void HairBack(Canvas& c, const Look& look) {
    c.Ellipse(200, 148, 92, 96, look.hairColour, kHairBack);
    switch (look.hair) {
    case Hair::kLong:
        c.Polygon({{108, 150}, {292, 150}, {312, 330}, {300, 420}, {250, 400}, {150, 400}, {100, 420}, {88, 330}},
                  ink::VGradient(150, 420, look.hairColour, look.hairShade), kHairBack);
        break;
    case Hair::kBob:
        c.Polygon({{108, 150}, {292, 150}, {300, 232}, {270, 246}, {130, 246}, {100, 232}},
                  ink::VGradient(150, 246, look.hairColour, look.hairShade), kHairBack);
        break;
    case Hair::kPonytail:
        c.Polygon({{262, 92}, {300, 80}, {336, 150}, {340, 260}, {318, 360}, {300, 250}, {286, 160}},
                  ink::VGradient(80, 360, look.hairColour, look.hairShade), kHairBack);
        c.Ellipse(286, 96, 16, 14, look.ribbon, kRibbon); // hair tie
        break;
    }
}

void Body(Canvas& c, const Look& look) {
    c.Rect(163, 480, 193, 600, kSkin, kLegs);
    c.Rect(207, 480, 237, 600, kSkin, kLegs);
    c.Rect(162, 560, 194, 600, kNavy, kSocks);
    c.Rect(206, 560, 238, 600, kNavy, kSocks);
    c.Polygon({{140, 388}, {260, 388}, {302, 520}, {98, 520}}, ink::VGradient(388, 520, 0xFF2C3A6A, 0xFF1C2648), kSkirt);
    for (int k = 1; k < 6; ++k) { // pleats
        const double tx = 140 + 20.0 * k, bx = 98 + 204.0 * k / 6;
        c.Line({tx, 392}, {bx, 518}, 1.6, 0xFF161E3A, kSkirt);
    }
    c.Rect(184, 196, 216, 262, kSkinShade, kNeck);
    c.Polygon({{150, 248}, {250, 248}, {284, 272}, {268, 400}, {132, 400}, {116, 272}},
              ink::VGradient(248, 400, kWhite, 0xFFDCE0EA), kBlouse);
    for (int side = -1; side <= 1; side += 2) {
        auto X = [side](double dx) { return 200 + side * dx; };
        c.Polygon({{X(78), 338}, {X(100), 332}, {X(92), 416}, {X(74), 414}}, kSkin, kArms);
        c.Ellipse(X(83), 424, 11, 14, kSkin, kHands);
        c.Polygon({{X(58), 250}, {X(86), 262}, {X(102), 334}, {X(74), 342}, {X(68), 296}}, kWhite, kArms);
        c.Line({X(74), 339}, {X(102), 332}, 5, kNavy, kArms); // cuff
    }
    c.Polygon({{148, 246}, {170, 242}, {200, 300}, {230, 242}, {252, 246}, {262, 272}, {200, 336}, {138, 272}}, kNavy,
              kCollar);
    c.Line({146, 262}, {200, 326}, 2.2, kWhite, kCollar);
    c.Line({254, 262}, {200, 326}, 2.2, kWhite, kCollar);
    c.Polygon({{200, 316}, {170, 300}, {172, 332}}, look.ribbon, kRibbon);
    c.Polygon({{200, 316}, {230, 300}, {228, 332}}, look.ribbon, kRibbon);
    c.Polygon({{196, 318}, {204, 318}, {214, 372}, {200, 362}, {186, 372}}, look.ribbon, kRibbon);
    c.Ellipse(200, 317, 7, 7, paint::Mix(look.ribbon, 0xFF000000u, 0.2), kRibbon);
}

void Head(Canvas& c, const Look& look) {
    std::vector<Pt> face; // an egg shape, narrower towards the chin
    for (int i = 0; i < 96; ++i) {
        const double a = 2 * M_PI * i / 96, s = std::sin(a);
        const double narrow = s > 0 ? 1 - 0.32 * s * s : 1;
        face.push_back({200 + 66 * std::cos(a) * narrow, 152 + (s > 0 ? 80 : 74) * s});
    }
    c.Polygon(face, kSkin, kFace);
    // Fringe: locks ending in points over the forehead, side locks by the cheeks.
    std::vector<Pt> fringe;
    for (int i = 0; i <= 36; ++i) {
        const double a = M_PI + M_PI * i / 36;
        fringe.push_back({200 + 97 * std::cos(a), 156 + 104 * std::sin(a)});
    }
    fringe.push_back({298, 172});
    const double tips[] = {272, 254, 236, 218, 200, 182, 164, 146, 128};
    for (size_t i = 0; i < std::size(tips); ++i) {
        const double depth = i % 2 ? 112 : 132;
        fringe.push_back({tips[i] + 9, 100});
        fringe.push_back({tips[i], depth});
    }
    fringe.push_back({102, 172});
    c.Polygon(fringe, ink::VGradient(52, 130, paint::Mix(look.hairColour, 0xFFFFFFFFu, 0.12), look.hairColour),
              kBangs);
    const double lockEnd = look.hair == Hair::kBob ? 226 : 244;
    c.Polygon({{104, 118}, {134, 110}, {128, lockEnd - 30}, {112, lockEnd}, {100, 170}}, look.hairColour, kBangs);
    c.Polygon({{296, 118}, {266, 110}, {272, lockEnd - 30}, {288, lockEnd}, {300, 170}}, look.hairColour, kBangs);
    std::vector<Pt> shine; // a band of light across the crown
    for (int i = 0; i <= 20; ++i) {
        const double a = M_PI * (1.22 + 0.56 * i / 20);
        shine.push_back({200 + 84 * std::cos(a), 160 + 86 * std::sin(a)});
    }
    for (int i = 20; i >= 0; --i) {
        const double a = M_PI * (1.22 + 0.56 * i / 20);
        shine.push_back({200 + 80 * std::cos(a), 164 + 80 * std::sin(a)});
    }
    c.Polygon(shine, paint::Mix(look.hairColour, 0xFFFFFFFFu, 0.22), kBangs);
}

// Eyes, brows, mouth and blush, painted after the line art.
void Face(plat::Surface& s, const Look& look) {
    for (int side = -1; side <= 1; side += 2) {
        const double ex = 200 + side * 28, ey = 160;
        paint::Ellipse(s, ex, ey, 14, 16, 0xFFFFFFFFu);
        paint::Ellipse(s, ex, ey + 2, 11, 14, look.eyes);
        paint::Ellipse(s, ex, ey + 6, 8, 9, paint::Mix(look.eyes, 0xFF000000u, 0.45));
        paint::Ellipse(s, ex - side * 4, ey - 4, 4, 4.5, 0xFFFFFFFFu);
        paint::Ellipse(s, ex + side * 4, ey + 9, 2, 2, 0xC0FFFFFFu);
        for (int k = -14; k <= 14; ++k) { // upper lash line, thicker outward
            const double x = ex + k, y = ey - 15 + 0.025 * k * k;
            paint::Ellipse(s, x, y, 1.6, 1.6 + (k * side > 6 ? 1.2 : 0.5), 0xFF2A1A20u);
        }
        for (int k = -11; k <= 11; ++k) // brow
            paint::Ellipse(s, ex + k, ey - 31 + 0.03 * k * k + side * k * 0.06, 1.0, 1.0,
                           paint::Mix(look.hairShade, 0xFF000000u, 0.2));
        paint::Ellipse(s, ex + side * 8, ey + 26, 11, 5, 0x50FF7A8Au);
    }
    for (int k = -6; k <= 6; ++k) // a small smile
        paint::Ellipse(s, 200 + k, 203 + 0.05 * k * k * -1 + 2, 1.1, 1.1, 0xFFB04A5Au);
    paint::Ellipse(s, 200, 186, 1.2, 1.0, 0x80C08070u);
}

} // namespace

plat::Surface CharacterPicture(int k) {
    const Look& look = kLooks[(k - 1) % 3];
    Canvas c(400, 600);
    HairBack(c, look);
    Body(c, look);
    Head(c, look);
    plat::Surface s = c.Finish(kLine, 3);
    Face(s, look);
    return s;
}

std::vector<std::pair<std::string, std::string>> CharacterPictures() {
    std::vector<std::pair<std::string, std::string>> out;
    for (int k = 1; k <= 3; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "chara%02d.dds", k);
        out.emplace_back(name, EncodeDds32(CharacterPicture(k)));
    }
    return out;
}

} // namespace story
