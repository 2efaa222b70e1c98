#include "platform/video_image_bmp_rle.h"

namespace plat {

namespace {

// The write position in the picture: x from the left, row from the bottom.
class RlePen {
public:
    RlePen(const uint32_t* palette, Surface* s) : palette_(palette), s_(s) {}
    void Put(uint32_t index) {
        if (x_ < s_->width && row_ < s_->height)
            s_->Row(s_->height - 1 - row_)[x_] = palette_[index & 0xFF];
        if (x_ < s_->width)
            ++x_; // past the row's end the rest of the run is dropped
    }
    void NextLine() { x_ = 0, ++row_; }
    void Move(int dx, int dy) {
        x_ = x_ + dx < s_->width ? x_ + dx : s_->width;
        row_ += dy;
    }
    bool Done() const { return row_ >= s_->height; }

private:
    const uint32_t* palette_;
    Surface* s_;
    int x_ = 0, row_ = 0;
};

} // namespace

void ExpandBmpRle(const uint8_t* p, size_t size, int bitsPerIndex, const uint32_t* palette, Surface* s) {
    const bool four = bitsPerIndex == 4;
    RlePen pen(palette, s);
    size_t at = 0;
    while (!pen.Done() && size - at >= 2) {
        const uint32_t count = p[at], value = p[at + 1];
        at += 2;
        if (count) { // a run of one index, or of two alternating nibbles
            for (uint32_t i = 0; i < count; ++i)
                pen.Put(four ? ((i & 1) ? value & 0xF : value >> 4) : value);
        } else if (value == 0) {
            pen.NextLine();
        } else if (value == 1) {
            return; // end of the bitmap
        } else if (value == 2) {
            if (size - at < 2)
                return;
            pen.Move(p[at], p[at + 1]);
            at += 2;
        } else { // absolute: value indices, the group padded to a 16-bit boundary
            const size_t bytes = four ? (value + 1) / 2 : value;
            for (uint32_t i = 0; i < value; ++i) {
                const size_t byte = at + (four ? i / 2 : i);
                if (byte >= size)
                    return;
                pen.Put(four ? ((i & 1) ? p[byte] & 0xF : p[byte] >> 4) : p[byte]);
            }
            at += bytes + (bytes & 1);
            if (at > size)
                return;
        }
    }
}

} // namespace plat
