#pragma once
#include <string>
#include <utility>
#include <vector>

// The sample game's picture gallery: its two backgrounds, the material
// sheet, the thumbnail atlases and the full-view pictures named by
// sample/Scenario/CGModeData.txt, each source rectangle the gallery cuts
// holding a drawn piece.
namespace screens {

// Members for dat/Img.dat: file name and file bytes (BMP or DDS).
std::vector<std::pair<std::string, std::string>> GalleryPictures();

} // namespace screens
