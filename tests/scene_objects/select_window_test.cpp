#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "scene/message_data.h"
#include "scene/select_window_agg.h"
#include "platform/gdi_font.h"
#include "tests/scene_objects/scene_fixture.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/select_window_picture.h"
#include "tests/support/confinement.h"

namespace {

// Every piece lies inside the picture and is drawn: the backs wholly, the
// frames at least along their rims.
TEST(SelectWindowPicture, EveryPieceLiesInsideAndIsDrawn) {
    const plat::Surface p = screens::SelectWindowPicture();
    for (int top : {0, 68, 136, 204}) {
        ASSERT_GE(p.height, top + 68);
        ASSERT_GE(p.width, 516);
        int n = 0;
        for (int y = top; y < top + 68; ++y)
            for (int x = 0; x < 516; ++x)
                n += (p.Row(y)[x] >> 24) != 0;
        EXPECT_GT(n, (top < 136 ? 0.1 : 0.95) * 516 * 68) << "piece at " << top;
    }
}

class ChoiceTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        Pack({{"SelectWindow.dds", EncodeDds32(screens::SelectWindowPicture())}});
    }
    void Start(uint32_t count) {
        ASSERT_EQ(agg.Initialize(&sys, &sprite, &snd, count), 1);
        LoadSlot(SELECT_WINDOW::kGraphicSlot, "SelectWindow.dds");
        MESSAGE_DATA m;
        m.m_nFontSize = 24;
        std::snprintf(m.m_szText, sizeof(m.m_szText), "%s", "はい、行きます");
        ASSERT_EQ(agg.SetText(0, &m, 4), 1);
        if (count > 1) {
            std::snprintf(m.m_szText, sizeof(m.m_szText), "%s", "いいえ、やめておきます");
            ASSERT_EQ(agg.SetText(1, &m, 4), 1);
        }
    }
    int Hover(int x, int y) {
        sys.SetMousePos(x, y);
        return agg.HitCheck();
    }
    uint32_t TextColor(int i) { return agg.m_pWindow[i].m_Text.m_dwColor; }
    float Alpha(int i) { return agg.m_pWindow[i].m_Frame.m_fAlpha; }
    SELECT_WINDOW_AGG agg;
};

TEST_F(ChoiceTest, LayoutCentredTextAndBadNumbers) {
    Start(2);
    EXPECT_EQ(fakesvc::Count("GraphicLoad 4") + fakesvc::Count("SELoad 7") + fakesvc::Count("SELoad 8"), 3);
    EXPECT_EQ(agg.m_pWindow[0].m_Frame.m_fY, 174.0f);
    EXPECT_EQ(agg.m_pWindow[1].m_Back.m_fY, 262.0f);
    EXPECT_EQ(agg.m_pWindow[1].m_Back.m_fAlpha, 0.8f);
    EXPECT_EQ(Alpha(1), 0.0f);
    MESSAGE_DATA m;
    m.m_nFontSize = 20;
    std::snprintf(m.m_szText, sizeof(m.m_szText), "%s", "あいうえおかきくけこ");
    ASSERT_EQ(agg.SetText(1, &m, 4), 1);
    const TEXTAREA_DATA& t = agg.m_pWindow[1].m_Text;
    const KURECT& a = t.m_rcArea;
    EXPECT_EQ((std::vector<int>{a.left, a.top, a.right, a.bottom, t.m_nSlot}), (std::vector<int>{158, 24, 358, 44, 3}));
    EXPECT_EQ(t.m_dwColor, 0x7F000000u);
    EXPECT_EQ(t.m_dwShadowColor, 0x7F7F7F7Fu);
    EXPECT_EQ(t.m_fDispNum, -1.0f);
    EXPECT_EQ(agg.SetText(2, &m, 4) + agg.SetText(-2, &m, 4) + agg.SetText(0, nullptr, 4), 0);
    EXPECT_TRUE(log.Contains("対象ウィンドウナンバーが不正です"));
    EXPECT_EQ(agg.AppearWindow(5, 0, 500), -1);
    EXPECT_EQ(agg.AppearWindow(-2, 0, 500), -1);
    EXPECT_TRUE(log.Contains("指定ウィンドウが不正です"));
    SELECT_WINDOW_AGG bad;
    EXPECT_EQ(bad.Initialize(&sys, &sprite, &snd, 3), 0);
    EXPECT_TRUE(log.Contains("選択肢ウィンドウ数が不正です"));
}

TEST_F(ChoiceTest, HoverPlaysOnceAndLeavingRestoresTheColours) {
    Start(2);
    ASSERT_EQ(agg.AppearWindow(-1, At(0), 0), 1); // zero duration: shown at once
    EXPECT_EQ(Alpha(0), 1.0f);
    EXPECT_EQ(Hover(142, 174), 0);
    EXPECT_EQ(TextColor(0), 0xFF000000u);
    agg.DrawProc();
    EXPECT_GT(agg.m_fPulse, 0.0f);
    EXPECT_EQ(Hover(300, 262), 1);
    EXPECT_EQ(Hover(657, 329), 1);
    EXPECT_EQ(fakesvc::Count("SEPlay 7"), 2);
    EXPECT_EQ(TextColor(0), 0x7F000000u);
    EXPECT_EQ(TextColor(1), 0xFF000000u);
    EXPECT_EQ(agg.m_pWindow[1].m_Text.m_dwShadowColor, 0xFF7F7F7Fu);
    EXPECT_EQ(agg.m_fPulse, 0.0f);
    // The right and bottom edges are outside; between the windows is nothing.
    EXPECT_EQ(Hover(658, 300), -1);
    EXPECT_EQ(TextColor(1), 0x7F000000u);
    EXPECT_EQ(Hover(300, 250), -1);
    EXPECT_EQ(fakesvc::Count("SEPlay 7"), 2);
}

TEST_F(ChoiceTest, AppearThenTheClosingSequence) {
    Start(2);
    const uint32_t start = At(0);
    EXPECT_EQ(agg.AppearWindow(-1, start, 500), 0);
    At(250);
    EXPECT_EQ(agg.AppearWindow(-1, start, 500), 0);
    EXPECT_FLOAT_EQ(Alpha(1), 0.5f);
    At(500);
    EXPECT_EQ(agg.AppearWindow(-1, start, 500), 1);
    // Nothing chosen: refused at once, both still shown.
    EXPECT_EQ(agg.DisappearWindow(), -1);
    EXPECT_TRUE(log.Contains("ウィンドウが選択されずに呼び出されました"));
    EXPECT_EQ(Alpha(0), 1.0f);
    EXPECT_EQ(Hover(400, 200), 0);
    uint32_t t = 1000;
    At(t);
    int r = 0;
    float otherAtHalf = -1, chosenInHold = -1;
    while ((r = agg.DisappearWindow()) == 0 && t < 5000) {
        if (t == 1000 + 128)
            otherAtHalf = Alpha(1);
        if (agg.m_dwDisappearPhase == 2)
            chosenInHold = Alpha(0);
        At(t += 16);
    }
    EXPECT_EQ(r, 1);
    EXPECT_NEAR(otherAtHalf, 1.0f - 128.0f / 250.0f, 1e-6);
    EXPECT_EQ(chosenInHold, 1.0f);
    EXPECT_EQ(Alpha(0), 0.0f);
    EXPECT_EQ(Alpha(1), 0.0f);
    // 250 + 1500 + 250 ms, each phase change waiting for its frame.
    EXPECT_GE(t - 1000, 2000u);
    EXPECT_LE(t - 1000, 2000u + 4 * 16);
    EXPECT_EQ(agg.m_dwDisappearPhase, 0u);
}

TEST_F(ChoiceTest, SelectedWindowPulsesAboutItsCentre) {
    Start(1);
    agg.AppearWindow(-1, At(0), 0);
    ASSERT_EQ(Hover(400, 200), 0);
    ASSERT_EQ(sprite.D3DXDrawStart(), 0);
    for (int frame = 0; frame < 40; ++frame) {
        const float s = 1.0f + 0.025f * (std::sin(agg.m_fPulse) + 1.0f);
        quads.clear();
        ASSERT_EQ(agg.DrawProc(), 1);
        ASSERT_FALSE(quads.empty());
        EXPECT_TRUE(s >= 1.0f && s <= 1.05f && agg.m_pWindow[0].m_Frame.m_fScaleX == s);
        // The back is drawn first, grown about the window's centre.
        EXPECT_NEAR(quads[0].v[1].x, 142.0f + (516.0f - 516.0f * s) / 2.0f - 0.5f, 1e-3);
        EXPECT_NEAR(quads[0].v[1].y, 174.0f + (68.0f - 68.0f * s) / 2.0f - 0.5f, 1e-3);
    }
    sprite.D3DXDrawEnd();
}

TEST_F(ChoiceTest, ClearedSetDrawsNothingAndSucceeds) {
    ASSERT_EQ(sprite.D3DXDrawStart(), 0);
    EXPECT_EQ(agg.DrawProc(), 1);
    Start(2);
    agg.Clear();
    EXPECT_EQ(fakesvc::Count("GraphicUnload 4"), 1);
    EXPECT_EQ(fakesvc::Count("SEUnload 7") + fakesvc::Count("SEUnload 8"), 2);
    log.Clear();
    EXPECT_EQ(agg.DrawProc(), 1);
    EXPECT_TRUE(quads.empty());
    EXPECT_TRUE(log.lines().empty());
    sprite.D3DXDrawEnd();
}

// The text comes from the font renderer: the frame is exact only for the
// renderer it was recorded with (KU_UPDATE_GOLDEN=1 records both).
TEST_F(ChoiceTest, GoldenFrameOfTwoChoicesOneHovered) {
    const std::string golden = kutest::SourceDir() + "/tests/scene_objects/golden/";
    const char* update = std::getenv("KU_UPDATE_GOLDEN");
    const bool record = update && std::strcmp(update, "1") == 0;
    std::string recorded;
    std::getline(std::ifstream(golden + "renderer.txt"), recorded);
    const std::string id = plat::GlyphRendererId();
    if (!record && (id.empty() || id != recorded))
        GTEST_SKIP() << "golden frame made with \"" << recorded << "\", this machine renders with \"" << id << "\"";
    Start(2);
    agg.AppearWindow(-1, At(0), 0);
    ASSERT_EQ(Hover(300, 280), 1);
    sprite.GetVideoDevice()->SetDrawRecorder(nullptr);
    ASSERT_EQ(sprite.D3DXDrawStart(), 0);
    const KURECT all{0, 0, 800, 600};
    const uint32_t teal = 0x00806040; // 0x00BBGGRR
    sprite.DDFillRect(-1, &all, &teal);
    ASSERT_EQ(agg.DrawProc(), 1);
    sprite.D3DXDrawEnd();
    plat::Surface frame = *sprite.GetBackSurface();
    for (uint32_t& p : frame.pixels)
        p |= 0xFF000000u;
    if (record) {
        std::ofstream(golden + "renderer.txt") << id << "\n";
        std::ofstream(golden + "choices.bmp", std::ios::binary) << EncodeBmp24(frame);
        return;
    }
    std::stringstream want;
    want << std::ifstream(golden + "choices.bmp", std::ios::binary).rdbuf();
    if (want.str() != EncodeBmp24(frame)) {
        const kutest::WritableBuildFolder writable;
        std::ofstream(kutest::BinaryDir() + "/choices.actual.bmp", std::ios::binary) << EncodeBmp24(frame);
        ADD_FAILURE() << "frame differs from " << golden << "choices.bmp (see choices.actual.bmp)";
    }
}

} // namespace
