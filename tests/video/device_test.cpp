#include <gtest/gtest.h>

#include <cstring>

#include "platform/video.h"
#include "platform/video_image.h"
#include "platform/video_present.h"
#include "platform/video_test_hooks.h"
#include "platform/video_present_test_hooks.h"

namespace {

TEST(VideoModesTest, OwnListAndInjection) {
    EXPECT_EQ(plat::VideoModeCount(plat::kVideoLevelTnL), 3u);
    plat::VideoMode m;
    ASSERT_EQ(plat::GetVideoMode(plat::kVideoLevelTnL, 2, &m), plat::kVideoOk);
    EXPECT_EQ(m.width, 800u);
    EXPECT_EQ(m.bpp, 16u);
    EXPECT_LT(plat::GetVideoMode(plat::kVideoLevelTnL, 3, &m), 0);
    EXPECT_EQ(plat::VideoModeCount(12345), 0u);
    plat::SetVideoModeSource([](uint32_t level, std::vector<plat::VideoMode>* out) {
        if (level != plat::kVideoLevel2D)
            return false;
        out->push_back(plat::VideoMode{640, 480, 16, 0});
        return true;
    });
    EXPECT_EQ(plat::VideoModeCount(plat::kVideoLevelTnL), 0u);
    EXPECT_EQ(plat::VideoModeCount(plat::kVideoLevel2D), 1u);
    plat::SetVideoModeSource(nullptr);
}

TEST(VideoDeviceTest, SceneStateAndPresentHeadless) {
    auto dev = plat::VideoDevice::Create(plat::kVideoLevelTnL, 32, 16, 16, true);
    ASSERT_TRUE(dev);
    EXPECT_EQ(plat::VideoDevice::Current(), dev.get());
    EXPECT_EQ(dev->EndScene(), plat::kVideoErrSceneNotInScene);
    EXPECT_EQ(dev->BeginScene(), plat::kVideoOk);
    EXPECT_EQ(dev->BeginScene(), plat::kVideoErrSceneInScene);
    dev->Clear(0xFF123456u);
    EXPECT_EQ(dev->Present(), plat::kVideoOk);
    // A full-screen 16-bit mode shows the frame in 5-6-5.
    EXPECT_EQ(plat::LastPresentedFrame().Row(0)[0], plat::QuantizePixel(0xFF123456u, 16));
    EXPECT_EQ(plat::QuantizePixel(0xFF123456u, 16), 0xFF103452u);
    EXPECT_EQ(plat::QuantizePixel(0xFFFFFFFFu, 16), 0xFFFFFFFFu);
    EXPECT_EQ(plat::QuantizePixel(0xFF123456u, 24), 0xFF123456u);
    // A window shows the desktop's depth.
    auto win = plat::VideoDevice::Create(plat::kVideoLevelTnL, 32, 16, 16, false);
    EXPECT_EQ(win->bpp(), 32u);
}

TEST(VideoDeviceTest, LossEmptiesSurfacesUntilRestored) {
    auto dev = plat::VideoDevice::Create(plat::kVideoLevelTnL, 8, 8, 32, false);
    plat::DeviceSurfacePtr tex = dev->CreateTexture(256, 256);
    ASSERT_TRUE(tex);
    tex->Row(3)[3] = 0xFFFFFFFFu;
    EXPECT_FALSE(dev->CreateTexture(0, 16));
    EXPECT_FALSE(dev->CreateTexture(100000, 16));
    dev->SimulateSurfaceLoss();
    EXPECT_EQ(tex->Row(3)[3], 0u);
    EXPECT_TRUE(tex->lost);
    EXPECT_EQ(dev->Present(), plat::kVideoErrSurfaceLost);
    EXPECT_EQ(dev->Present(), plat::kVideoErrSurfaceLost);
    EXPECT_EQ(dev->TestCooperativeLevel(), plat::kVideoOk);
    EXPECT_EQ(dev->RestoreAllSurfaces(), plat::kVideoOk);
    EXPECT_FALSE(tex->lost);
    EXPECT_EQ(dev->Present(), plat::kVideoOk);
    // A render reset reported by the window does the same.
    plat::SignalDeviceLoss();
    EXPECT_EQ(dev->Present(), plat::kVideoErrSurfaceLost);
}

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b)
        s.push_back(static_cast<char>(v));
    return s;
}

void Put32(std::string& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }

TEST(PictureDecodeTest, BmpDepthsAndDamage) {
    // 2 x 2, 24 bits, bottom-up rows padded to 4 bytes.
    std::string bmp(54 + 16, '\0');
    bmp[0] = 'B', bmp[1] = 'M';
    Put32(bmp, 10, 54);
    Put32(bmp, 14, 40);
    Put32(bmp, 18, 2);
    Put32(bmp, 22, 2);
    bmp[26] = 1;
    bmp[28] = 24;
    const std::string rows = Bytes({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0});
    bmp.replace(54, 16, rows);
    plat::Surface s;
    ASSERT_TRUE(plat::DecodePicture(bmp, &s));
    EXPECT_EQ(s.Row(1)[0], 0xFF030201u); // first stored row is the bottom one
    EXPECT_EQ(s.Row(0)[1], 0xFF0C0B0Au);
    std::string cut = bmp.substr(0, 60);
    EXPECT_FALSE(plat::DecodePicture(cut, &s));
    std::string huge = bmp;
    Put32(huge, 18, 0x7FFFFFFF);
    EXPECT_FALSE(plat::DecodePicture(huge, &s));
    EXPECT_FALSE(plat::DecodePicture("GIF89a", &s));
}

TEST(PictureDecodeTest, DdsWithAlphaAndDxt1) {
    std::string dds(128 + 4 * 4, '\0');
    std::memcpy(&dds[0], "DDS ", 4);
    Put32(dds, 4, 124);
    Put32(dds, 12, 1);
    Put32(dds, 16, 4);
    Put32(dds, 80, 0x41);
    Put32(dds, 88, 32);
    Put32(dds, 92, 0xFF0000), Put32(dds, 96, 0xFF00), Put32(dds, 100, 0xFF), Put32(dds, 104, 0xFF000000u);
    Put32(dds, 128, 0x80112233u);
    plat::Surface s;
    ASSERT_TRUE(plat::DecodePicture(dds, &s));
    EXPECT_EQ(s.Row(0)[0], 0x80112233u);
    // One DXT1 block: colour 0 white, colour 1 black, all texels index 1.
    std::string dxt(128 + 8, '\0');
    std::memcpy(&dxt[0], "DDS ", 4);
    Put32(dxt, 4, 124);
    Put32(dxt, 12, 4);
    Put32(dxt, 16, 4);
    Put32(dxt, 80, 0x4);
    std::memcpy(&dxt[84], "DXT1", 4);
    Put32(dxt, 128, 0x0000FFFFu);
    Put32(dxt, 132, 0x55555555u);
    ASSERT_TRUE(plat::DecodePicture(dxt, &s));
    EXPECT_EQ(s.Row(3)[3], 0xFF000000u);
    dxt.resize(130);
    EXPECT_FALSE(plat::DecodePicture(dxt, &s));
}

} // namespace
