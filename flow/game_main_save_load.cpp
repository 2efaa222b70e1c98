#include <cstdio>

#include "adv/adv_data.h"
#include "engine/game_paths.h"
#include "engine/kucode.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "flow/delete_mode.h"
#include "game/fixed_string.h"
#include "flow/game_main.h"
#include "game/mode_results.h"
#include "game/shell_services.h"
#include "modes/load_mode_data.h"
#include "modes/save_mode_data.h"
#include "modes/title_mode_data.h"

// The save and load screens' roads: over the running game (the adventure's
// results 4 and 5) and from the title's load row.

void GAME_MAIN::ResumeAdventure() {
    if (!m_pAdvData)
        return;
    m_pAdvData->ShowMessageWhole();
    m_pAdvData->SetControllerSkipFlags();
    m_pAdvData->LoadDataResume();
    m_pAdvData->m_nPhase = 2;
}

void GAME_MAIN::ResumeLoadedGame() {
    ADV_DATA& adv = *m_pAdvData;
    // The reader goes on after the lines the saved game had read; the
    // interpreter's own line reader counts them, so it skips them too.
    if (adv.m_szScriptName[0] != '\0') {
        char name[ADV_DATA::kNameSize];
        game::CopyFixed(name, adv.m_szScriptName);
        if (adv.m_MainScr.ScriptFileOpen(name, -1)) {
            char line[MAIN_SCR::kLineSize];
            for (int32_t i = 0; i < adv.m_nLine; ++i)
                if (CodeFileReadOneLine(adv.m_pScriptFile, line, sizeof(line)) == -1)
                    break;
        }
    }
    if (adv.m_MainScr.m_szBGMName[0] != '\0')
        BGM_DS_Play(m_pKUSnd, m_pKUSys, adv.m_MainScr.m_bBGMFlag, adv.m_MainScr.m_szBGMName);
    else
        BGM_DS_Stop(m_pKUSnd, m_pKUSys);
    adv.SetControllerSkipFlags();
    adv.LoadDataResume();
    adv.m_nPhase = 2;
}

int GAME_MAIN::OpenSaveLoadOverGame(bool load) {
    m_pAdvData->LoadDataRelease();
    VoiceStop(m_pKUSnd, m_pKUSys);
    int ready = 0;
    if (load) {
        m_pLoadMode = new LOAD_MODE_DATA;
        ready = SetUpScreen(
            [&] { return m_pLoadMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, m_pAdvData, kModeAdventure); },
            "Error: <GAME_MAIN::GameMainProc> LOAD_MODE_DATAクラスの初期化に失敗しました\n");
        if (!ready)
            DeleteMode(m_pLoadMode);
    } else {
        m_pSaveMode = new SAVE_MODE_DATA;
        ready = SetUpScreen([&] { return m_pSaveMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, m_pAdvData); },
                            "Error: <GAME_MAIN::GameMainProc> SAVE_MODE_DATAクラスの初期化に失敗しました\n");
        if (!ready)
            DeleteMode(m_pSaveMode);
    }
    if (!ready) {
        // The adventure would ask again every frame: the game goes on instead.
        ResumeAdventure();
        return 1;
    }
    m_nOldMode = kModeAdventure;
    m_nMode = load ? kModeLoad : kModeSave;
    return 1;
}

int GAME_MAIN::OpenLoadFromTitle() {
    DeleteMode(m_pTitleMode);
    if (!m_pKUSprite->SetGraphicData(3, kTempFolder, "Controller.dds", 4, 1)) {
        ErrorPrint("Error: <GAME_MAIN::GameMainProc> データの設定に失敗しました\n");
        return 0;
    }
    m_pAdvData = new ADV_DATA;
    if (m_pAdvData->Initialize("Init.spt", m_pKUSys, m_pKUSprite, m_pKUSnd, &m_GlobalData)) {
        // The fresh game's pictures wait unloaded until a save is read into it.
        m_pAdvData->LoadDataRelease();
        m_pLoadMode = new LOAD_MODE_DATA;
        if (m_pLoadMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, m_pAdvData, kModeTitle)) {
            m_nOldMode = kModeTitle;
            m_nMode = kModeLoad;
            return 1;
        }
        DeleteMode(m_pLoadMode);
        ErrorPrint("Error: <GAME_MAIN::GameMainProc> LOAD_MODE_DATAクラスの初期化に失敗しました\n");
    } else {
        ErrorPrint("Error: <GAME_MAIN::GameMainProc> ADV_DATAクラスの初期化に失敗しました\n");
    }
    DeleteMode(m_pAdvData);
    if (!EnterTitle(kModeTitle))
        return 0;
    return 1;
}

int GAME_MAIN::ProcSave() {
    if (!m_pSaveMode || !m_pAdvData)
        return 0;
    const int r = m_pSaveMode->MainProc();
    if (r == kModeFailed)
        return 0;
    if (r == SAVE_MODE_DATA::kResultBack) {
        // Deleted first: its dialog gives back the window picture the game uses.
        DeleteMode(m_pSaveMode);
        ResumeAdventure();
        // The back button lies where the story has its controller bar, and
        // the arrow keys or the mouse leave the pointer on it: the next
        // Enter or click there would go to a bar button instead of reading
        // on. The player's pointer is not moved.
        m_pAdvData->PointerOffBar();
        m_nOldMode = kModeSave;
        m_nMode = kModeAdventure;
    } else if (r == SAVE_MODE_DATA::kResultTitle) {
        BGM_DS_Stop(m_pKUSnd, m_pKUSys);
        DeleteMode(m_pSaveMode);
        EndAdventure();
        if (!EnterTitle(kModeSave))
            return 0;
    }
    return 1;
}

int GAME_MAIN::ProcLoad() {
    if (!m_pLoadMode || !m_pAdvData)
        return 0;
    const int r = m_pLoadMode->MainProc();
    if (r == kModeFailed)
        return 0;
    const bool fromTitle = m_pLoadMode->m_nCallMode == LOAD_MODE_DATA::kCallerTitle;
    switch (r) {
        case LOAD_MODE_DATA::kResultLoaded:
            DeleteMode(m_pLoadMode);
            ResumeLoadedGame();
            m_nOldMode = kModeLoad;
            m_nMode = kModeAdventure;
            return 1;
        case LOAD_MODE_DATA::kResultBack:
            DeleteMode(m_pLoadMode);
            ResumeAdventure();
            m_pAdvData->PointerOffBar(); // as after the save screen
            m_nOldMode = kModeLoad;
            m_nMode = kModeAdventure;
            return 1;
        case LOAD_MODE_DATA::kResultTitle:
            BGM_DS_Stop(m_pKUSnd, m_pKUSys);
            DeleteMode(m_pLoadMode);
            if (fromTitle)
                DeleteMode(m_pAdvData); // never played: nothing to record
            else
                EndAdventure();
            if (!EnterTitle(kModeLoad))
                return 0;
            return 1;
        default: return 1;
    }
}
