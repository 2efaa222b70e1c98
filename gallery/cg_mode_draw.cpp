#include <algorithm>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/game_global_data.h"
#include "gallery/cg_mode_data.h"
#include "modes/mode_common.h"

namespace {

// Pieces of the gallery's material sheet.
constexpr KURECT kLockedEpisode{336, 72, 448, 144};
constexpr KURECT kFrame{0, 144, 136, 248};
constexpr KURECT kLock{136, 144, 272, 248};
constexpr KURECT kFullBadge{272, 144, 304, 168};
constexpr KURECT kNumberLabel{0, 248, 40, 264};
constexpr KURECT kSlash{40, 248, 56, 264};
constexpr KURECT kBackArrow[2] = {{272, 168, 328, 184}, {272, 184, 328, 200}};
constexpr KURECT kNextArrow[2] = {{328, 168, 384, 184}, {328, 184, 384, 200}};
constexpr KURECT kPanel{272, 200, 416, 240};
constexpr KURECT kListButton[2] = {{272, 240, 360, 256}, {272, 272, 360, 288}};
constexpr KURECT kReplayButton[2] = {{272, 256, 408, 272}, {272, 288, 408, 304}};
constexpr KURECT kExitButton[2] = {{0, 264, 264, 288}, {0, 288, 264, 312}};

KURECT EpisodeButton(int i) {
    const int l = (i - 1) % 4 * 112, t = (i - 1) / 4 * 72;
    return KURECT{l, t, l + 112, t + 72};
}

KURECT Digit(int d) { return KURECT{56 + 16 * d, 248, 72 + 16 * d, 264}; }

uint32_t TextColour(float a, uint32_t rgb) {
    const float c = std::min(std::max(a, 0.0f), 1.0f);
    return (static_cast<uint32_t>(static_cast<int>(c * 255.0f)) << 24) | rgb;
}

} // namespace

int CG_MODE_DATA::DrawPiece(int slot, float x, float y, const KURECT* src, float alpha) {
    const uint32_t colour = modes::AlphaColor(alpha);
    if (m_pKUSprite->D3DXDrawGraphic(static_cast<uint32_t>(slot), x, y, kDrawTypeAuto, 0, src, 1.0f, 1.0f, &colour, 0) <
        0) {
        Log("DrawProc", "描画に失敗しました");
        return 0;
    }
    return 1;
}

int CG_MODE_DATA::DrawNumber(float x, float y, int n, float a) {
    n = std::max(0, std::min(n, 99));
    if (n < 10) {
        const KURECT d = Digit(n);
        return DrawPiece(kSlotMaterial, x + 40, y, &kNumberLabel, a) && DrawPiece(kSlotMaterial, x + 80, y, &d, a);
    }
    const KURECT tens = Digit(n / 10), ones = Digit(n % 10);
    return DrawPiece(kSlotMaterial, x + 34, y, &kNumberLabel, a) && DrawPiece(kSlotMaterial, x + 74, y, &tens, a) &&
           DrawPiece(kSlotMaterial, x + 86, y, &ones, a);
}

int CG_MODE_DATA::DrawPageNumbers(float y, int page, int max, float a) {
    const int p = std::min(std::max(page, 1), 99), m = std::min(std::max(max, 1), 99);
    const KURECT d[4] = {Digit(p / 10), Digit(p % 10), Digit(m / 10), Digit(m % 10)};
    return DrawPiece(kSlotMaterial, 424, y, &d[0], a) && DrawPiece(kSlotMaterial, 436, y, &d[1], a) &&
           DrawPiece(kSlotMaterial, 448, y, &kSlash, a) && DrawPiece(kSlotMaterial, 461, y, &d[2], a) &&
           DrawPiece(kSlotMaterial, 473, y, &d[3], a);
}

int CG_MODE_DATA::DrawArrow(float x, float y, int id, bool back, int press) {
    const bool hovered = m_nHoverId == id;
    const KURECT* looks = back ? kBackArrow : kNextArrow;
    return DrawPiece(kSlotMaterial, x, y, &looks[hovered && press == 1 ? 1 : 0], hovered ? 1.0f : 0.5f);
}

int CG_MODE_DATA::DrawProc() {
    if (!m_bInit || !m_pKUSys || !m_pKUSprite) {
        Log("DrawProc", "初期化されていません");
        return 0;
    }
    if (m_nState <= 9) {
        if (!DrawSelection(modes::ClickState(m_pKUSys)))
            return 0;
    } else if (m_nState <= 13) {
        if (!DrawFullView())
            return 0;
    }
    if (m_fFade > 0.0f && !DrawPiece(kSlotFade, 0, 0, nullptr, m_fFade))
        return 0;
    return 1;
}

int CG_MODE_DATA::DrawSelection(int press) {
    if (m_pKUSprite->D3DXDrawGraphic(kSlotBG, 0, 0, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f, nullptr, 0) < 0) {
        Log("DrawProc", "描画に失敗しました");
        return 0;
    }
    if (!DrawTitles() || !DrawSceneList(press) || !DrawScenePanels(press) || !DrawCGList(press))
        return 0;
    const bool exit = m_nHoverId == kIdExit;
    return DrawPiece(kSlotMaterial, 284, 568, &kExitButton[exit && press == 1 ? 1 : 0], exit ? 1.0f : 0.5f);
}

// The episode's title and the one fading in, each over its shadow.
int CG_MODE_DATA::DrawTitles() {
    struct Title {
        int slot;
        const char* text;
        const KURECT* rc;
        float chars, alpha;
    } titles[2] = {{kTextTitle, m_szTitle, &m_rcTitle, m_fTitleChars, m_fTitleAlpha},
                   {kTextTitle + 1, m_szNextTitle, &m_rcNextTitle, m_fNextTitleChars, m_fNextTitleAlpha}};
    for (const Title& t : titles) {
        if (!t.text[0] || t.chars == 0.0f || !(t.alpha > 0.0f))
            continue;
        const KURECT shadow{t.rc->left + 1, t.rc->top + 1, t.rc->right + 1, t.rc->bottom + 1};
        if (m_pKUSprite->D3DXDrawTextureText(t.slot, &shadow, TextColour(t.alpha, 0x7F7F7F), t.chars, 4, 0, 0, 1.0f,
                                             1.0f) < 0 ||
            m_pKUSprite->D3DXDrawTextureText(t.slot, t.rc, TextColour(t.alpha, 0), t.chars, 4, 0, 0, 1.0f, 1.0f) < 0) {
            Log("DrawProc", "描画に失敗しました");
            return 0;
        }
    }
    return 1;
}

// The episode buttons, the scene cells of both pages, their arrows and page numbers.
int CG_MODE_DATA::DrawSceneList(int press) {
    const int listed = EpisodesListed();
    for (int i = 1; i <= kEpisodes; ++i) {
        const KURECT src = i > listed ? kLockedEpisode : EpisodeButton(i);
        const bool lit = m_nHoverId == i || m_nEpisode == i;
        if (!DrawPiece(kSlotMaterial, 4, 55.0f + 72.0f * (i - 1), &src, lit ? 1.0f : 0.5f))
            return 0;
    }
    if (m_nEpisode > 0) {
        for (int i = 1; i <= kSceneCells; ++i) {
            for (int side = 0; side < 2; ++side) {
                const CG_SELECT_ITEM_DATA& c = side ? m_nextSceneItem[i - 1] : m_sceneItem[i - 1];
                const float a = side ? m_fNextSceneAlpha : m_fSceneAlpha;
                if (!c.bDispFlg || !(a > 0.0f))
                    continue;
                if (!c.bSelectFlg) {
                    if (!DrawPiece(kSlotMaterial, c.fPosX, c.fPosY, &kLock, 0.5f * a))
                        return 0;
                } else {
                    const bool lit = m_nHoverId == i + 7 || (side == 0 && m_nOpenCell == i && m_nNextCell == 0) ||
                                     (side == 1 && m_nNextCell == i);
                    if (!DrawPiece(kSlotScene + side, c.fPosX, c.fPosY, &c.rcDraw, lit ? a : 0.5f * a))
                        return 0;
                }
                if (!DrawPiece(kSlotMaterial, c.fPosX, c.fPosY, &kFrame, a))
                    return 0;
                const int page = side ? m_nNextScenePage : m_nScenePage;
                const int n = page == 0 ? i : (page - 1) * kSceneCells + i;
                if (!DrawNumber(c.fPosX, c.fPosY + 77, n, a))
                    return 0;
            }
        }
    }
    if (m_nScenePage > 1 && !DrawArrow(117, 206, kIdSceneBack, true, press))
        return 0;
    if (m_nScenePage < m_nScenePageMax && !DrawArrow(731, 206, kIdSceneNext, false, press))
        return 0;
    if (m_fSceneAlpha > 0.0f && !DrawPageNumbers(206, m_nScenePage, m_nScenePageMax, m_fSceneAlpha))
        return 0;
    if (m_fNextSceneAlpha > 0.0f && !DrawPageNumbers(206, m_nNextScenePage, m_nScenePageMax, m_fNextSceneAlpha))
        return 0;
    return 1;
}

// The list and replay buttons of the open scene cell and the one opening.
int CG_MODE_DATA::DrawScenePanels(int press) {
    struct Panel {
        int cell;
        float alpha;
    } panels[2] = {{m_fPanelAlpha > 0.0f ? m_nOpenCell : 0, m_fPanelAlpha},
                   {m_fNextPanelAlpha > 0.0f ? m_nNextCell : 0, m_fNextPanelAlpha}};
    for (const Panel& p : panels) {
        if (p.cell < 1 || p.cell > kSceneCells)
            continue;
        const float x = m_sceneItem[p.cell - 1].fPosX, y = m_sceneItem[p.cell - 1].fPosY;
        const bool list = m_nHoverId == kIdList, replay = m_nHoverId == kIdReplay;
        if (!DrawPiece(kSlotMaterial, x - 4, y + 36, &kPanel, 0.5f * p.alpha) ||
            !DrawPiece(kSlotMaterial, x + 25, y + 38, &kListButton[list && press == 1 ? 1 : 0],
                       list ? p.alpha : 0.5f * p.alpha) ||
            !DrawPiece(kSlotMaterial, x + 1, y + 58, &kReplayButton[replay && press == 1 ? 1 : 0],
                       replay ? p.alpha : 0.5f * p.alpha))
            return 0;
    }
    return 1;
}

// The open scene's picture cells of both pages, their arrows and page numbers.
int CG_MODE_DATA::DrawCGList(int press) {
    if (m_nOpenCell > 0) {
        for (int k = 1; k <= kCGCells; ++k) {
            const bool hovered = m_nHoverId == k + 16;
            for (int side = 0; side < 2; ++side) {
                const CG_SELECT_ITEM_DATA& c = side ? m_nextCGItem[k - 1] : m_cgItem[k - 1];
                const float a = side ? m_fNextCGAlpha : m_fCGAlpha;
                if (!c.bDispFlg || !(a > 0.0f))
                    continue;
                if (c.bSelectFlg) {
                    if (!DrawPiece(kSlotCG + side, c.fPosX, c.fPosY, &c.rcDraw, hovered ? a : 0.5f * a))
                        return 0;
                    if (side == 0 && c.bFullCGFlg &&
                        !DrawPiece(kSlotMaterial, c.fPosX + 100, c.fPosY + 4, &kFullBadge, a * m_fBlink))
                        return 0;
                } else if (!DrawPiece(kSlotMaterial, c.fPosX, c.fPosY, &kLock, 0.5f * a)) {
                    return 0;
                }
                if (!DrawPiece(kSlotMaterial, c.fPosX, c.fPosY, &kFrame, a))
                    return 0;
                if (side == 1 && c.bFullCGFlg &&
                    !DrawPiece(kSlotMaterial, c.fPosX + 100, c.fPosY + 4, &kFullBadge, a * m_fBlink))
                    return 0;
            }
        }
    }
    if (m_nCGPage > 1 && !DrawArrow(117, 542, kIdCGBack, true, press))
        return 0;
    if (m_nCGPage < m_nCGPageMax && !DrawArrow(731, 542, kIdCGNext, false, press))
        return 0;
    if (m_fCGAlpha > 0.0f && !DrawPageNumbers(542, m_nCGPage, m_nCGPageMax, m_fCGAlpha))
        return 0;
    if (m_fNextCGAlpha > 0.0f && !DrawPageNumbers(542, m_nNextCGPage, m_nCGPageMax, m_fNextCGAlpha))
        return 0;
    return 1;
}

int CG_MODE_DATA::DrawFullView() {
    if (m_pKUSprite->D3DXDrawGraphic(kSlotViewBG, 0, 0, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f, nullptr, 0) < 0) {
        Log("DrawProc", "描画に失敗しました");
        return 0;
    }
    const float alphas[2] = {m_fViewAlpha, m_fNextViewAlpha};
    const char* files[2] = {m_szViewFile, m_szNextViewFile};
    for (int i = 0; i < 2; ++i) {
        if (!(alphas[i] > 0.0f) || !files[i][0])
            continue;
        uint32_t w = 0, h = 0;
        if (m_pKUSprite->GetGraphicFormat(kSlotView + i, &w, &h) != 1)
            continue; // nothing bound or loaded: the view stays empty
        const float x = static_cast<float>(400 - static_cast<int>(w / 2));
        const float y = static_cast<float>(300 - static_cast<int>(h / 2));
        if (!DrawPiece(kSlotView + i, x, y, nullptr, alphas[i]))
            return 0;
    }
    if (m_bCtrlWndDisp)
        m_cgCtrlWnd.DrawProc();
    return 1;
}
