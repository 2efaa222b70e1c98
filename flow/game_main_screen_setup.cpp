#include <cstring>
#include <string>
#include <string_view>

#include "adv/adv_data.h"
#include "engine/kusystem.h"
#include "flow/delete_mode.h"
#include "engine/trace_hold.h"
#include "engine/virtual_keys.h"
#include "flow/game_main.h"
#include "game/shell_services.h"
#include "modes/config_mode_data.h"
#include "modes/mode_common.h"
#include "modes/test_mode_data.h"

// Screens opened over a game whose set-up fails (a picture that cannot be
// loaded: a full disk under tmp/, a member missing from its archive) never
// end play: the failure is told in a box and the game goes on where it was.

int GAME_MAIN::SetUpScreen(const std::function<int()>& setUp, const char* failLine) {
    std::string said;
    int ready = 0;
    {
        TraceHold hold(m_pKUSys, &said);
        ready = setUp();
    }
    std::string last;
    // Written as said, after the set-up.
    ForEachHeldLine(said, [&](std::string_view line) {
        last.assign(line);
        ErrorPrint(last.c_str());
    });
    if (ready)
        return ready;
    ErrorPrint(failLine);
    if (last.empty())
        last = failLine;
    // The screen's own last word, "Error: <CLASS::Method> text\n", gives the box its text.
    const size_t tag = last.find("> ");
    if (tag != std::string::npos)
        last.erase(0, tag + 2);
    while (!last.empty() && last.back() == '\n')
        last.pop_back();
    modes::ShowErrorBox(m_pKUSys, last);
    return 0;
}

int GAME_MAIN::StartTest() {
    ADV_DATA& adv = *m_pAdvData;
    // The scene is unloaded under the exam and reloaded after it.
    adv.LoadDataRelease();
    VoiceStop(m_pKUSnd, m_pKUSys);
    int32_t masks[TEST_RESULT_DATA::kSubjectCount];
    std::memcpy(masks, adv.m_nTestMask, sizeof(masks));
    m_pTestMode = new TEST_MODE_DATA;
    if (SetUpScreen([&] { return m_pTestMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, m_pAdvData); },
                    "Error: <GAME_MAIN::GameMainProc> TEST_MODE_DATAクラスの初期化に失敗しました\n")) {
        m_nOldMode = kModeAdventure;
        m_nMode = kModeTest;
        return 1;
    }
    // Deleted first: it gives back the window and bar pictures the story uses.
    DeleteMode(m_pTestMode);
    // Questions drawn for an exam that never ran are not spent.
    std::memcpy(adv.m_nTestMask, masks, sizeof(masks));
    adv.LoadDataResume();
    m_bTestWaits = 1;
    return 1;
}

bool GAME_MAIN::TestWaitsForClick() {
    if (!m_bTestWaits)
        return false;
    ADV_DATA& adv = *m_pAdvData;
    // Only the adventure that asked, still at its fade-out, waits.
    if (adv.m_nPhase != 1) {
        m_bTestWaits = 0;
        return false;
    }
    // The story stands uncovered, its exam still asked for; a click fades
    // it out and tries the exam again.
    adv.m_fFade = 0.0f;
    adv.m_dwPhaseStart = static_cast<uint32_t>(m_pKUSys->GetTime());
    if (modes::ClickState(m_pKUSys) != kKeyStateReleased)
        return true;
    m_bTestWaits = 0;
    return false;
}

int GAME_MAIN::OpenConfigOverGame(int fromMode) {
    if (fromMode != kModeTest) {
        m_pAdvData->LoadDataRelease();
        VoiceStop(m_pKUSnd, m_pKUSys);
    }
    m_pConfigMode = new CONFIG_MODE_DATA;
    if (SetUpScreen([&] { return m_pConfigMode->Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, m_pAdvData); },
                    "Error: <GAME_MAIN::GameMainProc> CONFIG_MODE_DATAクラスの初期化に失敗しました\n")) {
        m_nOldMode = fromMode;
        m_nMode = kModeConfig;
        return 1;
    }
    // Deleted first: it gives back the fade picture the game uses.
    DeleteMode(m_pConfigMode);
    if (fromMode == kModeTest) {
        m_pTestMode->TestModeDataLoad();
        m_pTestMode->m_nPhase = 10;
    } else {
        ResumeAdventure();
    }
    return 1;
}
