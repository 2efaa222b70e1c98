#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/gdi_font.h"
#include "tests/windows/window_harness.h"
#include "tools/archive_writer.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/screen_pictures.h"

namespace {

// Both windows drawn from the sample game's pictures over a background.
class WindowFramesTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        plat::MakeDir("dat");
        plat::MakeDir("tmp");
        std::vector<ArchiveMember> members;
        for (auto& [name, bytes] : screens::ScreenPictures())
            members.push_back(ArchiveMember{name, "", bytes});
        std::string error;
        ASSERT_TRUE(WriteArchive("dat/Img.dat", members, false, &error)) << error;
        const struct {
            uint32_t slot;
            const char* name;
        } pictures[] = {{2, "MessageWindow.dds"}, {3, "Controller.dds"}, {6, "TitleBG.bmp"}};
        for (const auto& p : pictures) {
            ASSERT_EQ(sprite.SetGraphicData(p.slot, "tmp/", p.name, 4, 1), 1);
            ASSERT_EQ(sprite.CreateGraphicData(p.slot, 0, 0, 0, 0), 1) << p.name << log.all();
        }
        OpenAdventureWindows();
    }
    void Begin() {
        ASSERT_EQ(sprite.D3DXDrawStart(), 0);
        ASSERT_EQ(sprite.D3DXDrawGraphic(6, 0, 0, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0), 0);
    }
    // Exact comparison with tests/windows/golden/<name>.bmp where the font
    // renderer is the one the frames were made with; KU_UPDATE_GOLDEN=1
    // rewrites them. "" when equal or not comparable here.
    std::string CompareGolden(const std::string& name) {
        const std::string folder = kutest::SourceDir() + "/tests/windows/golden/";
        const char* env = std::getenv("KU_UPDATE_GOLDEN");
        const bool update = env && std::strcmp(env, "1") == 0;
        std::string recorded;
        std::ifstream renderer(folder + "renderer.txt");
        std::getline(renderer, recorded);
        if (update)
            std::ofstream(folder + "renderer.txt") << plat::GlyphRendererId() << "\n";
        else if (plat::GlyphRendererId().empty() || recorded != plat::GlyphRendererId())
            return "";
        plat::Surface frame = *sprite.GetBackSurface();
        for (uint32_t& p : frame.pixels)
            p |= 0xFF000000u;
        const std::string bmp = EncodeBmp24(frame);
        if (update) {
            std::ofstream(folder + name + ".bmp", std::ios::binary) << bmp;
            return "";
        }
        std::ifstream in(folder + name + ".bmp", std::ios::binary);
        std::stringstream golden;
        golden << in.rdbuf();
        if (golden.str() == bmp)
            return "";
        std::ofstream(kutest::BinaryDir() + "/" + name + ".actual.bmp", std::ios::binary) << bmp;
        return name + " differs from its golden frame";
    }
};

TEST_F(WindowFramesTest, MessageWindowTyping) {
    MESSAGE_DATA m = Message("見本の物語へようこそ。\nここでは文字が一つずつ現れます。", "ハル");
    ASSERT_EQ(msg.SetText(&m, 4), 1);
    msg.m_NameArea.m_fDispNum = -1.0f;
    ASSERT_EQ(msg.CountMessageDispNum(Now() - 850, Now(), -1), 1); // 8.5 characters
    Begin();
    ASSERT_EQ(msg.DrawProc(), 1);
    ASSERT_EQ(bar.DrawProc(), 1);
    EXPECT_EQ(CompareGolden("message_typing"), "");
}

// Four bars, every button in one look each: normal, hover, pressed, disabled.
TEST_F(WindowFramesTest, ControllerBarInEachLook) {
    Begin();
    const float at[4][2] = {{40, 60}, {300, 60}, {40, 240}, {300, 240}};
    const int looks[4] = {0, 1, 2, -1};
    for (int k = 0; k < 4; ++k) {
        bar.m_fX = at[k][0];
        bar.m_fY = at[k][1];
        for (CTRL_WND_OBJ& b : bar.m_Button)
            b.m_nState = looks[k];
        ASSERT_EQ(bar.DrawProc(), 1);
    }
    EXPECT_EQ(CompareGolden("controller_looks"), "");
}

} // namespace
