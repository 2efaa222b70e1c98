#pragma once
#include <cstdint>

namespace plat {

// The classic C runtime generator: results 0..32767. glibc's rand() reaches
// 2^31-1, so we keep our own state; tests seed it for repeatable draws.
void SeedRand(uint32_t seed);
int Rand();

} // namespace plat
