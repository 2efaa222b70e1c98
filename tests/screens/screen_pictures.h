#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Pictures of our own making for the logo, title and options screens, laid
// out so that every source rectangle the screens use lies inside them.
namespace screens {

// An ARGB canvas with the few shapes the pictures need.
struct Canvas {
    Canvas(int w, int h, uint32_t fill);
    void Fill(int l, int t, int r, int b, uint32_t argb);
    // A filled box with a border of the given width.
    void Box(int l, int t, int r, int b, uint32_t fill, uint32_t border, int width = 2);
    int w, h;
    std::vector<uint32_t> px;
};

std::string ToBmp24(const Canvas& c);
std::string ToDds32(const Canvas& c);

// Members for dat/Img.dat: name and bytes.
std::vector<std::pair<std::string, std::string>> ScreenPictures();

// Writes dat/Img.dat with the pictures into a game folder (the working
// directory when gameDir is empty).
bool WriteScreenArchive(const std::string& gameDir);

}  // namespace screens
