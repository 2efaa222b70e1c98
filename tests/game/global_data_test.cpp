#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>

#include "game/game_global_data.h"
#include "game/integration_data.h"
#include "tests/support/test_env.h"

namespace {

int CountLines(const std::string& s) {
    int n = 0;
    for (char c : s)
        n += c == '\n';
    return n;
}

TEST(GameGlobalData, FlagRanges) {
    auto d = std::make_unique<GAME_GLOBAL_DATA>();
    EXPECT_EQ(d->SetFlag(1, 1, 0, 33, 1), 1);
    EXPECT_EQ(d->m_dwCgFlag[0][0][1], 1u);
    EXPECT_EQ(d->GetFlag(1, 1, 0, 33), 1);
    EXPECT_EQ(d->SetFlag(1, 1, 0, 0, 1), 0);
    EXPECT_EQ(d->SetFlag(1, 1, 0, 97, 1), 0);
    EXPECT_EQ(d->SetFlag(8, 1, 0, 1, 1), 0);
    EXPECT_EQ(d->SetFlag(1, 21, 0, 1, 1), 0);
    EXPECT_EQ(d->SetFlag(7, 99, 1, 31, 1), 1); // scene ignored for events
    EXPECT_EQ(d->m_dwEventFlag[6], 0x40000000u);
    EXPECT_EQ(d->SetFlag(7, 1, 1, 32, 1), 0);
    EXPECT_EQ(d->SetFlag(0, 0, 2, 7, 1), 1);
    EXPECT_EQ(d->SetFlag(0, 0, 2, 8, 1), 0);
    EXPECT_EQ(d->SetFlag(0, 0, 2, 7, 0), 1);
    EXPECT_EQ(d->m_dwCharacterFlag, 0u);
    EXPECT_EQ(d->SetFlag(1, 1, 4, 1, 1), 0);
    EXPECT_EQ(d->GetFlag(1, 1, 4, 1), -1);
    EXPECT_EQ(d->GetFlagBuf(1, 21, 0), nullptr);
    EXPECT_EQ(d->GetFlagBuf(0, 1, 1), nullptr);
    EXPECT_EQ(d->GetFlagBuf(2, 3, 0), d->m_dwCgFlag[1][2]);
}

TEST(GameGlobalData, EpisodeOnlyRises) {
    GAME_GLOBAL_DATA d;
    EXPECT_EQ(d.SetEpisode(3, 4), 1);
    EXPECT_EQ(d.SetEpisode(3, 2), 1);
    EXPECT_EQ(d.GetEpisode(3), 4);
    EXPECT_EQ(d.SetEpisode(0, 9), 0);
    EXPECT_EQ(d.GetEpisode(0), -65535);
}

TEST(IntegrationData, FreshFileLayout) {
    GAME_GLOBAL_DATA d;
    std::string text = game::FormatIntegrationData(d);
    EXPECT_EQ(CountLines(text), 671);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.substr(0, 48), "---EPISODE_NUM_START---\n0\n---EPISODE_NUM_END---\n");
    EXPECT_NE(text.find("---CG_FLG_START---\n0 0 0 \n0 0 0 \n"), std::string::npos);
    EXPECT_NE(text.find("---AUTO_SKIP_FILE_LIST_START---\nNULL\t0\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 30), "---AUTO_SKIP_FILE_LIST_END---\n");
}

TEST(IntegrationData, RoundTripWithHighBits) {
    GAME_GLOBAL_DATA d;
    d.SetEpisode(3, 5);
    d.m_dwCgFlag[6][19][2] = 0x80000001u;
    d.m_dwEventFlag[3] = 0xFFFFFFFFu;
    d.m_dwCharacterFlag = 0x45;
    d.m_pAutoSkip[0].SetData("s01.spt", -1);
    d.m_pAutoSkip[511].SetData("last.spt", 77);
    std::string text = game::FormatIntegrationData(d);
    EXPECT_NE(text.find("0 0 -2147483647 \n---CG_FLG_END---"), std::string::npos);
    GAME_GLOBAL_DATA e;
    game::ParseIntegrationData(text, &e);
    EXPECT_EQ(game::FormatIntegrationData(e), text);
    EXPECT_EQ(e.m_dwCgFlag[6][19][2], 0x80000001u);
    EXPECT_EQ(e.m_pAutoSkip[0].m_nLine, -1);
    EXPECT_STREQ(e.m_pAutoSkip[511].m_szFile, "last.spt");
}

TEST(IntegrationData, DamagedInput) {
    GAME_GLOBAL_DATA d;
    // Lower-case marker, a short picture section, non-numbers, out-of-range
    // values, no character section, and extra junk lines.
    std::string text =
        "junk\n"
        "---event_flg_start---\n1\nabc\n99999999999\n-5x\n---EVENT_FLG_END---\n"
        "---CG_FLG_START---\n";
    for (int i = 0; i < 10; ++i)
        text += "1 2 3 \n";
    text += "---CG_FLG_END---\n";
    text += "---EPISODE_NUM_START---\n-3\n";
    text += "---AUTO_SKIP_FILE_LIST_START---\nnull\t5\na.spt\t-9\nb.spt\n---AUTO_SKIP_FILE_LIST_END---\nc.spt\t1\n";
    game::ParseIntegrationData(text, &d);
    EXPECT_EQ(d.m_dwEventFlag[0], 1u);
    EXPECT_EQ(d.m_dwEventFlag[1], 0u);
    EXPECT_EQ(d.m_dwEventFlag[2], 0u);
    EXPECT_EQ(static_cast<int32_t>(d.m_dwEventFlag[3]), -5);
    EXPECT_EQ(d.m_dwCgFlag[0][9][2], 3u);
    EXPECT_EQ(d.m_dwCgFlag[0][10][0], 0u);
    EXPECT_EQ(d.m_nTopEpisode, 0);
    EXPECT_TRUE(d.m_pAutoSkip[0].IsEmpty());
    EXPECT_EQ(d.m_pAutoSkip[0].m_nLine, 0);
    EXPECT_STREQ(d.m_pAutoSkip[1].m_szFile, "a.spt");
    EXPECT_EQ(d.m_pAutoSkip[1].m_nLine, 0);
    EXPECT_EQ(d.m_pAutoSkip[2].m_nLine, 0);
    EXPECT_TRUE(d.m_pAutoSkip[3].IsEmpty());
}

TEST(IntegrationData, TruncatedAndOverlongLines) {
    GAME_GLOBAL_DATA d;
    d.m_pAutoSkip[0].SetData("x.spt", 3);
    d.m_dwCharacterFlag = 9;
    std::string full = game::FormatIntegrationData(d);
    // Cut inside the read-skip list: everything before it still reads.
    GAME_GLOBAL_DATA e;
    game::ParseIntegrationData(full.substr(0, full.find("NULL") + 2), &e);
    EXPECT_EQ(e.m_dwCharacterFlag, 9u);
    EXPECT_STREQ(e.m_pAutoSkip[0].m_szFile, "x.spt");
    // A 3000-byte file name is read in 1023-byte pieces and cut to its field.
    std::string text = "---AUTO_SKIP_FILE_LIST_START---\n" + std::string(3000, 'n') + "\t4\n";
    GAME_GLOBAL_DATA f;
    game::ParseIntegrationData(text, &f);
    EXPECT_EQ(strlen(f.m_pAutoSkip[0].m_szFile), 259u);
}

// Only a value that may be a hidden section's own is reported: lines past a
// section's count, outside every section, or behind a byte-order mark lose
// nothing when the file is written again. Nothing is logged here.
TEST(IntegrationData, OnlyAValueOfAHiddenSectionIsReported) {
    GAME_GLOBAL_DATA d;
    d.SetEpisode(3, 4);
    d.m_dwCgFlag[0][0][0] = 7;
    d.m_pAutoSkip[0].SetData("Start.spt", 12);
    const std::string full = game::FormatIntegrationData(d);
    auto damaged = [&](const std::string& from, const std::string& to) {
        std::string text = full;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string surplus = damaged("---CG_FLG_END---", "1 1 1 \n2 2 2 \n3 3 3 \n4 4 4 \n5 5 5 \n---CG_FLG_END---");
    struct Case {
        std::string text;
        long hidden;
    };
    const Case cases[] = {
        {full, 0},
        {"\xEF\xBB\xBF" + full, 0},
        {full + "x\n", 0},
        {"x\n\n" + full, 0},
        {surplus, 0},
        {full + full, 0},
        {full.substr(0, 300), 0},
        {damaged("---CG_FLG_END---", "---CG_FLG_EMD---"), 0},
        {damaged("---EVENT_FLG_START---\n", "---EVENT_FLG_START---\n0\n"), 0},
        {damaged("---CG_FLG_START---", "---CG_FLG_STARU---"), 5},
        {damaged("---AUTO_SKIP_FILE_LIST_START---", "---AUTO_SKIP_FILE_LIST_STAR---"), 159},
    };
    kutest::DebugCapture cap;
    for (size_t i = 0; i < std::size(cases); ++i) {
        GAME_GLOBAL_DATA e;
        EXPECT_EQ(game::ParseIntegrationData(cases[i].text, &e), cases[i].hidden) << i;
        EXPECT_EQ(e.m_nTopEpisode, 4) << i; // what could be read is played with
        if (cases[i].hidden == 0 && i != 6) {
            EXPECT_EQ(e.m_dwCgFlag[0][0][0], 7u) << i;
            EXPECT_STREQ(e.m_pAutoSkip[0].m_szFile, "Start.spt") << i;
        }
    }
    EXPECT_TRUE(cap.lines().empty());
    // The picture section stops at its count: the surplus lines are dropped.
    GAME_GLOBAL_DATA e;
    game::ParseIntegrationData(surplus, &e);
    EXPECT_EQ(game::FormatIntegrationData(e), full);
}

} // namespace
