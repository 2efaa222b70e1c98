#include "tools/pictures/story_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/pictures/character_pictures.h"
#include "tools/pictures/ink_canvas.h"
#include "tools/pictures/paint.h"
#include "tools/pictures/picture_files.h"

namespace story {

namespace {

using ink::Canvas;
using ink::Pt;
using paint::Mix;

struct P3 {
    double x, y, z;
};

// One-point perspective: eye at the origin looking down +z, y downwards.
struct View {
    double cx = 400, cy = 250, f = 330;
    Pt operator()(P3 p) const { return {cx + p.x * f / p.z, cy + p.y * f / p.z}; }
};

constexpr double kNear = 0.35, kFloor = 1.4;

// Evenly spaced values from `from` towards `until` (not reached), by step.
std::vector<double> Steps(double from, double until, double step) {
    std::vector<double> out;
    const int n = static_cast<int>(std::ceil((until - from) / step));
    out.reserve(static_cast<size_t>(std::max(0, n)));
    for (int i = 0; i < n; ++i)
        out.push_back(from + i * step);
    return out;
}

void Quad(Canvas& c, const View& v, P3 a, P3 b, P3 d, P3 e, const ink::Shader& shade) {
    c.Polygon({v(a), v(b), v(d), v(e)}, shade);
}
void Quad(Canvas& c, const View& v, P3 a, P3 b, P3 d, P3 e, uint32_t argb) {
    c.Polygon({v(a), v(b), v(d), v(e)}, argb);
}

// A box room: floor, ceiling, side walls at +-hw, back wall at depth.
void Room(Canvas& c, const View& v, double hw, double ceil, double depth, uint32_t wall, uint32_t floor,
          uint32_t ceiling) {
    Quad(c, v, {-hw, ceil, depth}, {hw, ceil, depth}, {hw, kFloor, depth}, {-hw, kFloor, depth}, wall);
    Quad(c, v, {-hw, ceil, kNear}, {hw, ceil, kNear}, {hw, ceil, depth}, {-hw, ceil, depth}, ceiling);
    Quad(c, v, {-hw, kFloor, kNear}, {hw, kFloor, kNear}, {hw, kFloor, depth}, {-hw, kFloor, depth},
         ink::VGradient(v({0, kFloor, depth}).y, 600, Mix(floor, 0xFF000000u, 0.15), floor));
    for (int side = -1; side <= 1; side += 2)
        Quad(c, v, {side * hw, ceil, kNear}, {side * hw, ceil, depth}, {side * hw, kFloor, depth},
             {side * hw, kFloor, kNear},
             ink::VGradient(0, 600, Mix(wall, 0xFFFFFFFFu, 0.1), Mix(wall, 0xFF000000u, 0.12)));
}

// A sunset sky with a town's roofs along its foot, by screen position.
ink::Shader EveningSky(double top, double horizon, uint32_t high, uint32_t low, uint32_t town) {
    return [=](double x, double y) {
        const double roofs = horizon - 18 - 14 * std::fabs(std::sin(x * 0.045)) - 10 * (std::sin(x * 0.13) > 0.6);
        if (y > roofs)
            return town;
        return Mix(high, low, std::clamp((y - top) / (horizon - top), 0.0, 1.0));
    };
}

// A school desk and its chair, the chair towards the camera.
void Desk(Canvas& c, const View& v, double x, double z) {
    const double top = kFloor - 0.75, hw = 0.32, hd = 0.22;
    for (double lx : {x - hw + 0.03, x + hw - 0.03}) // legs
        Quad(c, v, {lx - 0.02, top, z - hd + 0.03}, {lx + 0.02, top, z - hd + 0.03}, {lx + 0.02, kFloor, z - hd + 0.03},
             {lx - 0.02, kFloor, z - hd + 0.03}, 0xFF6A6A72u);
    Quad(c, v, {x - hw, top + 0.04, z - hd}, {x + hw, top + 0.04, z - hd}, {x + hw, top + 0.26, z - hd},
         {x - hw, top + 0.26, z - hd}, 0xFF8A7A6Au);
    Quad(c, v, {x - hw, top, z - hd}, {x + hw, top, z - hd}, {x + hw, top, z + hd}, {x - hw, top, z + hd}, 0xFFD8A868u);
    Quad(c, v, {x - hw, top, z - hd}, {x + hw, top, z - hd}, {x + hw, top + 0.04, z - hd}, {x - hw, top + 0.04, z - hd},
         0xFFA87838u);
    const double cz = z - 0.62, seat = kFloor - 0.44, cw = 0.2;
    for (double lx : {x - cw + 0.02, x + cw - 0.02})
        Quad(c, v, {lx - 0.015, seat, cz - 0.18}, {lx + 0.015, seat, cz - 0.18}, {lx + 0.015, kFloor, cz - 0.18},
             {lx - 0.015, kFloor, cz - 0.18}, 0xFF6A6A72u);
    Quad(c, v, {x - cw, seat, cz - 0.2}, {x + cw, seat, cz - 0.2}, {x + cw, seat, cz + 0.2}, {x - cw, seat, cz + 0.2},
         0xFFC89858u);
    Quad(c, v, {x - cw, seat - 0.46, cz - 0.21}, {x + cw, seat - 0.46, cz - 0.21}, {x + cw, seat - 0.2, cz - 0.21},
         {x - cw, seat - 0.2, cz - 0.21}, 0xFFC08E50u);
}

// Warm light falling from the left, stronger near the windows.
void WarmLight(plat::Surface& s, uint32_t colour, double strength) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            paint::Blend(s.Row(y)[x], colour, strength * std::clamp(1.0 - x / 900.0, 0.0, 1.0));
}

// The classroom at sunset; after the evening shower the sky behind the
// windows is still grey above the clearing glow, and drops run down the panes.
plat::Surface Classroom(bool afterShower) {
    Canvas c(800, 600);
    const View v;
    const double hw = 4.2, ceil = -1.7, depth = 11;
    Room(c, v, hw, ceil, depth, 0xFFEADCC4u, 0xFFB07A48u, 0xFFF0E6D4u);
    for (int k = -13; k <= 13; ++k) // floor boards
        c.Line(v({k * 0.32, kFloor, kNear}), v({k * 0.32, kFloor, depth}), 1.2, 0x308A5020u);
    for (double z : Steps(2, depth, 2.2)) // ceiling lights
        Quad(c, v, {-0.9, ceil, z}, {0.9, ceil, z}, {0.9, ceil, z + 0.2}, {-0.9, ceil, z + 0.2}, 0xFFFFFAF0u);
    // Blackboard, its tray and a clock on the front wall.
    Quad(c, v, {-2.4, -1.0, depth}, {2.4, -1.0, depth}, {2.4, 0.35, depth}, {-2.4, 0.35, depth}, 0xFF8A6038u);
    Quad(c, v, {-2.3, -0.92, depth}, {2.3, -0.92, depth}, {2.3, 0.27, depth}, {-2.3, 0.27, depth},
         ink::VGradient(v({0, -0.92, depth}).y, v({0, 0.27, depth}).y, 0xFF2E5A4Au, 0xFF24483Au));
    c.Line(v({-1.6, -0.5, depth}), v({-0.2, -0.55, depth}), 1.4, 0x90FFFFFFu);
    c.Line(v({-1.5, -0.25, depth}), v({0.6, -0.3, depth}), 1.4, 0x80FFFFFFu);
    const Pt clock = v({0, -1.35, depth});
    c.Ellipse(clock.x, clock.y, 10, 10, 0xFF6A5A4Au);
    c.Ellipse(clock.x, clock.y, 8.5, 8.5, 0xFFFFFFFAu);
    c.Line(clock, {clock.x + 4, clock.y + 2}, 1.2, 0xFF303030u);
    c.Line(clock, {clock.x, clock.y - 6}, 1.0, 0xFF303030u);
    // Windows on the left, the sunset behind them.
    const auto sky = afterShower ? EveningSky(0, 330, 0xFF8A8CA0u, 0xFFF8C890u, 0xFF6A5A6Au)
                                 : EveningSky(0, 330, 0xFFF0906Au, 0xFFFFD89Au, 0xFF8A5A6Au);
    for (double z : Steps(1.2, depth - 1, 2.4)) {
        Quad(c, v, {-hw, -1.3, z}, {-hw, -1.3, z + 2.1}, {-hw, 0.5, z + 2.1}, {-hw, 0.5, z}, sky);
        c.Line(v({-hw, -0.4, z}), v({-hw, -0.4, z + 2.1}), 2, 0xFFB8B0A8u);
        c.Line(v({-hw, -1.3, z + 1.05}), v({-hw, 0.5, z + 1.05}), 2.5, 0xFFB8B0A8u);
        Quad(c, v, {-hw, -1.4, z - 0.15}, {-hw, -1.4, z + 0.1}, {-hw, 0.7, z + 0.1}, {-hw, 0.7, z - 0.15}, 0xFFF6E8C8u);
        // Its patch of sunlight on the floor.
        Quad(c, v, {-hw, kFloor, z + 0.6}, {-hw + 2.6, kFloor, z + 1.4}, {-hw + 2.6, kFloor, z + 3.2},
             {-hw, kFloor, z + 2.4}, 0x40FFD090u);
    }
    if (afterShower) {
        ink::Dice drops(17);
        for (double z : Steps(1.2, depth - 1, 2.4))
            for (int k = 0; k < 26; ++k) {
                const double dz = z + 0.05 + 2.0 * drops.Unit(), y = -1.25 + 1.6 * drops.Unit();
                const double run = 0.06 + 0.16 * drops.Unit();
                c.Line(v({-hw, y, dz}), v({-hw, y + run, dz}), 1.1, 0x90E8F0FFu);
                const Pt bead = v({-hw, y + run, dz});
                c.Ellipse(bead.x, bead.y, 1.6, 1.9, 0xC0F4F8FFu);
            }
        // The wet floor under the windows shines a little.
        for (double z : Steps(1.2, depth - 1, 2.4))
            Quad(c, v, {-hw, kFloor, z + 0.3}, {-hw + 1.2, kFloor, z + 0.5}, {-hw + 1.2, kFloor, z + 1.6},
                 {-hw, kFloor, z + 1.4}, 0x28C8D8F0u);
    }
    Quad(c, v, {-hw, 0.5, kNear}, {-hw, 0.5, depth}, {-hw, 0.58, depth}, {-hw, 0.58, kNear}, 0xFFC8B8A0u); // sill
    // Door and notice board on the right.
    Quad(c, v, {hw, -0.6, 8.6}, {hw, -0.6, 10.2}, {hw, kFloor, 10.2}, {hw, kFloor, 8.6}, 0xFFA88058u);
    Quad(c, v, {hw, -0.9, 3.5}, {hw, -0.9, 7.2}, {hw, 0.1, 7.2}, {hw, 0.1, 3.5}, 0xFFC8A070u);
    ink::Dice dice(7);
    for (int k = 0; k < 7; ++k) {
        const double z = 3.7 + k * 0.48, t = -0.8 + 0.2 * dice.Unit();
        Quad(c, v, {hw, t, z}, {hw, t, z + 0.36}, {hw, t + 0.5, z + 0.36}, {hw, t + 0.5, z},
             k % 3 ? 0xFFFAF6ECu : 0xFFFCE0E8u);
    }
    for (double z : {8.8, 7.4, 6.0, 4.6, 3.2})
        for (double x : {-2.8, -0.95, 0.95, 2.8})
            Desk(c, v, x, z);
    plat::Surface s = c.Finish();
    WarmLight(s, 0xFFFF9A48u, afterShower ? 0.14 : 0.22);
    return s;
}

// Shelves of books on a wall at x = wx, from z0 to z1.
void Bookshelf(Canvas& c, const View& v, double wx, double z0, double z1, uint32_t seed) {
    static const uint32_t kBooks[] = {0xFF8A3A3Au, 0xFF3A5A8Au, 0xFF4A7A4Au, 0xFFC8A048u,
                                      0xFF6A4A7Au, 0xFFE8E0D0u, 0xFF2A3A4Au, 0xFFB86A3Au};
    const double top = -1.3, levels = 5, step = (kFloor - top) / levels;
    Quad(c, v, {wx, top - 0.1, z0}, {wx, top - 0.1, z1}, {wx, kFloor, z1}, {wx, kFloor, z0}, 0xFF6A4428u);
    ink::Dice dice(seed);
    const double in = wx > 0 ? -0.02 : 0.02;
    for (int l = 0; l < levels; ++l) {
        const double bottom = top + (l + 1) * step;
        for (double z = z0 + 0.05; z < z1 - 0.12;) {
            const double wz = 0.06 + 0.07 * dice.Unit(), h = step * (0.62 + 0.3 * dice.Unit());
            Quad(c, v, {wx + in, bottom - h, z}, {wx + in, bottom - h, z + wz}, {wx + in, bottom - 0.03, z + wz},
                 {wx + in, bottom - 0.03, z}, kBooks[dice.Next() % 8]);
            z += wz + (dice.Unit() < 0.08 ? 0.12 : 0.005);
        }
        Quad(c, v, {wx + in, bottom - 0.03, z0}, {wx + in, bottom - 0.03, z1}, {wx + in, bottom + 0.01, z1},
             {wx + in, bottom + 0.01, z0}, 0xFF8A5E38u);
    }
}

plat::Surface Library() {
    Canvas c(800, 600);
    const View v{400, 240, 330};
    const double hw = 4.4, ceil = -1.8, depth = 12;
    Room(c, v, hw, ceil, depth, 0xFFE4D8C0u, 0xFF6A7A6Au, 0xFFF2EAD8u);
    // Tall windows on the far wall, afternoon light and treetops behind.
    for (double x : {-2.6, -0.8, 1.0}) {
        Quad(c, v, {x, -1.4, depth}, {x + 1.6, -1.4, depth}, {x + 1.6, 0.6, depth}, {x, 0.6, depth},
             [](double px, double py) {
                 const double trees = 290 - 10 * std::fabs(std::sin(px * 0.09)) - 6 * std::sin(px * 0.23);
                 return py > trees ? 0xFF7AA868u
                                   : Mix(0xFFBCE0F4u, 0xFFFFF4D8u, std::clamp((py - 150) / 140, 0.0, 1.0));
             });
        c.Line(v({x + 0.8, -1.4, depth}), v({x + 0.8, 0.6, depth}), 2, 0xFFFFFFFFu);
        c.Line(v({x, -0.4, depth}), v({x + 1.6, -0.4, depth}), 2, 0xFFFFFFFFu);
    }
    for (double x : {-2.6, -0.8, 1.0}) // window light on the carpet
        Quad(c, v, {x, kFloor, depth}, {x + 1.6, kFloor, depth}, {x + 2.2, kFloor, depth - 5},
             {x + 0.6, kFloor, depth - 5}, 0x30FFF0C0u);
    for (double z : Steps(1, depth, 0.9))
        c.Line(v({-hw, kFloor, z}), v({hw, kFloor, z}), 1, 0x20000000u);
    // A runner down the aisle, a border stripe along each edge.
    Quad(c, v, {-0.55, kFloor, kNear}, {0.55, kFloor, kNear}, {0.55, kFloor, depth - 0.5}, {-0.55, kFloor, depth - 0.5},
         0xFF8A4A42u);
    for (double x : {-0.45, 0.45})
        c.Line(v({x, kFloor, kNear}), v({x, kFloor, depth - 0.5}), 1.5, 0xFFD8B878u);
    Bookshelf(c, v, -hw, kNear + 0.2, depth - 0.2, 3);
    Bookshelf(c, v, hw, kNear + 0.2, depth - 0.2, 5);
    for (double z : Steps(2, depth, 2.5)) // pendant lights
        c.Ellipse(v({0, ceil + 0.3, z}).x, v({0, ceil + 0.3, z}).y, 40 / z, 14 / z, 0xFFFFF2D0u);
    // Two long reading tables with chairs either side.
    for (double x : {-1.5, 1.5}) {
        const double top = kFloor - 0.72;
        for (double z : Steps(9.5, 2.9, -1.3))
            for (double side : {-1.0, 1.0}) {
                const double seat = kFloor - 0.45, back = x + side * 0.95;
                Quad(c, v, {back, seat - 0.5, z}, {back, seat - 0.5, z + 0.42}, {back, kFloor, z + 0.42},
                     {back, kFloor, z}, 0xFF7A4E2Eu);
                Quad(c, v, {x + side * 0.6, seat, z}, {back, seat, z}, {back, seat, z + 0.42},
                     {x + side * 0.6, seat, z + 0.42}, 0xFF9A643Au);
            }
        Quad(c, v, {x - 0.55, top, 2.6}, {x + 0.55, top, 2.6}, {x + 0.55, top + 0.08, 2.6}, {x - 0.55, top + 0.08, 2.6},
             0xFF8A5A34u);
        Quad(c, v, {x - 0.55, top, 2.6}, {x + 0.55, top, 2.6}, {x + 0.55, top, 10}, {x - 0.55, top, 10}, 0xFFB8844Cu);
        Quad(c, v, {x - 0.5, top + 0.08, 2.62}, {x - 0.46, top + 0.08, 2.62}, {x - 0.46, kFloor, 2.62},
             {x - 0.5, kFloor, 2.62}, 0xFF6A4426u);
        Quad(c, v, {x + 0.46, top + 0.08, 2.62}, {x + 0.5, top + 0.08, 2.62}, {x + 0.5, kFloor, 2.62},
             {x + 0.46, kFloor, 2.62}, 0xFF6A4426u);
        const Pt book = v({x + 0.1, top, 4.2});
        c.Rect(book.x - 8, book.y - 3, book.x + 8, book.y, 0xFFF8F4E8u);
    }
    plat::Surface s = c.Finish();
    WarmLight(s, 0xFFFFE0A0u, 0.12);
    return s;
}

void Clouds(Canvas& c, uint32_t seed, double top, double bottom) {
    ink::Dice dice(seed);
    for (int k = 0; k < 6; ++k) {
        const double cx = 40 + 720 * dice.Unit(), cy = top + (bottom - top) * dice.Unit(), size = 22 + 34 * dice.Unit();
        struct Puff {
            double x, y, r;
        };
        std::vector<Puff> puffs;
        puffs.reserve(9);
        for (int b = 0; b < 9; ++b)
            puffs.push_back({cx + (dice.Unit() - 0.5) * size * 2.6, cy - dice.Unit() * size * 0.6,
                             size * (0.35 + 0.35 * dice.Unit())});
        for (const Puff& p : puffs) // shade under the puffs, then the puffs
            c.Ellipse(p.x + 3, p.y + 6, p.r, p.r * 0.9, 0xFFC4D6EAu);
        c.Ellipse(cx, cy + 4, size * 1.6, size * 0.3, 0xFFC4D6EAu);
        for (const Puff& p : puffs)
            c.Ellipse(p.x, p.y, p.r, p.r * 0.9, 0xFFFFFFFFu);
        c.Ellipse(cx, cy, size * 1.5, size * 0.28, 0xFFFFFFFFu);
    }
}

// A fence of posts and a diamond mesh between two floor points.
void Fence(Canvas& c, const View& v, P3 a, P3 b, double height) {
    const double len = std::hypot(b.x - a.x, b.z - a.z);
    auto at = [&](double t, double y) { return P3{a.x + (b.x - a.x) * t, y, a.z + (b.z - a.z) * t}; };
    const double top = kFloor - height;
    Quad(c, v, at(0, kFloor - 0.3), at(1, kFloor - 0.3), at(1, kFloor), at(0, kFloor), 0xFFBCBCB4u);
    for (double d : Steps(0, len + 1e-9, 0.22)) {
        c.Line(v(at(d / len, top)), v(at(std::min(1.0, (d + height) / len), kFloor - 0.3)), 0.8, 0x904A7A5Au);
        c.Line(v(at(d / len, kFloor - 0.3)), v(at(std::min(1.0, (d + height) / len), top)), 0.8, 0x904A7A5Au);
    }
    for (double d : Steps(0, len + 1e-9, 1.6))
        c.Line(v(at(d / len, top - 0.05)), v(at(d / len, kFloor)), 3, 0xFF3E6A4Cu);
    c.Line(v(at(0, top)), v(at(1, top)), 3, 0xFF3E6A4Cu);
}

plat::Surface Rooftop() {
    Canvas c(800, 600);
    const View v{400, 300, 330};
    c.Rect(0, 0, 800, 320, ink::VGradient(0, 320, 0xFF3E82D4u, 0xFFD4ECF8u));
    Clouds(c, 11, 40, 220);
    ink::Dice dice(4);
    for (double x = 0; x < 800;) { // the town far away
        const double w = 20 + 40 * dice.Unit(), h = 8 + 40 * dice.Unit();
        c.Rect(x, 300 - h, x + w, 320, Mix(0xFF9CB4CCu, 0xFFB8CCDCu, dice.Unit()));
        x += w + 2;
    }
    c.Rect(0, 318, 800, 600, ink::VGradient(318, 600, 0xFFA8BCCCu, 0xFF8A9CACu)); // streets below, past the fence
    const double depth = 14, right = 5;
    Quad(c, v, {-9, kFloor, kNear}, {right, kFloor, kNear}, {right, kFloor, depth}, {-9, kFloor, depth},
         ink::VGradient(300, 600, 0xFFB0B0A8u, 0xFFD4D2C8u));
    for (int k = -20; k <= 10; ++k)
        c.Line(v({k * 0.9, kFloor, kNear}), v({k * 0.9, kFloor, depth}), 1, 0x40606060u);
    for (double z : Steps(1, depth, 1.2))
        c.Line(v({-9, kFloor, z}), v({right, kFloor, z}), 1, 0x40606060u);
    Fence(c, v, {-9, kFloor, depth}, {right, kFloor, depth}, 2.4);
    Fence(c, v, {right, kFloor, depth}, {right, kFloor, 0.6}, 2.4);
    // The stairwell's little house on the left, its door ajar.
    const double l = -6, r = -2.6, z0 = 3.5, z1 = 8, top = -1.4;
    Quad(c, v, {r, top, z0}, {r, top, z1}, {r, kFloor, z1}, {r, kFloor, z0}, 0xFFC4C0B4u);
    Quad(c, v, {l, top, z0}, {r, top, z0}, {r, kFloor, z0}, {l, kFloor, z0}, 0xFFE2DED2u);
    Quad(c, v, {l - 0.2, top, z0 - 0.2}, {r + 0.2, top, z0 - 0.2}, {r + 0.2, top - 0.15, z0 - 0.2},
         {l - 0.2, top - 0.15, z0 - 0.2}, 0xFF9A968Cu);
    Quad(c, v, {r + 0.2, top - 0.15, z0 - 0.2}, {r + 0.2, top - 0.15, z1 + 0.2}, {r + 0.2, top, z1 + 0.2},
         {r + 0.2, top, z0 - 0.2}, 0xFF8A867Cu);
    Quad(c, v, {r, -0.5, z0 + 1}, {r, -0.5, z0 + 2.2}, {r, kFloor, z0 + 2.2}, {r, kFloor, z0 + 1}, 0xFF7A8A9Au);
    Quad(c, v, {r, -0.5, z0 + 1}, {r, -0.5, z0 + 1.25}, {r, kFloor, z0 + 1.25}, {r, kFloor, z0 + 1}, 0xFF4A5A6Au);
    return c.Finish();
}

plat::Surface EveningRoad() {
    Canvas c(800, 600);
    const View v{420, 300, 330};
    c.Rect(0, 0, 800, 320, EveningSky(0, 320, 0xFF5A4A8Au, 0xFFFFB070u, 0xFF5A4A6Au));
    c.Ellipse(520, 268, 34, 34, 0xFFFFE8B0u);
    const double depth = 60;
    Quad(c, v, {-3, kFloor, kNear}, {3, kFloor, kNear}, {3, kFloor, depth}, {-3, kFloor, depth},
         ink::VGradient(300, 600, 0xFF7A7080u, 0xFF4A4650u));
    for (double side : {-1.0, 1.0})
        Quad(c, v, {side * 3, kFloor, kNear}, {side * 5, kFloor - 0.1, kNear}, {side * 5, kFloor - 0.1, depth},
             {side * 3, kFloor, depth}, 0xFF9A8E90u);
    for (double z : Steps(1, depth, 3))
        Quad(c, v, {-0.06, kFloor, z}, {0.06, kFloor, z}, {0.06, kFloor, z + 1.5}, {-0.06, kFloor, z + 1.5},
             0xFFF0E8D8u);
    // Houses along both sides, far ones first, with lit windows.
    ink::Dice dice(9);
    for (double z : Steps(depth - 4, 3, -5))
        for (double side : {-1.0, 1.0}) {
            const double x0 = side * 6.2, x1 = side * 12, h = 3 + 2 * dice.Unit();
            const uint32_t wall = Mix(0xFF6A5A70u, 0xFF8A6A6Au, dice.Unit());
            Quad(c, v, {x0, kFloor - h, z}, {x0, kFloor - h, z + 4}, {x0, kFloor, z + 4}, {x0, kFloor, z}, wall);
            Quad(c, v, {x0, kFloor - h, z}, {x1, kFloor - h, z}, {x1, kFloor, z}, {x0, kFloor, z},
                 Mix(wall, 0xFF000000u, 0.15));
            if (dice.Unit() < 0.7)
                Quad(c, v, {x0, kFloor - h + 1, z + 1}, {x0, kFloor - h + 1, z + 2}, {x0, kFloor - h + 1.8, z + 2},
                     {x0, kFloor - h + 1.8, z + 1}, 0xFFFFD890u);
        }
    for (double side : {-1.0, 1.0}) { // block walls along the pavements
        Quad(c, v, {side * 5, kFloor - 0.1, kNear}, {side * 5, kFloor - 0.1, depth}, {side * 5, kFloor - 1.3, depth},
             {side * 5, kFloor - 1.3, kNear}, 0xFF8A8088u);
        for (double y : Steps(kFloor - 0.5, kFloor - 1.3, -0.4))
            c.Line(v({side * 5, y, kNear}), v({side * 5, y, depth}), 1, 0x50302830u);
        for (double z : Steps(1, depth, 1.2))
            c.Line(v({side * 5, kFloor - 0.1, z}), v({side * 5, kFloor - 1.3, z}), 1, 0x40302830u);
    }
    // Utility poles with their wires on the right.
    Pt last{0, 0};
    for (double z : Steps(depth - 6, 1, -8)) {
        const Pt top = v({4.4, kFloor - 7, z}), foot = v({4.4, kFloor, z});
        c.Line(top, foot, std::max(2.0, 70 / z), 0xFF3A3040u);
        c.Line({top.x - 60 / z, top.y + 30 / z}, {top.x + 60 / z, top.y + 30 / z}, std::max(1.0, 20 / z), 0xFF3A3040u);
        if (last.x != 0)
            for (int k = 0; k < 24; ++k) {
                const double t0 = k / 24.0, t1 = (k + 1) / 24.0;
                auto sag = [&](double t) {
                    return Pt{last.x + (top.x - last.x) * t, last.y + (top.y - last.y) * t + 14 * std::sin(M_PI * t)};
                };
                c.Line(sag(t0), sag(t1), 1.2, 0xFF3A3040u);
            }
        last = {top.x, top.y + 30 / z};
    }
    plat::Surface s = c.Finish();
    WarmLight(s, 0xFFFF8A50u, 0.1);
    return s;
}

// The school corridor after class: windows on the left with the afternoon
// behind them, classroom doors and their name plates on the right.
plat::Surface Corridor() {
    Canvas c(800, 600);
    const View v{400, 250, 330};
    const double hw = 1.6, ceil = -1.6, depth = 24;
    const uint32_t wall = 0xFFEEE6D4u;
    Room(c, v, hw, ceil, depth, wall, 0xFF8FA096u, 0xFFF4EEE2u);
    // Afternoon sky over a line of trees, by screen position.
    const ink::Shader outside = [](double x, double y) {
        const double trees =
            236 - 10 * std::fabs(std::sin(x * 0.045)) - 6 * std::fabs(std::sin(x * 0.11 + 1)) - 3 * std::sin(x * 0.31);
        if (y > trees)
            return Mix(0xFF6E9A5Eu, 0xFF4E7A46u, std::clamp((y - trees) / 60, 0.0, 1.0));
        return Mix(0xFF86BCEAu, 0xFFF2ECD6u, std::clamp(y / 240, 0.0, 1.0));
    };
    // The far end: a window of its own.
    Quad(c, v, {-0.9, -1.0, depth}, {0.9, -1.0, depth}, {0.9, 0.5, depth}, {-0.9, 0.5, depth}, outside);
    c.Line(v({0, -1.0, depth}), v({0, 0.5, depth}), 1.5, 0xFFB8B0A8u);
    // A darker skirting of wall along both sides, and the skirting boards.
    for (int side = -1; side <= 1; side += 2) {
        const double x = side * hw;
        Quad(c, v, {x, 0.5, kNear}, {x, 0.5, depth}, {x, kFloor, depth}, {x, kFloor, kNear},
             ink::VGradient(0, 600, 0xFFD8CCB4u, 0xFFC4B89Eu));
        Quad(c, v, {x, kFloor - 0.1, kNear}, {x, kFloor - 0.1, depth}, {x, kFloor, depth}, {x, kFloor, kNear},
             0xFF6E6A60u);
    }
    // Windows on the left, and their light on the floor.
    for (double z : Steps(1.2, depth - 1.5, 2.6)) {
        Quad(c, v, {-hw, -1.1, z}, {-hw, -1.1, z + 2.1}, {-hw, 0.4, z + 2.1}, {-hw, 0.4, z}, outside);
        c.Line(v({-hw, -0.35, z}), v({-hw, -0.35, z + 2.1}), 2, 0xFFB8B0A8u);
        c.Line(v({-hw, -1.1, z + 1.05}), v({-hw, 0.4, z + 1.05}), 2.5, 0xFFB8B0A8u);
        Quad(c, v, {-hw, -1.2, z - 0.12}, {-hw, -1.2, z + 0.1}, {-hw, 0.5, z + 0.1}, {-hw, 0.5, z - 0.12}, 0xFFF6ECD6u);
        Quad(c, v, {-hw, kFloor, z + 0.5}, {-hw + 2.2, kFloor, z + 1.3}, {-hw + 2.2, kFloor, z + 3.0},
             {-hw, kFloor, z + 2.2}, 0x38FFE8B0u);
    }
    Quad(c, v, {-hw, 0.4, kNear}, {-hw, 0.4, depth}, {-hw, 0.48, depth}, {-hw, 0.48, kNear}, 0xFFC8B8A0u); // sill
    for (double z : Steps(1, depth, 1.2)) // floor tiles
        c.Line(v({-hw, kFloor, z}), v({hw, kFloor, z}), 1, 0x24000000u);
    c.Line(v({0, kFloor, kNear}), v({0, kFloor, depth}), 1, 0x24000000u);
    // Classroom doors on the right, far ones first: two sliding panels with
    // panes, a notice board between them, a name plate standing out above.
    ink::Dice dice(13);
    for (double z : {15.5, 9.0, 2.4}) {
        const double x = hw;
        Quad(c, v, {x, -0.75, z - 0.08}, {x, -0.75, z + 1.88}, {x, kFloor, z + 1.88}, {x, kFloor, z - 0.08},
             0xFF8A6A48u);
        for (double p : {z, z + 0.9}) {
            Quad(c, v, {x, -0.7, p}, {x, -0.7, p + 0.9}, {x, kFloor - 0.02, p + 0.9}, {x, kFloor - 0.02, p},
                 0xFFC09A6Cu);
            Quad(c, v, {x, -0.55, p + 0.12}, {x, -0.55, p + 0.78}, {x, 0.25, p + 0.78}, {x, 0.25, p + 0.12},
                 0xFFD6E6EEu);
            c.Line(v({x, -0.15, p + 0.12}), v({x, -0.15, p + 0.78}), 1.2, 0xFFC09A6Cu);
        }
        c.Line(v({x, -0.7, z + 0.9}), v({x, kFloor - 0.02, z + 0.9}), 1.5, 0xFF8A6A48u);
        Quad(c, v, {x, -0.95, z + 2.6}, {x, -0.95, z + 5.4}, {x, 0.05, z + 5.4}, {x, 0.05, z + 2.6}, 0xFFC8A070u);
        for (int k = 0; k < 5; ++k) {
            const double pz = z + 2.8 + k * 0.52, t = -0.85 + 0.2 * dice.Unit();
            Quad(c, v, {x, t, pz}, {x, t, pz + 0.38}, {x, t + 0.5, pz + 0.38}, {x, t + 0.5, pz},
                 k % 2 ? 0xFFFAF6ECu : 0xFFE8F0FCu);
        }
        Quad(c, v, {x - 0.42, -1.32, z - 0.3}, {x, -1.32, z - 0.3}, {x, -1.08, z - 0.3}, {x - 0.42, -1.08, z - 0.3},
             0xFF5A4A3Au);
        Quad(c, v, {x - 0.4, -1.3, z - 0.3}, {x - 0.02, -1.3, z - 0.3}, {x - 0.02, -1.1, z - 0.3},
             {x - 0.4, -1.1, z - 0.3}, 0xFFFAF8F0u);
        c.Line(v({x - 0.32, -1.2, z - 0.3}), v({x - 0.1, -1.2, z - 0.3}), 1.6, 0xFF404040u);
    }
    // A poster near the front: the school's sports day.
    Quad(c, v, {hw, -0.75, 1.45}, {hw, -0.75, 1.95}, {hw, -0.05, 1.95}, {hw, -0.05, 1.45}, 0xFFFCEFD8u);
    Quad(c, v, {hw, -0.7, 1.5}, {hw, -0.7, 1.9}, {hw, -0.45, 1.9}, {hw, -0.45, 1.5}, 0xFFE0705Au);
    for (double y : {-0.32, -0.22, -0.12})
        c.Line(v({hw, y, 1.52}), v({hw, y, 1.85}), 1.2, 0xFF806A5Au);
    for (double z : Steps(2, depth, 3)) // ceiling lights
        Quad(c, v, {-0.25, ceil, z}, {0.25, ceil, z}, {0.25, ceil, z + 1.3}, {-0.25, ceil, z + 1.3}, 0xFFFFFCF4u);
    plat::Surface s = c.Finish();
    WarmLight(s, 0xFFFFC070u, 0.14);
    return s;
}

// Four frames of warm light falling in a shaft, side by side (200 x 600
// each), translucent by their own alpha: strongest in the middle of the
// shaft and towards its top, fading to nothing at its sides, brighter rays
// slanting through it and motes of dust that glint. The rays move on a
// quarter of their spacing a frame and the motes circle and twinkle once
// every four frames, so the looping animation never jumps.
plat::Surface DriftingLight() {
    constexpr int kFrames = 4, kWidth = 200, kHeight = 600;
    constexpr double kRaySpacing = 72, kSlant = 0.2;
    plat::Surface s(kFrames * kWidth, kHeight);
    for (int f = 0; f < kFrames; ++f) {
        const double phase = 2 * M_PI * f / kFrames;
        for (int y = 0; y < kHeight; ++y) {
            const double down = y / double(kHeight - 1);
            const uint32_t glow = Mix(0xFFFFF2D6u, 0xFFFFC27Au, down), ray = Mix(0xFFFFFCF0u, 0xFFFFE2B0u, down);
            for (int x = 0; x < kWidth; ++x) {
                const double side = std::pow(std::sin(M_PI * (x + 0.5) / kWidth), 1.5);
                const double band = 0.5 + 0.5 * std::cos(2 * M_PI * (x - kSlant * y) / kRaySpacing - phase);
                const double rays = std::pow(band, 6);
                const double a = side * ((0.26 + 0.08 * (1 - down)) + 0.24 * rays);
                const uint32_t px = Mix(glow, ray, rays) & 0x00FFFFFFu;
                s.Row(y)[f * kWidth + x] = px | static_cast<uint32_t>(std::lround(255 * a)) << 24;
            }
        }
        ink::Dice dice(21);
        for (int k = 0; k < 16; ++k) {
            const double cx = 24 + 152 * dice.Unit(), cy = 20 + 560 * dice.Unit(), r = 1.4 + 2.2 * dice.Unit();
            const double own = 2 * M_PI * dice.Unit(), twinkle = 0.55 + 0.45 * std::cos(phase + own);
            const double mx = cx + 5 * std::cos(phase + own), my = cy + 7 * std::sin(phase + own);
            for (int y = static_cast<int>(my - 4 * r); y <= static_cast<int>(my + 4 * r) + 1; ++y)
                for (int x = static_cast<int>(mx - 4 * r); x <= static_cast<int>(mx + 4 * r) + 1; ++x) {
                    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
                        continue;
                    const double d = std::hypot(x + 0.5 - mx, y + 0.5 - my) / r;
                    paint::Blend(s.Row(y)[f * kWidth + x], 0xFFFFFBF0u, twinkle * 0.9 * std::exp(-d * d));
                }
        }
    }
    return s;
}

// Lays a character over a picture, scaled about her top centre.
void Overlay(plat::Surface& dst, const plat::Surface& chara, double left, double top, double scale) {
    for (int y = 0; y < dst.height; ++y)
        for (int x = 0; x < dst.width; ++x) {
            const int sx = static_cast<int>((x - left) / scale), sy = static_cast<int>((y - top) / scale);
            if (sx < 0 || sy < 0 || sx >= chara.width || sy >= chara.height)
                continue;
            const uint32_t p = chara.Row(sy)[sx];
            paint::Blend(dst.Row(y)[x], p | 0xFF000000u, (p >> 24) / 255.0);
        }
}

} // namespace

plat::Surface Place(int k) {
    switch (k) {
        case 1: return Classroom(false);
        case 2: return Library();
        case 3: return Rooftop();
        case 4: return EveningRoad();
        case 6: return Classroom(true);
        default: return Corridor();
    }
}

plat::Surface EventPicture(int k) {
    struct Shot {
        int place, girl;
        double left, top, scale;
    };
    static const Shot kShots[6] = {{1, 1, 200, 0, 1.0},   {2, 1, 300, -40, 1.25}, {3, 2, 120, 40, 1.0},
                                   {4, 1, 260, 60, 0.95}, {1, 3, 420, 20, 1.0},   {3, 3, 80, -60, 1.35}};
    const Shot& s = kShots[(k - 1) % 6];
    plat::Surface pic = Place(s.place);
    Overlay(pic, CharacterPicture(s.girl), s.left, s.top, s.scale);
    return pic;
}

plat::Surface WithGirl(plat::Surface place) {
    Overlay(place, CharacterPicture(1), 200, 0, 1.0);
    return place;
}

plat::Surface WithLight(plat::Surface place) {
    static const plat::Surface light = DriftingLight(); // one for every picture it lights
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 200; ++x)
            paint::Blend(place.Row(y)[300 + x], light.Row(y)[x], 1.0);
    return place;
}

std::vector<std::pair<std::string, std::string>> StoryPictures() {
    std::vector<std::pair<std::string, std::string>> out;
    for (int k = 1; k <= 6; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "bg%02d.bmp", k);
        out.emplace_back(name, EncodeBmp24(Place(k)));
    }
    out.emplace_back("cg01.bmp", EncodeBmp24(EventPicture(1)));
    out.emplace_back("cg02.dds", EncodeDds32(DriftingLight()));
    out.emplace_back("cg03.bmp", EncodeBmp24(EventPicture(3)));
    return out;
}

} // namespace story
