#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/test_env.h"
#include "tools/pictures/gallery_bar_pictures.h"

namespace {

struct Sheet {
    std::string bytes;
    uint32_t Px(int x, int y) const {
        uint32_t w = 0, v = 0;
        std::memcpy(&w, &bytes[16], 4);
        std::memcpy(&v, &bytes[128 + 4 * (static_cast<size_t>(y) * w + x)], 4);
        return v;
    }
    bool Drawn(int l, int t, int r, int b) const {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                if (Px(x, y) >> 24)
                    return true;
        return false;
    }
};

// Each bar shows, in all four looks, the buttons its screen uses and leaves
// the others clear; the pieces that overlap on the bar (play over stop,
// volume up over volume down) keep clear of the shared rows.
TEST(BarPictures, OnlyTheScreensButtonsAreDrawnAndOverlapsStayClear) {
    Sheet gallery, music;
    for (auto& [name, bytes] : screens::GalleryBarPictures())
        (name == "BGM_Controller.dds" ? music : gallery).bytes = bytes;
    ASSERT_FALSE(gallery.bytes.empty());
    ASSERT_FALSE(music.bytes.empty());
    // Pieces in a look's own coordinates: save, load, config, hide, play, stop, BACK, NEXT, volume up, down.
    enum { kSave, kLoad, kConfig, kHide, kPlay, kStop, kBack, kNext, kUp, kDown };
    const int piece[10][4] = {{0, 0, 72, 24},   {72, 0, 144, 24},   {0, 24, 72, 48},    {72, 24, 144, 48},
                              {112, 48, 168, 88}, {168, 48, 224, 88}, {0, 48, 56, 112},   {56, 48, 112, 112},
                              {144, 0, 160, 24},  {160, 0, 176, 24}};
    const bool inGallery[10] = {false, false, false, true, false, true, true, true, true, true};
    const bool inMusic[10] = {false, false, false, false, true, true, true, true, true, true};
    for (const int* at : {(const int[]){0, 116}, (const int[]){224, 116}, (const int[]){0, 232}, (const int[]){224, 232}})
        for (int k = 0; k < 10; ++k) {
            const int l = at[0] + piece[k][0], t = at[1] + piece[k][1], r = at[0] + piece[k][2],
                      b = at[1] + piece[k][3];
            EXPECT_EQ(gallery.Drawn(l, t, r, b), inGallery[k]) << "gallery piece " << k << " at " << at[0];
            EXPECT_EQ(music.Drawn(l, t, r, b), inMusic[k]) << "music piece " << k << " at " << at[0];
            if (k == kPlay) {
                EXPECT_FALSE(music.Drawn(l, b - 5, r, b)); // under stop's top
            }
            if (k == kStop) {
                EXPECT_FALSE(music.Drawn(l, t, r, t + 5)); // under play's bottom
            }
            if (k == kUp) {
                EXPECT_FALSE(music.Drawn(l, b - 4, r, b) || gallery.Drawn(l, b - 4, r, b));
            }
            if (k == kDown) {
                EXPECT_FALSE(music.Drawn(l, t, r, t + 4) || gallery.Drawn(l, t, r, t + 4));
            }
        }
}

// The room types its comments as texture text, which takes two bytes a
// character: a half-width character in a sample comment breaks it.
TEST(MusicRoomSample, CommentsAreFullWidth) {
    std::ifstream in(kutest::SourceDir() + "/sample/Scenario/BGMModeData.txt");
    ASSERT_TRUE(in);
    std::string line;
    int tracks = 0;
    while (std::getline(in, line)) {
        std::istringstream ss(line);
        std::string key, title, right, file, comment;
        if (!(ss >> key >> title >> right >> file >> comment) || key.rfind("BGM", 0) != 0)
            continue;
        ++tracks;
        for (size_t i = 0; i < comment.size(); ++i) {
            if (comment.compare(i, 2, "\\n") == 0) {
                ++i;
                continue;
            }
            EXPECT_GE(static_cast<unsigned char>(comment[i]), 0x80u) << line;
        }
    }
    EXPECT_EQ(tracks, 14);
}

} // namespace
