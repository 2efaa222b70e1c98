#include <algorithm>
#include <cstring>

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

} // namespace
