#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/surface.h"

// The story's places and key moments, painted flat in perspective: the
// classroom at sunset (bg01), the library (bg02), the rooftop (bg03), the
// road home in the evening (bg04), the corridor after class (bg05) and the
// classroom after the evening shower (bg06); the
// event pictures cg01 and cg03, and cg02 (a DDS), a strip of four frames of
// translucent falling light for the story's animated object.
namespace story {

// Background k (1..6), 800 x 600.
plat::Surface Place(int k);

// The story's girl (chara01) where the story stands her: at (200, 0).
plat::Surface WithGirl(plat::Surface place);

// The story's light (cg02's first frame) over a place, as its animated
// object lays it at full strength: at x = 300, the place seen through it.
plat::Surface WithLight(plat::Surface place);

// Event picture k (1..6): a place with one of the girls in it, 800 x 600.
plat::Surface EventPicture(int k);

// bg01-06, cg01-03 for dat/Img.dat.
std::vector<std::pair<std::string, std::string>> StoryPictures();

} // namespace story
