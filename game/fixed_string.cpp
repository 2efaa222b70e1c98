#include "game/fixed_string.h"

#include "platform/sjis.h"

namespace game {

void CopyFixed(char* dest, size_t size, const char* src) {
    if (!dest || size == 0)
        return;
    if (!src) {
        dest[0] = '\0';
        return;
    }
    size_t i = 0;
    while (src[i] != '\0') {
        size_t step = plat::IsSjisLeadByte(static_cast<uint8_t>(src[i])) && src[i + 1] != '\0' ? 2 : 1;
        if (i + step > size - 1)
            break;
        for (size_t k = 0; k < step; ++k)
            dest[i + k] = src[i + k];
        i += step;
    }
    dest[i] = '\0';
}

} // namespace game
