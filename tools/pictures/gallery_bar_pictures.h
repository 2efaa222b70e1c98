#pragma once
#include <string>
#include <utility>
#include <vector>

// The controller bars of the gallery's full view ("CGReplay_Controller.dds")
// and of the music room ("BGM_Controller.dds"): the adventure bar's sheet
// layout, each holding only the buttons its screen uses; the others' pieces
// stay transparent in every look, so a bar never shows a button that does
// nothing there.
namespace screens {

// Members for dat/Img.dat: file name and DDS bytes.
std::vector<std::pair<std::string, std::string>> GalleryBarPictures();

} // namespace screens
