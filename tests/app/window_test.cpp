#include "platform/window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <cwchar>
#include <langinfo.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/app_events.h"
#include "platform/cursor.h"
#include "platform/dialog.h"
#include "platform/input_state.h"
#include "platform/letterbox.h"
#include "platform/menu.h"
#include "platform/picture_shrink.h"
#include "platform/video_present.h"
#include "platform/window_metrics.h"
#include "tests/app/app_test_util.h"
#include "platform/dialog_test_hooks.h"
#include "platform/window_state.h"
#include "platform/window_test_hooks.h"

namespace {

std::vector<plat::Message> g_seen;

intptr_t RecordingProc(plat::WindowHandle w, uint32_t msg, uintptr_t wp, intptr_t lp) {
    g_seen.push_back(plat::Message{w, msg, wp, lp});
    return 0;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen.clear();
        plat::InputState::Get().ReleaseAll();
        menu.AddTop("ファイル(&F)");
        menu.AddItem(113, "終了(&X)");
        menu.AddTop("メニュー(&M)");
        menu.AddItem(40003, "男性ボイスON", true);
        menu.AddItem(40004, "男性ボイスOFF");
        plat::WindowParams p;
        p.caption = "ラークスピン 体験版";
        p.proc = &RecordingProc;
        p.menu = &menu;
        win = plat::CreateMainWindow(p);
        ASSERT_NE(win, nullptr);
    }
    void TearDown() override {
        plat::DestroyMainWindow(win);
        plat::ClearDialogAnswers();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    // Drains everything waiting and dispatches it.
    void Pump() {
        plat::Message m;
        while (plat::PeekMessage(&m))
            plat::DispatchMessage(m);
    }
    bool Saw(uint32_t msg, uintptr_t wp) const {
        for (const auto& m : g_seen) {
            if (m.message == msg && m.wParam == wp)
                return true;
        }
        return false;
    }
    static void PushKey(SDL_Keycode k, bool down) { apptest::PushKey(k, down); }
    static void PushButton(int x, int y, bool down) {
        SDL_Event e;
        SDL_zero(e);
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    plat::MenuModel menu;
    plat::WindowHandle win = nullptr;
};

TEST_F(WindowTest, CreateSendsCreateAndShownWindowCountsAsActive) {
    ASSERT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen[0].message, plat::kMsgCreate);
    EXPECT_EQ(g_seen[0].window, win);
    EXPECT_EQ(plat::WindowCaption(win), "ラークスピン 体験版");
    EXPECT_EQ(plat::MenuStripHeight(win), plat::kSmCyMenu);
    plat::ShowMainWindow(win);
    Pump();
    EXPECT_TRUE(Saw(plat::kMsgActivateApp, 1));
}

TEST_F(WindowTest, FirstPictureIsBlackUnderTheStripAndADialogLayerCoversTheCanvas) {
    plat::Surface shown;
    plat::CaptureNextPresent(&shown);
    plat::ShowMainWindow(win);
    ASSERT_EQ(shown.width, 800);
    ASSERT_EQ(shown.height, 620);
    EXPECT_EQ(shown.Row(619)[799] & 0xFFFFFF, 0u);
    EXPECT_EQ(shown.Row(300)[400] & 0xFFFFFF, 0u);
    EXPECT_NE(shown.Row(5)[790] & 0xFFFFFF, 0u) << "the menu bar";
    EXPECT_EQ(plat::LastPresentedFrame().width, 0) << "no picture is made before the game's first frame";

    // A dialog layer paints anywhere on the canvas, not only where the strip is.
    plat::SetOverlayPainter(win, [](plat::Surface* s, int) { s->Row(s->height - 1)[s->width - 1] = 0xFF00FF00u; });
    plat::RedrawWindow(win);
    EXPECT_EQ(plat::WindowCanvas(win)->Row(619)[799], 0xFF00FF00u);
    plat::SetOverlayPainter(win, nullptr);
    plat::RedrawWindow(win);
    EXPECT_EQ(plat::WindowCanvas(win)->Row(619)[799], 0xFF000000u);
}

TEST_F(WindowTest, InjectedKeysAndMouseReachStateAndMessages) {
    PushKey(SDLK_LSHIFT, true);
    PushKey(SDLK_a, true);
    PushKey(SDLK_ESCAPE, true);
    Pump();
    auto& in = plat::InputState::Get();
    EXPECT_TRUE(in.IsVkDown(plat::kVkShift));
    EXPECT_TRUE(in.IsVkDown('A'));
    EXPECT_TRUE(Saw(plat::kMsgKeyDown, 'A'));
    EXPECT_TRUE(Saw(plat::kMsgKeyDown, plat::kVkEscape));
    PushKey(SDLK_a, false);
    PushKey(SDLK_LSHIFT, false);
    Pump();
    EXPECT_FALSE(in.IsVkDown(plat::kVkShift));
    EXPECT_TRUE(Saw(plat::kMsgKeyUp, 'A'));

    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 100;
    e.motion.y = 220;
    SDL_PushEvent(&e);
    PushButton(100, 220, true);
    Pump();
    int x, y;
    in.GetMouse(&x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 220 - plat::kSmCyMenu); // game area starts below the strip
    EXPECT_TRUE(in.IsVkDown(plat::kVkLButton));
}

// The click on an inactive window both activates it and counts: SDL is told
// to keep it, and a press and release that come before the activation reach
// the first frame after it.
TEST_F(WindowTest, TheClickThatActivatesTheWindowCounts) {
    EXPECT_TRUE(SDL_GetHintBoolean(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, SDL_FALSE));
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&e);
    PushButton(100, 220, true);
    PushButton(100, 220, false);
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&e);
    Pump();
    EXPECT_TRUE(Saw(plat::kMsgActivateApp, 1));
    EXPECT_TRUE(plat::InputState::Get().TakePress(plat::kVkLButton));
}

// The only SDL window there is (each test makes one).
SDL_Window* OnlySdlWindow() {
    for (Uint32 id = 1; id < 100000; ++id)
        if (SDL_Window* s = SDL_GetWindowFromID(id))
            return s;
    return nullptr;
}

TEST_F(WindowTest, AnyWindowSizeShowsTheCanvasLetterboxedAndMapsThePointerBack) {
    SDL_Window* sdl = OnlySdlWindow();
    ASSERT_NE(sdl, nullptr);
    plat::ShowMainWindow(win);
    // The 800 x 620 canvas (strip and game) in 2000 x 1240: twice its size,
    // bars of 200 pixels left and right.
    SDL_SetWindowSize(sdl, 2000, 1240);
    Pump();
    plat::Surface frame(800, 600);
    std::fill(frame.pixels.begin(), frame.pixels.end(), 0xFF3050F0u);
    plat::Surface shown;
    plat::CaptureNextPresent(&shown);
    plat::PresentFrame(frame, 32);
    ASSERT_EQ(shown.width, 2000);
    ASSERT_EQ(shown.height, 1240);
    for (int x : {199, 1800})
        EXPECT_EQ(shown.Row(600)[x] & 0xFFFFFF, 0u) << x;
    for (int x : {200, 1799})
        EXPECT_EQ(shown.Row(600)[x] & 0xFFFFFF, 0x3050F0u) << x;
    EXPECT_EQ(shown.Row(40)[1000] & 0xFFFFFF, 0x3050F0u);
    EXPECT_NE(shown.Row(39)[1000] & 0xFFFFFF, 0x3050F0u); // the strip, scaled too
    EXPECT_EQ(shown.Row(20)[150] & 0xFFFFFF, 0u);

    // Clicks come back the same way: window (400, 640) is game (100, 300).
    PushButton(400, 640, true);
    Pump();
    int x, y;
    plat::InputState::Get().GetMouse(&x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 300);
    // A click on the left bar is left of the picture, never on its first column.
    PushButton(199, 640, false);
    Pump();
    plat::InputState::Get().GetMouse(&x, &y);
    EXPECT_EQ(x, -1);
    // The strip keeps opening the menu at its scaled place.
    plat::QueueMenuChoice(0);
    const int loops = plat::MenuLoopCount();
    PushButton(200 + 2 * 10, 2 * 10, true);
    Pump();
    EXPECT_EQ(plat::MenuLoopCount(), loops + 1);
}

// In a window smaller than the canvas the overlay is averaged like the game
// frame: its thin strokes stay, and its transparent parts tint nothing.
TEST_F(WindowTest, ASmallerWindowAveragesTheOverlayByItsCover) {
    SDL_Window* sdl = OnlySdlWindow();
    ASSERT_NE(sdl, nullptr);
    plat::ShowMainWindow(win);
    SDL_SetWindowSize(sdl, 600, 465); // 3/4 of the 800 x 620 canvas
    Pump();
    plat::Surface white(800, 600);
    std::fill(white.pixels.begin(), white.pixels.end(), 0xFFFFFFFFu);
    plat::PresentFrame(white, 32);
    // White with black columns every 5 pixels, on canvas rows 201 to 298 only.
    plat::SetOverlayPainter(win, [](plat::Surface* s, int) {
        for (int y = 201; y < 299; ++y)
            for (int x = 0; x < s->width; ++x)
                s->Row(y)[x] = x % 5 == 0 ? 0xFF000000u : 0xFFFFFFFFu;
    });
    plat::Surface shown;
    plat::CaptureNextPresent(&shown);
    plat::RedrawWindow(win);
    plat::SetOverlayPainter(win, nullptr);
    ASSERT_EQ(shown.width, 600);
    for (int x = 5; x < 795; x += 5) {
        int ink = 0; // over the output columns near column x, in the band's middle
        for (int c = (x - 2) * 3 / 4; c <= (x + 2) * 3 / 4; ++c)
            ink += 255 - static_cast<int>(shown.Row(187)[c] & 0xFF);
        EXPECT_NEAR(ink, 191, 2) << "column " << x;
    }
    // Output row 150 is 1/4 white overlay, 3/4 transparent, over white: it
    // stays white (to SDL's blending), not tinted by the transparent pixels.
    EXPECT_GE(shown.Row(150)[2] & 0xFF, 0xF8u);
}

// The largest difference of one colour channel between two pictures of one size.
int MaxChannelDiff(const plat::Surface& a, const plat::Surface& b) {
    int most = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        for (int shift : {0, 8, 16})
            most = std::max(most, std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                                           static_cast<int>((b.pixels[i] >> shift) & 0xFF)));
    return most;
}

// A dialog's opaque edge in a smaller window shows nothing of the frame it
// hides: what shows is the window's own picture (frame, strip and dialog as
// composed at full size) averaged down, after a whole present, after parts of
// the frame under the dialog change, and after the dialog is painted again.
TEST_F(WindowTest, ASmallerWindowShowsTheDialogLaidOverTheFrameThenAveraged) {
    SDL_Window* sdl = OnlySdlWindow();
    ASSERT_NE(sdl, nullptr);
    plat::ShowMainWindow(win);
    uint32_t seed = 777;
    auto noise = [&seed] { return 0xFF000000u | ((seed = seed * 1103515245u + 12345u) >> 8); };
    // A box with a half-dark shadow; its edges fall inside output pixels.
    auto box = [](int x0, int y0) {
        return [x0, y0](plat::Surface* s, int) {
            for (int y = y0 + 4; y < y0 + 179; ++y)
                for (int x = x0 + 4; x < x0 + 237; ++x)
                    s->Row(y)[x] = 0x80000000u;
            for (int y = y0; y < y0 + 175; ++y)
                for (int x = x0; x < x0 + 233; ++x)
                    s->Row(y)[x] = (y == y0 || x == x0 || y == y0 + 174 || x == x0 + 232) ? 0xFF404040u : 0xFFECECECu;
        };
    };
    for (const int outW : {600, 400}) {
        const int outH = outW * 620 / 800;
        SDL_SetWindowSize(sdl, outW, outH);
        Pump();
        const plat::ShrinkGrid grid{800, 620, outW, outH};
        auto expected = [&] {
            plat::Surface small;
            plat::ShrinkTop(*plat::WindowCanvas(win), grid, outH, true, &small);
            return small;
        };
        plat::Surface frame(800, 600);
        for (uint32_t& px : frame.pixels)
            px = noise();
        plat::SetOverlayPainter(win, box(101, 203));
        plat::RedrawWindow(win);
        plat::Surface shown;
        plat::CaptureNextPresent(&shown);
        plat::PresentFrame(frame, 32);
        ASSERT_EQ(shown.width, outW);
        EXPECT_EQ(MaxChannelDiff(shown, expected()), 0) << outW << ", whole";

        const uint64_t shownStamp = frame.stamp;
        frame.Touch();
        const plat::RectI rects[] = {{95, 170, 120, 200}, {300, 330, 345, 370}, {600, 10, 640, 40}};
        for (const plat::RectI& r : rects)
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    frame.Row(y)[x] = noise();
        plat::PresentFrameDamage(frame, 32, shownStamp, rects, std::size(rects));
        plat::Surface partly(outW, outH);
        auto* renderer = static_cast<SDL_Renderer*>(plat::PresentRenderer());
        ASSERT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, partly.pixels.data(), outW * 4), 0);
        EXPECT_EQ(MaxChannelDiff(partly, expected()), 0) << outW << ", in parts";

        plat::SetOverlayPainter(win, box(313, 151));
        plat::CaptureNextPresent(&shown);
        plat::RedrawWindow(win);
        EXPECT_EQ(MaxChannelDiff(shown, expected()), 0) << outW << ", painted again";
        plat::SetOverlayPainter(win, nullptr);
    }
}

// The bars around the letterboxed canvas belong to nothing: a press there
// neither opens the menu nor clicks the picture, in a window or full screen.
TEST_F(WindowTest, APressOnALetterboxBarIsNoClick) {
    SDL_Window* sdl = OnlySdlWindow();
    ASSERT_NE(sdl, nullptr);
    plat::ShowMainWindow(win);
    auto& in = plat::InputState::Get();
    plat::QueueMenuChoice(0); // taken only if the menu wrongly opens
    const int loops = plat::MenuLoopCount();
    auto click = [&](int x, int y) {
        PushButton(x, y, true);
        PushButton(x, y, false);
        Pump();
        return in.TakePress(plat::kVkLButton);
    };
    // 800 x 620 twice as large in 1600 x 2000: bars of 380 above and below.
    SDL_SetWindowSize(sdl, 1600, 2000);
    Pump();
    EXPECT_FALSE(click(40, 10)) << "above the strip's first entry";
    EXPECT_FALSE(click(1000, 370));
    EXPECT_FALSE(click(800, 1990));
    // The rows next to the picture's first and last are the bars': the one
    // above the strip opens no menu, the one below the game is no click.
    EXPECT_FALSE(click(40, 379));
    ASSERT_EQ(plat::MenuLoopCount(), loops); // the one queued choice stays for full screen
    EXPECT_FALSE(click(800, 1620));
    EXPECT_TRUE(click(800, 1619));
    EXPECT_EQ(plat::MenuLoopCount(), loops);
    EXPECT_TRUE(click(800, 1000));
    // Bars left and right.
    SDL_SetWindowSize(sdl, 2000, 1240);
    Pump();
    EXPECT_FALSE(click(100, 640));
    EXPECT_FALSE(click(1900, 30));
    EXPECT_TRUE(click(1000, 640));
    // The bars end where the picture starts: its first and last columns are
    // the picture's, the pixels beside them the bars'.
    EXPECT_FALSE(click(199, 640));
    EXPECT_FALSE(click(1800, 640));
    EXPECT_TRUE(click(200, 640));
    EXPECT_TRUE(click(1799, 640));
    EXPECT_EQ(plat::MenuLoopCount(), loops);
    // A press on the picture released over a bar still lets the button go:
    // the game must not see it held for good.
    PushButton(1000, 640, true);
    Pump();
    EXPECT_TRUE(in.IsVkDown(plat::kVkLButton));
    PushButton(100, 640, false);
    Pump();
    EXPECT_FALSE(in.IsVkDown(plat::kVkLButton));
    in.TakePress(plat::kVkLButton);
    // Full screen: the strip shown at the top edge still opens the menu.
    ASSERT_TRUE(plat::SetWindowFullScreen(win, true));
    plat::ShowFullScreenMenuBar(win, true);
    Pump();
    int ww = 0, wh = 0;
    SDL_GetWindowSize(sdl, &ww, &wh);
    const plat::FitRect r = plat::Letterbox(ww, wh, 800, 600);
    click(r.x + 20 * r.w / 800, r.y + 5 * r.h / 600);
    EXPECT_EQ(plat::MenuLoopCount(), loops + 1);
    plat::ClearMenuChoices();
}

// The window manager may resize the window (maximise, its full screen, a
// dragged edge); the game's own switch back from full screen still gives the
// window its natural size.
TEST_F(WindowTest, WindowIsResizableAndLeavingFullScreenRestoresItsSize) {
    SDL_Window* sdl = OnlySdlWindow();
    ASSERT_NE(sdl, nullptr);
    EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_RESIZABLE, 0u);
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    int minW = 0, minH = 0;
    SDL_GetWindowMinimumSize(sdl, &minW, &minH);
    EXPECT_EQ(minW, w / 2);
    EXPECT_EQ(minH, h / 2);
    plat::ShowMainWindow(win);
    SDL_SetWindowSize(sdl, 1280, 1000);
    Pump();
    ASSERT_TRUE(plat::SetWindowFullScreen(win, true));
    ASSERT_TRUE(plat::SetWindowFullScreen(win, false));
    Pump();
    int w2 = 0, h2 = 0;
    SDL_GetWindowSize(sdl, &w2, &h2);
    EXPECT_EQ(w2, w);
    EXPECT_EQ(h2, h);
}

TEST_F(WindowTest, PostedAndQuitMessagesComeInOrder) {
    plat::PostMessage(win, plat::kMsgCommand, 112, 0);
    plat::PostQuitMessage(3);
    plat::PostAppEvent(plat::kMsgApp + 3, 0, 0);
    plat::Message m;
    ASSERT_TRUE(plat::PeekMessage(&m));
    EXPECT_EQ(m.message, plat::kMsgCommand);
    ASSERT_TRUE(plat::PeekMessage(&m));
    EXPECT_EQ(m.message, plat::kMsgQuit);
    EXPECT_EQ(static_cast<int>(m.wParam), 3);
    ASSERT_TRUE(plat::PeekMessage(&m));
    EXPECT_EQ(m.message, plat::kMsgApp + 3);
}

TEST_F(WindowTest, ClickOnStripRunsMenuLoopAndPostsCommand) {
    plat::QueueMenuChoice(40004);
    int before = plat::MenuLoopCount();
    PushButton(10, 5, true);
    Pump();
    EXPECT_EQ(plat::MenuLoopCount(), before + 1);
    ASSERT_GE(g_seen.size(), 3u);
    size_t enter = 0, exit = 0, cmd = 0;
    for (size_t i = 0; i < g_seen.size(); ++i) {
        if (g_seen[i].message == plat::kMsgEnterMenuLoop)
            enter = i + 1;
        if (g_seen[i].message == plat::kMsgExitMenuLoop)
            exit = i + 1;
        if (g_seen[i].message == plat::kMsgCommand && g_seen[i].wParam == 40004)
            cmd = i + 1;
    }
    EXPECT_TRUE(enter && exit && cmd);
    EXPECT_LT(enter, exit);
    EXPECT_LT(exit, cmd);
    EXPECT_FALSE(plat::InputState::Get().IsVkDown(plat::kVkLButton)) << "a menu click is not a game click";
}

// With the menu open in a letterboxed window, a press on the bar above the
// strip is outside the menu: it closes it, and opens no top entry whose
// column it lies in.
TEST_F(WindowTest, APressAboveTheStripLeavesTheOpenMenu) {
    SDL_Window* sdl = OnlySdlWindow();
    ASSERT_NE(sdl, nullptr);
    plat::ShowMainWindow(win);
    SDL_SetWindowSize(sdl, 1600, 2000); // twice the canvas, bars of 380 above and below
    Pump();
    int second = 0;
    while (second < 800 && plat::menu_draw::TopIndexAt(menu, second) != 1)
        ++second;
    ASSERT_LT(second, 800);
    PushKey(SDLK_LALT, true);
    PushKey(SDLK_f, true);
    PushKey(SDLK_f, false);
    PushKey(SDLK_LALT, false);
    PushButton(2 * second + 4, 370, true);
    PushButton(2 * second + 4, 370, false);
    PushKey(SDLK_DOWN, true);
    PushKey(SDLK_RETURN, true);
    Pump();
    EXPECT_TRUE(Saw(plat::kMsgExitMenuLoop, 0));
    for (const auto& m : g_seen)
        EXPECT_NE(m.message, plat::kMsgCommand) << m.wParam;
}

TEST_F(WindowTest, KeyboardDrivesTheMenu) {
    // Alt+M opens "メニュー", Down twice selects the second item, Enter takes it.
    PushKey(SDLK_LALT, true);
    PushKey(SDLK_m, true);
    PushKey(SDLK_m, false);
    PushKey(SDLK_LALT, false);
    PushKey(SDLK_DOWN, true);
    PushKey(SDLK_DOWN, true);
    PushKey(SDLK_RETURN, true);
    Pump();
    EXPECT_TRUE(Saw(plat::kMsgCommand, 40004));
    // Escape leaves without a command.
    g_seen.clear();
    PushKey(SDLK_F10, true);
    PushKey(SDLK_ESCAPE, true);
    Pump();
    EXPECT_TRUE(Saw(plat::kMsgExitMenuLoop, 0));
    for (const auto& m : g_seen)
        EXPECT_NE(m.message, plat::kMsgCommand);
}

// X converts the UTF-8 window title by the C library's character type; under
// the "C" locale the old-style title property came out as mangled Latin-1.
TEST(WindowSystemTest, TextReachesTheWindowSystemAsUtf8) {
    const std::string before = setlocale(LC_CTYPE, nullptr);
    setlocale(LC_CTYPE, "C");
    plat::PrepareWindowSystem();
    EXPECT_STREQ(nl_langinfo(CODESET), "UTF-8");
    std::mbstate_t state{};
    wchar_t c = 0;
    const char ra[] = "\xE3\x83\xA9"; // katakana RA in UTF-8
    EXPECT_EQ(std::mbrtowc(&c, ra, 3, &state), 3u);
    EXPECT_EQ(c, L'\x30E9');
    EXPECT_STREQ(setlocale(LC_NUMERIC, nullptr), "C"); // numbers are untouched
    setlocale(LC_CTYPE, before.c_str());
}

TEST(MenuModelTest, MnemonicsChecksAndText) {
    plat::MenuModel m;
    m.AddTop("ヘルプ(&H)");
    m.AddItem(112, "バージョン情報(&A)");
    m.AddItem(40003, "男性ボイスON", true);
    EXPECT_EQ(plat::MenuModel::Mnemonic("ヘルプ(&H)"), 'H');
    EXPECT_EQ(plat::MenuModel::Mnemonic("男性ボイスON"), 0);
    EXPECT_EQ(plat::MenuModel::DisplayText("はい(&Y)"), "はい(Y)");
    EXPECT_TRUE(m.IsChecked(40003));
    EXPECT_TRUE(m.SetChecked(40003, false));
    EXPECT_FALSE(m.IsChecked(40003));
    EXPECT_FALSE(m.SetChecked(999, true));
}

TEST(CursorTest, DisplayCounterFollowsCalls) {
    plat::ResetCursorCount();
    EXPECT_EQ(plat::ShowCursor(false), -1);
    EXPECT_EQ(plat::ShowCursor(false), -2);
    EXPECT_EQ(plat::ShowCursor(true), -1);
    EXPECT_EQ(plat::ShowCursor(true), 0);
    EXPECT_EQ(plat::CursorDisplayCount(), 0);
}

} // namespace
