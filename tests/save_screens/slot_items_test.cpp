#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/kutextgraphic.h"
#include "modes/save_item_data.h"
#include "tests/modes/mode_harness.h"

namespace {

std::string Fw(const std::string& ascii) {
    char out[128];
    modes::ToFullWidth(ascii.c_str(), out, sizeof(out));
    return out;
}

class SlotItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0),
                  1);
        ASSERT_EQ(h.sprite.CreateTextureTextBuffer(36), 1);
    }
    void TearDown() override { h.sprite.Release(); }
    int token = 0;
    ModeHarness h;
};

TEST_F(SlotItemTest, LayoutOfBothColumnsAndTheMaterialCells) {
    SAVE_ITEM_DATA item;
    ASSERT_EQ(item.Initialize(&h.sys, &h.sprite, 15), 1);
    EXPECT_EQ(item.m_fX, 4.0f);
    EXPECT_EQ(item.m_fY, 559.0f);
    EXPECT_EQ(item.m_rcHit.left, 4);
    EXPECT_EQ(item.m_rcHit.bottom, 595);
    EXPECT_EQ(item.m_rcText.left, 10);
    EXPECT_EQ(item.m_rcText.top, 568);
    // Left and top edges hit, right and bottom ones do not.
    EXPECT_EQ(item.HitCheck(4, 559), 1);
    EXPECT_EQ(item.HitCheck(307, 594), 1);
    EXPECT_EQ(item.HitCheck(308, 570), 0);
    EXPECT_EQ(item.HitCheck(100, 595), 0);
    ASSERT_EQ(item.Initialize(&h.sys, &h.sprite, 16), 1);
    EXPECT_EQ(item.m_fX, 316.0f);
    EXPECT_EQ(item.m_fY, 55.0f);
    EXPECT_EQ(item.m_rcText.right, 614);
    ASSERT_EQ(item.Initialize(&h.sys, &h.sprite, 11), 1);
    EXPECT_EQ(item.m_rcSrc.left, 304);
    EXPECT_EQ(item.m_rcSrc.top, 0);
    EXPECT_EQ(item.m_rcSrc.right, 608);
    EXPECT_EQ(item.m_rcSrc.bottom, 36);
    item.Clear();
    EXPECT_EQ(item.HitCheck(400, 60), 0);
    EXPECT_EQ(item.m_nNumber, 11); // the number survives a clear
}

TEST_F(SlotItemTest, NumbersOutsideOneToThirtyAndMissingObjectsAreRefused) {
    kutest::DebugCapture cap;
    SAVE_ITEM_DATA save;
    LOAD_ITEM_DATA load;
    EXPECT_EQ(save.Initialize(&h.sys, &h.sprite, 31), 0);
    EXPECT_TRUE(cap.Contains("Error: <SAVE_ITEM_DATA::Initialize> セーブ項目数が不正です"));
    EXPECT_EQ(load.Initialize(&h.sys, &h.sprite, 0), 0);
    EXPECT_TRUE(cap.Contains("Error: <LOAD_ITEM_DATA::Initialize> ロード項目数が不正です"));
    EXPECT_EQ(load.Initialize(&h.sys, &h.sprite, -3), 0);
    EXPECT_EQ(load.m_bInit, 0);
    EXPECT_EQ(save.Initialize(nullptr, &h.sprite, 1), 0);
    EXPECT_TRUE(cap.Contains("Error: <SAVE_ITEM_DATA::Initialize> KUSYSTEMクラスポインタの引数が不正です"));
    EXPECT_EQ(save.Initialize(&h.sys, nullptr, 1), 0);
    EXPECT_TRUE(cap.Contains("Error: <SAVE_ITEM_DATA::Initialize> KUSPRITE2クラスポインタの引数が不正です"));
}

TEST_F(SlotItemTest, CaptionInFullWidthAndItsTextureSlot) {
    SAVE_ITEM_DATA item;
    ASSERT_EQ(item.Initialize(&h.sys, &h.sprite, 1), 1);
    SLOT_TIME t{};
    t.wYear = 2026;
    t.wMonth = 12;
    t.wDay = 7;
    t.wHour = 23;
    t.wMinute = 30;
    ASSERT_EQ(item.DataSet(6, 1, 3, &t), 1);
    EXPECT_EQ(std::string(item.m_szCaption), "第１話：シーン０３\n　　　　　　　　　２６．１２．０７／２３：３０");
    EXPECT_EQ(item.m_bData, 1);
    EXPECT_EQ(item.m_nTextSlot, 6);
    ASSERT_NE(h.sprite.GetTextureTextSlot(6), nullptr);
    EXPECT_TRUE(h.sprite.GetTextureTextSlot(6)->initialized());
    // Year 2000 shows zeros; the episode has no leading zeros, minus signs go full width.
    t.wYear = 2000;
    ASSERT_EQ(item.DataSet(6, 12, -1, &t), 1);
    EXPECT_EQ(std::string(item.m_szCaption).substr(0, 21), "第１２話：シーン－１\n");
    EXPECT_NE(std::string(item.m_szCaption).find("００．１２"), std::string::npos);
    item.Clear();
    EXPECT_FALSE(h.sprite.GetTextureTextSlot(6)->initialized());
}

TEST_F(SlotItemTest, DataSetRefusals) {
    kutest::DebugCapture cap;
    SLOT_TIME t{};
    SAVE_ITEM_DATA item;
    EXPECT_EQ(item.DataSet(6, 1, 1, &t), 0);
    EXPECT_TRUE(cap.Contains("Error: <SAVE_ITEM_DATA::DataSet> 初期化されていません"));
    ASSERT_EQ(item.Initialize(&h.sys, &h.sprite, 30), 1);
    EXPECT_EQ(item.DataSet(36, 1, 1, &t), 0);
    EXPECT_TRUE(cap.Contains("Error: <SAVE_ITEM_DATA::DataSet> 参照インデックスナンバーが不正です"));
    EXPECT_EQ(item.DataSet(35, 1, 1, nullptr), 0);
    EXPECT_TRUE(cap.Contains("Error: <SAVE_ITEM_DATA::DataSet> システムタイムが不正です"));
    EXPECT_EQ(item.m_bData, 0);
}

TEST(SlotFileText, FullWidthLinesAndNumbers) {
    EXPECT_EQ(Fw("05"), "０５");
    EXPECT_EQ(Fw("-7\n第"), "－７\n第");
    char small[5];
    modes::ToFullWidth("123", small, sizeof(small)); // room for two characters only
    EXPECT_EQ(std::string(small), "１２");
    char path[32];
    EXPECT_TRUE(modes::SlotFilePath(7, path, sizeof(path)));
    EXPECT_STREQ(path, "sav/sav07.sav");
    EXPECT_FALSE(modes::SlotFilePath(0, path, sizeof(path)));
    EXPECT_FALSE(modes::SlotFilePath(31, path, sizeof(path)));
    int32_t v[5];
    EXPECT_TRUE(modes::ParseSlotInts("2026 12 7 23 30 extra", v, 5));
    EXPECT_EQ(v[4], 30);
    EXPECT_FALSE(modes::ParseSlotInts("2026 12 7", v, 5));
    EXPECT_FALSE(modes::ParseSlotInts("99999999999 1", v, 2));
    EXPECT_FALSE(modes::ParseSlotInts("__NULL__ 1", v, 2));
}

TEST(SlotFileText, LinesEndAtLfWithOrWithoutCr) {
    kutest::TempDir dir;
    dir.Write("f", "one\r\ntwo\n" + std::string(1500, 'x') + "\nlast");
    FILE* f = std::fopen("f", "rb");
    ASSERT_NE(f, nullptr);
    char line[1024];
    ASSERT_EQ(modes::ReadSlotLine(f, line, sizeof(line)), 1);
    EXPECT_STREQ(line, "one");
    ASSERT_EQ(modes::ReadSlotLine(f, line, sizeof(line)), 1);
    EXPECT_STREQ(line, "two");
    ASSERT_EQ(modes::ReadSlotLine(f, line, sizeof(line)), 1);
    EXPECT_EQ(std::string(line).size(), 1023u); // the rest of the long line is passed over
    ASSERT_EQ(modes::ReadSlotLine(f, line, sizeof(line)), 1);
    EXPECT_STREQ(line, "last");
    EXPECT_EQ(modes::ReadSlotLine(f, line, sizeof(line)), 0);
    std::fclose(f);
}

} // namespace
