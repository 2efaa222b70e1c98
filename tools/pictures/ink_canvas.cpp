#include "tools/pictures/ink_canvas.h"

#include <algorithm>
#include <cmath>

#include "tools/pictures/paint.h"

namespace ink {

Canvas::Canvas(int w, int h)
    : w2_(w * 2), h2_(h * 2), px_(static_cast<size_t>(w2_) * h2_, 0u), part_(px_.size(), -1) {}

void Canvas::Plot(int x, int y, uint32_t argb, int part) {
    const size_t i = static_cast<size_t>(y) * w2_ + x;
    if ((argb >> 24) == 0xFF) {
        px_[i] = argb;
        part_[i] = part;
    } else {
        paint::Blend(px_[i], argb, 1.0);
        if (part_[i] < 0 && (px_[i] >> 24) != 0)
            part_[i] = part;
    }
}

void Canvas::Polygon(const std::vector<Pt>& pts, const Shader& shade, int part) {
    if (pts.size() < 3)
        return;
    double top = pts[0].y, bottom = pts[0].y;
    for (const Pt& p : pts) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const int y0 = std::max(0, static_cast<int>(std::floor(top * 2))),
              y1 = std::min(h2_ - 1, static_cast<int>(std::ceil(bottom * 2)));
    std::vector<double> xs;
    for (int y = y0; y <= y1; ++y) {
        const double sy = (y + 0.5) / 2; // sample row in final coordinates
        xs.clear();
        for (size_t i = 0; i < pts.size(); ++i) {
            const Pt& a = pts[i];
            const Pt& b = pts[(i + 1) % pts.size()];
            if ((a.y <= sy) != (b.y <= sy))
                xs.push_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t k = 0; k + 1 < xs.size(); k += 2) {
            const int x0 = std::max(0, static_cast<int>(std::ceil(xs[k] * 2 - 0.5)));
            const int x1 = std::min(w2_ - 1, static_cast<int>(std::floor(xs[k + 1] * 2 - 0.5)));
            for (int x = x0; x <= x1; ++x)
                Plot(x, y, shade((x + 0.5) / 2, sy), part);
        }
    }
}

void Canvas::Polygon(const std::vector<Pt>& pts, uint32_t argb, int part) {
    Polygon(pts, [argb](double, double) { return argb; }, part);
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry, uint32_t argb, int part) {
    std::vector<Pt> pts;
    const int n = std::clamp(static_cast<int>((rx + ry) * 1.5), 16, 720);
    for (int i = 0; i < n; ++i) {
        const double a = 2 * M_PI * i / n;
        pts.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    Polygon(pts, argb, part);
}

void Canvas::Rect(double l, double t, double r, double b, uint32_t argb, int part) {
    Polygon({{l, t}, {r, t}, {r, b}, {l, b}}, argb, part);
}

void Canvas::Rect(double l, double t, double r, double b, const Shader& shade, int part) {
    Polygon({{l, t}, {r, t}, {r, b}, {l, b}}, shade, part);
}

void Canvas::Line(Pt a, Pt b, double width, uint32_t argb, int part) {
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::max(1e-9, std::hypot(dx, dy));
    const double nx = -dy / len * width / 2, ny = dx / len * width / 2;
    Polygon({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}, argb, part);
}

plat::Surface Canvas::Finish(uint32_t line, int lineWidth) const {
    std::vector<uint32_t> big = px_;
    if (lineWidth > 0) {
        const int r = lineWidth;
        auto partAt = [&](int x, int y) { return part_[static_cast<size_t>(y) * w2_ + x]; };
        for (int y = 0; y < h2_; ++y)
            for (int x = 0; x < w2_; ++x) {
                const int me = partAt(x, y);
                if (me <= 0)
                    continue;
                bool edge = false;
                for (int dy = -r; dy <= r && !edge; ++dy)
                    for (int dx = -r; dx <= r && !edge; ++dx) {
                        if (dx * dx + dy * dy > r * r)
                            continue;
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= w2_ || ny >= h2_)
                            continue;
                        // Only the higher part inks a shared border, so lines keep one width.
                        edge = partAt(nx, ny) < me;
                    }
                if (edge)
                    big[static_cast<size_t>(y) * w2_ + x] = line;
            }
    }
    plat::Surface out(w2_ / 2, h2_ / 2);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            double a = 0, c[3] = {0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                const uint32_t p = big[static_cast<size_t>(2 * y + k / 2) * w2_ + 2 * x + k % 2];
                const double pa = (p >> 24) / 255.0;
                a += pa;
                for (int ch = 0; ch < 3; ++ch)
                    c[ch] += ((p >> (8 * ch)) & 0xFF) * pa;
            }
            uint32_t o = static_cast<uint32_t>(std::lround(a / 4 * 255)) << 24;
            if (a > 0)
                for (int ch = 0; ch < 3; ++ch)
                    o |= static_cast<uint32_t>(std::lround(std::min(255.0, c[ch] / a))) << (8 * ch);
            out.Row(y)[x] = o;
        }
    return out;
}

Shader VGradient(double top, double bottom, uint32_t c0, uint32_t c1) {
    return [=](double, double y) { return paint::Mix(c0, c1, std::clamp((y - top) / std::max(1e-9, bottom - top), 0.0, 1.0)); };
}

} // namespace ink
