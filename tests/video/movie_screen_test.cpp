#include <gtest/gtest.h>

#include "platform/video_movie.h"
#include "platform/video_present.h"

namespace {

plat::Surface Filled(int w, int h, uint32_t c) {
    plat::Surface s(w, h);
    std::fill(s.pixels.begin(), s.pixels.end(), c);
    return s;
}

TEST(MovieScreen, PictureIsScaledIntoItsWindowOverTheGameFrameAndHidingRestoresIt) {
    plat::PresentFrame(Filled(800, 600, 0xFF102030u), 32);
    plat::MovieScreen screen;

    plat::Surface picture = Filled(4, 2, 0x00AABBCCu); // a movie picture carries no alpha
    picture.Row(1)[3] = 0x00010203u;
    plat::VideoWindowState window;
    window.visible = true;
    window.x = 100;
    window.y = 50;
    window.width = 8;
    window.height = 4;
    screen.ShowMoviePicture(picture, window);

    const plat::Surface& shown = plat::LastPresentedFrame();
    EXPECT_EQ(0xFF102030u, shown.Row(49)[100]);
    EXPECT_EQ(0xFFAABBCCu, shown.Row(50)[100]);
    EXPECT_EQ(0xFF010203u, shown.Row(53)[107]); // each source pixel covers 2 x 2
    EXPECT_EQ(0xFF010203u, shown.Row(52)[106]);
    EXPECT_EQ(0xFF102030u, shown.Row(54)[107]);
    EXPECT_EQ(0xFF102030u, shown.Row(50)[108]);

    // A second picture is drawn over the saved game frame, not over the first.
    window.x = 0;
    screen.ShowMoviePicture(picture, window);
    EXPECT_EQ(0xFF102030u, plat::LastPresentedFrame().Row(50)[100]);

    // A game that goes on drawing keeps the picture on top of each new frame.
    EXPECT_TRUE(screen.PresentGameFrame(Filled(800, 600, 0xFF405060u), 32));
    EXPECT_EQ(0xFF405060u, plat::LastPresentedFrame().Row(50)[100]);
    EXPECT_EQ(0xFFAABBCCu, plat::LastPresentedFrame().Row(50)[0]);

    screen.HideMovie();
    EXPECT_FALSE(screen.showing());
    EXPECT_EQ(0xFF405060u, plat::LastPresentedFrame().Row(50)[0]);
    EXPECT_FALSE(screen.PresentGameFrame(Filled(800, 600, 0xFF102030u), 32));
    EXPECT_EQ(0xFF405060u, plat::LastPresentedFrame().Row(50)[0]); // left to the caller
}

TEST(MovieScreen, FullScreenCoversTheWholePictureAndEmptyWindowsDrawNothing) {
    plat::PresentFrame(Filled(800, 600, 0xFF000000u), 32);
    plat::MovieScreen screen;
    plat::VideoWindowState window;
    window.visible = true;
    window.fullScreen = true;
    screen.ShowMoviePicture(Filled(320, 240, 0x00FF0000u), window);
    EXPECT_EQ(0xFFFF0000u, plat::LastPresentedFrame().Row(0)[0]);
    EXPECT_EQ(0xFFFF0000u, plat::LastPresentedFrame().Row(599)[799]);

    window.fullScreen = false;
    window.width = 0; // no size: nothing to scale into
    screen.ShowMoviePicture(Filled(320, 240, 0x00FF0000u), window);
    EXPECT_EQ(0xFF000000u, plat::LastPresentedFrame().Row(0)[0]);
    screen.HideMovie();

    // A new window's screen does not inherit a movie left showing.
    plat::InstallMovieScreen();
    plat::GetVideoFrameSink()->ShowMoviePicture(Filled(320, 240, 0x00FF0000u), window);
    plat::InstallMovieScreen();
    EXPECT_FALSE(plat::GetVideoFrameSink()->PresentGameFrame(Filled(800, 600, 0xFF000000u), 32));
    plat::SetVideoFrameSink(nullptr);
}

} // namespace
