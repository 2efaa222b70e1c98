#pragma once
#include <vector>

#include "platform/frame_op.h"
#include "platform/video.h"

namespace plat {

// Where a frame differs from the one before, found from their draw lists.
// The region is the union of the rectangles (old and new) of every draw that
// is not matched, in order, by an equal draw of the other frame: outside it
// every pixel sees the same draws in the same order, so it keeps its value.
struct FrameDamage {
    bool full = false; // draw and show the whole frame
    std::vector<RectI> rects; // disjoint enough to draw apart; empty and not full: no change
    size_t same = 0; // the leading operations equal in both frames
};

// Pixels an operation may write, within width x height.
RectI OpBounds(const FrameOp& op, int width, int height);

// True when the rectangles together cover all of area (a few dozen at most).
bool RectsCover(const std::vector<RectI>& rects, const RectI& area);

FrameDamage DiffFrames(const std::vector<FrameOp>& prev, const std::vector<FrameOp>& cur, int width, int height);

} // namespace plat
