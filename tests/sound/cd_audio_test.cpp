#include "platform/cd_device_test_hooks.h"
#include "tests/sound/sound_fixture.h"

namespace soundtest {
namespace {

constexpr uint32_t kFps = plat::kCdFramesPerSecond;
constexpr uint32_t Msf(uint32_t m, uint32_t s, uint32_t f) { return (m * 60 + s) * kFps + f; }

class CdTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_EQ(Start(), 0);
        // Track 1 audio 3:20.10, track 2 data 1:00.00, track 3 audio 2:05.74.
        disc.toc.tracks = {{150, false}, {150 + Msf(3, 20, 10), true}, {150 + Msf(4, 20, 10), false}};
        disc.toc.leadOut = 150 + Msf(4, 20, 10) + Msf(2, 5, 74);
    }
    void TearDown() override {
        SoundTest::TearDown();
        plat::CdUseFakeDisc(nullptr);
    }
    void Open() {
        plat::CdUseFakeDisc(&disc);
        ASSERT_EQ(snd.MCIInit(nullptr), 1);
    }
    plat::FakeCdDisc disc;
};

// Without a drive every operation keeps its "not open" answer, and nothing a
// caller reads back is left uninitialised.
TEST_F(CdTest, WithoutADriveEveryOperationRefusesAndZeroesItsOutputs) {
    disc.noDrive = true;
    plat::CdUseFakeDisc(&disc);
    EXPECT_EQ(snd.MCIInit(nullptr), 0);
    EXPECT_TRUE(Logged("Error: <KUSND::MCIInit> MCIの取得に失敗しました\n"));
    unsigned int count = 77;
    unsigned char m = 9, s = 9, f = 9, t = 9;
    KUCDTRACKDATA rec;
    rec.bMinute = 5;
    rec.nTrackType = 7;
    char id[16] = "junk";
    log.Clear();
    EXPECT_EQ(snd.CDGetAllTrackNum(&count), 1);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(snd.CDGetTrackLength(&m, &s, &f, 1), 1);
    EXPECT_EQ(m + s + f, 0);
    m = s = f = 9;
    EXPECT_EQ(snd.CDGetNowPos(&m, &s, &f, &t), 1);
    EXPECT_EQ(m + s + f + t, 0);
    EXPECT_EQ(snd.CDGetTrackData(0, &rec), 1);
    EXPECT_EQ(rec.bMinute + rec.nTrackType, 0);
    EXPECT_EQ(snd.CDGetDiscID(id, sizeof(id)), 1);
    EXPECT_STREQ(id, "");
    EXPECT_EQ(snd.CDPlay(1, 1, 0, 0), 1);
    EXPECT_EQ(snd.CDStop(), 1);
    EXPECT_EQ(snd.CDPause(), 1);
    EXPECT_EQ(snd.CDRePlay(), 1);
    EXPECT_EQ(snd.CDGetTrackInfo(1), 1);
    EXPECT_EQ(snd.CDSetTrackData(), 1);
    EXPECT_EQ(snd.ChangeTimeFormat(2), 1);
    EXPECT_EQ(snd.TrayControl(), 1);
    EXPECT_EQ(log.lines().size(), 13u);
    EXPECT_TRUE(Logged("Error: <KUSND::TrayControl> デバイスを開いてません\n"));
    log.Clear();
    EXPECT_EQ(snd.CDPlayStatusCheck(), 2);
    EXPECT_EQ(snd.CDDriveStatus(), 1);
    EXPECT_EQ(snd.MCIClose(), 1);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(CdTest, TrackTableHoldsTypesAndLengths) {
    Open();
    EXPECT_EQ(disc.opens, 1);
    EXPECT_EQ(snd.CDSetTrackData(), 1);
    const unsigned char want[3][3] = {{3, 20, 10}, {1, 0, 0}, {2, 5, 74}};
    for (unsigned int i = 0; i < 3; ++i) {
        KUCDTRACKDATA r;
        ASSERT_EQ(snd.CDGetTrackData(i, &r), 1);
        EXPECT_EQ(r.nTrackType, i == 1 ? 1 : 0);
        EXPECT_EQ(r.bMinute, want[i][0]);
        EXPECT_EQ(r.bSecond, want[i][1]);
        EXPECT_EQ(r.bFrame, want[i][2]);
    }
    KUCDTRACKDATA r;
    EXPECT_EQ(snd.CDGetTrackData(3, &r), 0);
    EXPECT_TRUE(Logged("Error: <KUSND::CDGetTrackData> インデックス番号の指定が不正です\n"));
    EXPECT_EQ(snd.CDGetTrackData(0, nullptr), 0);
    unsigned char m = 0, s = 0, f = 0;
    EXPECT_EQ(snd.CDGetTrackLength(&m, &s, &f, 9999), 1);
    EXPECT_EQ(Msf(m, s, f), Msf(6, 26, 9)); // 3:20.10 + 1:00.00 + 2:05.74
    EXPECT_EQ(snd.CDGetTrackLength(&m, &s, &f, 4), 0);
    char id[16] = {};
    EXPECT_EQ(snd.CDGetDiscID(id, sizeof(id)), 1);
    EXPECT_EQ(std::string(id).size(), 8u);
    // Closing frees the table even though nothing else remains to do.
    EXPECT_EQ(snd.MCIClose(), 1);
    EXPECT_EQ(snd.CDGetTrackData(0, &r), 1);
    EXPECT_EQ(r.bMinute, 0);

    disc.present = false;
    Open();
    EXPECT_EQ(snd.CDSetTrackData(), 0);
    EXPECT_TRUE(Logged("Warn: <KUSND::CDSetTrackData> メディアが挿入されていません\n"));
}

TEST_F(CdTest, PlayPauseResumePositionAndTray) {
    Open();
    ASSERT_EQ(snd.CDPlay(0, 3, 1, 2), 1);
    EXPECT_EQ(disc.lastPlayFrom, disc.toc.tracks[2].start + Msf(1, 2, 1));
    EXPECT_EQ(snd.CDPlayStatusCheck(), 0);
    disc.position += 3 * kFps;
    unsigned char m = 0, s = 0, f = 0, t = 0;
    ASSERT_EQ(snd.CDGetNowPos(&m, &s, &f, &t), 1);
    EXPECT_EQ(t, 3);
    EXPECT_EQ(Msf(m, s, f), Msf(1, 5, 1));
    ASSERT_EQ(snd.CDGetNowPos(&m, &s, &f, nullptr), 1); // from the disc start
    EXPECT_EQ(Msf(m, s, f), disc.toc.tracks[2].start + Msf(1, 5, 1));

    EXPECT_EQ(snd.CDPause(), 1);
    EXPECT_EQ(snd.CDPlayStatusCheck(), 1);
    EXPECT_EQ(snd.CDRePlay(), 1);
    EXPECT_EQ(snd.CDPlayStatusCheck(), 0);
    disc.failNext = "status";
    EXPECT_EQ(snd.CDPlayStatusCheck(), -1);
    EXPECT_EQ(snd.CDPlay(0, 4, 0, 0), 0); // no such track
    EXPECT_TRUE(Logged("Error: <KUSND::CDPlay> 再生出来ません\n"));

    // The tray opens over a disc (stopping it first) and closes over none.
    EXPECT_EQ(snd.TrayControl(), 1);
    EXPECT_TRUE(disc.doorOpen);
    EXPECT_EQ(disc.mode, plat::CdMode::kStopped);
    EXPECT_EQ(snd.CDDriveStatus(), 1);
    EXPECT_EQ(snd.TrayControl(), 1);
    EXPECT_FALSE(disc.doorOpen);

    ASSERT_EQ(snd.CDPlay(1, 1, 0, 0), 1);
    EXPECT_EQ(snd.MCIChangeDrive("/dev/sr9"), 1); // the fake answers for any drive
    EXPECT_EQ(disc.mode, plat::CdMode::kStopped);
    EXPECT_EQ(disc.opens, 2);
}

} // namespace
} // namespace soundtest
