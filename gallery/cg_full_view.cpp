#include "game/game_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "game/shell_services.h"
#include "gallery/cg_mode_data.h"
#include "modes/mode_common.h"

namespace {

constexpr uint32_t kFadeMs = 1000;
constexpr uint32_t kCrossFadeMs = 500;
const char* const kSeFiles[5] = {"CGModeCursorON.wav", "CGModePush.wav", "CGModePage.wav", "CGModeReplayIn.wav",
                                 "CGModeReplayOut.wav"};

} // namespace

int CG_MODE_DATA::CGSelectItemDataRelease() {
    if (!m_pKUSys || !m_pKUSprite || !m_pKUSnd)
        return 1;
    for (int slot : {kSlotBG, kSlotMaterial})
        if (GraphicUnload(m_pKUSprite, m_pKUSys, slot) != 1)
            Log("CGSelectItemDataRelease", "画像のアンロードに失敗しました");
    for (int slot = kSeHover; slot <= kSeReplayOut; ++slot)
        if (SEUnload(m_pKUSnd, m_pKUSys, slot) != 1)
            Log("CGSelectItemDataRelease", "SEのアンロードに失敗しました");
    // The names stay so that the resume can load the same atlases again.
    const char* names[4] = {m_szCGAtlas, m_szNextCGAtlas, m_szSceneAtlas, m_szNextSceneAtlas};
    const int slots[4] = {kSlotCG, kSlotCG + 1, kSlotScene, kSlotScene + 1};
    for (int i = 0; i < 4; ++i)
        if (names[i][0] && GraphicUnload(m_pKUSprite, m_pKUSys, slots[i]) != 1)
            Log("CGSelectItemDataRelease", "画像のアンロードに失敗しました");
    m_pKUSprite->ReleaseTextureTextData(kTextTitle);
    m_pKUSprite->ReleaseTextureTextData(kTextTitle + 1);
    return 1;
}

int CG_MODE_DATA::CGSelectItemDataResume() {
    if (!modes::EnginePointersHeld(m_pKUSys, m_pKUSprite, m_pKUSnd, "CG_MODE_DATA::CGSelectItemDataResume"))
        return 0;
    for (int slot : {kSlotBG, kSlotMaterial}) {
        if (GraphicLoad(m_pKUSprite, m_pKUSys, slot) != 1) {
            Log("CGSelectItemDataResume", "画像のロードに失敗しました");
            return 0;
        }
    }
    for (int slot : {kSeHover, kSePush, kSePage, kSeReplayOut}) {
        if (SELoad(m_pKUSnd, m_pKUSys, slot, kSeFiles[slot - kSeHover]) != 1) {
            Log("CGSelectItemDataResume", "SEのロードに失敗しました");
            return 0;
        }
    }
    if (m_szCGAtlas[0] && GraphicLoad(m_pKUSprite, m_pKUSys, kSlotCG) != 1) {
        Log("CGSelectItemDataResume", "画像のロードに失敗しました");
        return 0;
    }
    const char* names[3] = {m_szNextCGAtlas, m_szSceneAtlas, m_szNextSceneAtlas};
    const int slots[3] = {kSlotCG + 1, kSlotScene, kSlotScene + 1};
    for (int i = 0; i < 3; ++i)
        if (names[i][0] && GraphicLoad(m_pKUSprite, m_pKUSys, slots[i]) != 1)
            Log("CGSelectItemDataResume", "画像のロードに失敗しました");
    if (m_szTitle[0])
        BuildTitleText(kTextTitle, m_szTitle);
    if (m_szNextTitle[0])
        BuildTitleText(kTextTitle + 1, m_szNextTitle);
    return 1;
}

int CG_MODE_DATA::ReplayReturn() {
    if (!m_bInit)
        return 0;
    if (GraphicLoad(m_pKUSprite, m_pKUSys, kSlotFade) != 1)
        Log("ReplayReturn", "画像のロードに失敗しました");
    const int resumed = CGSelectItemDataResume();
    m_nHoverId = 0;
    m_fFade = 1.0f;
    m_nState = 0;
    return resumed;
}

int CG_MODE_DATA::CGInspectDataLoad() {
    static const char* const kTag = "CG_MODE_DATA::CGInspectDataLoad";
    if (!modes::EnginePointersHeld(m_pKUSys, m_pKUSprite, m_pKUSnd, kTag))
        return 0;
    for (int slot : {kSlotViewBG, kSlotBar}) {
        if (GraphicLoad(m_pKUSprite, m_pKUSys, slot) != 1) {
            Log("CGInspectDataLoad", "画像のロードに失敗しました");
            return 0;
        }
    }
    const char* files[2] = {m_szViewFile, m_szNextViewFile};
    for (int i = 0; i < 2; ++i) {
        if (!files[i][0])
            continue;
        if (m_pKUSprite->SetGraphicData(static_cast<uint32_t>(kSlotView + i), "tmp/", files[i], 4, 1) != 1) {
            Log("CGInspectDataLoad", "データの設定に失敗しました");
            return -1;
        }
        if (GraphicLoad(m_pKUSprite, m_pKUSys, kSlotView + i) != 1)
            Log("CGInspectDataLoad", "画像のロードに失敗しました");
    }
    for (int slot : {kSeHover, kSePush, kSePage, kSeReplayOut}) {
        if (SELoad(m_pKUSnd, m_pKUSys, slot, kSeFiles[slot - kSeHover]) != 1) {
            Log("CGInspectDataLoad", "SEのロードに失敗しました");
            return 0;
        }
    }
    if (m_cgCtrlWnd.Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, kSlotBar, 0, 0, 228, 116, 566.0f, 480.0f, 228, 0, 456,
                               116, 0.0f, 0.0f, 0.5f) != 1) {
        Log("CGInspectDataLoad", "コントローラーウィンドウの初期化に失敗しました");
        return 0;
    }
    if (!m_cgCtrlWnd.BuildStandardButtons(kTag))
        return 0;
    m_cgCtrlWnd.SetDefaultButtonStatus(this);
    m_cgCtrlWnd.m_bVisible = 1;
    m_cgCtrlWnd.m_fAlpha = 1.0f;
    return 1;
}

int CG_MODE_DATA::CGInspectDataUnload() {
    if (!modes::EnginePointersHeld(m_pKUSys, m_pKUSprite, m_pKUSnd, "CG_MODE_DATA::CGInspectDataUnload"))
        return 0;
    for (int slot : {kSlotViewBG, kSlotBar})
        GraphicUnload(m_pKUSprite, m_pKUSys, slot);
    if (m_szViewFile[0])
        GraphicUnload(m_pKUSprite, m_pKUSys, kSlotView);
    if (m_szNextViewFile[0])
        GraphicUnload(m_pKUSprite, m_pKUSys, kSlotView + 1);
    for (int slot : {kSeHover, kSePush, kSePage, kSeReplayOut})
        SEUnload(m_pKUSnd, m_pKUSys, slot);
    return 1;
}

int CG_MODE_DATA::FullViewProc(int click) {
    const uint32_t now = static_cast<uint32_t>(Now());
    const int k = OpenScene();
    switch (m_nState) {
        case 9:
            m_fFade = Progress(kFadeMs);
            if (m_fFade >= 1.0f) {
                m_fFade = 1.0f;
                CGSelectItemDataRelease();
                CGInspectDataLoad();
                m_fViewAlpha = 1.0f;
                m_fNextViewAlpha = 0.0f;
                m_dwStateTime = now;
                m_nState = 10;
            }
            return 0;
        case 10:
            m_fFade = 1.0f - Progress(kFadeMs);
            if (m_fFade <= 0.0f) {
                m_fFade = 0.0f;
                m_nState = 11;
            }
            return 0;
        case 11: return FullViewControls(click, k, now);
        case 12:
            m_fNextViewAlpha = Progress(kCrossFadeMs);
            m_fViewAlpha = 1.0f - m_fNextViewAlpha;
            if (m_fNextViewAlpha >= 1.0f) {
                m_fNextViewAlpha = 0.0f;
                m_fViewAlpha = 1.0f;
                GraphicUnload(m_pKUSprite, m_pKUSys, kSlotView);
                GraphicUnload(m_pKUSprite, m_pKUSys, kSlotView + 1);
                game::CopyFixed(m_szViewFile, m_szNextViewFile);
                if (m_szViewFile[0]) {
                    if (m_pKUSprite->SetGraphicData(kSlotView, "tmp/", m_szViewFile, 4, 1) != 1) {
                        Log("MainProc", "データの設定に失敗しました");
                        return -1;
                    }
                    if (GraphicLoad(m_pKUSprite, m_pKUSys, kSlotView) != 1)
                        Log("MainProc", "画像のロードに失敗しました");
                }
                m_nState = 11;
            }
            return 0;
        case 13: return LeaveFullView(k, now);
        default: return 0;
    }
}

// The full view's controller bar: turn pages, leave, hide the bar, or show it again on a click.
int CG_MODE_DATA::FullViewControls(int click, int k, uint32_t now) {
    CursorMoveProc();
    int action = 0;
    if (m_bCtrlWndDisp)
        m_cgCtrlWnd.MainProc(&action, this);
    if (action == GALLERY_BAR::kActBack || action == GALLERY_BAR::kActNext)
        return TurnViewPage(action == GALLERY_BAR::kActBack, k, now);
    if (action == GALLERY_BAR::kActStop) {
        m_fFade = 0.0f;
        m_dwStateTime = now;
        m_nState = 13;
    } else if (action == GALLERY_BAR::kActHide) {
        m_bCtrlWndDisp = 0;
    } else if (click == 3) {
        m_bCtrlWndDisp = 1;
    }
    return 0;
}

// Steps the full view to the previous or next picture the player has seen, and sets the bar's arrows for the new
// place.
int CG_MODE_DATA::TurnViewPage(bool back, int k, uint32_t now) {
    CTRL_WND_OBJ& pressed = m_cgCtrlWnd.m_Button[back ? GALLERY_BAR::kBack : GALLERY_BAR::kNext];
    CTRL_WND_OBJ& other = m_cgCtrlWnd.m_Button[back ? GALLERY_BAR::kNext : GALLERY_BAR::kBack];
    int page = 0, cell = 0;
    const int found = back ? IsSelectBackCG(m_nEpisode, k, m_nCGPage, m_nCGNum, &page, &cell)
                           : IsSelectNextCG(m_nEpisode, k, m_nCGPage, m_nCGNum, &page, &cell);
    if (!found) {
        pressed.ChangeState(CTRL_WND_OBJ::kDisabled);
        return 0;
    }
    m_nCGPage = page;
    m_nCGNum = cell;
    if (m_szNextViewFile[0]) {
        if (m_pKUSprite->SetGraphicData(kSlotView + 1, "tmp/", m_szNextViewFile, 4, 1) != 1) {
            Log("MainProc", "データの設定に失敗しました");
            return -1;
        }
        if (GraphicLoad(m_pKUSprite, m_pKUSys, kSlotView + 1) != 1)
            Log("MainProc", "画像のロードに失敗しました");
    }
    char aside[260];
    game::CopyFixed(aside, m_szNextViewFile);
    const int further = back ? IsSelectBackCG(m_nEpisode, k, m_nCGPage, m_nCGNum, nullptr, nullptr)
                             : IsSelectNextCG(m_nEpisode, k, m_nCGPage, m_nCGNum, nullptr, nullptr);
    if (!further)
        pressed.ChangeState(CTRL_WND_OBJ::kDisabled);
    const int opposite = back ? IsSelectNextCG(m_nEpisode, k, m_nCGPage, m_nCGNum, nullptr, nullptr)
                              : IsSelectBackCG(m_nEpisode, k, m_nCGPage, m_nCGNum, nullptr, nullptr);
    other.ChangeState(opposite ? CTRL_WND_OBJ::kNormal : CTRL_WND_OBJ::kDisabled);
    game::CopyFixed(m_szNextViewFile, aside);
    m_fNextViewAlpha = 0.0f;
    m_dwStateTime = now;
    m_nState = 12;
    return 0;
}

// Fades out of the full view back to the selection screen on the page it was opened from.
int CG_MODE_DATA::LeaveFullView(int k, uint32_t now) {
    m_fFade = Progress(kFadeMs);
    if (m_fFade >= 1.0f) {
        m_fFade = 1.0f;
        CGInspectDataUnload();
        CGSelectItemDataResume();
        SetDataSceneCG(m_nEpisode, k, m_nCGPage);
        for (int i = 0; i < kCGCells; ++i) {
            const CG_SELECT_ITEM_DATA& next = m_nextCGItem[i];
            m_cgItem[i].SetData(&next.bDispFlg, &next.bSelectFlg, &next.bFullCGFlg, nullptr, nullptr, &next.rcDraw,
                                nullptr, next.szName);
            m_nextCGItem[i].ClearContent();
        }
        m_dwStateTime = now;
        m_nState = 1;
    }
    return 0;
}
