#include <gtest/gtest.h>

#include <map>

#include "tests/graphics/graphics_util.h"
#include "platform/video_test_hooks.h"

namespace {

using kugfx::FakeInstance;
using kugfx::FakeWindow;

// Mode lists per device level for one test.
class ModeLists {
public:
    explicit ModeLists(std::map<uint32_t, std::vector<plat::VideoMode>> lists) : lists_(std::move(lists)) {
        plat::SetVideoModeSource([this](uint32_t level, std::vector<plat::VideoMode>* out) {
            auto it = lists_.find(level);
            if (it == lists_.end())
                return false;
            *out = it->second;
            return true;
        });
    }
    ~ModeLists() {
        plat::SetVideoModeSource(nullptr);
        plat::SetVideoContextHook(nullptr);
    }

private:
    std::map<uint32_t, std::vector<plat::VideoMode>> lists_;
};

plat::VideoMode M(uint32_t bpp) { return plat::VideoMode{800, 600, bpp, 60}; }

class DeviceTest : public ::testing::Test {
protected:
    kutest::TempDir dir;
    kutest::FakeClockScope clock;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    kutest::DebugCapture log;
    void SetUp() override {
        dir.Write("dat/.keep", "");
        sys.Initialize(kugfx::FakeWindow(), 1);
    }
};

TEST_F(DeviceTest, FallsBackToTheFirstLevelThatListsTheMode) {
    ModeLists lists({{plat::kVideoLevelTnL, {M(16)}}, {plat::kVideoLevelRaster, {M(16), M(32)}}});
    EXPECT_EQ(sprite.Initialize(&sys, FakeWindow(), FakeInstance(), 800, 600, 32, 0), 1);
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE2::Initialize> VGAは W:800 H:600 BPP:32 HW LEVEL:HW T&L に対応していません\n"));
    EXPECT_TRUE(log.Contains("Message: <KUSPRITE2::Initialize> W:800 H:600 BPP:32 HW LEVEL:RASTER で作成します\n"));
    EXPECT_TRUE(log.Contains("Message: <KUSPRITE2::Initialize> W:800 H:600 HW LEVEL:RASTER の最大解像度は32です\n"));
    EXPECT_EQ(sprite.GetHardwareLevel(), plat::kVideoLevelRaster);
    uint32_t best = 0;
    sprite.GetScreenMode(nullptr, nullptr, nullptr, &best, nullptr);
    EXPECT_EQ(best, 32u);
}

TEST_F(DeviceTest, NoLevelListsTheMode) {
    ModeLists lists({{plat::kVideoLevelTnL, {M(16)}},
                     {plat::kVideoLevelRaster, {M(16)}},
                     {plat::kVideoLevel2D, {M(16)}},
                     {plat::kVideoLevelReference, {M(16)}},
                     {plat::kVideoLevelDefault, {M(16)}}});
    EXPECT_EQ(sprite.Initialize(&sys, FakeWindow(), FakeInstance(), 800, 600, 24, 0), 0);
    int refusals = 0;
    for (const std::string& l : log.lines())
        if (l.find("に対応していません") != std::string::npos)
            ++refusals;
    EXPECT_EQ(refusals, 5);
    EXPECT_TRUE(log.Contains("Message: <KUSPRITE2::Initialize> W:800 H:600 BPP:24 をVGAはサポートしていません\n"));
    EXPECT_EQ(sprite.IsInitialized(), 0);
    // The shell then asks for 16 bits.
    EXPECT_EQ(sprite.Initialize(&sys, FakeWindow(), FakeInstance(), 800, 600, 16, 0), 1);
}

TEST_F(DeviceTest, AFailedContextMovesOnToTheNextLevel) {
    ModeLists lists({{plat::kVideoLevelTnL, {M(32)}}, {plat::kVideoLevelRaster, {M(32)}}});
    plat::SetVideoContextHook(
        [](uint32_t level, uint32_t, uint32_t, uint32_t, bool) { return level != plat::kVideoLevelTnL; });
    EXPECT_EQ(sprite.Initialize(&sys, FakeWindow(), FakeInstance(), 800, 600, 32, 1), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::CreateD3DXContext> D3DXCreateContextEx関数が失敗しました\n"));
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::Initialize> D3DXCreateContextに失敗しました\n"));
    EXPECT_EQ(sprite.GetHardwareLevel(), plat::kVideoLevelRaster);
    EXPECT_EQ(sprite.GetVideoDevice()->bpp(), 32u);
}

TEST_F(DeviceTest, ALevelWithoutAStandardDepthDoesNotHang) {
    // Lists the mode asked for at 8 bits only: no best depth among 32/24/16.
    ModeLists lists({{plat::kVideoLevelTnL, {M(8)}}});
    EXPECT_EQ(sprite.Initialize(&sys, FakeWindow(), FakeInstance(), 800, 600, 8, 0), 1);
    EXPECT_TRUE(log.Contains(
        "Message: <KUSPRITE2::Initialize> W:800 H:600 HW LEVEL:HW T&L の最大解像度の取得に失敗しました\n"));
    uint32_t best = 0;
    sprite.GetScreenMode(nullptr, nullptr, nullptr, &best, nullptr);
    EXPECT_EQ(best, 8u);
}

TEST_F(DeviceTest, MissingArgumentsAreFatal) {
    EXPECT_EQ(sprite.Initialize(nullptr, FakeWindow(), FakeInstance(), 800, 600, 32, 0), -1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::Initialize> KUSYSTEMクラスポインタが不正です\n"));
    EXPECT_EQ(sprite.Initialize(&sys, nullptr, FakeInstance(), 800, 600, 32, 0), -1);
    EXPECT_EQ(sprite.Initialize(&sys, FakeWindow(), nullptr, 800, 600, 32, 0), -1);
}

TEST_F(DeviceTest, ScreenModeChangeReloadsSlotsAndAFailureLeavesNoDevice) {
    kugfx::PackArchive("dat/Img.dat", {{"p.bmp", kugfx::MakeBmp(4, 4, [](int, int) { return 0xFF808080u; })}});
    ASSERT_EQ(sprite.Initialize(&sys, FakeWindow(), FakeInstance(), 800, 600, 32, 0), 1);
    ASSERT_EQ(sprite.CreateGraphicDataBuffer(4), 1);
    sprite.SetGraphicData(1, "tmp/", "p.bmp", kGraphicTypeTexture, 1);
    ASSERT_EQ(sprite.CreateGraphicData(1, 0, 0, 0, 0), 1);

    log.Clear();
    EXPECT_EQ(sprite.ChangeScreenMode(1, 16), 1);
    EXPECT_TRUE(
        log.Contains("Message: <KUSPRITE2::ChangeScreenMode> W:800 H:600 BPP:16 HW LEVEL:HW T&L で作成します\n"));
    EXPECT_TRUE(log.Contains("Message: <KUSPRITE2::ChangeScreenMode> グラフィックデータのReloadを開始します\n"));
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE2::RestoreGraphicData> 1 番目のサーフェスデータのリストアを開始します\n"));
    EXPECT_TRUE(
        log.Contains("Message: <KUSPRITE2::ChangeScreenMode> グラフィックテキストデータのReloadが完了しました\n"));
    EXPECT_EQ(sprite.GetGraphicDataLoadState(1), 0);
    EXPECT_EQ(sprite.GetVideoDevice()->bpp(), 16u);
    EXPECT_TRUE(sprite.GetVideoDevice()->fullScreen());

    // Now no level makes a device: the renderer answers as not started.
    plat::SetVideoContextHook([](uint32_t, uint32_t, uint32_t, uint32_t, bool) { return false; });
    log.Clear();
    EXPECT_EQ(sprite.ChangeScreenMode(0, 32), 0);
    EXPECT_EQ(sprite.D3DXDrawStart(), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DXDrawStart> 初期化されていません\n"));
    EXPECT_EQ(sprite.D3DXDrawGraphic(1, 0, 0, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0), 1);
    EXPECT_TRUE(log.Contains("Error; <KUSPRITE2::D3DXDrawGraphic> 初期化されていません\n"));
    EXPECT_EQ(sprite.D3DXDrawEnd(), 1);
    EXPECT_LT(sprite.D3DXRestore(), 0);

    // A later change that succeeds brings it back.
    plat::SetVideoContextHook(nullptr);
    EXPECT_EQ(sprite.ChangeScreenMode(0, 32), 1);
    EXPECT_EQ(sprite.D3DXDrawStart(), 0);
    EXPECT_EQ(sprite.D3DXDrawEnd(), 0);
    plat::SetVideoContextHook(nullptr);
}

TEST_F(DeviceTest, ReleaseTwiceIsHarmless) {
    ASSERT_EQ(sprite.Initialize(&sys, FakeWindow(), FakeInstance(), 800, 600, 32, 0), 1);
    ASSERT_EQ(sprite.CreateGraphicDataBuffer(4), 1);
    sprite.Release();
    sprite.Release();
    EXPECT_EQ(sprite.IsInitialized(), 0);
    EXPECT_EQ(sprite.GetGraphicDataBufferNum(), 0u);
    EXPECT_EQ(sprite.GetVideoDevice(), nullptr);
    EXPECT_EQ(sprite.CreateGraphicDataBuffer(4), 0);
}

TEST_F(DeviceTest, ErrorNumberExplainsCodes) {
    sprite.ErrorNumber(static_cast<int32_t>(0x887602F8u));
    EXPECT_TRUE(log.Contains(
        "Error: <KUSPRITE::ErrorNumber> IDirect3DDevice7::EndScene "
        "メソッドの呼び出しによって前回のシーンが完了していないため、シーンのレンダリングが開始できなかった。\n"));
    sprite.ErrorNumber(static_cast<int32_t>(0x88760000u + 2085)); // too many vertices: not in the table
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE::ErrorNumber> 不明のエラーです\n"));
    sprite.ErrorNumber(0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE::ErrorNumber> エラーは発生していない\n"));
}

} // namespace
