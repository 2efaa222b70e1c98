#include <cstdio>
#include <filesystem>

#include "tests/gallery/gallery_fixture.h"

// Episode 1 with a title and scenes 1, 2 and 4 (3 missing); scene 1 with two
// pages, the first without its third picture line.
struct GalleryScriptTest : GalleryTest {
    void Sample() {
        Script({
            "EPISODE01 夏のはじまり",
            "EPISODE01-SCENE01 出会い",
            "episode01-scene02 null",
            "EPISODE01-SCENE04 Hidden",
            "EPISODE01-SCENE01-PAGE01-X01-Y01 cg01.bmp FULL",
            "EPISODE01-SCENE01-PAGE01-X02-Y01 cg02.bmp",
            "EPISODE01-SCENE01-PAGE01-X04-Y01 cg04.bmp",
            "EPISODE01-SCENE01-PAGE01-X01-Y01 duplicate.bmp",
            "EPISODE01-SCENE01-PAGE02-X03-Y01 cg18.bmp full",
            "EPISODE01-SCENE01-PAGE07-X01-Y01 far.bmp",
        });
    }
};

TEST_F(GalleryScriptTest, ReadersFollowTheScriptAndStopAtGaps) {
    Sample();
    global.m_dwEventFlag[0] = 0x1; // scene 1 only
    UnlockCG(1, 1, 1, 2);
    Start();
    ASSERT_EQ(cg.GetEpisodeTitle(1), 1);
    EXPECT_STREQ(cg.m_szNextTitle, "夏のはじまり");
    EXPECT_EQ(cg.m_rcNextTitle.left, 456 - 9 * 6);
    EXPECT_EQ(cg.m_rcNextTitle.right, 792);
    // An episode without a title line: empty, still a success.
    EXPECT_EQ(cg.GetEpisodeTitle(2), 1);
    EXPECT_STREQ(cg.m_szNextTitle, "");

    ASSERT_EQ(cg.GetMaxScenePage(1), 1);
    EXPECT_EQ(cg.m_nScenePageMax, 1); // scenes 1 and 2; 4 sits behind the gap
    ASSERT_EQ(cg.SetDataEpisodeScene(1, 1), 1);
    EXPECT_STREQ(cg.m_nextSceneItem[0].szName, "出会い");
    EXPECT_EQ(cg.m_nextSceneItem[0].bSelectFlg, 1);
    EXPECT_EQ(cg.m_nextSceneItem[1].bDispFlg, 1); // lower-case key and NULL name
    EXPECT_STREQ(cg.m_nextSceneItem[1].szName, "");
    EXPECT_EQ(cg.m_nextSceneItem[1].bSelectFlg, 0);
    EXPECT_EQ(cg.m_nextSceneItem[2].bDispFlg, 0);
    EXPECT_EQ(cg.m_nextSceneItem[3].bDispFlg, 0);

    ASSERT_EQ(cg.GetMaxCGPage(1, 1), 1);
    EXPECT_EQ(cg.m_nCGPageMax, 2); // page 7 sits behind the missing pages 3-6
    ASSERT_EQ(cg.SetDataSceneCG(1, 1, 1), 1);
    EXPECT_STREQ(cg.m_nextCGItem[0].szName, "cg01.bmp"); // the first of two equal keys
    EXPECT_EQ(cg.m_nextCGItem[0].bFullCGFlg, 1);
    EXPECT_EQ(cg.m_nextCGItem[1].bSelectFlg, 1);
    EXPECT_EQ(cg.m_nextCGItem[2].bDispFlg, 0); // the third line is missing
    EXPECT_EQ(cg.m_nextCGItem[3].bDispFlg, 0);
    ASSERT_EQ(cg.SetDataSceneCG(1, 1, 2), 1);
    EXPECT_EQ(cg.m_nextCGItem[0].bDispFlg, 0); // page 2 starts at column 3
    // Every copy of the script is gone again.
    EXPECT_FALSE(dir.Exists("tmp/CGModeData.spt"));
}

TEST_F(GalleryScriptTest, OverlongTokensAreCutAndBadNumbersAreRefused) {
    const std::string longTitle = "EPISODE01 " + std::string(400, 'T');
    const std::string longFile = "EPISODE01-SCENE01-PAGE01-X01-Y01 " + std::string(480, 'f');
    Script({longTitle.c_str(),
            "EPISODE01-SCENE01 "
            "NULL",
            longFile.c_str()});
    Start();
    ASSERT_EQ(cg.GetEpisodeTitle(1), 1);
    EXPECT_EQ(std::strlen(cg.m_szNextTitle), 99u);
    ASSERT_EQ(cg.SetDataSceneCG(1, 1, 1), 1);
    EXPECT_EQ(std::strlen(cg.m_nextCGItem[0].szName), 259u);
    EXPECT_EQ(cg.GetEpisodeTitle(8), 0);
    EXPECT_TRUE(log.Contains("エピソード数が不正です"));
    EXPECT_EQ(cg.SetDataSceneCG(1, 0, 1), 0);
    EXPECT_TRUE(log.Contains("シーン数が不正です"));
    EXPECT_EQ(cg.IsSelectNextCG(1, 1, 1, 0, nullptr, nullptr), 0);
    EXPECT_TRUE(log.Contains("CGナンバーが不正です"));
}

TEST_F(GalleryScriptTest, MissingScriptIsLoggedAndPageCountsWorkUninitialised) {
    Script({"EPISODE01-SCENE01 NULL", "EPISODE01-SCENE01-PAGE01-X01-Y01 a.bmp"});
    // The two counters need no initialised object.
    CG_MODE_DATA raw;
    std::snprintf(raw.m_szScriptName, sizeof(raw.m_szScriptName), "%s", "CGModeData.spt");
    EXPECT_EQ(raw.GetMaxCGPage(1, 1), 1);
    EXPECT_EQ(raw.m_nCGPageMax, 1);
    EXPECT_EQ(raw.GetMaxScenePage(1), 1);
    EXPECT_EQ(raw.m_nScenePageMax, 1);
    std::snprintf(raw.m_szScriptName, sizeof(raw.m_szScriptName), "%s", "Missing.spt");
    EXPECT_EQ(raw.GetMaxScenePage(1), 0);
    EXPECT_TRUE(log.Contains("dat/Scenario.dat内にMissing.sptが見つかりません"));
}

// When the work copy cannot be written (-3 from the extraction), the copy
// already in tmp/ is read.
TEST_F(GalleryScriptTest, ACopyAlreadyInTheWorkFolderIsReadWhenNoNewOneCanBeWritten) {
    Script({"EPISODE01 new"});
    Start();
    const std::string stale = "// gallery\r\nEPISODE01 stale\r\n";
    dir.Write("tmp/CGModeData.spt", ScrambleScript(stale));
    ASSERT_TRUE(std::filesystem::create_directory("tmp/CGModeData.spt.tmp"));
    const kutest::MountPointScope mounted("tmp/CGModeData.spt.tmp"); // blocks the new copy
    ASSERT_EQ(cg.GetEpisodeTitle(1), 1) << log.all();
    EXPECT_STREQ(cg.m_szNextTitle, "stale");
}

TEST_F(GalleryScriptTest, UnlocksOutsideTheStoredFlagsAreLocked) {
    global.m_dwEventFlag[0] = 0xFFFFFFFFu;
    for (auto& w : global.m_dwCgFlag[0][19])
        w = 0xFFFFFFFFu;
    EXPECT_EQ(CG_MODE_DATA::SceneUnlocked(&global, 1, 32), 1);
    EXPECT_EQ(CG_MODE_DATA::SceneUnlocked(&global, 1, 33), 0);
    EXPECT_EQ(CG_MODE_DATA::SceneUnlocked(&global, 8, 1), 0);
    EXPECT_EQ(CG_MODE_DATA::CGUnlocked(&global, 1, 20, 6, 15), 1); // bit 89
    EXPECT_EQ(CG_MODE_DATA::CGUnlocked(&global, 1, 20, 7, 6), 1); // bit 95, the last stored
    EXPECT_EQ(CG_MODE_DATA::CGUnlocked(&global, 1, 20, 7, 7), 0);
    EXPECT_EQ(CG_MODE_DATA::CGUnlocked(&global, 1, 20, 0, 1), 0);
    EXPECT_EQ(CG_MODE_DATA::CGUnlocked(&global, 1, 21, 1, 1), 0);
    EXPECT_EQ(CG_MODE_DATA::CGUnlocked(&global, 1, 20, 1, 16), 0);
}

TEST_F(GalleryScriptTest, SteppingFollowsUnlockBitsAcrossPages) {
    Sample();
    UnlockCG(1, 1, 1, 15); // no line for it
    UnlockCG(1, 1, 2, 3);
    Start();
    cg.GetMaxCGPage(1, 1);
    int page = -1, cell = -1;
    ASSERT_EQ(cg.IsSelectNextCG(1, 1, 1, 15, &page, &cell), 1);
    EXPECT_EQ(page, 2);
    EXPECT_EQ(cell, 3);
    EXPECT_STREQ(cg.m_szNextViewFile, "cg18.bmp");
    ASSERT_EQ(cg.IsSelectBackCG(1, 1, 2, 3, &page, &cell), 1);
    EXPECT_EQ(cell, 15);
    EXPECT_STREQ(cg.m_szNextViewFile, ""); // unlocked without a line: found, no file
    EXPECT_EQ(cg.IsSelectNextCG(1, 1, 2, 3, &page, &cell), 0);
    EXPECT_EQ(page, 0);
    EXPECT_EQ(cell, 0);
    EXPECT_EQ(cg.IsSelectBackCG(1, 1, 1, 15, &page, &cell), 0);
}
