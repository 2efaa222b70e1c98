#include "scene/sound_data.h"

#include <gtest/gtest.h>

#include "tests/scene/scene_fixture.h"

namespace {

using scenetest::SceneTest;
using scenetest::Wav;

class SoundDataTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        kugfx::PackArchive("dat/SE.dat", {{"se05.wav", Wav()}, {"mine.wav", Wav()}, {"other.wav", Wav()}});
        kugfx::PackArchive("dat/VO.dat", {{"v01.wav", Wav()}});
        kugfx::PackArchive("dat/BGM.dat", {{"m01.wav", Wav()}});
        ASSERT_EQ(a.Initialize(&snd, &f.sys, "A"), 1);
        ASSERT_EQ(b.Initialize(&snd, &f.sys, "B"), 1);
    }
    std::string Slot2() {
        char name[260];
        return snd.DAGetWAVEPath(2, name, sizeof(name)) ? name : "?";
    }
    SOUND_DATA a, b;
};

TEST_F(SoundDataTest, ListedEffectsUseTheirSlotOthersShareSlotTwo) {
    EXPECT_EQ(a.SetSoundData("SE05.WAV", 2, 0, 0, 1), 1);
    EXPECT_EQ(a.m_nSlot, 36);
    EXPECT_EQ(a.m_bLoaded, 1u);
    EXPECT_EQ(Slot2(), "");
    EXPECT_EQ(a.PlayProc(), 1);
    EXPECT_EQ(a.m_bPlay, 1u);
    EXPECT_EQ(a.StopProc(), 1);
    EXPECT_EQ(a.m_bPlay, 0u);
    EXPECT_EQ(a.SetSoundData("mine.wav", 2, 0, 0, 0), 1);
    EXPECT_EQ(b.SetSoundData("other.wav", 2, 0, 0, 0), 1);
    EXPECT_EQ(a.m_nSlot, 2);
    EXPECT_EQ(b.m_nSlot, 2);
    EXPECT_EQ(Slot2(), "other.wav");
    EXPECT_EQ(a.LoadSoundData(), 1);
    EXPECT_EQ(a.PlayProc(), 1);
}

TEST_F(SoundDataTest, VoicesAndMusicOnlyMarkLoadedAndRefusalsKeepTheOldBinding) {
    EXPECT_EQ(a.UnloadSoundData(), 1); // no slot yet: nothing changes
    EXPECT_EQ(a.m_nSlot, -1);
    ASSERT_EQ(a.SetSoundData("m01.wav", 1, 1, 0, 1), 1);
    EXPECT_EQ(a.m_nSlot, 1);
    EXPECT_EQ(a.m_bLoaded, 1u);
    log.Clear();
    EXPECT_EQ(a.SetSoundData("missing.wav", 0, 0, 0, 0), 0);
    EXPECT_TRUE(log.Contains("結合ファイルに指定ファイルは存在しません"));
    EXPECT_STREQ(a.m_szFile, "missing.wav");
    EXPECT_EQ(a.m_dwType, 1u);
    EXPECT_EQ(a.m_nSlot, 1);
    EXPECT_EQ(a.SetSoundData("v01.wav", 7, 0, 0, 0), 0);
    EXPECT_EQ(a.SetSoundData(nullptr, 0, 0, 0, 0), 0);
    EXPECT_EQ(a.SetSoundData("v01.wav", 0, 0, 0, 1), 1);
    EXPECT_EQ(a.m_nSlot, 0);
    EXPECT_EQ(a.m_bLoaded, 1u);
    SOUND_DATA none;
    EXPECT_EQ(none.PlayProc(), 0);
    EXPECT_EQ(none.Initialize(nullptr, &f.sys, "X"), 0);
}

TEST_F(SoundDataTest, WithoutSoundDeviceEffectsSucceedWithoutBinding) {
    g_bSoundEnable = 0;
    KUSND silent; // never started: no slot table
    SOUND_DATA s;
    ASSERT_EQ(s.Initialize(&silent, &f.sys, "S"), 1);
    log.Clear();
    EXPECT_EQ(s.SetSoundData("mine.wav", 2, 0, 0, 1), 1);
    EXPECT_EQ(s.m_nSlot, 2);
    EXPECT_EQ(s.PlayProc(), 1);
    EXPECT_EQ(s.StopProc(), 1);
    EXPECT_EQ(s.UnloadSoundData(), 1);
    EXPECT_FALSE(log.Contains("Error"));
}

} // namespace
