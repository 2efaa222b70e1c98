#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/env_settings.h"
#include "gallery/bgm_mode_data.h"
#include "platform/files.h"
#include "tests/modes/mode_harness.h"
#include "tests/musicroom/script_fixture.h"
#include "tests/support/golden_frame.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/screen_pictures.h"

namespace {

// A material sheet with every piece of the room in its own colour.
std::string RoomMaterial() {
    plat::Surface s(424, 208);
    auto fill = [&](int l, int t, int r, int b, uint32_t c) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                s.pixels[static_cast<size_t>(y) * s.width + x] = c;
    };
    fill(0, 0, 392, 40, 0x60FFFFFFu);
    fill(0, 40, 392, 80, 0x60FFE0A0u);
    fill(0, 80, 392, 120, 0xFF305070u);
    fill(0, 120, 392, 160, 0xFF5080B0u);
    fill(0, 160, 32, 192, 0xFFF4C430u);
    fill(64, 160, 328, 184, 0xFF406080u);
    fill(64, 184, 328, 208, 0xFF80A0C0u);
    return EncodeDds32(s);
}

TEST(MusicRoomFrame, ListWithAPlayingTrackAndItsComment) {
    kutest::TempDir dir;
    int token = 0;
    ModeHarness h;
    g_dwAntiAliasLevel = 4;
    g_dwMessageSpeed = 50;
    g_dwSEVolume = g_dwVoiceVolume = g_dwBGMVolume = 5;
    ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0), 1);
    ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(30), 1);
    ASSERT_EQ(h.sprite.CreateTextureTextBuffer(21), 1);
    std::vector<ArchiveMember> members{{"BGMModeMaterial.dds", "", RoomMaterial()}};
    for (auto& [name, bytes] : screens::ScreenPictures())
        members.push_back(ArchiveMember{name, "", bytes});
    WriteScenario(dir, "BGMModeData.spt",
                  "BGM01: 春の朝 見本 a.mp3 一曲目です。\\n二行目です。\r\nBGM02: 通学路 見本 b.mp3 -\r\n"
                  "BGM09: 雨の日 見本 c.mp3 -\r\nMovie: 見本の映像 デモ m.mpg -\r\n");
    std::string error;
    ASSERT_TRUE(WriteArchive("dat/Img.dat", members, false, &error)) << error;
    const struct {
        uint32_t slot;
        const char* name;
    } pictures[] = {{0, "fade.bmp"},
                    {2, "MessageWindow.dds"},
                    {23, "BGMModeMaterial.dds"},
                    {24, "BGM_Controller.dds"},
                    {25, "ConfigBG.bmp"}};
    for (const auto& p : pictures) {
        ASSERT_EQ(h.sprite.SetGraphicData(p.slot, "tmp/", p.name, 4, 1), 1);
        ASSERT_EQ(h.sprite.CreateGraphicData(p.slot, 0, 0, 0, 0), 1) << p.name;
    }
    {
        BGM_MODE_DATA room;
        ASSERT_EQ(room.Initialize(&h.sys, &h.sprite, &h.snd), 1);
        h.Frame(16);
        room.MainProc();
        h.Frame(1000);
        room.MainProc();
        h.sys.SetMousePos(100, 60);
        h.Frame(16, {{1, kClickUp}});
        room.MainProc();
        h.Frame(300);
        room.MainProc();
        ASSERT_EQ(h.sprite.D3DXDrawStart(), 0);
        ASSERT_EQ(room.DrawProc(), 1);
        EXPECT_EQ(kutest::CompareGoldenFrame("musicroom", *h.sprite.GetBackSurface(), "music_room_list"), "");
    }
    h.sprite.Release();
}

} // namespace
