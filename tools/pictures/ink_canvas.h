#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/surface.h"

// A drawing canvas for the story's flat painted pictures: filled polygons
// and ellipses at twice the final size, each tagged with a part number, so
// that Finish() can ink the borders between parts (line art) and average
// every 2 x 2 block down to a smooth-edged picture with alpha.
namespace ink {

struct Pt {
    double x, y;
};

// Colour of a pixel of a shape by its position in final-picture pixels.
using Shader = std::function<uint32_t(double x, double y)>;

class Canvas {
public:
    // w, h: the final picture's size; starts transparent.
    Canvas(int w, int h);

    // Shapes in final-picture coordinates; part 0 is never inked, any other
    // number gets a line where it meets a different part or transparency.
    void Polygon(const std::vector<Pt>& pts, uint32_t argb, int part = 0);
    void Polygon(const std::vector<Pt>& pts, const Shader& shade, int part = 0);
    void Ellipse(double cx, double cy, double rx, double ry, uint32_t argb, int part = 0);
    void Rect(double l, double t, double r, double b, uint32_t argb, int part = 0);
    void Rect(double l, double t, double r, double b, const Shader& shade, int part = 0);
    // A straight stroke of the given width, drawn as a quad.
    void Line(Pt a, Pt b, double width, uint32_t argb, int part = 0);

    // Inks part borders with line colour (width in double-size pixels) and
    // returns the picture at its final size.
    plat::Surface Finish(uint32_t line = 0, int lineWidth = 0) const;

private:
    void Plot(int x, int y, uint32_t argb, int part);
    int w2_, h2_;
    std::vector<uint32_t> px_;
    std::vector<int> part_;
};

// A vertical two-colour gradient shader between screen rows top and bottom.
Shader VGradient(double top, double bottom, uint32_t c0, uint32_t c1);

// A small deterministic generator for scattered details.
class Dice {
public:
    explicit Dice(uint32_t seed) : s_(seed * 2654435761u + 1) {}
    uint32_t Next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    double Unit() { return (Next() % 10000) / 10000.0; }

private:
    uint32_t s_;
};

} // namespace ink
