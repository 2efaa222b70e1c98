#include "platform/random.h"

namespace plat {

namespace {
uint32_t g_state = 1;
}

void SeedRand(uint32_t seed) { g_state = seed; }

int Rand() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

} // namespace plat
