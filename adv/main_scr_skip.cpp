#include "adv/adv_data.h"
#include "adv/main_scr.h"
#include "engine/kusystem.h"
#include "platform/input_state.h"

// The player's advance and the skip tests that the waiting commands share.

namespace {
constexpr int kSkipKey = 1; // game key: Ctrl
constexpr int kReleased = 3;
} // namespace

uint32_t MAIN_SCR::Now() const { return static_cast<uint32_t>(m_pKUSys->GetTime()); }

bool MAIN_SCR::PlayerClicked() const {
    const int left = m_pKUSys->GetKeyState(plat::kVkLButton);
    return left == kReleased || (left == 0 && m_pKUSys->GetKeyState(plat::kVkReturn) == kReleased);
}

bool MAIN_SCR::SkipKey() const { return m_pKUSys->GetKey(kSkipKey) != 0; }

bool MAIN_SCR::LineRead() const {
    return m_bAutoSkipList && (m_nAutoSkipLine == -1 || m_pAdvData->m_nLine < m_nAutoSkipLine);
}

bool MAIN_SCR::AutoSkipApplies() const {
    const CONTROLLER_WINDOW& bar = m_pAdvData->m_CtrlWnd;
    return LineRead() && bar.m_bAutoSkip && !bar.m_bSkipHold;
}

bool MAIN_SCR::SkipTest() const {
    const ADV_DATA* adv = m_pAdvData;
    if (adv->m_MsgWnd.m_nHistoryCursor != -1)
        return false;
    if (adv->m_bWindowShown && (SkipKey() || AutoSkipApplies()))
        return true;
    return PlayerClicked() && !adv->m_MsgWnd.m_bVoiceHover && adv->m_CtrlWnd.m_nHover == 0;
}

bool MAIN_SCR::FastForward() const {
    return m_pAdvData->m_CtrlWnd.m_bSkipHold && LineRead() && m_pAdvData->m_MsgWnd.m_nHistoryCursor == -1;
}
