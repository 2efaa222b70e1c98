#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "adv/adv_data.h"
#include "engine/game_paths.h"
#include "game/asset_slots.h"
#include "game/game_settings.h"
#include "game/shell_services.h"
#include "modes/load_mode_data.h"
#include "modes/save_mode_data.h"
#include "platform/gdi_font.h"
#include "tests/modes/mode_harness.h"
#include "tools/archive_writer.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/save_load_pictures.h"
#include "tools/pictures/screen_pictures.h"
#include "tests/support/confinement.h"

namespace {

std::string GoldenPath(const std::string& name) { return kutest::SourceDir() + "/tests/save_screens/golden/" + name; }

bool Updating() {
    const char* update = std::getenv("KU_UPDATE_GOLDEN");
    return update && std::strcmp(update, "1") == 0;
}

// Exact comparison of the back buffer with golden/<name>.bmp (KU_UPDATE_GOLDEN=1
// rewrites it); "" when equal or made with another glyph renderer.
std::string CompareGolden(const plat::Surface& back, const std::string& name) {
    const std::string id = plat::GlyphRendererId();
    if (Updating()) {
        std::ofstream(GoldenPath("renderer.txt")) << id << "\n";
    } else {
        std::string recorded;
        std::ifstream in(GoldenPath("renderer.txt"));
        std::getline(in, recorded);
        if (id.empty() || recorded != id) {
            std::printf("[ SKIPPED  ] golden %s: made with \"%s\", this machine renders with \"%s\"\n", name.c_str(),
                        recorded.c_str(), id.c_str());
            return "";
        }
    }
    plat::Surface c = back;
    for (uint32_t& p : c.pixels)
        p |= 0xFF000000u;
    const std::string bmp = EncodeBmp24(c);
    if (Updating()) {
        std::ofstream(GoldenPath(name + ".bmp"), std::ios::binary) << bmp;
        return "";
    }
    std::ifstream in(GoldenPath(name + ".bmp"), std::ios::binary);
    std::stringstream golden;
    golden << in.rdbuf();
    if (golden.str() == bmp)
        return "";
    const kutest::WritableBuildFolder writable;
    std::ofstream(kutest::BinaryDir() + "/" + name + ".actual.bmp", std::ios::binary) << bmp;
    return "frame differs from " + GoldenPath(name + ".bmp");
}

// Frames of both screens drawn by the renderer from the sample game's own
// pictures, with the engine's load services.
class SlotFramesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetShellServices(SHELL_SERVICES{});
        g_bSoundEnable = 0;
        g_dwAntiAliasLevel = 4;
        std::vector<ArchiveMember> members;
        for (auto* set : {&screens::ScreenPictures, &screens::SaveLoadPictures})
            for (auto& [name, bytes] : (*set)())
                members.push_back(ArchiveMember{name, "", bytes});
        std::filesystem::create_directories("dat");
        std::filesystem::create_directories("tmp");
        std::filesystem::create_directories("sav");
        std::string error;
        ASSERT_TRUE(WriteArchive("dat/Img.dat", members, false, &error)) << error;
        ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0),
                  1);
        ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(kGraphicSlotCount), 1);
        for (uint32_t slot : {0u, 2u, 8u, 9u, 10u})
            ASSERT_TRUE(h.sprite.SetGraphicData(slot, kTempFolder, GraphicSlotFile(slot), 4, 1));
        ASSERT_EQ(h.sprite.CreateTextureTextBuffer(kTextureTextSlotCount), 1);
        dir.Write("sav/sav01.sav", "2026 12 7 23 30\n1 3\n");
        dir.Write("sav/sav17.sav", "2027 1 2 9 5\n2 1\n");
    }
    void TearDown() override {
        save.Release();
        load.Release();
        h.sprite.Release();
        fakesvc::Reset();
    }
    template <class Screen>
    void Run(Screen& s, uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        h.Frame(ms, keys);
        ASSERT_EQ(s.MainProc(), 0);
    }
    template <class Screen>
    std::string Frame(Screen& s, const std::string& name) {
        EXPECT_GE(h.sprite.D3DXDrawStart(), 0);
        EXPECT_EQ(s.DrawProc(), 1);
        std::string result = CompareGolden(*h.sprite.GetBackSurface(), name);
        h.sprite.D3DXDrawEnd();
        return result;
    }

    kutest::TempDir dir;
    int token = 0;
    ModeHarness h;
    ADV_DATA adv;
    SAVE_MODE_DATA save;
    LOAD_MODE_DATA load;
};

TEST_F(SlotFramesTest, SaveScreenAndItsQuestion) {
    ASSERT_EQ(save.Initialize(&h.sys, &h.sprite, &h.snd, &adv), 1);
    Run(save, 16);
    Run(save, 1000);
    h.sys.SetMousePos(400, 90); // slot 16
    Run(save, 16);
    EXPECT_EQ(Frame(save, "save"), "");
    h.sys.SetMousePos(150, 70); // slot 1 holds a save: the question
    Run(save, 16, {{1, 2}});
    Run(save, 16, {{1, 3}});
    Run(save, 500);
    Run(save, 16, {{17, 1}});
    ASSERT_EQ(save.m_nPhase, 5);
    h.sys.SetMousePos(200, 324); // Yes hovered
    Run(save, 16);
    EXPECT_EQ(Frame(save, "save_question"), "");
}

TEST_F(SlotFramesTest, LoadScreenFromTheTitle) {
    ASSERT_EQ(load.Initialize(&h.sys, &h.sprite, &h.snd, &adv, LOAD_MODE_DATA::kCallerTitle), 1);
    Run(load, 16);
    Run(load, 1000);
    h.sys.SetMousePos(400, 100); // slot 17's save
    Run(load, 16);
    EXPECT_EQ(load.m_nSelect, 17);
    EXPECT_EQ(Frame(load, "load_from_title"), "");
}

// Over a game the load screen has its back button, 戻る, drawn at half
// strength while the pointer is elsewhere, over the plain ground the screen
// keeps for the title's load, which has no back button.
TEST_F(SlotFramesTest, LoadScreenOverAGame) {
    ASSERT_EQ(load.Initialize(&h.sys, &h.sprite, &h.snd, &adv, 4), 1);
    Run(load, 16);
    Run(load, 1000);
    h.sys.SetMousePos(400, 100);
    Run(load, 16);
    EXPECT_EQ(Frame(load, "load_over_game"), "");
}

} // namespace
