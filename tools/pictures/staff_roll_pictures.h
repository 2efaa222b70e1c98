#pragma once
#include <string>
#include <utility>
#include <vector>

// The sample game's staff roll pictures: the roll's sheet (the top and
// bottom bands, then one piece per credit line below them) and the two
// backgrounds its script fades in and changes to, each a framed scene of
// the story beside the column the credits rise in.
namespace rollpics {

// Where one credit line lies on the sheet; the roll script cuts exactly
// these rectangles, by the same IDs.
struct Piece {
    std::string id;
    int left, top, right, bottom;
};

std::vector<Piece> StaffRollPieces();

// Members for dat/Img.dat: file name and file bytes.
std::vector<std::pair<std::string, std::string>> StaffRollPictures();

} // namespace rollpics
