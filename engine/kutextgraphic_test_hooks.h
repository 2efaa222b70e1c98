#pragma once
#include <cstdint>
#include <functional>

#include "engine/kutextgraphic.h"

// Test seam for the texture-text creator: called with the requested format
// and size before each texture is made; a negative result refuses that
// format, and the hook may change what is reported back. Null restores the
// device.
using TextureCreateHook = std::function<int32_t(KUTextureFormat* format, uint32_t* width, uint32_t* height)>;
void SetTextureCreateHook(TextureCreateHook hook);
