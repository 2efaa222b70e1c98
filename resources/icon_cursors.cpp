#include "resources/icon_cursors.h"

#include <cstring>

namespace {

// One character per pixel: '.' transparent, the others from the palette.
struct PaletteEntry {
    char key;
    uint32_t argb;
};

plat::Surface FromArt(const char* const* rows, int height, const PaletteEntry* palette, int paletteSize) {
    int width = static_cast<int>(strlen(rows[0]));
    plat::Surface s(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width && rows[y][x]; ++x) {
            uint32_t c = 0;
            for (int i = 0; i < paletteSize; ++i) {
                if (palette[i].key == rows[y][x])
                    c = palette[i].argb;
            }
            s.Row(y)[x] = c;
        }
    }
    return s;
}

// A pointer with a small spinning-star tail.
const char* const kMonoArt[] = {
    "#...............", "##..............", "#o#.............", "#oo#............",
    "#ooo#...........", "#oooo#..........", "#ooooo#.........", "#oooooo#........",
    "#ooooooo#.......", "#oooo#####......", "#oo#oo#.........", "#o#.#oo#........",
    "##..#oo#....#...", "#....#oo#..###..", ".....#oo#...#...", "......##........",
};

const char* const kColorArt[] = {
    "#...............", "##..............", "#y#.............", "#yy#............",
    "#yyy#...........", "#yyyy#..........", "#yyyyo#.........", "#yyyooo#........",
    "#yyoooor#.......", "#yoo#####.......", "#oo#rr#.........", "#r#.#rr#....b...",
    "##..#rr#...bbb..", "#....#rr#...b...", ".....#rr#.......", "......##........",
};

const char* const kIconArt[] = {
    "................................", "...........kkkkkkkkkk...........", ".........kkbbbbbbbbbbkk.........",
    ".......kkbbbbbbbbbbbbbbkk.......", "......kbbbbbbbbbbbbbbbbbbk......", ".....kbbbbbbbbbbbbbbbbbbbbk.....",
    "....kbbbbbbbbbbbbbbwbbbbbbbk....", "...kbbbbbbbbbbbbbbwwbbbbbbbbk...", "...kbbbbbbbbbbbbbwwwbbbbbbbbk...",
    "..kbbbbbbbbbbbbbwwwwbbbbbbbbbk..", "..kbbbbbbbbbbbbwwwwwbbbbbbbbbk..", ".kbbbbbbyyyyyyyyyyyyyyyybbbbbbk.",
    ".kbbbbbbbyyyyyyyyyyyyyybbbbbbbk.", ".kbbbbbbbbyyyyyyyyyyyybbbbbbbbk.", ".kbbbbbbbbbyyyyyyyyyybbbbbbbbbk.",
    ".kbbbbbbbbbbyyyyyyyybbbbbbbbbbk.", ".kbbbbbbbbbbyyyyyyyybbbbbbbbbbk.", ".kbbbbbbbbbyyyyyyyyyybbbbbbbbbk.",
    ".kbbbbbbbbyyyyybbyyyyybbbbbbbbk.", ".kbbbbbbbyyyyybbbbyyyyybbbbbbbk.", ".kbbbbbbyyyybbbbbbbbyyyybbbbbbk.",
    "..kbbbbbyybbbbbbbbbbbbyybbbbbk..", "..kbbbbbbbbbbbbbbbbbbbbbbbbbbk..", "...kbbbbbbbbbbbbbbbbbbbbbbbbk...",
    "...kbbbbbbbbbbbbbbbbbbbbbbbbk...", "....kbbbbbbbbbbbbbbbbbbbbbbk....", ".....kbbbbbbbbbbbbbbbbbbbbk.....",
    "......kbbbbbbbbbbbbbbbbbbk......", ".......kkbbbbbbbbbbbbbbkk.......", ".........kkbbbbbbbbbbkk.........",
    "...........kkkkkkkkkk...........", "................................",
};

const PaletteEntry kMonoPalette[] = {{'#', 0xFF000000u}, {'o', 0xFFFFFFFFu}};
const PaletteEntry kColorPalette[] = {
    {'#', 0xFF201010u}, {'y', 0xFFFFE060u}, {'o', 0xFFFF9A30u}, {'r', 0xFFD83A3Au}, {'b', 0xFF5080FFu}};
const PaletteEntry kIconPalette[] = {{'k', 0xFF10182Cu}, {'b', 0xFF2C4C8Cu}, {'w', 0xFFF0F4FFu}, {'y', 0xFFFFD24Au}};

} // namespace

const plat::Surface& MainIconImage() {
    static const plat::Surface s = FromArt(kIconArt, 32, kIconPalette, 4);
    return s;
}

plat::CursorImage MonochromeCursor() {
    static const plat::Surface s = FromArt(kMonoArt, 16, kMonoPalette, 2);
    return plat::CursorImage{&s, 0, 0};
}

plat::CursorImage ColorCursor() {
    static const plat::Surface s = FromArt(kColorArt, 16, kColorPalette, 5);
    return plat::CursorImage{&s, 0, 0};
}
