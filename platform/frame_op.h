#pragma once
#include <cstdint>
#include <type_traits>

namespace plat {

// One drawing operation of a frame kept as plain words (state, the picture
// read with its content stamp, geometry), so that two frames compare
// bytewise and a frame can be drawn again later, in whole or in part.
struct FrameOp {
    uint32_t kind = 0;
    uint32_t flags = 0;
    uint32_t src = 0, dst = 0;
    uint32_t colour = 0; // clear colour, or the picture's key
    int32_t texW = 0, texH = 0;
    uint32_t unused = 0;
    uint64_t texAddr = 0;
    uint64_t texStamp = 0;
    uint32_t geometry[32] = {}; // vertices' bits, or the two rectangles
};
static_assert(std::has_unique_object_representations_v<FrameOp>, "frame operations compare bytewise");

constexpr uint32_t kOpClear = 1;
constexpr uint32_t kOpQuad = 2;
constexpr uint32_t kOpBlt = 3;

constexpr uint32_t kOpAlphaBlend = 1;
constexpr uint32_t kOpColorKey = 2;
constexpr uint32_t kOpKeySrc = 4;
constexpr uint32_t kOpTexKeyed = 8;
constexpr uint32_t kOpTexLost = 16;

} // namespace plat
