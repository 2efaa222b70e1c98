#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "adv/adv_data.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/game_global_data.h"
#include "game/game_settings.h"
#include "modes/save_slot_file.h"
#include "modes/save_slot_format.h"
#include "modes/save_slot_parts.h"
#include "platform/files.h"
#include "platform/local_time_test_hooks.h"
#include "sound/kusnd.h"
#include "tests/support/test_env.h"
#include "tools/archive_writer.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/screen_pictures.h"
#include "tools/script_writer.h"

// A small story over the game's own screen pictures, played frame by frame
// on the fake clock with the engine's real load services and no sound
// device: two pictures, a text area, an animated object, a sound, two
// variables, two messages and a choice.
class SlotTest : public ::testing::Test {
protected:
    static constexpr int kClick = 3;

    static std::vector<std::string> InitScript() {
        return {"// items",
                "#CREATE_DATA GRAPHIC BG",
                "#CREATE_DATA GRAPHIC CH",
                "#CREATE_DATA TEXTAREA TX",
                "#CREATE_DATA OBJECT OB",
                "#CREATE_DATA SOUND SE",
                "#CREATE_DATA VAR v",
                "#CREATE_DATA VAR w",
                "#FIRST_EXE_SCR s.spt"};
    }
    static std::vector<std::string> StoryScript() {
        return {"// story",
                "#SetData GRAPHIC BG TitleBG.bmp",
                "#SetData GRAPHIC CH logo.bmp",
                "#GraphicDisp BG 0 0 10",
                "#GraphicDisp CH 190 60 20",
                "#SetData TEXTAREA TX 3 見出し\\n二行目 20",
                "#TextDisp TX 40 40 400 120 30 -1",
                "#SetData OBJECT OB CGReplay_Controller.dds 4 LOOP 64 64",
                "#SetObjectAnim OB 4 LOOP 120",
                "#AddObjectBuf OB 0 MOVE 500 100 3000",
                "#AddObjectBuf OB 1 MOVE 100 100 3000",
                "#AddObjectBuf OB 2 GOTO 0",
                "#StartObjectProc OB",
                "#SetData SOUND SE se01.wav",
                "#SetData VAR v 12",
                "#MsgWndOpen 0",
                "#MsgDisp 少女 あいうえお\\nかきくけこ NULL",
                "#MsgDisp NULL 二つ目の文です。まだ続きます。 NULL",
                "#SelectStart 2 10 散歩に出る 部屋に残る",
                "#SelectBranch 1 10",
                "#ChangeVar w 1",
                "#SelectBranch 2 10",
                "#ChangeVar w 2",
                "#SelectEnd 10",
                "#MsgDisp NULL 終わり NULL",
                "#EndScript"};
    }

    void SetUp() override {
        g_bSoundEnable = 0;
        g_dwAntiAliasLevel = 4;
        g_dwMessageSpeed = 40;
        g_bAutoSkip = 0;
        clock.clock.Set(100000);
        sys.UpdateTime();
        plat::SetLocalTimeSource([] {
            plat::LocalTime t;
            t.year = 2026;
            t.month = 12;
            t.day = 7;
            t.hour = 23;
            t.minute = 30;
            return t;
        });
        plat::MakeDir("dat");
        plat::MakeDir("tmp");
        plat::MakeDir("sav");
        std::vector<ArchiveMember> pictures;
        for (auto& [name, bytes] : screens::ScreenPictures())
            pictures.push_back(ArchiveMember{name, "", bytes});
        pictures.push_back(ArchiveMember{"tiny.bmp", "", EncodeBmp24(plat::Surface(4, 4))});
        std::string error;
        ASSERT_TRUE(WriteArchive("dat/Img.dat", pictures, false, &error)) << error;
        ASSERT_TRUE(WriteArchive("dat/SE.dat", {{"se01.wav", "", "RIFF0000WAVE"}}, false, &error)) << error;
        ASSERT_TRUE(WriteArchive("dat/Scenario.dat",
                                 {{"Init.spt", "", ScrambleScript(Plain(InitScript()))},
                                  {"s.spt", "", ScrambleScript(Plain(StoryScript()))}},
                                 false, &error))
            << error;
        auto* handle = reinterpret_cast<plat::WindowHandle>(&token);
        ASSERT_EQ(sprite.Initialize(&sys, handle, &token, 800, 600, 32, 0), 1);
        ASSERT_EQ(sprite.CreateGraphicDataBuffer(84), 1);
        ASSERT_EQ(sprite.CreateTextureTextBuffer(71), 1);
        // The game binds its fixed asset slots in its first frame.
        const struct {
            uint32_t slot;
            const char* name;
        } slots[] = {{0, "fade.bmp"}, {2, "MessageWindow.dds"}, {3, "Controller.dds"}, {4, "SelectWindow.dds"}};
        for (const auto& s : slots)
            ASSERT_EQ(sprite.SetGraphicData(s.slot, "tmp/", s.name, 4, 1), 1);
    }
    void TearDown() override {
        adv.reset();
        sprite.Release();
        plat::SetLocalTimeSource(nullptr);
    }

    static std::string Plain(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines)
            text += l + "\r\n";
        return text;
    }

    std::unique_ptr<ADV_DATA> NewAdventure() {
        auto a = std::make_unique<ADV_DATA>();
        EXPECT_EQ(a->Initialize("Init.spt", &sys, &sprite, &snd, &global), 1) << log.all();
        return a;
    }

    // One frame of play and its picture; `keys` pairs are VK and state.
    int Frame(ADV_DATA* a, bool click = false) {
        clock.clock.Advance(16);
        sys.UpdateTime();
        for (int vk = 0; vk < 256; ++vk)
            sys.SetKeyState(vk, 0);
        if (click)
            sys.SetKeyState(1, kClick);
        const int r = a->MainProc();
        sprite.D3DXDrawStart();
        a->DrawProc();
        sprite.D3DXDrawEnd();
        return r;
    }
    std::vector<uint32_t> Pixels() { return sprite.GetBackSurface()->pixels; }

    // The adventure's stored state as the file would hold it.
    std::string Snapshot(ADV_DATA* a) {
        std::string text;
        saveslot::WriteSlotText(&sys, *a, plat::GetLocalTime(), &text);
        return text;
    }
    // "" when equal, else the first differing line of each. With `slack`,
    // fractions may differ by that much: the file keeps six decimals.
    static std::string Difference(const std::string& a, const std::string& b, double slack = 0.0) {
        size_t pa = 0, pb = 0;
        for (int line = 1; pa < a.size() || pb < b.size(); ++line) {
            const size_t ea = std::min(a.find('\n', pa), a.size()), eb = std::min(b.find('\n', pb), b.size());
            if (a.compare(pa, ea - pa, b, pb, eb - pb) != 0 &&
                !Near(a.substr(pa, ea - pa), b.substr(pb, eb - pb), slack))
                return "line " + std::to_string(line) + ": " + a.substr(pa, ea - pa) + " | " + b.substr(pb, eb - pb);
            pa = ea + 1;
            pb = eb + 1;
        }
        return "";
    }
    static bool Near(const std::string& a, const std::string& b, double slack) {
        std::istringstream sa(a), sb(b);
        std::string ta, tb;
        while (sa >> ta) {
            if (!(sb >> tb))
                return false;
            if (ta != tb && (ta.find('.') == std::string::npos || std::fabs(std::stod(ta) - std::stod(tb)) > slack))
                return false;
        }
        return !(sb >> tb);
    }
    std::string SlotFile(int slot) {
        std::string text;
        plat::ReadWholeFile(saveslot::SlotPath(slot), &text);
        return text;
    }

    kutest::TempDir dir;
    kutest::FakeClockScope clock;
    kutest::DebugCapture log;
    int token = 0;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    KUSND snd;
    GAME_GLOBAL_DATA global;
    std::unique_ptr<ADV_DATA> adv;
};
