#include "platform/letterbox.h"

#include <cstdint>

namespace plat {

namespace {

// Rounds towards minus infinity, so that the bar left of or above the picture
// never maps onto its first column or row.
int FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<int>(q);
}

} // namespace

FitRect Letterbox(int outW, int outH, int picW, int picH) {
    FitRect r{0, 0, outW, outH};
    if (picW <= 0 || picH <= 0 || outW <= 0 || outH <= 0)
        return r;
    if (static_cast<int64_t>(outW) * picH > static_cast<int64_t>(outH) * picW) {
        r.w = static_cast<int>(static_cast<int64_t>(outH) * picW / picH);
        r.x = (outW - r.w) / 2;
    } else {
        r.h = static_cast<int>(static_cast<int64_t>(outW) * picH / picW);
        r.y = (outH - r.h) / 2;
    }
    return r;
}

void OutputToPicture(const FitRect& r, int picW, int picH, int x, int y, int* px, int* py) {
    *px = r.w > 0 ? FloorDiv(static_cast<int64_t>(x - r.x) * picW, r.w) : x;
    *py = r.h > 0 ? FloorDiv(static_cast<int64_t>(y - r.y) * picH, r.h) : y;
}

void PictureToOutput(const FitRect& r, int picW, int picH, int px, int py, int* x, int* y) {
    *x = picW > 0 ? r.x + FloorDiv(static_cast<int64_t>(px) * r.w, picW) : px;
    *y = picH > 0 ? r.y + FloorDiv(static_cast<int64_t>(py) * r.h, picH) : py;
}

} // namespace plat
