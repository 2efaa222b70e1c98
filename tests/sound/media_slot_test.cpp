#include "platform/media_graph.h"
#include "platform/video.h"
#include "platform/video_movie.h"
#include "platform/video_present.h"
#include "sound/kummdata.h"
#include "tests/sound/sound_fixture.h"

namespace soundtest {
namespace {

class MediaTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        Pack("dat/Movie.dat", {{"mv.wav", WavBytes(44100, 1, 4410, 700)}});
        ASSERT_EQ(Start(), 0);
        ASSERT_EQ(snd.MMDATAReserve(3), 1);
    }
    int State(int slot) { return snd.MMSlot(slot)->nState; }
    // The open movie's graph (the one with pictures), or nullptr.
    static const plat::MediaGraph* VideoGraph() {
        for (plat::MediaGraph* g : plat::MediaGraph::LiveGraphs())
            if (g->HasVideo())
                return g;
        return nullptr;
    }
    std::vector<plat::DirEntry> TmpFiles() {
        std::vector<plat::DirEntry> files;
        plat::ListDir("tmp", &files);
        return files;
    }
};

TEST_F(MediaTest, ReserveAndBindRules) {
    EXPECT_EQ(snd.MMDATAReserve(5), 1);
    EXPECT_TRUE(Logged("既にセットされています"));
    EXPECT_EQ(snd.MMSlot(3), nullptr); // the first count stays
    EXPECT_EQ(snd.MMSetData(0, "m.wav", 2), 1);
    EXPECT_EQ(snd.MMSlot(0)->nMCIType, 2);
    EXPECT_STREQ(snd.MMSlot(0)->szPath, "m.wav");
    for (int bad : {4, -1, 9}) {
        log.Clear();
        EXPECT_EQ(snd.MMSetData(1, "m.wav", bad), 0);
        EXPECT_TRUE(Logged("Error: <KUSND::MMSetData> ファイルタイプが不正です\n"));
    }
    EXPECT_EQ(snd.MMSetData(1, std::string(260, 'a').c_str(), 2), 0);
    EXPECT_EQ(snd.MMSetData(1, nullptr, 2), 0);
    EXPECT_EQ(snd.MMSlot(1)->nMCIType, 4);
    EXPECT_EQ(snd.MMSetData(3, "m.wav", 2), 0);
    EXPECT_TRUE(Logged("Error: <KUSND::MMSetData> インデックス番号が不正です\n"));
    // The bound path and type open the slot.
    EXPECT_EQ(snd.MMOpen(0, 4, nullptr), 1);
    EXPECT_EQ(snd.MMOpen(1, 4, "m.wav"), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSND::MOpen> ファイルタイプが指定されていません\n"));

    KUSND fresh;
    EXPECT_EQ(fresh.MMDATAReserve(0), 0);
    EXPECT_TRUE(Logged("Error: <KUSND::MMDATAReserve> 引数に0が渡されました\n"));
    EXPECT_EQ(fresh.MMOpen(0, 2, "m.wav"), 0);
    EXPECT_TRUE(Logged("Warn: <KUSND::MMOpen> マルチメディアデータを確保していません\n"));
    ASSERT_EQ(fresh.MMDATAReserve(1), 1);
    EXPECT_EQ(fresh.MMOpen(0, 2, "m.wav"), 0);
    EXPECT_TRUE(Logged("KUSND::Initializeの処理を終えずに呼び出されました"));
    log.Clear();
    EXPECT_EQ(fresh.AVIOpen("dat/Mov.dat", 0, 0, 8, 8), 0);
    EXPECT_TRUE(Logged("Error: <KUSND::AVIOpen> KUSND::Initializeの処理を終えずに呼び出されました\n"));
}

// Only the named member comes out, from whichever archive holds it, and it
// goes again when the slot closes.
TEST_F(MediaTest, OpenExtractsOnlyTheMemberAndCloseRemovesIt) {
    ASSERT_EQ(snd.MMOpen(0, 2, "se/only_se.wav"), 1);
    ASSERT_EQ(snd.MMOpen(1, 2, "mv.wav"), 1);
    std::vector<plat::DirEntry> files = TmpFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_TRUE(dir.Exists("tmp/only_se.wav"));
    unsigned int length = 0;
    EXPECT_EQ(snd.MMGetLength(0, &length), 1);
    EXPECT_EQ(length, 100u);
    EXPECT_EQ(snd.MMClose(0), 1);
    EXPECT_FALSE(dir.Exists("tmp/only_se.wav"));
    EXPECT_EQ(snd.MMSlot(0)->nMCIType, 4);
    // Reopening a slot on another file removes the first file's copy.
    ASSERT_EQ(snd.MMOpen(1, 2, "m.wav"), 1);
    EXPECT_FALSE(dir.Exists("tmp/mv.wav"));
    EXPECT_TRUE(dir.Exists("tmp/m.wav"));
}

TEST_F(MediaTest, BadInputLeavesTheSlotClosed) {
    EXPECT_EQ(snd.MMOpen(0, 2, "none.wav"), -1);
    EXPECT_TRUE(Logged("Error: <KUSND::MMOpen> dat/Movie.dat内にnone.wavが見つかりません\n"));
    for (const char* name : {"bad.wav", "trunc.wav"}) {
        log.Clear();
        EXPECT_EQ(snd.MMOpen(0, 2, name), 0) << name;
        EXPECT_TRUE(Logged("Error: <KUSND::MMOpen> ファイルオープンに失敗しました\n"));
        EXPECT_EQ(snd.MMSlot(0)->bOpen, 0);
    }
    EXPECT_EQ(snd.MMOpen(0, 2, std::string(256, 'a').c_str()), 0);
    EXPECT_EQ(snd.MMOpen(3, 2, "m.wav"), 0);
    EXPECT_EQ(snd.MMOpen(-1, 2, "m.wav"), 0);
    EXPECT_TRUE(Logged("Error: <KUSND::MMOpen> インデックス番号が不正です\n"));
    for (int slot : {-1, 3}) {
        unsigned int length = 5;
        EXPECT_EQ(snd.MMPlay(slot), 0);
        EXPECT_EQ(snd.MMPlayEx(slot, 0, 10), 0);
        EXPECT_EQ(snd.MMStop(slot), 0);
        EXPECT_EQ(snd.MMPause(slot), 0);
        EXPECT_EQ(snd.MMClose(slot), 0);
        EXPECT_EQ(snd.MMGetLength(slot, &length), 0);
        EXPECT_EQ(length, 0u);
    }
    EXPECT_EQ(snd.MMPlayEx(0, 0, 0), -1);
    EXPECT_TRUE(Logged("Error: <KUSND::MMPlayEx> データを開いていません\n"));
    EXPECT_TRUE(TmpFiles().empty());
}

TEST_F(MediaTest, PlayFromToPauseAndResumeAreSampleExact) {
    ASSERT_EQ(snd.MMOpen(0, 2, "sine.wav"), 1);
    ASSERT_EQ(snd.MMPlayEx(0, 100, 300), 1);
    std::vector<float> out = Pump(44100);
    EXPECT_EQ(AudibleEnd(out), 8820u); // 200 ms

    ASSERT_EQ(snd.MMStop(0), 1);
    EXPECT_EQ(snd.MMStop(0), 1);
    EXPECT_TRUE(Logged("Warn: <KUSND::MMStop> 既に停止されています\n"));
    ASSERT_EQ(snd.MMPlay(0), 1);
    EXPECT_EQ(snd.MMPlay(0), 1);
    EXPECT_TRUE(Logged("Warn: <KUSND::MMPlay> 既に再生中です\n"));
    EXPECT_EQ(AudibleEnd(Pump(1000)), 1000u);
    ASSERT_EQ(snd.MMPause(0), 1);
    EXPECT_EQ(State(0), 2);
    EXPECT_EQ(AudibleFrames(Pump(5000)), 0u);
    ASSERT_EQ(snd.MMPause(0), 1);
    EXPECT_EQ(State(0), 0);
    out = Pump(44100);
    EXPECT_EQ(AudibleEnd(out), 43100u); // goes on where it paused
    // Played to its end, the slot still counts as playing.
    EXPECT_EQ(snd.MMPlay(0), 1);
    EXPECT_EQ(AudibleFrames(Pump(1000)), 0u);
}

// The video window draws the movie at its place over the game frame.
TEST_F(MediaTest, VideoWindowShowsTheMovieOverTheGameFrameUntilItsEnd) {
    EXPECT_EQ(snd.AVIIsEnd(), 0);
    EXPECT_TRUE(Logged("AVI Size:\t0\nNow Pos:\t0\n"));
    EXPECT_EQ(snd.AVIOpen("dat/Mov.dat", 0, 0, 10, 10), 0); // no window yet
    plat::Surface game(800, 600);
    std::fill(game.pixels.begin(), game.pixels.end(), 0xFF204060u);
    plat::PresentFrame(game, 32);
    plat::InstallMovieScreen();
    ASSERT_EQ(snd.AVIInit(), 1);
    EXPECT_EQ(snd.AVIOpen("dat/broken.mpg", 0, 0, 10, 10), 0);
    ASSERT_EQ(snd.AVIOpen("dat/Mov.dat", 100, 50, 320, 240), 1);
    ASSERT_EQ(snd.AVIPlay(), 1);
    Pump(22050);
    snd.MainLoop(0);
    const plat::MediaGraph* graph = VideoGraph();
    ASSERT_NE(graph, nullptr);
    const plat::Surface& picture = graph->Picture();
    ASSERT_EQ(picture.width, 320);
    ASSERT_EQ(picture.height, 240);
    plat::Surface golden = game;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            golden.Row(50 + y)[100 + x] = picture.Row(y)[x] | 0xFF000000u;
    EXPECT_EQ(plat::LastPresentedFrame().pixels, golden.pixels);

    EXPECT_EQ(snd.AVIIsEnd(), 0);
    EXPECT_EQ(snd.AVIPause(), 1);
    EXPECT_EQ(snd.AVIRePlay(), 1);
    int end = 0;
    for (int i = 0; i < 40 && !end; ++i) {
        Pump(44100);
        end = snd.AVIIsEnd();
    }
    EXPECT_EQ(end, 1);
    EXPECT_EQ(snd.AVIClose(), 1);
    EXPECT_EQ(plat::LastPresentedFrame().pixels, game.pixels);
    snd.AVIRelease();
    plat::SetVideoFrameSink(nullptr);
}

// "dat/Movie.dat" itself is a movie opened where it lies: nothing is
// extracted or removed. Played, its pictures cover the game area on every
// frame the game draws, until it stops.
TEST_F(MediaTest, MovieDatPlaysInPlaceWithItsPicturesOverTheGame) {
    dir.Write("dat/Movie.dat", ReadFixture("movie.mpg"));
    auto dev = plat::VideoDevice::Create(plat::kVideoLevelTnL, 800, 600, 32, false);
    auto gameFrame = [&](uint32_t colour) {
        dev->Clear(colour);
        ASSERT_EQ(dev->Present(), plat::kVideoOk);
    };
    gameFrame(0xFF204060u);
    plat::InstallMovieScreen();
    ASSERT_EQ(snd.MMOpen(0, 0, "dat/Movie.dat"), 1);
    EXPECT_TRUE(TmpFiles().empty());
    ASSERT_EQ(snd.MMPlay(0), 1);
    Pump(22050);
    snd.MainLoop(0);
    const plat::MediaGraph* graph = VideoGraph();
    ASSERT_NE(graph, nullptr);
    const plat::Surface& picture = graph->Picture();
    ASSERT_EQ(picture.width, 320);
    // Scaled 2.5 times into the whole game area.
    plat::Surface golden(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            golden.Row(y)[x] = picture.Row(y * 240 / 600)[x * 320 / 800] | 0xFF000000u;
    EXPECT_EQ(plat::LastPresentedFrame().pixels, golden.pixels);
    gameFrame(0xFF00FF00u);
    EXPECT_EQ(plat::LastPresentedFrame().pixels, golden.pixels);
    ASSERT_EQ(snd.MMPause(0), 1);
    gameFrame(0xFF00FF01u);
    EXPECT_EQ(plat::LastPresentedFrame().pixels, golden.pixels);

    ASSERT_EQ(snd.MMStop(0), 1);
    EXPECT_EQ(plat::LastPresentedFrame().Row(300)[400], 0xFF00FF01u);
    gameFrame(0xFF00FF02u);
    EXPECT_EQ(plat::LastPresentedFrame().Row(300)[400], 0xFF00FF02u);
    EXPECT_EQ(snd.MMClose(0), 1);
    EXPECT_TRUE(dir.Exists("dat/Movie.dat"));
    EXPECT_TRUE(TmpFiles().empty());
    plat::SetVideoFrameSink(nullptr);
}

TEST_F(MediaTest, ReleaseClosesEverythingAndEmptiesTmp) {
    ASSERT_EQ(snd.MMOpen(0, 2, "m.wav"), 1);
    ASSERT_EQ(snd.MMOpen(1, 0, "tone.mp3"), 1);
    ASSERT_EQ(snd.MMOpen(2, 2, "v.wav"), 1);
    ASSERT_EQ(snd.MMPlay(1), 1);
    ASSERT_EQ(snd.MMPause(2), 1);
    ASSERT_EQ(snd.AVIInit(), 1);
    ASSERT_EQ(snd.AVIOpen("dat/Mov.dat", 0, 0, 80, 60), 1);
    ASSERT_GE(snd.DShowOpen(0, "b.wav", 9999, 9999), 0);
    EXPECT_EQ(TmpFiles().size(), 4u);
    log.Clear();
    EXPECT_EQ(snd.Release(), 0);
    EXPECT_FALSE(Logged("Error:") || Logged("Warn:"));
    EXPECT_TRUE(TmpFiles().empty());
    EXPECT_EQ(snd.MMSlot(0), nullptr);
    EXPECT_TRUE(plat::MediaGraph::LiveGraphs().empty());
    EXPECT_EQ(AudibleFrames(Pump(1000)), 0u);
}

} // namespace
} // namespace soundtest
