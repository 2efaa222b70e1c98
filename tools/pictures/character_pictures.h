#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/surface.h"

// The story's characters: a schoolgirl in a sailor uniform, 400 x 600 with
// alpha, each with her own hair, eyes and ribbon.
namespace story {

// Character k (1..3).
plat::Surface CharacterPicture(int k);

// chara01.dds .. chara03.dds for dat/Img.dat.
std::vector<std::pair<std::string, std::string>> CharacterPictures();

} // namespace story
