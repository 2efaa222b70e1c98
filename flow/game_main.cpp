#include "flow/game_main.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "adv/adv_data.h"
#include "engine/game_paths.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "flow/delete_mode.h"
#include "game/game_settings.h"
#include "game/integration_data.h"
#include "game/mode_results.h"
#include "game/shell_services.h"
#include "gallery/cg_mode_data.h"
#include "gallery/bgm_mode_data.h"
#include "gallery/staff_roll_mode_data.h"
#include "modes/config_mode_data.h"
#include "modes/demo_mode_data.h"
#include "modes/load_mode_data.h"
#include "modes/logo_mode_data.h"
#include "modes/save_mode_data.h"
#include "modes/test_mode_data.h"
#include "modes/title_mode_data.h"
#include "platform/clock.h"
#include "platform/debug_out.h"
#include "platform/files.h"
#include "platform/log_line.h"

GAME_MAIN::GAME_MAIN()
    : m_bInit(0),
      m_pKUSys(nullptr),
      m_pKUSprite(nullptr),
      m_pKUSnd(nullptr),
      m_nMode(0),
      m_nOldMode(0),
      m_pAdvData(nullptr),
      m_pLogoMode(nullptr),
      m_pDemoMode(nullptr),
      m_pTitleMode(nullptr),
      m_pTestMode(nullptr),
      m_pConfigMode(nullptr),
      m_pSaveMode(nullptr),
      m_pLoadMode(nullptr),
      m_pCGMode(nullptr),
      m_pBGMMode(nullptr),
      m_pStaffRollMode(nullptr),
      m_bDemoAfterLogo(0),
      m_bTestWaits(0) {
    Release();
}

GAME_MAIN::~GAME_MAIN() { Release(); }

void GAME_MAIN::ErrorPrint(const char* text) {
    if (m_pKUSys)
        m_pKUSys->TracePrint(text);
    else
        plat::DebugOut(text);
}

int GAME_MAIN::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd) {
    Release();
    if (!sys) {
        plat::DebugOut("Error: <GAME_MAIN::Initialize> KUSYSTEMクラスポインタが設定されていません\n");
        return 0;
    }
    m_pKUSys = sys;
    if (m_pKUSys->MakeDirectory(kSaveFolder, 0) == -1)
        ErrorPrint("Warn: <GAME_MAIN::Initialize> savフォルダの作成に失敗しました\n");
    if (!sprite) {
        ErrorPrint("Error: <GAME_MAIN::Initialize> KUSPRITE2クラスポインタが設定されていません\n");
        return 0;
    }
    m_pKUSprite = sprite;
    if (!snd) {
        ErrorPrint("Error: <GAME_MAIN::Initialize> KUSNDクラスポインタが設定されていません\n");
        return 0;
    }
    m_pKUSnd = snd;
    m_nMode = kModeStart;
    m_nOldMode = kModeStart;
    LoadIntegrationData(kIntegrationFile);
    m_bInit = 1;
    return 1;
}

void GAME_MAIN::Release() {
    if (m_pKUSys && m_GlobalData.m_bLoaded) {
        RecordReadPosition();
        if (!m_GlobalData.m_bFileKept)
            SaveIntegrationData(kIntegrationFile);
    }
    m_GlobalData.Clear();
    DeleteMode(m_pAdvData);
    DeleteMode(m_pLogoMode);
    DeleteMode(m_pTitleMode);
    DeleteMode(m_pDemoMode);
    DeleteMode(m_pTestMode);
    DeleteMode(m_pConfigMode);
    DeleteMode(m_pSaveMode);
    DeleteMode(m_pLoadMode);
    DeleteMode(m_pCGMode);
    DeleteMode(m_pBGMMode);
    DeleteMode(m_pStaffRollMode);
    m_bDemoAfterLogo = 0;
    m_bTestWaits = 0;
    m_bInit = 0;
}

// ---- cross-play data ----

namespace {

// Numbered copies "<file>.oldN" that a damaged cross-play file is kept as.
constexpr int kMaxIntegrationCopies = 99;

std::string IntegrationCopy(const char* path, int n) { return std::string(path) + ".old" + std::to_string(n); }

// The temporary files of the write at exit and of the copies, which a run
// killed meanwhile leaves: they hold nothing of the player's (a copy is
// named only when whole), so they go before they could be taken for anything.
void RemoveLeftoverTemporaries(const char* path) {
    plat::RemoveLeftoverFile(std::string(path) + ".tmp");
    for (int n = 1; n <= kMaxIntegrationCopies; ++n)
        plat::RemoveLeftoverFile(IntegrationCopy(path, n) + ".tmp");
}

} // namespace

void GAME_MAIN::LoadIntegrationData(const char* path) {
    m_GlobalData.Clear();
    std::string text;
    bool more = false;
    if (path)
        RemoveLeftoverTemporaries(path);
    // 671 lines of at most 1023 bytes and their LF: what lies past that is
    // no part of a cross-play file, and reading it would only cost memory.
    constexpr uint64_t kMaxIntegrationFile = 671 * 1024;
    const plat::ReadStatus read =
        path ? plat::ReadFileHead(path, kMaxIntegrationFile, &text, &more) : plat::ReadStatus::kMissing;
    if (read == plat::ReadStatus::kRead) {
        // The limit may fall inside a line: its start is no value (a number
        // cut short, a name cut after a lead byte). Only whole lines are
        // read; the copy set aside keeps the rest.
        if (more) {
            const size_t end = text.rfind('\n');
            text.resize(end == std::string::npos ? 0 : end + 1);
        }
        const long hidden = game::ParseIntegrationData(text, &m_GlobalData);
        if (hidden > 0 || more)
            SetAsideIntegrationData(path, text, hidden, more);
    } else if (read == plat::ReadStatus::kFailed) {
        char line[512];
        snprintf(line, sizeof(line),
                 "Warn: <GAME_MAIN::LoadIntegrationData> %s "
                 "を読み込めません。初期状態で続け、このファイルは書き換えません\n",
                 path);
        ErrorPrint(line);
        m_GlobalData.m_bFileKept = 1;
    }
    m_GlobalData.m_bLoaded = 1;
}

void GAME_MAIN::SetAsideIntegrationData(const char* path, const std::string& text, long line, bool more) {
    // The first thing the write at exit would lose: a hidden value, else
    // what lies past the part read.
    char lost[64];
    if (line > 0)
        snprintf(lost, sizeof(lost), "%ld行目", line);
    else
        snprintf(lost, sizeof(lost), "%zuバイトより後", text.size());
    // Numbered copies beside the file, none ever written over; a copy of the
    // same bytes left by an earlier run that did not get to write is reused.
    for (int n = 1; n <= kMaxIntegrationCopies; ++n) {
        const std::string copy = IntegrationCopy(path, n);
        // Past the part read, the file alone holds its bytes: a hard link
        // keeps them at no cost where the disk has them, else a copy.
        int err = more ? plat::SetAsideFile(path, copy) : plat::WriteNewFile(copy, text);
        const bool made = err == 0;
        if (err == EEXIST) {
            if (!plat::SameFileBytes(path, copy))
                continue;
            err = 0;
        }
        if (err != 0)
            break;
        // A second name of the file is no copy of its own: an edit in place
        // of the file (a crash before the write at exit leaves it to the
        // player) would cut both. The file is replaced at once, as the write
        // at exit replaces it; where even that fails, it is kept as it is.
        if (plat::SameFile(path, copy) && !plat::WriteFileAtomic(path, game::FormatIntegrationData(m_GlobalData))) {
            if (made)
                plat::UnlinkFile(copy);
            break;
        }
        char msg[512];
        plat::FormatLogLine(msg, sizeof(msg),
                            "Warn: <GAME_MAIN::LoadIntegrationData> %s の%sを読めません。"
                            "元のファイルを %s に残し、終了時に書き直します\n",
                            path, lost, copy.c_str());
        ErrorPrint(msg);
        return;
    }
    char msg[512];
    plat::FormatLogLine(msg, sizeof(msg),
                        "Warn: <GAME_MAIN::LoadIntegrationData> %s の%sを読めません。"
                        "読めた分で続け、このファイルは書き換えません\n",
                        path, lost);
    ErrorPrint(msg);
    m_GlobalData.m_bFileKept = 1;
}

int GAME_MAIN::SaveIntegrationData(const char* path) {
    if (!m_bInit) {
        ErrorPrint("Error: <GAME_MAIN::LoadIntegrationData> 初期化されていません\n");
        return 0;
    }
    if (!path) {
        ErrorPrint("Error: <GAME_MAIN::SaveIntegrationData> ファイルオープンに失敗しました\n");
        return 0;
    }
    const std::string text = game::FormatIntegrationData(m_GlobalData);
    // Written beside the old file, synced and renamed over it, so neither a
    // failed write nor a power cut loses the last good file.
    FILE* f = plat::BeginReplaceFile(path); // made afresh, never through a link
    if (!f) {
        ErrorPrint("Error: <GAME_MAIN::SaveIntegrationData> ファイルオープンに失敗しました\n");
        return 0;
    }
    const bool written = fwrite(text.data(), 1, text.size(), f) == text.size();
    if (!plat::FinishReplaceFile(f, path, written, plat::Durability::kSynced)) {
        ErrorPrint("Error: <GAME_MAIN::SaveIntegrationData> ファイルの書き込みに失敗しました\n");
        return 0;
    }
    return 1;
}

// ---- mode switch ----

void GAME_MAIN::RecordReadPosition() {
    // The adventure under a load screen opened from the title has read nothing yet.
    if (m_pLoadMode && m_pLoadMode->m_nCallMode == LOAD_MODE_DATA::kCallerTitle)
        return;
    if (m_pAdvData)
        m_pAdvData->RecordReadPosition();
}

void GAME_MAIN::EndAdventure() {
    RecordReadPosition();
    DeleteMode(m_pAdvData);
}

int GAME_MAIN::StartTitle() {
    m_pTitleMode = new TITLE_MODE_DATA;
    return m_pTitleMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd);
}

int GAME_MAIN::EnterTitle(int fromMode) {
    if (!StartTitle()) {
        ErrorPrint("Error: <GAME_MAIN::GameMainProc> タイトルモードデータクラスの初期化に失敗しました\n");
        return 0;
    }
    m_nOldMode = fromMode;
    m_nMode = kModeTitle;
    return 1;
}

int GAME_MAIN::ProcStart() {
    if (!DataSet()) {
        ErrorPrint("Error: <GAME_MAIN::GameMainProc> データのセットに失敗しました\n");
        return 0;
    }
    m_pLogoMode = new LOGO_MODE_DATA;
    if (!m_pLogoMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd)) {
        ErrorPrint("Error: <GAME_MAIN::GameMainProc> LOGO_MODE_DATAクラスの初期化に失敗しました\n");
        return 0;
    }
    m_nOldMode = kModeStart;
    m_nMode = kModeLogo;
    return 1;
}

int GAME_MAIN::ProcLogo() {
    if (!m_pLogoMode)
        return 0;
    int r = m_pLogoMode->MainProc();
    if (r == kModeFailed)
        return 0;
    if (r == LOGO_MODE_DATA::kResultDone) {
        DeleteMode(m_pLogoMode);
        m_nOldMode = kModeLogo;
        if (m_bDemoAfterLogo && DemoMoviePresent()) {
            m_bDemoAfterLogo = 0;
            m_pDemoMode = new DEMO_MODE_DATA;
            if (m_pDemoMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd)) {
                m_nMode = kModeDemo;
                return 1;
            }
            DeleteMode(m_pDemoMode);
            ErrorPrint("Error: <GAME_MAIN::GameMainProc> DEMO_MODE_DATAクラスの初期化に失敗しました\n");
        }
        m_bDemoAfterLogo = 0;
        StartTitle();
        m_nMode = kModeTitle;
    }
    return 1;
}

int GAME_MAIN::StartLogo() {
    m_pLogoMode = new LOGO_MODE_DATA;
    if (m_pLogoMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd))
        return 1;
    DeleteMode(m_pLogoMode);
    ErrorPrint("Error: <GAME_MAIN::GameMainProc> LOGO_MODE_DATAクラスの初期化に失敗しました\n");
    return 0;
}

int GAME_MAIN::ProcDemo() {
    if (!m_pDemoMode)
        return 0;
    int r = m_pDemoMode->MainProc();
    if (r == kModeFailed)
        return 0;
    if (r == DEMO_MODE_DATA::kResultDone) {
        DeleteMode(m_pDemoMode);
        StartTitle();
        m_nOldMode = kModeDemo;
        m_nMode = kModeTitle;
    }
    return 1;
}

int GAME_MAIN::QuitGame() {
    BGM_DS_Stop(m_pKUSnd, m_pKUSys);
    plat::SleepMs(50);
    if (g_bLibraryInit) {
        SaveSettings(kSettingsFile);
        plat::SleepMs(50);
        LibraryRelease();
        g_bLibraryInit = 0;
    }
    plat::SleepMs(50);
    PostQuitMessage(0);
    return 1;
}

int GAME_MAIN::ProcTitle() {
    if (!m_pTitleMode)
        return 0;
    int r = m_pTitleMode->MainProc();
    switch (r) {
        case kModeFailed: return 0;
        case TITLE_MODE_DATA::kResultNewGame:
            DeleteMode(m_pTitleMode);
            if (!m_pKUSprite->SetGraphicData(3, kTempFolder, "Controller.dds", 4, 1)) {
                ErrorPrint("Error: <GAME_MAIN::GameMainProc> データの設定に失敗しました\n");
                return 0;
            }
            m_pAdvData = new ADV_DATA;
            m_pAdvData->Initialize("Init.spt", m_pKUSys, m_pKUSprite, m_pKUSnd, &m_GlobalData);
            BGM_DS_Stop(m_pKUSnd, m_pKUSys);
            m_nOldMode = kModeTitle;
            m_nMode = kModeAdventure;
            return 1;
        case TITLE_MODE_DATA::kResultLoad: return OpenLoadFromTitle();
        case TITLE_MODE_DATA::kResultConfig:
            DeleteMode(m_pTitleMode);
            m_pConfigMode = new CONFIG_MODE_DATA;
            m_pConfigMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, nullptr);
            m_nOldMode = kModeTitle;
            m_nMode = kModeConfig;
            return 1;
        case TITLE_MODE_DATA::kResultGallery:
            DeleteMode(m_pTitleMode);
            BGM_DS_Stop(m_pKUSnd, m_pKUSys);
            // Only its pictures are checked: without its data script the
            // gallery still runs, each reader logging the missing member.
            if (!ModeDataPresent(nullptr,
                                 {CG_MODE_DATA::kSlotFade, CG_MODE_DATA::kSlotMaterial, CG_MODE_DATA::kSlotBar,
                                  CG_MODE_DATA::kSlotBG},
                                 "タイトルに戻ります"))
                return EnterTitle(kModeTitle);
            m_pCGMode = new CG_MODE_DATA;
            if (!m_pCGMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, &m_GlobalData, kGalleryScript)) {
                DeleteMode(m_pCGMode);
                ErrorPrint("Error: <GAME_MAIN::GameMainProc> CGモードデータクラスの初期化に失敗しました\n");
                return EnterTitle(kModeTitle);
            }
            m_nOldMode = kModeTitle;
            m_nMode = kModeGallery;
            return 1;
        case TITLE_MODE_DATA::kResultMusicRoom:
            DeleteMode(m_pTitleMode);
            BGM_DS_Stop(m_pKUSnd, m_pKUSys);
            if (!ModeDataPresent(BGM_MODE_DATA::kScript,
                                 {BGM_MODE_DATA::kSlotFade, BGM_MODE_DATA::kSlotMaterial, BGM_MODE_DATA::kSlotBar,
                                  BGM_MODE_DATA::kSlotBG},
                                 "タイトルに戻ります"))
                return EnterTitle(kModeTitle);
            m_pBGMMode = new BGM_MODE_DATA;
            if (!m_pBGMMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd)) {
                DeleteMode(m_pBGMMode);
                ErrorPrint("Error: <GAME_MAIN::GameMainProc> BGM_MODE_DATAクラスの初期化に失敗しました\n");
                return EnterTitle(kModeTitle);
            }
            m_nOldMode = kModeTitle;
            m_nMode = kModeMusicRoom;
            return 1;
        case TITLE_MODE_DATA::kResultQuit: return QuitGame();
        case TITLE_MODE_DATA::kResultIdle:
            DeleteMode(m_pTitleMode);
            m_pLogoMode = new LOGO_MODE_DATA;
            m_pLogoMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd);
            m_bDemoAfterLogo = 1;
            BGM_DS_Stop(m_pKUSnd, m_pKUSys);
            m_nOldMode = kModeTitle;
            m_nMode = kModeLogo;
            return 1;
        default: return 1;
    }
}

int GAME_MAIN::ProcAdventure() {
    if (!m_pAdvData)
        return 0;
    if (TestWaitsForClick())
        return 1;
    int r = m_pAdvData->MainProc();
    switch (r) {
        case kModeFailed: return 0;
        case ADV_DATA::kResultEnd: {
            // The story's end: the staff roll, then the logo.
            RecordReadPosition();
            DeleteMode(m_pAdvData);
            BGM_DS_Stop(m_pKUSnd, m_pKUSys);
            m_nOldMode = kModeAdventure;
            if (ModeDataPresent(STAFF_ROLL_MODE_DATA::kScript, {}, "ロゴに進みます")) {
                m_pStaffRollMode = new STAFF_ROLL_MODE_DATA;
                if (m_pStaffRollMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd)) {
                    m_nMode = kModeStaffRoll;
                    return 1;
                }
                DeleteMode(m_pStaffRollMode);
                ErrorPrint("Error: <GAME_MAIN::GameMainProc> STAFF_ROLL_MODE_DATAクラスの初期化に失敗しました\n");
            }
            if (!StartLogo())
                return 0;
            m_nMode = kModeLogo;
            return 1;
        }
        case ADV_DATA::kResultConfig: return OpenConfigOverGame(kModeAdventure);
        case ADV_DATA::kResultTest: return StartTest();
        case ADV_DATA::kResultSave:
        case ADV_DATA::kResultLoad: return OpenSaveLoadOverGame(r == ADV_DATA::kResultLoad);
        default: return 1;
    }
}

int GAME_MAIN::ProcConfig() {
    if (!m_pConfigMode)
        return 0;
    int r = m_pConfigMode->MainProc();
    if (r == kModeFailed)
        return 0;
    if (r == CONFIG_MODE_DATA::kResultBack) {
        DeleteMode(m_pConfigMode);
        switch (m_nOldMode) {
            case kModeAdventure:
            case kModeSceneReplay:
                if (m_pAdvData) {
                    m_pAdvData->ShowMessageWhole();
                    m_pAdvData->SetControllerSkipFlags();
                    m_pAdvData->LoadDataResume();
                    m_pAdvData->m_nPhase = 2;
                }
                m_nMode = m_nOldMode;
                m_nOldMode = kModeConfig;
                break;
            case kModeTest:
                if (m_pTestMode) {
                    m_pTestMode->TestModeDataLoad();
                    m_pTestMode->m_nPhase = 10;
                }
                m_nOldMode = kModeConfig;
                m_nMode = kModeTest;
                break;
            case kModeTitle:
                if (!EnterTitle(kModeConfig))
                    return 0;
                break;
            default: break;
        }
        return 1;
    }
    if (r == CONFIG_MODE_DATA::kResultTitle) {
        BGM_DS_Stop(m_pKUSnd, m_pKUSys);
        DeleteMode(m_pConfigMode);
        if (m_nOldMode == kModeTest)
            DeleteMode(m_pTestMode);
        if (m_nOldMode == kModeAdventure || m_nOldMode == kModeTest)
            EndAdventure();
        if (m_nOldMode == kModeSceneReplay) {
            DeleteMode(m_pAdvData);
            DeleteMode(m_pCGMode);
        }
        if (!EnterTitle(kModeConfig))
            return 0;
    }
    return 1;
}

int GAME_MAIN::ProcTest() {
    if (!m_pTestMode || !m_pAdvData)
        return 0;
    const int r = m_pTestMode->MainProc();
    if (r == -1)
        return 0;
    if (r == TEST_MODE_DATA::kResultDone) {
        DeleteMode(m_pTestMode);
        // Done: the adventure must not ask for the exam again.
        m_pAdvData->m_nTestNum = -1;
        m_pAdvData->LoadDataResume();
        m_pAdvData->m_nPhase = 2;
        m_nOldMode = kModeTest;
        m_nMode = kModeAdventure;
    } else if (r == TEST_MODE_DATA::kResultConfig) {
        return OpenConfigOverGame(kModeTest);
    }
    return 1;
}

int GAME_MAIN::ProcGallery() {
    if (!m_pCGMode)
        return 0;
    const int r = m_pCGMode->MainProc();
    if (r == -1)
        return 0;
    if (r == CG_MODE_DATA::kResultLeave) {
        DeleteMode(m_pCGMode);
        BGM_DS_Stop(m_pKUSnd, m_pKUSys);
        if (!EnterTitle(kModeGallery))
            return 0;
    } else if (r == CG_MODE_DATA::kResultReplay) {
        return StartSceneReplay();
    }
    return 1;
}

int GAME_MAIN::StartSceneReplay() {
    // The gallery stays, covered, while the chosen scene plays; the open
    // scene cell's name is the initialisation script of its replay.
    const int cell = m_pCGMode->m_nOpenCell;
    const char* script = cell >= 1 && cell <= CG_MODE_DATA::kSceneCells ? m_pCGMode->m_sceneItem[cell - 1].szName : "";
    if (!script[0]) {
        ErrorPrint("Warn: <GAME_MAIN::GameMainProc> 回想するシーンがありません。ギャラリーに戻ります\n");
        m_pCGMode->ReplayReturn();
        return 1;
    }
    if (!ModeDataPresent(script, {}, "ギャラリーに戻ります")) {
        m_pCGMode->ReplayReturn();
        return 1;
    }
    BGM_DS_Stop(m_pKUSnd, m_pKUSys);
    if (!m_pKUSprite->SetGraphicData(3, kTempFolder, "Controller.dds", 4, 1)) {
        ErrorPrint("Error: <GAME_MAIN::GameMainProc> データの設定に失敗しました\n");
        return 0;
    }
    // The scene gets the memory of the gallery's pages; they come back with it.
    m_pCGMode->CGSelectItemDataRelease();
    m_pAdvData = new ADV_DATA;
    if (!m_pAdvData->Initialize(script, m_pKUSys, m_pKUSprite, m_pKUSnd, &m_GlobalData)) {
        // A replay that cannot start must not end the game: the gallery goes on.
        ErrorPrint("Error: <GAME_MAIN::GameMainProc> シーン回想の開始に失敗しました。ギャラリーに戻ります\n");
        EndSceneReplay();
        return 1;
    }
    m_pAdvData->m_CtrlWnd.DisableSaveLoad();
    m_nOldMode = kModeGallery;
    m_nMode = kModeSceneReplay;
    return 1;
}

void GAME_MAIN::EndSceneReplay() {
    DeleteMode(m_pAdvData);
    BGM_DS_Stop(m_pKUSnd, m_pKUSys);
    m_pCGMode->ReplayReturn();
    m_nOldMode = m_nMode;
    m_nMode = kModeGallery;
}

int GAME_MAIN::ProcMusicRoom() {
    if (!m_pBGMMode)
        return 0;
    int r = m_pBGMMode->MainProc();
    if (r == -1)
        return 0;
    if (r == 1) {
        // The room leaves its music running; the title starts its own.
        DeleteMode(m_pBGMMode);
        if (!EnterTitle(kModeMusicRoom))
            return 0;
    }
    return 1;
}

int GAME_MAIN::ProcStaffRoll() {
    if (!m_pStaffRollMode)
        return 0;
    int r = m_pStaffRollMode->MainProc();
    if (r == -1)
        return 0;
    if (r == 1) {
        DeleteMode(m_pStaffRollMode);
        if (!StartLogo())
            return 0;
        m_nOldMode = kModeStaffRoll;
        m_nMode = kModeLogo;
    }
    return 1;
}

int GAME_MAIN::ProcSceneReplay() {
    if (!m_pAdvData || !m_pCGMode)
        return 0;
    const int r = m_pAdvData->MainProc();
    switch (r) {
        case ADV_DATA::kResultGoOn: return 1;
        case ADV_DATA::kResultConfig: return OpenConfigOverGame(kModeSceneReplay);
        case kModeFailed:
            // A scene that cannot be read on is only a replay: the gallery goes on.
            ErrorPrint("Error: <GAME_MAIN::GameMainProc> シーン回想でエラーが発生しました。ギャラリーに戻ります\n");
            EndSceneReplay();
            return 1;
        default:
            // The scene is over (or asks for a screen a replay does not
            // offer): back to the gallery at the page it was chosen from.
            EndSceneReplay();
            return 1;
    }
}

int GAME_MAIN::GameMainProc() {
    if (!m_bInit) {
        ErrorPrint("Error: <GAME_MAIN::GameMainProc> 初期化されていません\n");
        return 0;
    }
    switch (m_nMode) {
        case kModeStart: return ProcStart();
        case kModeLogo: return ProcLogo();
        case kModeDemo: return ProcDemo();
        case kModeTitle: return ProcTitle();
        case kModeAdventure: return ProcAdventure();
        case kModeTest: return ProcTest();
        case kModeConfig: return ProcConfig();
        case kModeSave: return ProcSave();
        case kModeLoad: return ProcLoad();
        case kModeGallery: return ProcGallery();
        case kModeSceneReplay: return ProcSceneReplay();
        case kModeMusicRoom: return ProcMusicRoom();
        case kModeStaffRoll: return ProcStaffRoll();
        default:
            // No other mode is numbered.
            return 1;
    }
}

int GAME_MAIN::GameMainDraw() {
    if (!m_bInit) {
        ErrorPrint("Error: <GAME_MAIN::GameMainDraw> 初期化されていません\n");
        return 0;
    }
    if (m_pKUSprite->D3DXDrawStart() < 0)
        ErrorPrint("Error: <GAME_MAIN::GameMainDraw> 描画開始に失敗しました\n");
    int drawn = 1;
    switch (m_nMode) {
        case kModeLogo: drawn = m_pLogoMode ? m_pLogoMode->DrawProc() : 0; break;
        case kModeTitle: drawn = m_pTitleMode ? m_pTitleMode->DrawProc() : 0; break;
        case kModeAdventure: drawn = m_pAdvData ? m_pAdvData->DrawProc() : 0; break;
        case kModeTest: drawn = m_pTestMode ? m_pTestMode->DrawProc() : 0; break;
        case kModeConfig: drawn = m_pConfigMode ? m_pConfigMode->DrawProc() : 0; break;
        case kModeSave: drawn = m_pSaveMode ? m_pSaveMode->DrawProc() : 0; break;
        case kModeLoad: drawn = m_pLoadMode ? m_pLoadMode->DrawProc() : 0; break;
        case kModeGallery: drawn = m_pCGMode ? m_pCGMode->DrawProc() : 0; break;
        case kModeSceneReplay: drawn = m_pAdvData ? m_pAdvData->DrawProc() : 0; break;
        case kModeMusicRoom: drawn = m_pBGMMode ? m_pBGMMode->DrawProc() : 0; break;
        case kModeStaffRoll: drawn = m_pStaffRollMode ? m_pStaffRollMode->DrawProc() : 0; break;
        default: break;
    }
    if (!drawn)
        ErrorPrint("Error: <GAME_MAIN::GameMianDraw> 描画に失敗しました\n");
    if (g_bDebugInfo)
        m_pKUSprite->FPSCtrl(16, 1, 0, 580, 20, 0xFF);
    else
        m_pKUSprite->FPSCtrl(16, 0, 0, 0, 20, 0xFF00);
    int32_t end = m_pKUSprite->D3DXDrawEnd();
    if (end == kDDErrSurfaceLost || end == kDDErrSurfaceBusy) {
        if (m_pKUSprite->D3DXRestore() < 0)
            ErrorPrint("Error: <GAME_MAIN::GameMianDraw> リストアに失敗しました\n");
    }
    return drawn ? 1 : 0;
}
