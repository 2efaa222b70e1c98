#pragma once
#include <string>
#include <utility>
#include <vector>

// The sample game's staff roll pictures: the roll's sheet (the top and
// bottom bands and one 800 x 40 strip per credit line below them) and the
// two backgrounds its script fades in and changes to.
namespace rollpics {

// Members for dat/Img.dat: file name and file bytes.
std::vector<std::pair<std::string, std::string>> StaffRollPictures();

} // namespace rollpics
