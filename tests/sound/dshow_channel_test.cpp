#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "platform/media_audio_decoder_test_hooks.h"
#include "platform/media_graph.h"
#include "platform/media_video_sink.h"
#include "platform/video_movie.h"
#include "platform/video_present.h"
#include "tests/sound/sound_fixture.h"

namespace soundtest {
namespace {

class ChannelTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_EQ(Start(), 0);
    }
};

constexpr int kVoiceFrames = 66150; // v.wav, 1.5 s
constexpr int kMusicFrames = 44100; // m.wav, 1 s

int Status(KUSND& snd, int ch) {
    int s = -7;
    snd.DShowGetStatus(ch, &s);
    return s;
}

TEST_F(ChannelTest, VoiceOpensFromItsArchiveAndMusicFallsBackToEffects) {
    EXPECT_GE(snd.DShowOpen(0, "v.wav", 9999, 9999), 0);
    EXPECT_TRUE(Logged("Message: <KUDSHOWDATA::DShowOpen> オーディオタイプと判別しました\n"));
    EXPECT_FALSE(Logged("ビデオタイプと判別しました"));
    EXPECT_EQ(Status(snd, 0), 2);
    EXPECT_TRUE(dir.Exists("tmp/v.wav"));
    EXPECT_EQ(snd.DShowIsOpen(1), 0);
    EXPECT_EQ(snd.DShowOpen(0, "x.wav", 9999, 9999), -1);
    EXPECT_TRUE(Logged("Error: <KUDSHOWDATA::DShowOpen> dat/VO.dat内にx.wavが見つかりません\n"));
    EXPECT_FALSE(dir.Exists("tmp/v.wav")); // the old voice was closed first
    EXPECT_GE(snd.DShowOpen(1, "only_se.wav", 9999, 9999), 0);
    EXPECT_EQ(snd.DShowIsOpen(1), 1);
    const std::string longName(300, 'n');
    EXPECT_EQ(snd.DShowOpen(0, longName.c_str(), 9999, 9999), -1);
    EXPECT_EQ(snd.DShowOpen(2, "dat/broken.mpg", 800, 600), plat::kMediaFail);
    EXPECT_TRUE(Logged("Error: <KUDSHOWDATA::DShowOpen> データロードに失敗しました\n"));
    EXPECT_EQ(snd.DShowIsOpen(2), 0);
    EXPECT_TRUE(dir.Exists("dat/broken.mpg"));
    EXPECT_LT(snd.DShowOpen(0, "cut.wav", 9999, 9999), 0);
    EXPECT_EQ(snd.DShowIsOpen(0), 0);
    EXPECT_FALSE(dir.Exists("tmp/cut.wav")); // a failed open keeps no copy
}

TEST_F(ChannelTest, RepeatOncePlaysTwiceThenStopsAtTheStart) {
    ASSERT_GE(snd.DShowOpen(1, "m.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlayEx(1, 1, 0, 0), 0);
    std::vector<float> out = Pump(kMusicFrames);
    ASSERT_EQ(plat::PendingAppEvents(), 1u);
    EXPECT_EQ(Status(snd, 1), 1); // nothing handled yet
    plat::AppEvent e;
    plat::PopAppEvent(&e);
    EXPECT_EQ(e.message, 0x8003u);
    EXPECT_EQ(snd.DShowEventNotify(1), 1);
    std::vector<float> second = Pump(kMusicFrames);
    out.insert(out.end(), second.begin(), second.end());
    EXPECT_EQ(DispatchEvents(), 1);
    EXPECT_EQ(Status(snd, 1), 2);
    EXPECT_EQ(snd.DShowGetSeekPoint(1), 0);
    int64_t pos = -1;
    snd.DShowGetSeekPointOperation(1, &pos);
    EXPECT_EQ(pos, 0);
    std::vector<float> after = Pump(1000);
    out.insert(out.end(), after.begin(), after.end());
    EXPECT_EQ(AudibleEnd(out), static_cast<size_t>(2 * kMusicFrames));
    EXPECT_EQ(plat::PendingAppEvents(), 0u);
}

TEST_F(ChannelTest, RepeatForeverKeepsPlaying) {
    ASSERT_GE(snd.DShowOpen(1, "m.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlayEx(1, -2, 0, 0), 0);
    for (int i = 0; i < 3; ++i) {
        Pump(kMusicFrames);
        EXPECT_EQ(DispatchEvents(), 1);
        EXPECT_EQ(Status(snd, 1), 1);
    }
    EXPECT_GT(Rms(Pump(1000), 0, 1000), 0.1);
}

struct NoAhead {
    NoAhead() { plat::SetAudioAheadBudgetForTest(1); } // nothing in memory: every seek reopens
    ~NoAhead() { plat::SetAudioAheadBudgetForTest(0); }
};

// Another copy of the game in this folder removed tmp/ when it quit. Media
// that stream reopen their file to seek back: the copy is taken out again.
TEST_F(ChannelTest, MediaWhoseWorkCopyWentAreExtractedAgainToSeekBack) {
    const NoAhead noAhead;
    ASSERT_GE(snd.DShowOpen(1, "m.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlayEx(1, -2, 0, 0), 0);
    ASSERT_GE(snd.DShowOpen(0, "v.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlay(0), 0);
    Pump(1000);
    KUSYSTEM other;
    other.Initialize(nullptr, 1);
    other.RemoveTempFiles();
    ASSERT_FALSE(dir.Exists("tmp"));
    EXPECT_EQ(snd.DShowStop(0), 0);
    Pump(kMusicFrames - 1000);
    EXPECT_EQ(DispatchEvents(), 1);
    EXPECT_EQ(Status(snd, 1), 1);
    EXPECT_GT(Rms(Pump(1000), 0, 1000), 0.1); // the loop goes on
    EXPECT_TRUE(Logged("Warn: <KUDSHOWDATA::DShowEventNotify> 作業ファイルが消えていたので取り出し直しました\n"));
    snd.DShowClose(0);
    snd.DShowClose(1);
    EXPECT_FALSE(dir.Exists("tmp/m.wav"));
    EXPECT_FALSE(dir.Exists("tmp/v.wav"));

    // Without its archive the copy cannot come back: told once, never fatal.
    ASSERT_GE(snd.DShowOpen(1, "m.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlayEx(1, -2, 0, 0), 0);
    Pump(1000);
    other.RemoveTempFiles();
    std::filesystem::remove("dat/BGM.dat");
    for (int i = 0; i < 3; ++i) {
        Pump(kMusicFrames);
        DispatchEvents();
    }
    const std::string lost = "Error: <KUDSHOWDATA::DShowEventNotify> 作業ファイルが消えていて、取り出し直せませんでした\n";
    EXPECT_EQ(log.all().find(lost), log.all().rfind(lost));
    EXPECT_TRUE(Logged(lost));
    EXPECT_GE(snd.DShowClose(1), 0);
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// What the reopen refuses in the copy's place (a link, a FIFO, a tmp/ that
// links to a folder holding the name) is no copy: it is taken out again into
// a real tmp/ and the loop goes on. The outside file is silent, so a loop
// read through a link would be heard as silence.
TEST_F(ChannelTest, MusicGoesOnWhenItsCopyGaveWayToALinkOrAFifo) {
    namespace fs = std::filesystem;
    const NoAhead noAhead;
    const std::string silent = WavBytes(44100, 1, kMusicFrames, 330, 0.0);
    dir.Write("outside/m.wav", silent);
    const std::function<void()> replacements[] = {
        [] {
            fs::remove("tmp/m.wav");
            fs::create_symlink("../outside/m.wav", "tmp/m.wav");
        },
        [] {
            fs::remove("tmp/m.wav");
            ASSERT_EQ(mkfifo("tmp/m.wav", 0644), 0);
        },
        [] {
            fs::remove_all("tmp");
            fs::create_directory_symlink("outside", "tmp");
        },
    };
    ASSERT_GE(snd.DShowOpen(1, "m.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlayEx(1, -2, 0, 0), 0);
    Pump(1000);
    for (const auto& replace : replacements) {
        replace();
        log.Clear();
        Pump(kMusicFrames - 1000);
        EXPECT_EQ(DispatchEvents(), 1);
        EXPECT_EQ(Status(snd, 1), 1);
        EXPECT_GT(Rms(Pump(1000), 0, 1000), 0.1);
        EXPECT_TRUE(Logged("Warn: <KUDSHOWDATA::DShowEventNotify> 作業ファイルが消えていたので取り出し直しました\n"));
        EXPECT_FALSE(Logged("Error"));
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("tmp/m.wav")));
        EXPECT_TRUE(fs::is_directory(fs::symlink_status("tmp")));
    }
    EXPECT_EQ(dir.Read("outside/m.wav"), silent);
    EXPECT_EQ(std::distance(fs::directory_iterator("outside"), fs::directory_iterator()), 1);
    EXPECT_GE(snd.DShowClose(1), 0);
}

// A copy that cannot come back is tried once per open, whichever call meets
// it first: the event, the stop within it, a later play from a position. The
// open channel's failure is told; the next open tries again.
TEST_F(ChannelTest, ACopyThatCannotComeBackIsTriedOncePerOpen) {
    namespace fs = std::filesystem;
    const NoAhead noAhead;
    ASSERT_GE(snd.DShowOpen(1, "m.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlayEx(1, -2, 0, 0), 0);
    Pump(1000);
    fs::remove("tmp/m.wav");
    fs::create_directory("tmp/m.wav"); // a mount point: no copy can be renamed over it
    std::optional<kutest::MountPointScope> mounted(std::in_place, "tmp/m.wav");
    log.Clear();
    Pump(kMusicFrames - 1000);
    plat::AppEvent e;
    ASSERT_TRUE(plat::PopAppEvent(&e));
    EXPECT_LT(snd.DShowEventNotify(1), 0); // the window procedure warns of it
    EXPECT_TRUE(Logged("Error: <KUDSHOWDATA::DShowEventNotify> 作業ファイルが消えていて、取り出し直せませんでした\n"));
    EXPECT_TRUE(Logged("Error: <KUDSHOWDATA::DShowStop> シークの初期化に失敗しました\n"));
    EXPECT_TRUE(Logged("Error: <KUDSHOWDATA::DShowEventNotify> 呼び出したKUDSHOWDATA::DSHOWStopが失敗しました\n"));
    mounted.reset();
    fs::remove("tmp/m.wav"); // a second try would now succeed
    EXPECT_LT(snd.DShowPlayEx(1, -2, 5000000, 0), 0);
    EXPECT_EQ(Count(log.all(), "取り出し直"), 1u);
    EXPECT_FALSE(dir.Exists("tmp/m.wav"));
    EXPECT_GE(snd.DShowClose(1), 0);

    ASSERT_GE(snd.DShowOpen(1, "m.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlayEx(1, -2, 0, 0), 0);
    Pump(1000);
    fs::remove("tmp/m.wav");
    Pump(kMusicFrames - 1000);
    EXPECT_EQ(DispatchEvents(), 1);
    EXPECT_TRUE(Logged("Warn: <KUDSHOWDATA::DShowEventNotify> 作業ファイルが消えていたので取り出し直しました\n"));
    EXPECT_EQ(Status(snd, 1), 1);
}

// The music closed over its end (a click on the title as it loops): its
// message goes with it, so nothing answers a closed channel with an error.
// Another channel's message stays.
TEST_F(ChannelTest, AChannelClosedOverItsEndTakesItsMessageAlong) {
    ASSERT_GE(snd.DShowOpen(1, "m.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlayEx(1, -2, 0, 0), 0);
    ASSERT_GE(snd.DShowOpen(0, "b.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlay(0), 0);
    Pump(kMusicFrames);
    ASSERT_EQ(plat::PendingAppEvents(), 2u);
    EXPECT_GE(snd.DShowClose(1), 0);
    log.Clear();
    EXPECT_EQ(DispatchEvents(), 1);
    EXPECT_EQ(Status(snd, 0), 2);
    EXPECT_FALSE(Logged("Error"));
}

TEST_F(ChannelTest, StopWarnsWhenStoppedAndIsSilentWhenClosed) {
    EXPECT_EQ(snd.DShowStop(0), 0);
    EXPECT_TRUE(log.lines().empty());
    ASSERT_GE(snd.DShowOpen(0, "v.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlay(0), 0);
    Pump(1000);
    EXPECT_EQ(snd.DShowStop(0), 0);
    EXPECT_EQ(Status(snd, 0), 2);
    EXPECT_EQ(snd.DShowStop(0), 1);
    EXPECT_TRUE(Logged("Warn: <KUDSHOWDATA::DShowStop> 既に停止されています\n"));
    EXPECT_EQ(AudibleEnd(Pump(1000)), 0u);
    int s = 42;
    snd.DShowClose(0);
    EXPECT_EQ(snd.DShowGetStatus(0, &s), 1);
    EXPECT_EQ(s, 42);
    EXPECT_FALSE(dir.Exists("tmp/v.wav"));
}

TEST_F(ChannelTest, VolumeIsKeptWhileClosedAndClampedAtPlay) {
    EXPECT_EQ(snd.DShowSetVolume(1, -20000), 1);
    EXPECT_EQ(snd.DShowGetVolumeValue(1), -20000);
    ASSERT_GE(snd.DShowOpen(1, "sine.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlay(1), 0);
    EXPECT_EQ(log.all().find("ボリュームの設定範囲限界を超えています"),
              log.all().rfind("ボリュームの設定範囲限界を超えています"));
    EXPECT_TRUE(
        Logged("Warn: <KUDSHOWDATA::DShowSetVolume> "
               "ボリュームの設定範囲限界を超えています。最も近い設定可能な値に修正します\n"));
    int v = 0;
    EXPECT_EQ(snd.DShowGetVolume(1, &v), 0);
    EXPECT_EQ(v, -10000);
    EXPECT_EQ(AudibleEnd(Pump(1000)), 0u);

    snd.DShowSetVolume(1, 0);
    const double full = Rms(Pump(4410), 0, 4410);
    snd.DShowSetVolume(1, -600);
    const double low = Rms(Pump(4410), 0, 4410);
    EXPECT_NEAR(low / full, 0.501187, 0.005);
}

TEST_F(ChannelTest, LengthAndPauseAreExact) {
    ASSERT_GE(snd.DShowOpen(0, "v.wav", 9999, 9999), 0);
    int64_t length = 0;
    EXPECT_EQ(snd.DShowGetLength(0, &length), 0);
    EXPECT_EQ(length, 15000000);
    ASSERT_GE(snd.DShowPlay(0), 0);
    Pump(22050);
    EXPECT_GE(snd.DShowPause(0), 0);
    EXPECT_EQ(Status(snd, 0), 3);
    EXPECT_EQ(snd.DShowGetSeekPoint(0), 5000000);
    EXPECT_EQ(AudibleEnd(Pump(500)), 0u);
    EXPECT_GE(snd.DShowPause(0), 0);
    EXPECT_EQ(Status(snd, 0), 1);
    Pump(kVoiceFrames - 22050 - 1);
    EXPECT_EQ(plat::PendingAppEvents(), 0u);
    Pump(1);
    EXPECT_EQ(plat::PendingAppEvents(), 1u);
    DispatchEvents();
    EXPECT_EQ(Status(snd, 0), 2);
}

TEST_F(ChannelTest, StartAndStopPositionsBoundThePlay) {
    ASSERT_GE(snd.DShowOpen(0, "v.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlayEx(0, 0, 5000000, 10000000), 0);
    std::vector<float> out = Pump(30000);
    EXPECT_EQ(AudibleEnd(out), 22050u);
    EXPECT_EQ(DispatchEvents(), 1);
    EXPECT_EQ(Status(snd, 0), 2);
    // A start without a stop plays to the end instead of ending at once.
    ASSERT_GE(snd.DShowPlayEx(0, 0, 10000000, 0), 0);
    out = Pump(kVoiceFrames);
    EXPECT_EQ(AudibleEnd(out), static_cast<size_t>(kVoiceFrames - 44100));
}

TEST_F(ChannelTest, StaleEventOfAReplacedVoiceDoesNothing) {
    ASSERT_GE(snd.DShowOpen(0, "b.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlay(0), 0);
    Pump(22050);
    ASSERT_EQ(plat::PendingAppEvents(), 1u);
    ASSERT_GE(snd.DShowOpen(0, "v.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlay(0), 0);
    DispatchEvents();
    EXPECT_EQ(Status(snd, 0), 1);
}

TEST_F(ChannelTest, ChannelNumbersAreChecked) {
    EXPECT_EQ(snd.DShowPlay(3), -1);
    EXPECT_TRUE(Logged("Error: <KUSND::DShowPlay> オーディオタイプの指定が異常です\n"));
    EXPECT_EQ(snd.DShowGetSeekPoint(5), -1LL);
    EXPECT_EQ(snd.DShowOpen(-1, "v.wav", 9999, 9999), -1);
    EXPECT_FALSE(dir.Exists("tmp/v.wav"));
    log.Clear();
    EXPECT_EQ(snd.DShowChangeSize(2, 1, 800, 600), -1); // a window move with no movie
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ChannelTest, MainLoopReappliesTheVolumeAfterAPlayAndAfterOutsideChanges) {
    snd.DShowSetVolume(1, -600);
    ASSERT_GE(snd.DShowOpen(1, "m.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlay(1), 0);
    KUDSHOWDATA* ch = snd.DShowChannel(1);
    const uint32_t t = ch->GetPlayStartTime();
    ASSERT_NE(t, 0u);
    int v = 0;
    snd.DShowGetVolume(1, &v);
    EXPECT_EQ(v, -600);
    EXPECT_EQ(snd.MainLoop(t + 99), 1);
    EXPECT_EQ(ch->GetPlayStartTime(), t);
    EXPECT_EQ(snd.MainLoop(t + 100), 1);
    EXPECT_EQ(ch->GetPlayStartTime(), 0u);
    ch->GetGraph()->PutVolume(-3000);
    snd.MainLoop(t + 200);
    snd.DShowGetVolume(1, &v);
    EXPECT_EQ(v, -600);
}

struct TestSink : plat::VideoFrameSink {
    void ShowMoviePicture(const plat::Surface& p, const plat::VideoWindowState& w) override {
        ++pictures;
        width = p.width;
        window = w;
    }
    void HideMovie() override { ++hides; }
    int pictures = 0;
    int hides = 0;
    int width = 0;
    plat::VideoWindowState window;
};

TEST_F(ChannelTest, MovieWindowSizesFullScreenAndHiding) {
    TestSink sink;
    plat::SetVideoFrameSink(&sink);
    EXPECT_GE(snd.DShowOpen(2, "dat/Mov.dat", 9999, 9999), 0);
    EXPECT_TRUE(Logged("Message: <KUDSHOWDATA::DShowOpen> ビデオタイプと判別しました\n"));
    KUDSHOWDATA* ch = snd.DShowChannel(2);
    EXPECT_EQ(ch->GetWidth(), 320);
    EXPECT_EQ(ch->GetHeight(), 240);
    ASSERT_GE(snd.DShowPlayEx(2, 0, 0, 0), 0);
    plat::VideoWindowState w = ch->GetGraph()->Window();
    EXPECT_TRUE(w.visible);
    EXPECT_EQ(w.width, 320);
    snd.MainLoop(0); // pumps the pictures
    EXPECT_EQ(sink.pictures, 1);
    EXPECT_EQ(sink.width, 320);
    Pump(44100);
    snd.MainLoop(0);
    EXPECT_EQ(sink.pictures, 2);

    EXPECT_GE(snd.DShowChangeSize(2, 1, -1, -1), 0);
    EXPECT_TRUE(ch->GetGraph()->Window().fullScreen);
    EXPECT_EQ(snd.DShowChangeSize(2, 1, -1, -1), 1);
    EXPECT_TRUE(Logged("Warn: <KUDSHOWDATA::DShowChangeSize> 既にフルスクリーンです\n"));
    EXPECT_GE(snd.DShowChangeSize(2, 1, 800, 600), 0);
    w = ch->GetGraph()->Window();
    EXPECT_FALSE(w.fullScreen);
    EXPECT_EQ(w.x, 0);
    EXPECT_EQ(w.y, 0);
    EXPECT_EQ(w.width, 800);
    EXPECT_EQ(w.height, 600);

    EXPECT_EQ(snd.DShowStop(2), 0);
    EXPECT_FALSE(ch->GetGraph()->Window().visible);
    EXPECT_GE(sink.hides, 1);
    EXPECT_EQ(ch->GetRepeat(), 0);
    EXPECT_EQ(ch->GetStart(), 0);
    EXPECT_EQ(ch->GetStop(), 0);
    EXPECT_EQ(Status(snd, 2), 2);
    EXPECT_EQ(AudibleEnd(Pump(2000)), 0u); // the stop's replay makes no sound
    EXPECT_EQ(snd.DShowClose(2), 0);
    EXPECT_TRUE(dir.Exists("dat/Mov.dat"));
    plat::SetVideoFrameSink(nullptr);
}

TEST_F(ChannelTest, DemoFlowAtVolumeStepZeroIsSilentAndEnds) {
    ASSERT_GE(snd.DShowOpen(2, "dat/Mov.dat", 800, 600), 0);
    ASSERT_GE(snd.DShowPlay(2), 0);
    snd.DShowSetVolume(2, -10000);
    int64_t length = 0;
    snd.DShowGetLength(2, &length);
    std::vector<float> out = Pump(static_cast<int>(length * 44100 / 10000000) + 4410);
    EXPECT_EQ(AudibleEnd(out), 0u);
    EXPECT_EQ(DispatchEvents(), 1);
    EXPECT_EQ(Status(snd, 2), 2);
}

TEST_F(ChannelTest, VideoOnlyMovieEndsOnTheOutputClock) {
    ASSERT_GE(snd.DShowOpen(2, "dat/vonly.mpg", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlay(2), 0);
    int64_t length = 0;
    snd.DShowGetLength(2, &length);
    Pump(static_cast<int>(length * 44100 / 10000000));
    EXPECT_EQ(DispatchEvents(), 1);
    EXPECT_EQ(Status(snd, 2), 2);
}

TEST_F(ChannelTest, AMovieFileIsNeverDeletedWhateverCloseItGets) {
    {
        KUDSHOWDATA ch;
        ASSERT_GE(ch.DShowOpen(&sys, 2, "dat/Mov.dat", plat::WindowHandle{}, 800, 600), 0);
        // A null system is refused before it is stored: the channel stays as it was.
        EXPECT_EQ(ch.DShowOpen(nullptr, 2, "dat/Mov.dat", plat::WindowHandle{}, 800, 600), -1);
        EXPECT_EQ(ch.IsOpen(), 1);
        EXPECT_EQ(ch.DShowClose(0), 0); // even closed under the voice's number
        EXPECT_TRUE(dir.Exists("dat/Mov.dat"));
        ASSERT_GE(ch.DShowOpen(&sys, 2, "dat/Mov.dat", plat::WindowHandle{}, 800, 600), 0);
    } // the destructor closes it as channel 0 would be
    EXPECT_TRUE(dir.Exists("dat/Mov.dat"));
    ASSERT_GE(snd.DShowOpen(0, "v.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowOpen(2, "dat/Mov.dat", 800, 600), 0);
    snd.Release();
    EXPECT_FALSE(dir.Exists("tmp/v.wav"));
    EXPECT_TRUE(dir.Exists("dat/Mov.dat"));
}

} // namespace
} // namespace soundtest

namespace soundtest {
namespace {

// The display's movie screen as the program installs it: the demo's 800 x 600
// window shows the movie's pictures over the last game frame, following the
// audio clock, and the game frame comes back when the movie stops.
TEST_F(ChannelTest, MoviePicturesReachTheScreenOverTheGameFrame) {
    plat::Surface game(800, 600);
    std::fill(game.pixels.begin(), game.pixels.end(), 0xFF123456u);
    plat::PresentFrame(game, 32);
    plat::InstallMovieScreen();
    ASSERT_GE(snd.DShowOpen(2, "dat/Mov.dat", 800, 600), 0);
    ASSERT_GE(snd.DShowPlay(2), 0);
    snd.MainLoop(0);
    // Copies: each later presentation overwrites the frame the reference shows.
    const plat::Surface first = plat::LastPresentedFrame(); // NOLINT(performance-unnecessary-copy-initialization)
    Pump(44100);
    snd.MainLoop(0);
    const plat::Surface later = plat::LastPresentedFrame(); // NOLINT(performance-unnecessary-copy-initialization)
    const plat::Surface& picture = snd.DShowChannel(2)->GetGraph()->Picture();
    ASSERT_EQ(picture.width, 320);
    // Scaled 2.5 times into the whole screen: every screen pixel is a movie pixel.
    size_t fromGame = 0;
    size_t same = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            if (later.Row(y)[x] == 0xFF123456u)
                ++fromGame;
            if (later.Row(y)[x] == first.Row(y)[x])
                ++same;
        }
    }
    EXPECT_EQ(later.Row(599)[799], picture.Row(239)[319] | 0xFF000000u);
    EXPECT_EQ(later.Row(300)[400], picture.Row(120)[160] | 0xFF000000u);
    EXPECT_LT(fromGame, 100u);
    EXPECT_LT(same, 800u * 600u * 9 / 10); // the picture moves with the clock
    EXPECT_EQ(snd.DShowStop(2), 0);
    EXPECT_EQ(plat::LastPresentedFrame().pixels, game.pixels);
    snd.DShowClose(2);
    plat::SetVideoFrameSink(nullptr);
}

} // namespace
} // namespace soundtest
