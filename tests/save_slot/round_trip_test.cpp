#include <algorithm>
#include <cstring>

#include "engine/kutextgraphic.h"
#include "scene/textarea_data.h"
#include "tests/save_slot/slot_fixture.h"

namespace {

class RoundTripTest : public SlotTest {
protected:
    // What the game does on coming back to the story from a menu screen.
    static void BackToStory(ADV_DATA* a) {
        a->LoadDataResume();
        a->ShowMessageWhole();
        a->SetControllerSkipFlags();
        a->m_CtrlWnd.SetDefaultButtonStatus();
        // The wait icon's blink is not kept in the file: it starts over.
        a->m_MsgWnd.m_fIconAlpha = 0.0f;
        a->m_MsgWnd.m_bIconRising = 1;
    }

    // Plays to `savePoint` (a click every 60 frames), saves into slot 1 as
    // the save screen does, plays `after` frames; then restores slot 1 into
    // a fresh adventure at the same game time and plays the same frames.
    void RoundTrip(int savePoint, int after, int clickAt) {
        adv = NewAdventure();
        for (int i = 0; i < savePoint; ++i)
            Frame(adv.get(), i % 60 == 59);
        ASSERT_EQ(adv->LoadDataRelease(), 1);
        ASSERT_EQ(WriteSaveSlotFile(&sys, adv.get(), 1), 1);
        const std::string file = SlotFile(1);
        BackToStory(adv.get());
        // Loading pictures takes game time: the play goes on from the clock as it is now.
        const uint32_t savedAt = clock.clock.Peek();
        const std::string before = Snapshot(adv.get());
        std::vector<std::vector<uint32_t>> frames;
        for (int k = 0; k < after; ++k) {
            Frame(adv.get(), k == clickAt);
            frames.push_back(Pixels());
        }
        const std::string played = Snapshot(adv.get());
        adv.reset();

        adv = NewAdventure();
        log.Clear();
        ASSERT_EQ(ReadSaveSlotFile(&sys, &sprite, &snd, adv.get(), 1), 1) << log.all();
        // Every stored field is back: the restored adventure writes the same file.
        EXPECT_EQ(Difference(Snapshot(adv.get()), file), "");
        BackToStory(adv.get());
        // The line count includes the header line, which the open passes over too.
        ASSERT_EQ(adv->m_MainScr.ScriptFileOpen(adv->m_szScriptName, adv->m_nLine - 1), 1) << log.all();
        EXPECT_EQ(Difference(Snapshot(adv.get()), before), "");
        clock.clock.Set(savedAt);
        sys.UpdateTime();
        for (int k = 0; k < after; ++k) {
            Frame(adv.get(), k == clickAt);
            const std::vector<uint32_t> now = Pixels();
            int x0 = 9999, y0 = 9999, x1 = -1, y1 = -1;
            for (size_t p = 0; p < now.size(); ++p)
                if (now[p] != frames[k][p]) {
                    int x = p % 800, y = p / 800;
                    x0 = std::min(x0, x);
                    y0 = std::min(y0, y);
                    x1 = std::max(x1, x);
                    y1 = std::max(y1, y);
                }
            ASSERT_TRUE(now == frames[k])
                << "frame " << k << " after the load " << x0 << "," << y0 << "-" << x1 << "," << y1;
        }
        // An object's speed is kept to six decimals: its position may drift a little.
        EXPECT_EQ(Difference(Snapshot(adv.get()), played, 0.01), "");
        EXPECT_FALSE(log.Contains("Error")) << log.all();
    }
};

TEST_F(RoundTripTest, MidMessageTheStoryGoesOnAsIfUnbroken) {
    // The second message being typed, the object gliding; a click once it
    // is whole brings the choices.
    RoundTrip(64, 44, 40);
}

TEST_F(RoundTripTest, OpenChoicesComeBackAndTakeTheClick) {
    RoundTrip(160, 20, 50);
    ASSERT_EQ(adv->m_SelectWnd.m_dwCount, 2u);
    EXPECT_STREQ(adv->m_SelectWnd.m_pWindow[1].m_Text.m_szText, "部屋に残る");
    EXPECT_EQ(adv->m_SelectWnd.m_pWindow[0].m_Frame.m_fAlpha, 1.0f);
}

// Saved at strong smoothing, loaded over the game once the options set none:
// the texts on screen and those to come are drawn at the setting, and the
// adventure's copy, which the options screen changes, is the setting too.
TEST_F(RoundTripTest, TextsTakeTheSmoothingSetNotTheSaved) {
    adv = NewAdventure();
    for (int i = 0; i < 160; ++i)
        Frame(adv.get(), i % 60 == 59);
    ASSERT_EQ(adv->m_SelectWnd.m_dwCount, 2u);
    ASSERT_EQ(adv->LoadDataRelease(), 1);
    ASSERT_EQ(WriteSaveSlotFile(&sys, adv.get(), 2), 1);
    g_dwAntiAliasLevel = 0;
    adv->SetAntiAliasLevel(0);
    ASSERT_EQ(ReadSaveSlotFile(&sys, &sprite, &snd, adv.get(), 2), 1) << log.all();
    BackToStory(adv.get());
    ASSERT_EQ(adv->m_MainScr.ScriptFileOpen(adv->m_szScriptName, adv->m_nLine - 1), 1) << log.all();
    auto levels = [&] {
        std::string out = std::to_string(adv->m_dwAntiAliasLevel);
        std::vector<const TEXTAREA_DATA*> texts = {&adv->m_MsgWnd.m_NameArea, &adv->m_MsgWnd.m_TextArea,
                                                   &adv->m_pTextArea[0]};
        for (uint32_t i = 0; i < adv->m_SelectWnd.m_dwCount; ++i)
            texts.push_back(&adv->m_SelectWnd.m_pWindow[i].m_Text);
        for (const TEXTAREA_DATA* t : texts) {
            out += " " + std::to_string(t->m_dwAntiAlias);
            const KUTEXTGRAPHIC* made = t->m_nSlot >= 0 ? sprite.GetTextureTextSlot(t->m_nSlot) : nullptr;
            if (made && made->created())
                out += "/" + std::to_string(made->antiAlias());
        }
        return out;
    };
    // The copy; the name (no speaker: nothing built), the message, the text
    // area and the two choices, each with its texture's level.
    EXPECT_EQ(levels(), "0 0 0/0 0/0 0/0 0/0");
    // A choice taken: the next line is built from the adventure's copy.
    for (int k = 0; k < 200 && adv->m_SelectWnd.m_dwCount != 0; ++k) {
        sys.SetMousePos(400, 296);
        Frame(adv.get(), k % 20 == 19);
    }
    for (int k = 0; k < 100 && std::strcmp(adv->m_MsgWnd.m_Current.m_szText, "終わり") != 0; ++k)
        Frame(adv.get(), k % 30 == 29);
    ASSERT_STREQ(adv->m_MsgWnd.m_Current.m_szText, "終わり");
    EXPECT_EQ(levels(), "0 0 0/0 0/0");
    EXPECT_FALSE(log.Contains("Error")) << log.all();
}

} // namespace
