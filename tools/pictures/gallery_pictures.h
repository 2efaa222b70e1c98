#pragma once
#include <string>
#include <utility>
#include <vector>

// The sample game's picture gallery: its two backgrounds, the material
// sheet, the thumbnail atlases and the full-view pictures named by
// sample/Scenario/CGModeData.txt (each scene's own, of what it shows), each
// source rectangle the gallery cuts holding a drawn piece; and CG_VIEW01 and
// CG_VIEW02, the stills the demo and music-room films are cut from.
namespace screens {

// Members for dat/Img.dat: file name and file bytes (BMP or DDS).
std::vector<std::pair<std::string, std::string>> GalleryPictures();

} // namespace screens
