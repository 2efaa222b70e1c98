#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/support/golden_frame.h"
#include "tests/windows/window_harness.h"
#include "tools/archive_writer.h"
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
};

TEST_F(WindowFramesTest, MessageWindowTyping) {
    MESSAGE_DATA m = Message("見本の物語へようこそ。\nここでは文字が一つずつ現れます。", "ハル");
    ASSERT_EQ(msg.SetText(&m, 4), 1);
    msg.m_NameArea.m_fDispNum = -1.0f;
    ASSERT_EQ(msg.CountMessageDispNum(Now() - 850, Now(), -1), 1); // 8.5 characters
    Begin();
    ASSERT_EQ(msg.DrawProc(), 1);
    ASSERT_EQ(bar.DrawProc(), 1);
    EXPECT_EQ(kutest::CompareGoldenFrame("windows", *sprite.GetBackSurface(), "message_typing"), "");
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
    EXPECT_EQ(kutest::CompareGoldenFrame("windows", *sprite.GetBackSurface(), "controller_looks"), "");
}

} // namespace
