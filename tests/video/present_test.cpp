#include <gtest/gtest.h>

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
