#include <filesystem>

#include "game/game_settings.h"
#include "game/shell_services.h"
#include "platform/files.h"
#include "tests/adv/command_fixture.h"
#include "tests/audio/audio_fixtures.h"
#include "tests/audio/manual_sound.h"

namespace {

// The sound commands against a started sound system on the manual output:
// effects go through the engine's services into real slots, movies play on
// the movie channel and end on the output's clock.
class DeviceCommandTest : public CommandTest {
protected:
    void SetUp() override {
        CommandTest::SetUp();
        sound.Start(&h.snd, &h.sys);
        ASSERT_EQ(h.snd.DADATAReserve(67), 1);
        std::filesystem::create_directories("dat");
        std::string error;
        ASSERT_TRUE(WriteArchive("dat/SE.dat", {{"beep.wav", "", audiotest::WavBytes(44100, 1, 4410, 880)}}, false,
                                 &error))
            << error;
        std::string movie;
        ASSERT_TRUE(plat::ReadWholeFile(audiotest::Fixture("movie.mpg"), &movie));
        dir.Write("dat/op.mpg", movie);
    }
    void TearDown() override {
        CommandTest::TearDown();
        sound.Release();
        g_dwBGMVolume = 5;
    }
    // The windows' own sounds stay with the fakes; the script's go to the engine.
    void Play(const std::vector<std::string>& lines) {
        PlayDeclared(lines);
        fakesvc::InstallFakes(true);
    }
    int SlotState() { return h.snd.DAGetPlayState(adv.m_pSound[0].m_nSlot); }
    int Loaded() { return h.snd.DAGetLoadState(adv.m_pSound[0].m_nSlot); }
    bool Audible(int frames) { return audiotest::AudibleFrames(sound.Pump(frames)) > 0; }

    static constexpr int kPlaying = 0;
    audiotest::ManualSound sound;
};

TEST_F(DeviceCommandTest, PlayWaveLoopsOrPlaysOnceAndStopWaveStopsOneOrAll) {
    Play({"#MsgWndOpen 0", "#SetData SOUND SE beep.wav FALSE", "#PlayWave SE TRUE", "#TimeWait 10000",
                  "#StopWave SE FALSE", "#PlayWave SE NULL FALSE", "#TimeWait 10000", "#StopWave ALL",
                  "#PlayWave SE NULL FALSE", "#PlayWave XX", "#StopWave XX", "#EndScript"});
    RunToLine(4);
    ASSERT_EQ(Loaded(), 1) << log.all(); // bound unloaded, loaded by the play
    EXPECT_EQ(adv.m_pSound[0].m_dwLoop, 1u);
    EXPECT_EQ(SlotState(), kPlaying);
    EXPECT_TRUE(Audible(4410 * 3)); // past its length: it loops
    EXPECT_EQ(SlotState(), kPlaying);

    Step(16, {{kVkLButton, kClickUp}});
    RunToLine(7);
    // Stopped but kept loaded, then played once from where it lies.
    EXPECT_EQ(Loaded(), 1);
    EXPECT_EQ(adv.m_pSound[0].m_dwLoop, 0u);
    EXPECT_EQ(SlotState(), kPlaying);
    sound.Pump(4410 + 64);
    EXPECT_NE(SlotState(), kPlaying);
    EXPECT_FALSE(Audible(4410));
    EXPECT_TRUE(NoErrors()) << log.all();

    // "ALL" unloads; a play without reloading then fails on the empty slot.
    Step(16, {{kVkLButton, kClickUp}});
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_EQ(Loaded(), 0);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::PlayWaveProc> SEの再生に失敗しました\n"));
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::PlayWaveProc> インデックスの取得に失敗しました\n"));
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::StopWaveProc> インデックスの取得に失敗しました\n"));
    EXPECT_FALSE(log.Contains("停止処理に失敗しました"));
}

TEST_F(DeviceCommandTest, MoviePlaysToItsEndOrUntilAClickThenGivesEverythingBack) {
    g_dwBGMVolume = 4;
    Play({"#MsgWndOpen 0", "#MoviePlay dat/op.mpg", "#ChangeVar v 1", "#MoviePlay dat/op.mpg",
                  "#ChangeVar v 2", "#EndScript"});
    RunToLine(2);
    Frame();
    ASSERT_EQ(h.snd.DShowIsOpen(2), 1) << log.all();
    int volume = 0;
    h.snd.DShowGetVolume(2, &volume);
    EXPECT_EQ(volume, -1250);
    EXPECT_EQ(g_bMoviePlay, 1);
    EXPECT_EQ(g_bMoviePlayOld, 1);
    EXPECT_LT(fakesvc::g_cursorCount, 0);
    Frame(5000);
    EXPECT_TRUE(Busy()); // the game clock alone does not end it
    EXPECT_EQ(Var("v"), 0);
    sound.PlayOut(2);
    Frame();
    EXPECT_FALSE(Busy());
    EXPECT_EQ(g_bMoviePlay, 0);
    EXPECT_GE(fakesvc::g_cursorCount, 0);
    EXPECT_EQ(fakesvc::g_menuAttached, 1);
    EXPECT_EQ(h.snd.DShowIsOpen(2), 0);

    RunToLine(4);
    Frame();
    ASSERT_EQ(g_bMoviePlay, 1);
    EXPECT_EQ(Var("v"), 1);
    Step(16, {{kVkLButton, kClickUp}});
    EXPECT_EQ(g_bMoviePlay, 0);
    EXPECT_EQ(h.snd.DShowIsOpen(2), 0);
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_EQ(Var("v"), 2);
    EXPECT_TRUE(NoErrors()) << log.all();
}

} // namespace
