#pragma once
#include <string>
#include <utility>
#include <vector>

// The sample game's save and load screens: their two backgrounds and the
// material sheet "SaveLoadMaterial.dds" (thirty slot frames in three columns
// of ten, the slot plates in their three looks, the back and to-the-title
// buttons normal and pressed), every source rectangle the screens cut
// holding a drawn piece.
namespace screens {

// Members for dat/Img.dat: file name and file bytes (BMP or DDS).
std::vector<std::pair<std::string, std::string>> SaveLoadPictures();

} // namespace screens
