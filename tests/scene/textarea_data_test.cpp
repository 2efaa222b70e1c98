#include "scene/textarea_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/scene/scene_fixture.h"

namespace {

using scenetest::SceneTest;

class TextAreaTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_EQ(t.Initialize(&f.sprite, &f.sys, "TXT"), 1);
        ASSERT_EQ(t.SetFontData(5, "ＡＢ", 16, 400, 0, 0, 0, 1), 1);
        const KURECT area{100, 200, 400, 300};
        ASSERT_EQ(t.SetDrawData(nullptr, &area, nullptr, nullptr, nullptr), 1);
        t.m_fDispNum = -1.0f;
        Begin();
    }
    void TearDown() override {
        f.sprite.D3DXDrawEnd();
        SceneTest::TearDown();
    }
    TEXTAREA_DATA t;
};

TEST_F(TextAreaTest, DrawsShadowThenTextOnlyWhileShown) {
    EXPECT_EQ(t.DrawProc(), 1);
    EXPECT_TRUE(quads.empty());
    const uint32_t shown = 1;
    ASSERT_EQ(t.SetDrawData(nullptr, nullptr, nullptr, nullptr, &shown), 1);
    EXPECT_EQ(t.m_rcArea.left, 100); // only the shown flag changed
    EXPECT_EQ(t.m_dwColor, 0xFF000000u);
    EXPECT_EQ(t.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 4u); // two characters, shadow first
    EXPECT_EQ(Color(0), 0xFF7F7F7Fu);
    EXPECT_EQ(Color(2), 0xFF000000u);
    EXPECT_FLOAT_EQ(MinX(0) - MinX(2), 1.0f);
    EXPECT_FLOAT_EQ(MinY(0) - MinY(2), 1.0f);
    const float textX = MinX(2), textY = MinY(2);
    // Nothing is revealed at 0 characters.
    quads.clear();
    t.m_fDispNum = 0.0f;
    EXPECT_EQ(t.DrawProc(), 1);
    EXPECT_TRUE(quads.empty());
    // Halved (and over-range) fades, and the window form's whole-pixel offsets.
    t.m_fDispNum = -1.0f;
    t.m_fAlpha = 0.5f;
    EXPECT_EQ(t.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 4u);
    EXPECT_EQ(Color(0), 0x7F7F7F7Fu);
    EXPECT_EQ(Color(2), 0x7F000000u);
    quads.clear();
    t.m_fAlpha = 5.0f;
    t.m_dwColor = 0xFF102030u;
    const float dx = 10.7f, dy = 5.2f, factor = 0.5f;
    EXPECT_EQ(t.DrawProc(&dx, &dy, &factor, 0, 0), 1);
    ASSERT_EQ(quads.size(), 4u);
    EXPECT_EQ(Color(0), 0x7F7F7F7Fu);
    EXPECT_EQ(Color(2), 0x7F102030u);
    EXPECT_FLOAT_EQ(MinX(2) - textX, 10.0f);
    EXPECT_FLOAT_EQ(MinY(2) - textY, 5.0f);
}

TEST_F(TextAreaTest, RefusedAndOverlongTexts) {
    EXPECT_EQ(t.SetFontData(9, nullptr, 16, 400, 0, 0, 0, 0), 0);
    EXPECT_STREQ(t.m_szText, "ＡＢ");
    EXPECT_EQ(t.m_nSlot, 5);
    std::string longText;
    for (int i = 0; i < 300; ++i)
        longText += "あ";
    log.Clear();
    EXPECT_EQ(t.SetFontData(5, longText.c_str(), 16, 400, 0, 0, 0, 0), 1);
    EXPECT_EQ(strlen(t.m_szText), 510u); // cut at a whole character
    EXPECT_TRUE(log.Contains("<TEXTAREA_DATA::SetFontData>"));
    TEXTAREA_DATA none;
    EXPECT_EQ(none.DrawProc(), 0);
    EXPECT_EQ(none.StringScroll(0, 10), -1);
    EXPECT_EQ(none.Initialize(&f.sprite, nullptr, "X"), 0);
}

TEST_F(TextAreaTest, StringScrollTypesOutByHalfTheBytes) {
    ASSERT_EQ(t.SetFontData(5, "ABCDEFGHIJKLMNOPQRST", 16, 400, 0, 0, 0, 0), 1);
    const uint32_t start = static_cast<uint32_t>(f.sys.GetTime());
    f.clock.clock.Advance(250);
    f.sys.UpdateTime();
    EXPECT_EQ(t.StringScroll(start, 50), 0);
    EXPECT_FLOAT_EQ(t.m_fDispNum, 5.0f);
    f.clock.clock.Advance(250);
    f.sys.UpdateTime();
    EXPECT_EQ(t.StringScroll(start, 50), 1);
    EXPECT_FLOAT_EQ(t.m_fDispNum, -1.0f);
    t.m_fDispNum = 0.0f;
    EXPECT_EQ(t.StringScroll(start + 100000, 0), 1); // no time per character: all at once
    EXPECT_FLOAT_EQ(t.m_fDispNum, -1.0f);
    EXPECT_EQ(t.StringScroll(start + 100000, 50), 0); // a start still ahead shows nothing
    EXPECT_FLOAT_EQ(t.m_fDispNum, 0.0f);
}

} // namespace
