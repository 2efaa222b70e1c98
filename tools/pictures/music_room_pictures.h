#pragma once
#include <string>
#include <utility>
#include <vector>

// The sample music room's background "BGMModeBG.bmp" and material sheet
// "BGMModeMaterial.dds": row plates, the track and movie row pictures, the
// four frames of the playing mark and the exit button, at the rectangles
// the room cuts and laid out for its two columns of rows on 800 x 600.
namespace screens {

// Members for dat/Img.dat: file name and file bytes.
std::vector<std::pair<std::string, std::string>> MusicRoomPictures();

} // namespace screens
