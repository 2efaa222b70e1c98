#include "app/app_shell.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_shell_test_hooks.h"
#include "app/cursor_type.h"
#include "app/env_settings.h"
#include "engine/game_paths.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/engine_services.h"
#include "flow/game_main.h"
#include "platform/clock.h"
#include "platform/cursor.h"
#include "platform/debug_out.h"
#include "platform/files.h"
#include "platform/gdi_font.h"
#include "platform/input_state.h"
#include "platform/single_instance.h"
#include "platform/video_movie.h"
#include "platform/window_metrics.h"
#include "resources/dialog_resources.h"
#include "resources/icon_cursors.h"
#include "resources/menu_resource.h"
#include "resources/resource_ids.h"
#include "sound/kusnd.h"

KUSYSTEM g_KuSystem;
KUSPRITE2 g_KuSprite;
KUSND g_KuSnd;
GAME_MAIN g_GameMain;

// The game reaches the shell through these from the first frame on, in every
// program that holds the game object.
static const bool g_shellServicesInstalled = (InstallShellServices(), true);

plat::WindowHandle g_hWnd = nullptr;
plat::MenuModel* g_hMenu = nullptr;
void* g_hInstance = nullptr;
int g_bActive = 0;
int g_bMenuOpen = 0;
int g_bMenuOpenOld = 0;
int g_bDialogOpen = 0;
int g_bMenuBarShown = 0;
int g_bExitConfirm = 1;
int g_nAboutCursorCount = 0;
int g_nSoundWarningCursorCount = 0;
int g_nExitConfirmCursorCount = 0;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kMaxCursorCalls = 101;
const char kCaption[] = "ラークスピン 体験版";

// The menu the window class brings (resource 101).
plat::MenuModel g_menuResource;
// Stands for the program instance: the sound system wants a non-null one.
char g_instanceToken;

void Log(const char* text) { g_KuSystem.TracePrint(text); }

// Play that ended on a failure rather than a quit: told in a box at the end
// and in the exit status.
bool g_startFailed = false;
bool g_playFailed = false;
char g_failText[512];

// Logs the frame's own failure line; the box names the cause logged before
// it, or this line when nothing was.
int PlayFailed(const char* line) {
    std::string cause = plat::LastErrorLine();
    Log(line);
    if (cause.empty())
        cause = plat::LastErrorLine();
    snprintf(g_failText, sizeof(g_failText), "%s", cause.c_str());
    g_playFailed = true;
    return 0;
}

// The orderly exit: settings written and libraries released once.
void SaveAndRelease() {
    if (!g_bLibraryInit)
        return;
    SaveEnvData(kSettingsFile);
    plat::SleepMs(50);
    LibraryRelease();
    g_bLibraryInit = 0;
}

int StartRenderer(plat::WindowHandle hWnd, void* hInstance, uint32_t bpp) {
    auto& hook = GetShellHooks().spriteInit;
    if (hook) {
        int r = hook(bpp);
        if (r != 1)
            return r;
    }
    return g_KuSprite.Initialize(&g_KuSystem, hWnd, hInstance, kWidth, kHeight, bpp, g_bFullScreen);
}

int RunShellDialog(plat::WindowHandle hWnd, const plat::DialogTemplate& t, plat::DialogProc proc) {
    g_KuSprite.FlipToGDISurface();
    intptr_t r = plat::RunDialog(hWnd, t, proc);
    g_KuSprite.EndGDISurface();
    return static_cast<int>(r);
}

void ExitPath(plat::WindowHandle hWnd, bool ask) {
    if (g_bExitConfirm && ask) {
        if (RunShellDialog(hWnd, ExitConfirmDialogTemplate(), &ExitConfirmDlgProc) != 1)
            return;
    }
    plat::SleepMs(50);
    SaveAndRelease();
    plat::SleepMs(50);
    plat::PostQuitMessage(0);
}

} // namespace

ShellHooks& GetShellHooks() {
    static ShellHooks hooks;
    return hooks;
}

ShellCounters& GetShellCounters() {
    static ShellCounters counters;
    return counters;
}

namespace {

// The cursor, menu and settings files are read here: the window is made from them.
plat::WindowParams MainWindowParams() {
    int cursorType = LoadCursorType(kCursorFile);
    LoadMainMenu(&g_menuResource);
    plat::WindowParams params;
    params.caption = kCaption;
    params.proc = &WndProc;
    params.icon = &MainIconImage();
    if (cursorType == 1)
        params.cursor = MonochromeCursor();
    else if (cursorType == 2)
        params.cursor = ColorCursor();
    params.menu = &g_menuResource;
    params.clientWidth = kWidth;
    params.clientHeight = kHeight;

    LoadEnvData(kSettingsFile);
    // The resource checks "男性ボイスON"; the marks show the setting that
    // was read, which the game goes by.
    g_menuResource.SetChecked(IDM_MALE_VOICE_ON, g_bMaleVoice != 0);
    g_menuResource.SetChecked(IDM_MALE_VOICE_OFF, g_bMaleVoice == 0);
    g_KuSystem.SetMouseOffsetY(g_bFullScreen ? plat::kSmCyCaption : 0);
    params.fullScreen = g_bFullScreen != 0;
    return params;
}

// Pumps messages, runs a game frame whenever the queue is empty and the window active, and answers a second
// start's request to come forward; returns the quit code, or 0 when a frame ends the game.
int RunMessageLoop(plat::SingleInstance& instance, plat::WindowHandle hWnd) {
    for (;;) {
        if (GetShellHooks().onLoopTurn)
            GetShellHooks().onLoopTurn();
        if (instance.PollRaiseRequest()) {
            ++GetShellCounters().raises;
            plat::RestoreAndRaiseWindow(hWnd);
            if (GetShellHooks().onRaise)
                GetShellHooks().onRaise();
        }
        plat::Message msg;
        if (plat::PeekMessage(&msg)) {
            if (msg.message == plat::kMsgQuit)
                return static_cast<int>(static_cast<intptr_t>(msg.wParam));
            plat::DispatchMessage(msg);
            continue;
        }
        if (g_bActive) {
            if (!AppMain(hWnd))
                return 0;
        } else {
            // Inactive: wait for the next event instead of spinning.
            plat::WaitMessage(10);
        }
    }
}

} // namespace

int WinMain(void* hInstance, void*, const char*, int) {
    g_hInstance = hInstance ? hInstance : &g_instanceToken;
    plat::PrepareWindowSystem();
    plat::SingleInstance instance;
    switch (instance.Acquire(GetShellHooks().instanceName)) {
        case plat::SingleInstance::kOwner: break;
        case plat::SingleInstance::kAlreadyRunning: return 0; // the first one comes forward
        case plat::SingleInstance::kFailed:
            // Better a game without the one-copy guard than none at all.
            plat::DebugOut("Warn: <WinMain> 多重起動の確認ができません\n");
            break;
    }
    plat::ClearLastErrorLine();
    // The menu strip of the first frame is text: its fonts load meanwhile.
    plat::StartFontWarmUp();

    const plat::WindowParams params = MainWindowParams();
    plat::WindowHandle hWnd = plat::CreateMainWindow(params);
    if (!hWnd) {
        plat::MessageBoxOk(nullptr, "初期化に失敗しました", "Error");
        return 1;
    }
    g_hWnd = hWnd;
    g_hMenu = plat::GetWindowMenu(hWnd);
    plat::ShowMainWindow(hWnd);
    plat::SendMessage(hWnd, plat::kMsgPaint, 0, 0);

    int exitCode = RunMessageLoop(instance, hWnd);
    if (g_playFailed) {
        // Shown over the last frame while the game still stands, as at start.
        g_KuSprite.FlipToGDISurface();
        plat::MessageBoxOk(hWnd, g_failText, "Error");
    }
    if (g_playFailed || g_startFailed)
        exitCode = 1;
    plat::SleepMs(50);
    SaveAndRelease();
    plat::SetImeEnabled(true);
    for (int i = 0; i < kMaxCursorCalls && plat::ShowCursor(true) < 0; ++i) {
    }
    plat::DestroyMainWindow(hWnd);
    g_hWnd = nullptr;
    g_hMenu = nullptr;
    return exitCode;
}

int AppMain(plat::WindowHandle hWnd) {
    g_KuSystem.Update(hWnd);
    g_KuSnd.MainLoop(static_cast<unsigned int>(g_KuSystem.GetTime()));
    ++GetShellCounters().frames;
    if (!g_GameMain.GameMainProc())
        return PlayFailed("Error: <AppMain> GAME_MAIN::GameMainProcが失敗しました\n");
    // The game's own quit has released everything and queued the quit:
    // there is nothing left to draw.
    if (!g_bLibraryInit)
        return 1;
    if (!AppDraw())
        return PlayFailed("Error: <AppMain> 描画に失敗しました\n");
    return 1;
}

int AppDraw() {
    if (!g_bDialogOpen) {
        int r = DrawMenuBarFullScreen(g_hWnd, &g_KuSystem, &g_GameMain);
        if (r == 0)
            g_bMenuOpen = 1;
        else if (r == 1)
            g_bMenuOpen = 0;
    } else if (g_GameMain.GetMode() == GAME_MAIN::kModeDemo) {
        plat::SendMessage(g_hWnd, plat::kMsgMove, 0, 0);
    }
    bool changed = g_bMenuOpen != g_bMenuOpenOld || g_bMoviePlay != g_bMoviePlayOld;
    int result = 1;
    if (!g_bMenuOpen && !g_bMoviePlay) {
        if (changed)
            g_KuSprite.EndGDISurface();
        if (!g_GameMain.GameMainDraw())
            result = 0;
    } else if (changed) {
        g_KuSprite.FlipToGDISurface();
        plat::RedrawWindow(g_hWnd);
    }
    g_bMenuOpenOld = g_bMenuOpen;
    g_bMoviePlayOld = g_bMoviePlay;
    return result;
}

int DrawMenuBarFullScreen(plat::WindowHandle hWnd, KUSYSTEM* sys, GAME_MAIN* game) {
    if (!hWnd || !sys || !game)
        return -1;
    if (game->GetMode() == GAME_MAIN::kModeDemo)
        return 2;
    if (!g_bFullScreen)
        return 1;
    int x = 0, y = 0;
    sys->GetMousePos(&x, &y);
    if (y < plat::kSmCyCaption) {
        if (!g_bMenuBarShown) {
            if (!plat::GetWindowMenu(hWnd)) {
                sys->TracePrint("Error: <DrawMenuBarFullScreen> DrawMenuBarが失敗しました\n");
                return -1;
            }
            plat::ShowFullScreenMenuBar(hWnd, true);
            g_bMenuBarShown = 1;
        }
        return 0;
    }
    if (g_bMenuBarShown)
        plat::ShowFullScreenMenuBar(hWnd, false);
    g_bMenuBarShown = 0;
    return 1;
}

int LibraryInitialize(plat::WindowHandle hWnd, void* hInstance) {
    g_KuSystem.Initialize(hWnd, 1);
    g_KuSystem.SetMouseOffsetY(g_bFullScreen ? plat::kSmCyCaption : 0);
    char text[256];
    if (g_bFullScreen) {
        snprintf(text, sizeof(text),
                 "Message: <LibraryInitialize> サイズ:%dx%d ビット深度:%d "
                 "フルスクリーンでグラフィックデバイスを初期化します\n",
                 kWidth, kHeight, static_cast<int>(g_dwScreenBpp));
    } else {
        snprintf(text, sizeof(text),
                 "Message: <LibraryInitialize> サイズ:%dx%d ウィンドウモードでグラフィックデバイスを初期化します\n",
                 kWidth, kHeight);
    }
    Log(text);

    int r = StartRenderer(hWnd, hInstance, g_dwScreenBpp);
    for (uint32_t fallback : {24u, 16u}) {
        if (r != 0)
            break;
        g_dwScreenBpp = fallback;
        snprintf(text, sizeof(text),
                 "Message: <LibraryInitialize> サイズ:%dx%d、ビット深度:%dでウィンドウを生成します\n", kWidth, kHeight,
                 static_cast<int>(fallback));
        Log(text);
        r = StartRenderer(hWnd, hInstance, g_dwScreenBpp);
    }
    if (r != 1) {
        Log("Error: <LibraryInitialize> スプライトライブラリの初期化に失敗しました\n");
        return 0;
    }
    // Movie pictures go to the window over the last game frame.
    plat::InstallMovieScreen();

    int snd = GetShellHooks().soundInit ? GetShellHooks().soundInit() : 0;
    if (snd >= 0)
        snd = g_KuSnd.Initialize(&g_KuSystem, hWnd, hInstance, g_dwWindowStyle);
    if (snd < 0) {
        g_bSoundEnable = 0;
        if (g_bSoundWarning)
            RunShellDialog(hWnd, SoundWarningDialogTemplate(), &SoundWarningDlgProc);
    }

    if (!g_GameMain.Initialize(&g_KuSystem, &g_KuSprite, &g_KuSnd)) {
        Log("Error: <LibraryInitialize> ゲームメインクラスの初期化に失敗しました\n");
        return 0;
    }
    return 1;
}

int app::LibraryRelease() {
    ++GetShellCounters().libraryRelease;
    g_GameMain.Release();
    g_KuSnd.Release();
    g_KuSprite.Release();
    if (plat::StatFile(kTempFolderName).isDirectory) {
        g_KuSystem.RemoveFile(kTempFolder, nullptr, 1);
        plat::RemoveDir(kTempFolderName);
    }
    g_KuSystem.RemoveTempFiles();
    return 1;
}

int app::ChangeScreenMode(int fullScreen, int bpp) {
    uint32_t width = 0, height = 0, curBpp = 0, bestBpp = 0;
    int curFull = 0;
    if (!g_KuSprite.GetScreenMode(&width, &height, &curBpp, &bestBpp, &curFull)) {
        Log("Error: <ChangeScreenMode> 画面フォーマットの取得に失敗しました\n");
        return 0;
    }
    uint32_t depth = bpp == 0 ? g_dwScreenBpp : static_cast<uint32_t>(bpp < 16 ? 16 : bpp);
    if (bestBpp && depth > bestBpp)
        depth = bestBpp;
    bool full = fullScreen != 0;
    bool same = full ? (curFull && curBpp == depth) : !curFull;
    if (!same) {
        plat::SetWindowFullScreen(g_hWnd, full);
        if (g_KuSprite.ChangeScreenMode(full ? 1 : 0, depth) != 1) {
            Log("Error: <ChangeScreenMode> スクリーンモードの切り替えに失敗しました\n");
            plat::SetWindowFullScreen(g_hWnd, g_bFullScreen != 0);
            return 0;
        }
        if (full) {
            g_KuSprite.D3DXDrawStart();
            g_KuSprite.D3DXDrawEnd();
            g_KuSystem.SetMouseOffsetY(plat::kSmCyCaption);
        } else {
            ::CenterWindow(g_hWnd);
            RemoveSysCommandMenuItems(g_hWnd);
            g_KuSystem.SetMouseOffsetY(0);
        }
    }
    g_bFullScreen = full ? 1 : 0;
    g_dwWindowStyle = full ? plat::kStyleFullScreen : (same ? g_dwWindowStyle : plat::kStyleWindowSwitched);
    g_dwScreenBpp = depth;
    g_bMenuBarShown = 0;
    return 1;
}

int CenterWindow(plat::WindowHandle hWnd) { return plat::CenterWindow(hWnd) ? 1 : 0; }

// The window's menu bar holds no system commands: nothing to remove.
int RemoveSysCommandMenuItems(plat::WindowHandle hWnd) {
    plat::DrawMenuBar(hWnd);
    return hWnd ? 1 : 0;
}

int SetMaleVoiceONMenuProc(plat::WindowHandle hWnd, int on) {
    plat::MenuModel* menu = plat::GetWindowMenu(hWnd);
    int other = on ? IDM_MALE_VOICE_OFF : IDM_MALE_VOICE_ON;
    int chosen = on ? IDM_MALE_VOICE_ON : IDM_MALE_VOICE_OFF;
    if (!menu || !menu->SetChecked(other, false)) {
        plat::DebugOut("Error: <SetMaleVoiceONMenuProc> メニューのチェック解除に失敗しました\n");
        return 0;
    }
    if (!menu->SetChecked(chosen, true)) {
        plat::DebugOut("Error: <SetBGMOnMenuProc> メニューのチェックに失敗しました\n");
        if (!on)
            Log("Error: <SetBGMOnMenuProc> メニューのチェックに失敗しました\n");
        return 0;
    }
    if (on) {
        g_bMaleVoice = 1;
    } else {
        VoiceStop(&g_KuSnd, &g_KuSystem);
        g_bMaleVoice = 0;
    }
    plat::DrawMenuBar(hWnd);
    return 1;
}

intptr_t WndProc(plat::WindowHandle hWnd, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case plat::kMsgCreate:
            g_hWnd = hWnd;
            if (!LibraryInitialize(hWnd, g_hInstance)) {
                plat::MessageBoxOk(nullptr, "初期化に失敗しました", "Error");
                g_startFailed = true;
                g_bExitConfirm = 0;
                plat::SendMessage(hWnd, plat::kMsgDestroy, 0, 0);
            }
            plat::SetImeEnabled(false);
            g_bLibraryInit = 1;
            BGM_DA_SetVolume(&g_KuSnd, &g_KuSystem, static_cast<int>(g_dwBGMVolume));
            BGM_DS_SetVolume(&g_KuSnd, &g_KuSystem, static_cast<int>(g_dwBGMVolume));
            VoiceSetVolume(&g_KuSnd, &g_KuSystem, static_cast<int>(g_dwVoiceVolume));
            SESetVolume(&g_KuSnd, &g_KuSystem, static_cast<int>(g_dwSEVolume));
            return 0;
        case plat::kMsgClose:
        case plat::kMsgDestroy:
            ExitPath(hWnd, !(message == plat::kMsgClose && lParam == plat::kCloseFromSystem));
            return 0;
        case plat::kMsgKeyDown:
            if (wParam == plat::kVkEscape)
                plat::SendMessage(hWnd, plat::kMsgDestroy, 0, 0);
            return 0;
        case plat::kMsgKeyUp: {
            const auto& in = plat::InputState::Get();
            if (wParam == 'D' && in.IsVkDown(plat::kVkShift) && in.IsVkDown('A'))
                g_bDebugInfo = g_bDebugInfo ? 0 : 1;
            return 0;
        }
        case plat::kMsgMove: g_KuSnd.DShowChangeSize(2, 1, kWidth, kHeight); return 0;
        case plat::kMsgSize:
            g_KuSystem.SetWindowHandle(hWnd);
            g_KuSnd.DShowChangeSize(2, 1, kWidth, kHeight);
            return 0;
        case plat::kMsgPaint:
            if (!g_bDialogOpen && g_bLibraryInit)
                AppDraw();
            return 0;
        case plat::kMsgActivateApp: g_bActive = wParam ? 1 : 0; return 0;
        case plat::kMsgCommand:
            switch (wParam) {
                case IDM_MALE_VOICE_ON: SetMaleVoiceONMenuProc(hWnd, 1); break;
                case IDM_MALE_VOICE_OFF: SetMaleVoiceONMenuProc(hWnd, 0); break;
                case IDM_ABOUT: RunShellDialog(hWnd, AboutDialogTemplate(), &AboutDlgProc); break;
                case IDM_EXIT: plat::SendMessage(hWnd, plat::kMsgDestroy, 0, 0); break;
                default: break;
            }
            return 0;
        case plat::kMsgEnterMenuLoop:
            g_bMenuOpen = 1;
            plat::DrawMenuBar(hWnd);
            g_KuSprite.FlipToGDISurface();
            g_bActive = 0;
            return 0;
        case plat::kMsgExitMenuLoop:
            g_bMenuOpen = 0;
            g_KuSprite.EndGDISurface();
            g_bActive = 1;
            return 0;
        case plat::kMsgApp + 2:
            if (g_KuSnd.DShowEventNotify(0) < 0)
                plat::DebugOut("Warn: <WndProc> Dshow[Voice]のイベント通知に失敗しました\n");
            return 0;
        case plat::kMsgApp + 3:
            if (g_KuSnd.DShowEventNotify(1) < 0)
                plat::DebugOut("Warn: <WndProc> Dshow[Audio]のイベント通知に失敗しました\n");
            return 0;
        case plat::kMsgApp + 4:
            if (g_KuSnd.DShowEventNotify(2) < 0)
                plat::DebugOut("Warn: <WndProc> Dshow[Movie]のイベント通知に失敗しました\n");
            return 0;
        default: return 0;
    }
}

void ResetShellState() {
    g_hWnd = nullptr;
    g_hMenu = nullptr;
    g_bActive = g_bMenuOpen = g_bMenuOpenOld = g_bMoviePlay = g_bMoviePlayOld = 0;
    g_bDialogOpen = g_bMenuBarShown = g_bLibraryInit = 0;
    g_bExitConfirm = 1;
    g_startFailed = g_playFailed = false;
    g_failText[0] = '\0';
    g_bSoundEnable = 1;
    g_bMaleVoice = 1;
    g_bDebugInfo = 0;
    g_bAutoSkip = 0;
    SetEnvDefaults();
    plat::ResetCursorCount();
    plat::InputState::Get().ReleaseAll();
    GetShellCounters() = ShellCounters();
}
