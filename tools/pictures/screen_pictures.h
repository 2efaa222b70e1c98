#pragma once
#include <string>
#include <utility>
#include <vector>

// The sample game's pictures for the logo, title and options screens, the
// message window and the controller bar, drawn so that every source
// rectangle these cut from them holds a drawn item: title, menu items, bars,
// settings cells, buttons in each look, portraits and row labels, with
// Japanese captions rendered by the game's own font layer.
namespace screens {

// Members for dat/Img.dat: file name and file bytes (BMP or DDS). Without a
// Japanese font the captions are left out and everything else is drawn.
std::vector<std::pair<std::string, std::string>> ScreenPictures();

// Whether the last ScreenPictures() call drew its captions.
bool CaptionsDrawn();

} // namespace screens
