#include <cstdio>

#include "engine/kutextgraphic.h"
#include "scene/draw_order_data.h"
#include "scene/graphic_data.h"
#include "scene/object_data.h"
#include "scene/textarea_data.h"
#include "tests/adv/adv_fixture.h"

namespace {

// Declares pictures, text areas and objects with the given priorities, as
// the initialisation script and the display commands would leave them.
class ModeObjectTest : public AdvTest {
protected:
    void Declare(std::vector<int32_t> pictures, std::vector<int32_t> areas, std::vector<int32_t> objects) {
        Play({"#EndScript"});
        adv.m_dwGraphicNum = static_cast<uint32_t>(pictures.size());
        adv.m_pGraphic = new GRAPHIC_DATA[pictures.size()];
        adv.m_pGraphicShown = new int32_t[pictures.size()]();
        for (size_t i = 0; i < pictures.size(); ++i) {
            adv.m_pGraphic[i].Initialize(&h.sprite, &h.sys, ("P" + std::to_string(i)).c_str());
            adv.m_pGraphic[i].m_nPriority = pictures[i];
        }
        adv.m_dwTextAreaNum = static_cast<uint32_t>(areas.size());
        adv.m_pTextArea = new TEXTAREA_DATA[areas.size()];
        for (size_t i = 0; i < areas.size(); ++i) {
            adv.m_pTextArea[i].Initialize(&h.sprite, &h.sys, ("T" + std::to_string(i)).c_str());
            adv.m_pTextArea[i].m_nPriority = areas[i];
        }
        adv.m_dwObjectNum = static_cast<uint32_t>(objects.size());
        adv.m_pObject = new OBJECT_DATA[objects.size()];
        adv.m_pObjectShown = new int32_t[objects.size()]();
        for (size_t i = 0; i < objects.size(); ++i) {
            adv.m_pObject[i].Initialize(&h.sprite, &h.snd, &h.sys, ("O" + std::to_string(i)).c_str());
            adv.m_pObject[i].m_nPriority = objects[i];
        }
        adv.m_dwDrawOrderNum = adv.m_dwGraphicNum + adv.m_dwTextAreaNum + adv.m_dwObjectNum;
        adv.m_pDrawOrder = new DRAW_ORDER_DATA[adv.m_dwDrawOrderNum];
    }
    std::string Order() {
        std::string s;
        const char kinds[] = "?PTO";
        for (uint32_t i = 0; i < adv.m_dwDrawOrderNum; ++i)
            s += kinds[adv.m_pDrawOrder[i].GetKind()] + std::to_string(adv.m_pDrawOrder[i].GetIndex()) + " ";
        return s;
    }
};

TEST_F(ModeObjectTest, DrawOrderFollowsTheExchangeSort) {
    Declare({5, 3, 5}, {3}, {1});
    adv.DrawObjectSort();
    EXPECT_EQ(Order(), "O0 T0 P1 P0 P2 ");
}

TEST_F(ModeObjectTest, IdSearchByKind) {
    Declare({1, 2}, {1}, {1});
    // A duplicate: the first wins.
    std::snprintf(adv.m_pGraphic[1].m_szID, sizeof(adv.m_pGraphic[1].m_szID), "%s", "p0");
    EXPECT_EQ(adv.IDSearch(ADV_DATA::kKindGraphic, "P0"), 0);
    EXPECT_EQ(adv.IDSearch(ADV_DATA::kKindTextArea, "t0"), 0);
    EXPECT_EQ(adv.IDSearch(ADV_DATA::kKindObject, "O0"), 0);
    EXPECT_EQ(adv.IDSearch(ADV_DATA::kKindSound, "S0"), -2);
    EXPECT_EQ(adv.IDSearch(ADV_DATA::kKindObject, "P0"), -2);
    EXPECT_EQ(adv.IDSearch(5, "P0"), -1);
    EXPECT_TRUE(log.Contains("Error: <ADV_DATA::IDSearch> 不明なデータ種です\n"));
}

TEST_F(ModeObjectTest, MenusGiveBackWhatWasShown) {
    Declare({1, 2}, {1, 1}, {1});
    adv.m_pGraphic[0].m_bShow = 1;
    adv.m_pObject[0].m_bShow = 1;
    // Text area 0 and the message area have no text yet: nothing to render
    // again, and nothing to complain about. The speaker's name has one.
    ASSERT_EQ(adv.m_pTextArea[1].SetFontData(10, "あいう", 20, 400, 0, 0, 0, 1), 1);
    adv.m_MsgWnd.m_NameArea.Initialize(&h.sprite, &h.sys, "NAME");
    ASSERT_EQ(adv.m_MsgWnd.m_NameArea.SetFontData(MESSAGE_WINDOW::kNameTextSlot, "少女", 20, 400, 0, 0, 0, 1), 1);
    adv.m_MsgWnd.m_TextArea.Initialize(&h.sprite, &h.sys, "TEXT");
    ASSERT_EQ(adv.LoadDataRelease(), 1);
    EXPECT_EQ(adv.m_pGraphic[0].m_bShow, 0u);
    EXPECT_EQ(adv.m_pObject[0].m_bShow, 0u);
    EXPECT_EQ(fakesvc::Count("GraphicUnload 0"), 1);
    EXPECT_EQ(h.sprite.GetTextureTextSlot(10)->created(), 0u);
    EXPECT_EQ(h.sprite.GetTextureTextSlot(MESSAGE_WINDOW::kNameTextSlot)->created(), 0u);
    adv.SetAntiAliasLevel(2); // chosen on the options screen meanwhile
    ASSERT_EQ(adv.LoadDataResume(), 1);
    EXPECT_EQ(adv.m_pGraphic[0].m_bShow, 1u);
    EXPECT_EQ(adv.m_pGraphic[1].m_bShow, 0u);
    EXPECT_EQ(adv.m_pObject[0].m_bShow, 1u);
    EXPECT_EQ(fakesvc::Count("GraphicLoad 0"), 1);
    EXPECT_EQ(h.sprite.GetTextureTextSlot(10)->created(), 1u);
    EXPECT_EQ(h.sprite.GetTextureTextSlot(10)->antiAlias(), 2u);
    EXPECT_EQ(h.sprite.GetTextureTextSlot(MESSAGE_WINDOW::kNameTextSlot)->created(), 1u);
    EXPECT_EQ(h.sprite.GetTextureTextSlot(MESSAGE_WINDOW::kNameTextSlot)->antiAlias(), 2u);
    // Choices come back from their own texts' level just as well.
    ASSERT_EQ(adv.m_SelectWnd.Initialize(&h.sys, &h.sprite, &h.snd, 2), 1);
    adv.SetAntiAliasLevel(1);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(adv.m_SelectWnd.m_pWindow[i].m_Text.m_dwAntiAlias, 1u) << i;
    EXPECT_FALSE(log.Contains("Error")) << log.all();
}

// A shown item that cannot be drawn (a script mistake, a damaged save) is
// left out, not the end of play, and what its draw logs is said once.
TEST_F(ModeObjectTest, FailedItemDrawIsSkippedAndSaidOnce) {
    Declare({5, 150, 7}, {}, {});
    adv.m_pGraphic[0].m_bInit = 0; // its draw refuses
    // A wipe's strips over a picture that is not loaded are refused as well.
    adv.m_pGraphic[1].m_nSlot = 40;
    adv.m_pGraphic[1].m_bShow = 1;
    adv.m_MainScr.m_nTransitionSlot = 40;
    adv.m_MainScr.m_pTileRect = new KURECT[2]{{0, 0, 800, 300}, {0, 300, 800, 600}};
    adv.m_MainScr.m_nTileNum = 2;
    // Bound to a picture the archive does not hold: its texture never came.
    ASSERT_EQ(h.sprite.SetGraphicData(41, "tmp/", "missing.bmp", 4, 1), 1);
    adv.m_pGraphic[2].m_nSlot = 41;
    adv.m_pGraphic[2].m_bShow = 1;
    adv.DrawObjectSort();
    log.Clear();
    for (int frame = 0; frame < 3; ++frame) {
        h.sprite.D3DXDrawStart();
        EXPECT_EQ(adv.DrawProc(), 1);
        h.sprite.D3DXDrawEnd();
    }
    auto count = [&](const char* text) {
        int n = 0;
        for (const std::string& line : log.lines())
            n += line.find(text) != std::string::npos;
        return n;
    };
    EXPECT_EQ(count("<ADV_DATA::DrawProc> 描画に失敗しました"), 2) << log.all(); // once per item
    EXPECT_EQ(count("Error: <KUSPRITE2::D3DXDrawGraphic> テクスチャデータが確保されていません"), 1) << log.all();
    // With the three items' own lines (its refusal, the strip's, the texture's): once each.
    EXPECT_EQ(log.lines().size(), 5u) << log.all();
}

// The fade picture that cannot be drawn (never bound) is left out too: it
// is said once, and the frame is still drawn.
TEST_F(ModeObjectTest, FailedFadeDrawIsNotTheEnd) {
    Declare({}, {}, {});
    adv.m_fFade = 0.5f;
    log.Clear();
    for (int frame = 0; frame < 3; ++frame) {
        h.sprite.D3DXDrawStart();
        EXPECT_EQ(adv.DrawProc(), 1);
        h.sprite.D3DXDrawEnd();
    }
    int said = 0;
    for (const std::string& line : log.lines())
        said += line.find("<ADV_DATA::DrawProc> 描画に失敗しました") != std::string::npos;
    EXPECT_EQ(said, 1) << log.all();
}

// The message window without its picture: each of its layers is refused
// alike, and the wait icon blinking in and out adds or drops one. The fault
// is said once, however many layers a frame draws.
TEST_F(ModeObjectTest, WindowWithoutItsPictureIsSaidOnce) {
    Declare({}, {}, {});
    ASSERT_EQ(h.sprite.SetGraphicData(2, "tmp/", "MessageWindow.dds", 4, 1), 1); // never loaded
    adv.m_bWindowShown = 1;
    adv.m_MsgWnd.DispWindow();
    adv.m_MsgWnd.m_fAlpha = 1.0f;
    log.Clear();
    for (int frame = 0; frame < 6; ++frame) {
        adv.m_MsgWnd.m_fIconAlpha = frame % 3 == 2 ? 0.5f : 0.0f;
        h.sprite.D3DXDrawStart();
        EXPECT_EQ(adv.DrawProc(), 1);
        h.sprite.D3DXDrawEnd();
    }
    int said = 0;
    for (const std::string& line : log.lines())
        said += line.find("Error: <KUSPRITE2::D3DXDrawGraphic> テクスチャデータが確保されていません") != std::string::npos;
    EXPECT_EQ(said, 1) << log.all();
}

// Back from the options: the fade-in runs over a second, then play goes on.
TEST_F(ModeObjectTest, ReturnEntryFadesIn) {
    Play({"#ChangeVar v 1", "#EndScript"});
    adv.m_nPhase = 2;
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(adv.m_nPhase, 3);
    EXPECT_EQ(adv.m_fFade, 1.0f);
    h.Frame(500);
    adv.MainProc();
    EXPECT_FLOAT_EQ(adv.m_fFade, 0.5f);
    EXPECT_EQ(Var("v"), 0); // no command runs during the fade
    h.Frame(500);
    adv.MainProc();
    EXPECT_EQ(adv.m_nPhase, 0);
    EXPECT_EQ(adv.m_fFade, 0.0f);
    Frame();
    Frame();
    EXPECT_EQ(Var("v"), 1);
}

} // namespace

namespace {

// Arrow keys released this frame steer the pointer; the game runs with the
// windows shown.
TEST_F(ModeObjectTest, ArrowKeysMoveThePointer) {
    Play({"#EndScript"});
    adv.m_bWindowShown = 1;
    auto press = [this](int x, int y, int vk) {
        h.sys.SetMousePos(x, y);
        h.Frame(16, {{vk, kClickUp}});
        adv.CursorMoveProc();
        int px = 0, py = 0;
        h.sys.GetMousePos(&px, &py);
        return std::make_pair(px, py);
    };
    EXPECT_EQ(press(400, 400, 38), std::make_pair(646, 581)); // config
    EXPECT_EQ(press(400, 400, 40), std::make_pair(646, 495)); // save
    EXPECT_EQ(press(400, 400, 37), std::make_pair(400, 400)); // nothing
    EXPECT_EQ(press(646, 581, 38), std::make_pair(664, 555)); // config up: fast-forward
    EXPECT_EQ(press(10, 10, 39), std::make_pair(400, 400)); // elsewhere: the neutral point
    adv.m_MsgWnd.m_nHistoryCursor = 0;
    std::snprintf(adv.m_MsgWnd.m_History[0].m_szVoice, sizeof(adv.m_MsgWnd.m_History[0].m_szVoice), "%s", "v.wav");
    EXPECT_EQ(press(400, 400, 40), std::make_pair(276, 538)); // the voiced entry's window
    ASSERT_EQ(adv.m_SelectWnd.Initialize(&h.sys, &h.sprite, &h.snd, 2), 1);
    EXPECT_EQ(press(400, 400, 38), std::make_pair(400, 296)); // the second choice
}

} // namespace
