#include <gtest/gtest.h>

#include <algorithm>

#include <SDL.h>

#include "platform/video.h"
#include "platform/present_renderer_order.h"
#include "platform/video_present.h"

namespace {

// A real (dummy-driver) window: frames reach it, and SDL's render resets
// count as a device loss.
class PresentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("t", 0, 0, 1000, 600, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr);
        plat::AttachPresentWindow(window);
    }
    void TearDown() override {
        plat::AttachPresentWindow(nullptr);
        if (window)
            SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SDL_Window* window = nullptr;
};

TEST_F(PresentTest, FrameIsLetterboxedIntoTheWindow) {
    auto dev = plat::VideoDevice::Create(plat::kVideoLevelTnL, 800, 600, 32, true);
    ASSERT_TRUE(dev);
    ASSERT_NE(plat::PresentRenderer(), nullptr);
    dev->Clear(0xFF3050F0u);
    plat::Surface shown;
    plat::CaptureNextPresent(&shown);
    EXPECT_EQ(dev->Present(), plat::kVideoOk);
    ASSERT_EQ(shown.width, 1000);
    // 800 x 600 in 1000 x 600: bars of 100 pixels on each side.
    EXPECT_EQ(shown.Row(300)[50] & 0xFFFFFF, 0u);
    EXPECT_EQ(shown.Row(300)[100] & 0xFFFFFF, 0x3050F0u);
    EXPECT_EQ(shown.Row(300)[899] & 0xFFFFFF, 0x3050F0u);
    EXPECT_EQ(shown.Row(300)[950] & 0xFFFFFF, 0u);
}

// Ink of the dark line at source column x (0 black .. 255 white), summed over
// the output columns of one output row around where it lands at 3/4 size.
int InkNear(const plat::Surface& shown, int row, int x) {
    int ink = 0;
    for (int c = (x - 2) * 3 / 4; c <= (x + 2) * 3 / 4; ++c)
        ink += 255 - static_cast<int>(shown.Row(row)[c] & 0xFF);
    return ink;
}

TEST_F(PresentTest, ASmallerWindowAveragesThinLinesAndItsOwnSizeKeepsEveryPixel) {
    // White with 1-pixel black lines every 5 pixels: vertical on the right
    // half, horizontal on the left, meeting every phase of a 3/4 grid.
    plat::Surface frame(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            frame.Row(y)[x] = (x >= 400 ? x % 5 == 0 : y % 5 == 0) ? 0xFF000000u : 0xFFFFFFFFu;
    plat::Surface shown;
    SDL_SetWindowSize(window, 800, 600);
    plat::CaptureNextPresent(&shown);
    plat::PresentFrame(frame, 32);
    ASSERT_EQ(shown.width, 800);
    EXPECT_EQ(shown.pixels, frame.pixels);

    SDL_SetWindowSize(window, 600, 450);
    plat::CaptureNextPresent(&shown);
    plat::PresentFrame(plat::Surface(frame), 32);
    ASSERT_EQ(shown.width, 600);
    ASSERT_EQ(shown.height, 450);
    // Each line keeps its ink, 3/4 of a full column, wherever it falls;
    // dropping pixels would lose every fourth line and keep the others whole.
    for (int x = 405; x < 795; x += 5)
        EXPECT_NEAR(InkNear(shown, 225, x), 191, 2) << "column " << x;
    plat::Surface turned(450, 600); // the left half on its side
    for (int y = 0; y < 450; ++y)
        for (int x = 0; x < 600; ++x)
            turned.Row(x)[y] = shown.Row(y)[x];
    for (int y = 5; y < 595; y += 5)
        EXPECT_NEAR(InkNear(turned, 150, y), 191, 2) << "row " << y;
}

TEST_F(PresentTest, AShrunkFrameUpdatedInPartsMatchesAWholeRedraw) {
    SDL_SetWindowSize(window, 600, 450);
    uint32_t seed = 12345;
    auto noise = [&seed] { return 0xFF000000u | ((seed = seed * 1103515245u + 12345u) >> 8); };
    plat::Surface frame(800, 600);
    for (uint32_t& px : frame.pixels)
        px = noise();
    plat::PresentFrame(frame, 32);
    const uint64_t shownStamp = frame.stamp;
    frame.Touch();
    const plat::RectI rects[] = {{101, 37, 203, 90}, {398, 299, 401, 302}, {790, 590, 800, 600}};
    for (const plat::RectI& r : rects)
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                frame.Row(y)[x] = noise();
    plat::PresentFrameDamage(frame, 32, shownStamp, rects, std::size(rects));
    plat::Surface partly(600, 450);
    auto* renderer = static_cast<SDL_Renderer*>(plat::PresentRenderer());
    ASSERT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, partly.pixels.data(), 600 * 4), 0);

    plat::Surface whole;
    plat::CaptureNextPresent(&whole);
    plat::PresentFrame(plat::Surface(frame), 32);
    ASSERT_EQ(whole.width, 600);
    EXPECT_EQ(partly.pixels, whole.pixels);
}

// Each new whole frame is shrunk again, and a frame drawn opaque shows so
// even where its alpha bytes are 0, whole or in parts.
TEST_F(PresentTest, AShrunkFrameShowsEachNewFrameOpaqueWhateverItsAlphaBytes) {
    SDL_SetWindowSize(window, 600, 450);
    auto* renderer = static_cast<SDL_Renderer*>(plat::PresentRenderer());
    plat::Surface first(800, 600), second(800, 600);
    std::fill(first.pixels.begin(), first.pixels.end(), 0x003050F0u);
    std::fill(second.pixels.begin(), second.pixels.end(), 0x00F0A020u);
    plat::Surface shown;
    plat::CaptureNextPresent(&shown);
    plat::PresentFrame(first, 32);
    ASSERT_EQ(shown.width, 600);
    EXPECT_EQ(shown.Row(225)[300] & 0xFFFFFF, 0x3050F0u);
    plat::CaptureNextPresent(&shown);
    plat::PresentFrame(second, 32);
    EXPECT_EQ(shown.Row(225)[300] & 0xFFFFFF, 0xF0A020u);

    const uint64_t shownStamp = second.stamp;
    second.Touch();
    const plat::RectI part{200, 100, 400, 300};
    for (int y = part.top; y < part.bottom; ++y)
        std::fill(second.Row(y) + part.left, second.Row(y) + part.right, 0x0020C040u);
    plat::PresentFrameDamage(second, 32, shownStamp, &part, 1);
    plat::Surface partly(600, 450);
    ASSERT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, partly.pixels.data(), 600 * 4), 0);
    EXPECT_EQ(partly.Row(150)[225] & 0xFFFFFF, 0x20C040u);
    EXPECT_EQ(partly.Row(300)[400] & 0xFFFFFF, 0xF0A020u);
}

TEST_F(PresentTest, RenderResetEventsLoseTheDevice) {
    auto dev = plat::VideoDevice::Create(plat::kVideoLevelTnL, 800, 600, 32, false);
    plat::DeviceSurfacePtr tex = dev->CreateTexture(4, 4);
    tex->pixels[0] = 0xFFFFFFFFu;
    EXPECT_EQ(dev->Present(), plat::kVideoOk);
    SDL_Event e{};
    e.type = SDL_RENDER_TARGETS_RESET;
    SDL_PushEvent(&e);
    EXPECT_EQ(dev->Present(), plat::kVideoErrSurfaceLost);
    EXPECT_EQ(tex->pixels[0], 0u);
    dev->RestoreAllSurfaces();
    EXPECT_EQ(dev->Present(), plat::kVideoOk);
    e.type = SDL_RENDER_DEVICE_RESET;
    SDL_PushEvent(&e);
    EXPECT_EQ(dev->Present(), plat::kVideoErrSurfaceLost);
    dev->RestoreAllSurfaces();
    EXPECT_EQ(dev->Present(), plat::kVideoOk); // the streaming texture is made again
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

TEST(PresentRendererOrderTest, SoftwareFirstWhereTheWindowSurfaceIsPlainMemory) {
    using plat::RendererKind;
    for (const char* driver : {"x11", "dummy"}) {
        const plat::RendererOrder o = plat::PresentRendererOrder(driver, false);
        EXPECT_EQ(o.first, RendererKind::kSoftware) << driver;
        EXPECT_EQ(o.fallback, RendererKind::kDefault) << driver;
    }
    // Elsewhere, or with a renderer named by the user, SDL's pick comes first.
    for (const plat::RendererOrder o :
         {plat::PresentRendererOrder("wayland", false), plat::PresentRendererOrder("x11", true),
          plat::PresentRendererOrder(nullptr, false)}) {
        EXPECT_EQ(o.first, RendererKind::kDefault);
        EXPECT_EQ(o.fallback, RendererKind::kSoftware);
    }
}

} // namespace
