#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "platform/gdi_font.h"
#include "platform/surface.h"

// Drawing helpers shared by the sample-picture generators: blended shapes
// and Japanese captions through the game's own font layer.
namespace paint {

// Channel-wise blend of two colours, alpha included (t = 0 gives a).
uint32_t Mix(uint32_t a, uint32_t b, double t);

// Source-over blend of colour at the given coverage (0..1) onto one pixel
// whose alpha may be below opaque (the DDS materials keep their alpha).
void Blend(uint32_t& dst, uint32_t colour, double coverage);

// Overwrites a rectangle, clipped to the surface.
void Fill(plat::Surface& s, int l, int t, int r, int b, uint32_t argb);

// Overwrites the surface at (l, t) with a picture, clipped.
void Put(plat::Surface& s, int l, int t, const plat::Surface& picture);

// A vertical gradient over a rectangle.
void Gradient(plat::Surface& s, int l, int t, int r, int b, uint32_t top, uint32_t bottom);

// A rounded box with a rim, its inside a vertical gradient, blended over
// what is there.
void Panel(plat::Surface& s, int l, int t, int r, int b, uint32_t top, uint32_t bottom, uint32_t rim, int radius,
           int rimWidth);

void Ellipse(plat::Surface& s, double cx, double cy, double rx, double ry, uint32_t argb);

// Shift-JIS captions drawn with the game's font layer; without a Japanese
// font nothing is drawn and drawn() stays false.
class Captions {
public:
    // Width of a caption in pixels.
    int Width(const char* text, int height, int weight = 400);

    // Draws text with the top of its cell at y.
    void Draw(plat::Surface& s, int x, int y, const char* text, int height, uint32_t argb, int weight = 400);

    // Text with an outline all round.
    void Outlined(plat::Surface& s, int x, int y, const char* text, int height, uint32_t argb, uint32_t outline,
                  int weight = 400, int width = 1);

    // Centred in a rectangle.
    void Centred(plat::Surface& s, int l, int t, int r, int b, const char* text, int height, uint32_t argb,
                 uint32_t outline = 0, int weight = 400);

    bool drawn() const { return drawn_; }

private:
    plat::GdiFont* FontFor(int height, int weight);
    std::map<std::pair<int, int>, std::unique_ptr<plat::GdiFont>> fonts_;
    bool drawn_ = false;
};

// The game's buttons, 24 high, white rimmed: dark blue, lighter blue under
// the pointer, gold with the label a pixel lower when pushed.
enum class ButtonLook { kNormal, kHover, kPushed };

void Button(plat::Surface& s, Captions& cap, int l, int t, int r, const char* text, ButtonLook look);

// Paints one look of a button into a surface at (0, 0).
using ButtonPainter = std::function<void(plat::Surface&, ButtonLook)>;

// The screens draw a button's picture at half strength until the pointer is
// on it. With the hover look in the material, this paints into the
// background at (l, t) what makes that half-strength draw come out as the
// normal look over what lay there: each pixel solved from
// normal = under * (1 - a / 2) + hover * a / 2. `look` paints one look into
// a w x h surface at (0, 0); the normal look is painted over the background.
void HalfStrengthUnder(plat::Surface& s, int l, int t, int w, int h, const ButtonPainter& look);

// The same for a button picture made beforehand (one another screen shares).
void HalfStrengthUnder(plat::Surface& s, int l, int t, const plat::Surface& picture, const ButtonPainter& look);

// For a button a screen draws only at times, whose place in the background
// stays plain: the w x h picture that, drawn at half strength over the
// background at (l, t), comes out as the normal look, 2 * normal - under per
// channel. Where that is out of reach (a white rim over a dark ground) it is
// clamped, so the half-strength rim and label come out as light as the
// ground allows; where the look leaves the ground as it was the picture is
// clear. Drawn whole under the pointer it reads as a lighter button.
plat::Surface HalfStrengthPicture(const plat::Surface& background, int l, int t, int w, int h,
                                  const ButtonPainter& look);

} // namespace paint
