#include <algorithm>
#include <vector>

#include "engine/kusystem.h"
#include "tests/adv/adv_fixture.h"

namespace {

// The overlay is compared with the same text calls made by hand on the same
// grey frame, so texts, positions, colours and the black shadows all count.
class DebugOverlayTest : public AdvTest {
protected:
    void TearDown() override {
        g_bDebugInfo = 0;
        AdvTest::TearDown();
    }
    std::vector<uint32_t>& Grey() {
        std::vector<uint32_t>& px = h.sprite.GetBackSurface()->pixels;
        std::fill(px.begin(), px.end(), 0xFF808080u);
        return px;
    }
};

TEST_F(DebugOverlayTest, ShowsScriptLineAndVariables) {
    // SOYORI declared first: index 0 is shown like any other.
    Play({"#EndScript"}, {"SOYORI", "v", "LEARNING"});
    adv.m_pVar[0].SetValue(7);
    adv.m_pVar[2].SetValue(12);
    adv.m_nLine = 5;
    ASSERT_EQ(h.sprite.D3DXDrawStart(), 0);

    g_bDebugInfo = 0;
    const std::vector<uint32_t> grey = Grey();
    EXPECT_EQ(adv.DrawProc(), 1);
    EXPECT_TRUE(h.sprite.GetBackSurface()->pixels == grey);

    g_bDebugInfo = 1;
    Grey();
    EXPECT_EQ(adv.DrawProc(), 1);
    EXPECT_FALSE(h.sprite.HasTextOutRun());
    const std::vector<uint32_t> drawn = h.sprite.GetBackSurface()->pixels;

    Grey();
    if (h.sprite.DDTextOutLock(751, 1, "s.spt", 0, 20, 400) != 0)
        GTEST_SKIP() << "no font for the GDI text";
    h.sprite.DDTextOutLock(750, 0, "s.spt", 0x00FF00, 20, 400);
    h.sprite.DDTextOutLock(711, 21, "Line:   5", 0, 20, 400);
    h.sprite.DDTextOutLock(710, 20, "Line:   5", 0x00FF00, 20, 400);
    h.sprite.DDTextOutLock(1, 1, "ソヨリ:  7", 0, 20, 400);
    h.sprite.DDTextOutLock(0, 0, "ソヨリ:  7", 0xFF0000, 20, 400);
    h.sprite.DDTextOutLock(1, 21, "成績: 12", 0, 20, 400);
    h.sprite.DDTextOutLock(0, 20, "成績: 12", 0xFF0000, 20, 400);
    h.sprite.DDTextOutUnLock();
    EXPECT_TRUE(h.sprite.GetBackSurface()->pixels == drawn);
    EXPECT_FALSE(drawn == grey);
}

} // namespace
