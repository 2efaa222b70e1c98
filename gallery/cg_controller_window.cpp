#include "gallery/cg_controller_window.h"

#include "engine/kusystem.h"
#include "game/shell_services.h"
#include "gallery/cg_mode_data.h"
#include "modes/mode_common.h"

CG_CONTROLLER_WINDOW::CG_CONTROLLER_WINDOW() : GALLERY_BAR("CG_CONTROLLER_WINDOW") {}

int CG_CONTROLLER_WINDOW::MainProc(int* action, CG_MODE_DATA* owner) {
    const int start = FrameStart(action, owner);
    if (start <= 0)
        return start < 0 ? 1 : 0;
    const int click = modes::ClickState(m_pKUSys);
    int hovered = 0;
    // The view's buttons answer only while the owner keeps the clicked cell's id.
    const bool ownerActive = owner->m_nHoverId != 0;
    static const struct {
        int button;
        int key;
    } kOrder[4] = {{kStop, 'R'}, {kNext, 'N'}, {kBack, 'B'}, {kHide, 'W'}};
    for (const auto& o : kOrder) {
        CTRL_WND_OBJ& b = m_Button[o.button];
        if (!b.m_bInit || b.m_nState == CTRL_WND_OBJ::kDisabled)
            continue;
        bool held = false;
        if (Step(o.button, o.key, 0, click, &hovered, action, ownerActive, &held))
            SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
    }
    VolumeButtons(click, &hovered, action, kSePush);
    EndFrame(hovered, kSeHover);
    return 1;
}

int CG_CONTROLLER_WINDOW::SetDefaultButtonStatus(const int* load, const int* save, const int* config, const int* play,
                                                 const int* back, const int* next, const int* stop, const int* hide,
                                                 const int* volumeUp, const int* volumeDown) {
    if (!m_bInit) {
        Log("SetDefaultButtonStatus", "初期化されていません");
        return 0;
    }
    const int* given[kButtonCount] = {load, save, config, play, back, next, stop, hide, volumeUp, volumeDown};
    for (int i = 0; i < kButtonCount; ++i) {
        if (!given[i] || !m_Button[i].m_bInit)
            continue;
        if (i == kVolumeUp || i == kVolumeDown)
            m_Button[i].m_nState = VolumeLook(i, *given[i]);
        else
            m_Button[i].m_nState = *given[i] ? CTRL_WND_OBJ::kNormal : CTRL_WND_OBJ::kDisabled;
    }
    return 1;
}

int CG_CONTROLLER_WINDOW::SetDefaultButtonStatus(CG_MODE_DATA* owner) {
    if (!owner) {
        Log("SetDefaultButtonStatus", "アドベンチャーデータポインタが不正です");
        return 0;
    }
    const int k = owner->OpenScene();
    const int back = owner->IsSelectBackCG(owner->m_nEpisode, k, owner->m_nCGPage, owner->m_nCGNum, nullptr, nullptr);
    const int next = owner->IsSelectNextCG(owner->m_nEpisode, k, owner->m_nCGPage, owner->m_nCGNum, nullptr, nullptr);
    const int off = 0, on = 1;
    return SetDefaultButtonStatus(&off, &off, &off, &off, &back, &next, &on, &on, &on, &on);
}
