#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/surface.h"

// The story's places and key moments, painted flat in perspective: the
// classroom at sunset (bg01), the library (bg02), the rooftop (bg03), the
// road home in the evening (bg04) and the corridor after class (bg05); the
// event pictures cg01 and cg03, and cg02, a strip of four frames of drifting
// light for the story's animated object.
namespace story {

// Background k (1..5), 800 x 600.
plat::Surface Place(int k);

// Event picture k (1..6): a place with one of the girls in it, 800 x 600.
plat::Surface EventPicture(int k);

// bg01-05, cg01-03 for dat/Img.dat.
std::vector<std::pair<std::string, std::string>> StoryPictures();

} // namespace story
