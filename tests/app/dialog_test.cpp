#include "platform/dialog.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "app/app_shell.h"
#include "platform/cursor.h"
#include "platform/menu.h"
#include "platform/window.h"
#include "resources/dialog_resources.h"
#include "resources/resource_ids.h"
#include "tests/app/app_test_util.h"
#include "platform/dialog_test_hooks.h"

namespace {

intptr_t NullProc(plat::WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

intptr_t YesNoProc(plat::Dialog* d, uint32_t msg, uintptr_t id) {
    if (msg == plat::kDlgInit)
        plat::SetDialogItemText(d, 1005, "確認 を");
    if (msg == plat::kDlgCommand && id == 1003)
        plat::EndDialog(d, 1);
    if (msg == plat::kDlgCommand && id == 1004)
        plat::EndDialog(d, 0);
    if (msg == plat::kDlgClose)
        plat::EndDialog(d, 0);
    return 0;
}

intptr_t CheckProc(plat::Dialog* d, uint32_t msg, uintptr_t) {
    if (msg == plat::kDlgCommand || msg == plat::kDlgClose)
        plat::EndDialog(d, plat::IsDialogButtonChecked(d, 1002) ? 7 : 5);
    return 0;
}

plat::DialogTemplate YesNo() {
    plat::DialogTemplate t;
    t.caption = "確認";
    t.width = 220;
    t.height = 90;
    t.controls = {{plat::DialogControl::kStatic, 1005, "", 10, 8, 200, 14, false},
                  {plat::DialogControl::kStatic, -1, "終了しますか？", 10, 26, 200, 14, false},
                  {plat::DialogControl::kButton, 1003, "はい(&Y)", 20, 56, 80, 24, true},
                  {plat::DialogControl::kButton, 1004, "いいえ(&N)", 120, 56, 80, 24, false}};
    return t;
}

plat::DialogTemplate WithCheck() {
    plat::DialogTemplate t;
    t.caption = "Warning";
    t.controls = {{plat::DialogControl::kCheckBox, 1002, "次回からこのメッセージを表示しない", 10, 40, 260, 16, false},
                  {plat::DialogControl::kButton, 1, "OK", 100, 80, 80, 24, true}};
    return t;
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::WindowParams p;
        p.proc = &NullProc;
        win = plat::CreateMainWindow(p);
        ASSERT_NE(win, nullptr);
    }
    void TearDown() override {
        plat::DestroyMainWindow(win);
        plat::ClearDialogAnswers();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    static void Key(SDL_Keycode k) { apptest::PushKey(k, true); }
    plat::WindowHandle win = nullptr;
};

TEST_F(DialogTest, KeysAnswerTheDialog) {
    Key(SDLK_n);
    EXPECT_EQ(plat::RunDialog(win, YesNo(), &YesNoProc), 0);
    Key(SDLK_y);
    EXPECT_EQ(plat::RunDialog(win, YesNo(), &YesNoProc), 1);
    Key(SDLK_RETURN); // the default button
    EXPECT_EQ(plat::RunDialog(win, YesNo(), &YesNoProc), 1);
    Key(SDLK_ESCAPE);
    EXPECT_EQ(plat::RunDialog(win, YesNo(), &YesNoProc), 0);
    EXPECT_EQ(plat::LastDialogCaption(), "確認");
    EXPECT_NE(plat::LastDialogTexts().find("確認 を"), std::string::npos);
}

TEST_F(DialogTest, HeldKeyDoesNotAnswer) {
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_ESCAPE;
    e.key.repeat = 1; // Escape still held from opening the dialog
    SDL_PushEvent(&e);
    Key(SDLK_y);
    EXPECT_EQ(plat::RunDialog(win, YesNo(), &YesNoProc), 1);
}

TEST_F(DialogTest, CheckBoxByKeyAndByAnswer) {
    Key(SDLK_TAB); // focus moves from OK to the check box
    Key(SDLK_SPACE); // ticks it
    Key(SDLK_RETURN); // the default button
    EXPECT_EQ(plat::RunDialog(win, WithCheck(), &CheckProc), 7);
    plat::QueueDialogAnswer({1, {}});
    EXPECT_EQ(plat::RunDialog(win, WithCheck(), &CheckProc), 5);
    plat::QueueDialogAnswer({1, {1002}});
    EXPECT_EQ(plat::RunDialog(win, WithCheck(), &CheckProc), 7);
}

TEST_F(DialogTest, ClickOnButton) {
    int cw, ch;
    plat::CanvasSize(win, &cw, &ch);
    // The dialog is centred in the game area; "いいえ" sits at (120, 56) of its client area.
    plat::DialogTemplate t = YesNo();
    int x0 = (cw - (t.width + 2)) / 2 + 1, y0 = (ch - (t.height + 22 + 2)) / 2 + 1 + 22;
    for (bool down : {true, false}) {
        SDL_Event e;
        SDL_zero(e);
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.x = x0 + 130;
        e.button.y = y0 + 60;
        SDL_PushEvent(&e);
    }
    Key(SDLK_y); // not reached: the click answers first
    EXPECT_EQ(plat::RunDialog(win, t, &YesNoProc), 0);
}

TEST(DialogNoWindowTest, DefaultButtonAnswersWhenNobodyCanBeAsked) {
    EXPECT_EQ(plat::RunDialog(nullptr, YesNo(), &YesNoProc), 1);
    plat::QueueDialogAnswer({1004, {}});
    EXPECT_EQ(plat::RunDialog(nullptr, YesNo(), &YesNoProc), 0);
}

int g_countAtAnswer = -100;
intptr_t WatchedExitConfirm(plat::Dialog* d, uint32_t message, uintptr_t wParam) {
    if (message == plat::kDlgCommand)
        g_countAtAnswer = plat::CursorDisplayCount();
    return ExitConfirmDlgProc(d, message, wParam);
}

// The shell's dialogs show a hidden cursor while they are up and hide it
// again afterwards; a shown cursor stays shown.
TEST_F(DialogTest, ShellDialogsShowTheCursorOnlyWhileOpen) {
    plat::ResetCursorCount();
    plat::ShowCursor(false);
    plat::ShowCursor(false); // hidden, as during a movie
    plat::QueueDialogAnswer({IDC_EXIT_NO, {}});
    EXPECT_EQ(plat::RunDialog(win, ExitConfirmDialogTemplate(), &WatchedExitConfirm), 0);
    int seenWhileOpen = g_countAtAnswer;
    EXPECT_GE(seenWhileOpen, 0);
    EXPECT_LT(plat::CursorDisplayCount(), 0);
    EXPECT_EQ(g_bDialogOpen, 0);

    plat::ResetCursorCount();
    plat::QueueDialogAnswer({IDOK_BUTTON, {}});
    EXPECT_EQ(plat::RunDialog(win, AboutDialogTemplate(), &AboutDlgProc), 0);
    EXPECT_GE(plat::CursorDisplayCount(), 0);
    plat::ResetCursorCount();
}

// Every text of the shell's dialogs, the run-time ones included, fits its
// control, and every control fits its dialog.
TEST(ShellDialogLayoutTest, TextsFitTheirControls) {
    const std::pair<int, std::string> runTime[] = {{IDC_ABOUT_NAME, "ラークスピン 体験版"},
                                                   {IDC_ABOUT_VERSION, "Version 1.1"},
                                                   {IDC_ABOUT_RIGHTS, kAboutRightsNotice},
                                                   {IDC_EXIT_CAPTION, "ラークスピン 体験版 を"}};
    constexpr int kTextHeight = 12;
    for (const plat::DialogTemplate* t :
         {&AboutDialogTemplate(), &SoundWarningDialogTemplate(), &ExitConfirmDialogTemplate()}) {
        for (const plat::DialogControl& c : t->controls) {
            std::string text = c.text;
            for (const auto& [id, filled] : runTime) {
                if (c.id == id)
                    text = filled;
            }
            text = plat::MenuModel::DisplayText(text);
            int room = c.kind == plat::DialogControl::kCheckBox ? c.w - 18 : c.w;
            for (size_t start = 0; start <= text.size();) {
                size_t nl = text.find('\n', start);
                std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
                EXPECT_LE(plat::UiTextWidth(line, kTextHeight), room) << t->caption << " " << c.id;
                if (nl == std::string::npos)
                    break;
                start = nl + 1;
            }
            EXPECT_LE(c.x + c.w, t->width) << t->caption << " " << c.id;
            EXPECT_LE(c.y + c.h, t->height) << t->caption << " " << c.id;
        }
    }
}

} // namespace
