#include <gtest/gtest.h>

#include <string>

#include "app/env_settings.h"
#include "game/shell_services.h"
#include "gallery/bgm_mode_data.h"
#include "tests/modes/mode_harness.h"
#include "platform/files.h"
#include "platform/sjis.h"
#include "tests/audio/audio_fixtures.h"
#include "tests/audio/manual_sound.h"
#include "tests/musicroom/script_fixture.h"

namespace {

int g_status = 0; // the music channel's status the room reads
int g_movieStatus = 0;
int FakeStatus(KUSND*, int channel, int* status) {
    *status = channel == 1 ? g_status : g_movieStatus;
    return 1;
}

std::string Lines(int from, int to) {
    std::string s = "// music room\r\n";
    for (int n = from; from <= to ? n <= to : n >= to; n += from <= to ? 1 : -1) {
        char line[128];
        std::snprintf(line, sizeof(line), "BGM%02d: 曲%d 作者 t%02d.mp3 コメント%d\\n二行目\r\n", n, n, n, n);
        s += line;
    }
    return s;
}

class MusicRoomTest : public ::testing::Test {
protected:
    void Open(const std::string& script) {
        g_status = g_movieStatus = 0;
        g_dwAntiAliasLevel = 0;
        ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0),
                  1);
        ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(30), 1);
        ASSERT_EQ(h.sprite.CreateTextureTextBuffer(21), 1);
        WriteScenario(dir, "BGMModeData.spt", script);
        ASSERT_EQ(room.Initialize(&h.sys, &h.sprite, &h.snd), 1);
        room.m_pfnChannelStatus = FakeStatus;
        Step(16);
        Step(1000);
        ASSERT_EQ(room.m_nState, 2);
    }
    void TearDown() override {
        room.Release();
        h.sprite.Release();
    }
    int Step(uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        h.Frame(ms, keys);
        return room.MainProc();
    }
    void ClickRow(int x, int y) {
        h.sys.SetMousePos(x, y);
        Step(16, {{1, kClickUp}});
    }
    // A track ends while the bar shows play pressed.
    void TrackEnds(std::initializer_list<std::pair<int, int>> keys = {}) {
        room.m_bgmCtrlWnd.m_Button[GALLERY_BAR::kPlay].m_nState = 2;
        g_status = 2;
        Step(16, keys);
    }
    std::string Comment() { return room.m_msgWnd.m_Current.m_szText; }

    kutest::TempDir dir;
    int token = 0;
    ModeHarness h;
    BGM_MODE_DATA room;
};

std::string Spaces(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "　";
    return s;
}

TEST(MusicRoomText, NumbersPaddingAndMovieRow) {
    char out[512];
    BGM_MODE_DATA::TrackText(7, "ab", "cd", out, sizeof(out));
    EXPECT_EQ(std::string(out), "０７：ab" + Spaces(16) + "cd"); // (36 - 4) / 2
    BGM_MODE_DATA::TrackText(12, std::string(30, 'x').c_str(), "yyyyyy", out, sizeof(out));
    EXPECT_EQ(std::string(out), "１２：" + std::string(30, 'x') + "yyyyyy"); // 36 bytes: no padding
    BGM_MODE_DATA::MovieText("映像", "", out, sizeof(out));
    EXPECT_EQ(std::string(out), "映像" + Spaces(19));
}

TEST_F(MusicRoomTest, ScriptInAnyOrderCaseAndFirstLineWins) {
    Open(Lines(14, 1) + "bgm01: 別 x other.mp3 c\r\nforeign line here\r\nmovie: 映像 右 m.mpg -\r\n");
    EXPECT_STREQ(room.m_bgmItem[0].szFileName, "t01.mp3");
    EXPECT_STREQ(room.m_bgmItem[13].szFileName, "t14.mp3");
    EXPECT_EQ(room.m_bgmItem[6].nTextSlot, 13);
    EXPECT_STREQ(room.m_szComment[2], "コメント3\n二行目");
    EXPECT_STREQ(room.m_movieItem.szFileName, "m.mpg");
    EXPECT_EQ(room.m_bgmItem[8].rcHit.left, 404);
    EXPECT_EQ(room.m_bgmItem[8].rcHit.top, 92);
}

TEST_F(MusicRoomTest, MissingRowIsNotHitAndNeverPlays) {
    kutest::DebugCapture cap;
    std::string s = Lines(1, 14);
    s.erase(s.find("BGM03:"), s.find("BGM04:") - s.find("BGM03:"));
    Open(s);
    EXPECT_TRUE(cap.Contains("BGM03:の行がありません"));
    EXPECT_EQ(room.m_bgmItem[2].bInit, 0);
    EXPECT_EQ(room.m_movieItem.bInit, 0);
    ClickRow(20, 52 + 80 + 5); // track 3's place
    EXPECT_EQ(room.m_nSelectRow, 0);
    ClickRow(20, 52 + 40 + 5); // track 2
    EXPECT_EQ(fakesvc::Count("BGM_DS_Play 0 t02.mp3"), 1);
    TrackEnds(); // skips the unset track 3
    EXPECT_EQ(room.m_nSelectRow, 4);
    EXPECT_EQ(fakesvc::Count("BGM_DS_Play 0 t04.mp3"), 1);
}

TEST_F(MusicRoomTest, TrackEndsPlayTheNextThenEndTheList) {
    Open(Lines(1, 14) + "Movie: 映像 右 m.mpg -\r\n");
    ClickRow(420, 52 + 5 * 40 + 5); // track 13
    EXPECT_EQ(room.m_nSelectRow, 13);
    EXPECT_EQ(fakesvc::Count("SEPlay 30"), 1);
    TrackEnds({{'P', kHeld}}); // P held: no advance this frame
    EXPECT_EQ(room.m_nSelectRow, 13);
    TrackEnds();
    EXPECT_EQ(room.m_nSelectRow, 14);
    EXPECT_EQ(fakesvc::Count("BGM_DS_Play 0 t14.mp3"), 1);
    EXPECT_EQ(Comment(), "コメント14\n二行目");
    fakesvc::Calls().clear();
    TrackEnds();
    EXPECT_EQ(room.m_nSelectRow, 0);
    EXPECT_EQ(Comment(), "");
    EXPECT_EQ(fakesvc::Count("BGM_DS_Play 0 t01.mp3"), 0);
    // The movie row selected while earlier music was still running: its end
    // ends the list rather than reading past the track rows.
    room.m_nSelectRow = BGM_MODE_DATA::kRowMovie;
    TrackEnds();
    EXPECT_EQ(room.m_nSelectRow, 0);
}

TEST_F(MusicRoomTest, MovieThatFailsToOpenReturnsToTheList) {
    Open(Lines(1, 14) + "Movie: 映像 右 none.mpg -\r\n");
    kutest::DebugCapture cap;
    ClickRow(420, 380);
    EXPECT_EQ(room.m_nState, 3);
    EXPECT_EQ(room.m_nSelectRow, 15);
    Step(999);
    EXPECT_EQ(room.m_nState, 3);
    EXPECT_EQ(Step(1), 0);
    EXPECT_TRUE(cap.Contains("ムービーオープンに失敗しました"));
    EXPECT_EQ(fakesvc::Count("BGM_DS_Stop"), 1);
    EXPECT_EQ(g_bMoviePlay, 0);
    EXPECT_GE(fakesvc::g_cursorCount, 0);
    EXPECT_EQ(fakesvc::g_menuAttached, 1);
    EXPECT_EQ(room.m_nState, 5);
    Step(1000);
    EXPECT_EQ(room.m_nState, 2);
    EXPECT_EQ(room.m_nSelectRow, 0);
}

// The movie row on a started sound system: the movie really plays on its
// channel, whose own status ends it.
class MusicRoomMovieTest : public MusicRoomTest {
protected:
    void SetUp() override {
        sound.Start(&h.snd, &h.sys);
        std::string movie;
        ASSERT_TRUE(plat::ReadWholeFile(audiotest::Fixture("movie.mpg"), &movie));
        dir.Write("dat/m.mpg", movie);
        auto realStatus = room.m_pfnChannelStatus;
        Open(Lines(1, 14) + "Movie: 映像 右 m.mpg -\r\n");
        room.m_pfnChannelStatus = realStatus;
    }
    void TearDown() override {
        MusicRoomTest::TearDown();
        sound.Release();
    }
    void StartMovie() {
        ClickRow(420, 380);
        Step(1000);
        ASSERT_EQ(room.m_nState, 4);
        ASSERT_EQ(h.snd.DShowIsOpen(2), 1);
        EXPECT_EQ(g_bMoviePlay, 1);
        EXPECT_LT(fakesvc::g_cursorCount, 0);
    }
    void BackToTheList() {
        EXPECT_EQ(room.m_nState, 5);
        EXPECT_EQ(g_bMoviePlay, 0);
        EXPECT_GE(fakesvc::g_cursorCount, 0);
        EXPECT_EQ(fakesvc::g_menuAttached, 1);
        EXPECT_EQ(h.snd.DShowIsOpen(2), 0);
        Step(1000);
        EXPECT_EQ(room.m_nState, 2);
        EXPECT_EQ(room.m_nSelectRow, 0);
    }
    audiotest::ManualSound sound;
};

TEST_F(MusicRoomMovieTest, MoviePlaysToItsEndOrUntilAClickThenTheListReturns) {
    StartMovie();
    int volume = 0;
    h.snd.DShowGetVolume(2, &volume);
    EXPECT_EQ(volume, -1000); // volume step 5
    Step(60000);
    EXPECT_EQ(room.m_nState, 4); // the game clock alone does not end it
    sound.PlayOut(2);
    Step(16);
    BackToTheList();

    StartMovie();
    Step(16, {{1, kClickUp}});
    BackToTheList();
}

TEST_F(MusicRoomTest, ArrowKeysFollowTheTable) {
    Open(Lines(1, 14) + "Movie: 映像 右 m.mpg -\r\n");
    auto key = [&](int vk) {
        Step(16, {{vk, kClickUp}});
        int x, y;
        h.sys.GetMousePos(&x, &y);
        return std::make_pair(x, y);
    };
    h.sys.SetMousePos(0, 0);
    EXPECT_EQ(key(40), std::make_pair(200, 72)); // nothing -> track 1
    Step(16); // hovers track 1
    EXPECT_EQ(key(37), std::make_pair(600, 72)); // -> track 8
    Step(16);
    EXPECT_EQ(key(38), std::make_pair(566 + 98, 480 + 75)); // track 8 Up -> bar stop
    h.sys.SetMousePos(600, 52 + 6 * 40 + 5); // track 14
    Step(16);
    EXPECT_EQ(key(40), std::make_pair(600, 392)); // -> movie
    Step(16);
    EXPECT_EQ(key(40), std::make_pair(600, 428)); // -> exit
    Step(16);
    EXPECT_EQ(key(40), std::make_pair(566 + 98, 480 + 40)); // exit Down -> bar play
}

TEST_F(MusicRoomTest, SampleScriptSetsEveryRow) {
    std::string text;
    ASSERT_TRUE(plat::ReadWholeFile(kutest::SourceDir() + "/sample/Scenario/BGMModeData.txt", &text));
    std::string crlf;
    for (char c : plat::Utf8ToSjis(text))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Open(crlf);
    for (int n = 1; n <= 14; ++n) {
        char file[16];
        std::snprintf(file, sizeof(file), "BGM%02d.mp3", n);
        EXPECT_STREQ(room.m_bgmItem[n - 1].szFileName, file);
        EXPECT_NE(room.m_szComment[n - 1][0], '\0');
    }
    EXPECT_STREQ(room.m_movieItem.szFileName, "Movie01.mpg");
}

TEST_F(MusicRoomTest, ExitFadesOutThenLeaves) {
    Open(Lines(1, 14));
    ClickRow(500, 420);
    EXPECT_EQ(fakesvc::Count("SEPlay 31"), 1);
    EXPECT_EQ(Step(999), 0);
    EXPECT_EQ(Step(1), 1);
}

} // namespace
