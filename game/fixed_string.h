#pragma once
#include <cstddef>
#include <cstring>

namespace game {

// Copies a NUL-terminated string into a fixed buffer of `size` bytes. Text
// that does not fit is cut inside the buffer and always terminated; a cut
// never leaves half of a Shift-JIS double-byte character at the end.
void CopyFixed(char* dest, size_t size, const char* src);

template <size_t N>
void CopyFixed(char (&dest)[N], const char* src) {
    CopyFixed(dest, N, src);
}

} // namespace game
