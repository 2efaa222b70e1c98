#include "platform/video_image_masks.h"

namespace plat {

bool CutMasksToPixel(uint32_t bits, bool alphaAlone, PixelMasks* m) {
    const uint32_t inPixel = PixelBitsMask(bits);
    m->red &= inPixel, m->green &= inPixel, m->blue &= inPixel, m->alpha &= inPixel;
    // Nothing stored to show: refused rather than drawn black.
    return (m->red | m->green | m->blue) || (alphaAlone && m->alpha);
}

} // namespace plat
