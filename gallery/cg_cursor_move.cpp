#include "engine/kusystem.h"
#include "gallery/cg_mode_data.h"
#include "modes/cursor_move.h"
#include "modes/mode_common.h"

namespace {

// Targets of the move table: ids of the selection screen, or one of these.
enum : int {
    kCellStar = 100, // scene cell c (+c): its list button when it shows the panel
    kCellStars = 200, // scene cell c (+c): its replay button when it shows the panel
    kPlainCell = 300, // scene cell c (+c), never the panel
    kPanelSide = 800, // from the panel (+-1): the neighbouring plain cell, or episode 2 at the ends
    kSceneBackElse = 1000, // scene back if offered, else the target added
    kSceneNextElse = 2000,
    kCGBackElse = 3000,
    kCGNextElse = 4000,
};

// Up, Down, Left, Right per id 1..34.
constexpr int kTable[35][4] = {
    {1, 1, 1, 1},
    {34, 2, kCellStar + 5, kCellStar + 1},
    {1, 3, kCellStar + 5, kCellStar + 1},
    {2, 4, kSceneNextElse + 21, kSceneBackElse + 17},
    {3, 5, 21, 17},
    {4, 6, 26, 22},
    {5, 7, 31, 27},
    {6, 34, 31, 27},
    {34, kSceneBackElse + 17, 2, kCellStar + 2},
    {34, 18, kCellStar + 1, kCellStar + 3},
    {34, 19, kCellStar + 2, kCellStar + 4},
    {34, 20, kCellStar + 3, kCellStar + 5},
    {34, kSceneNextElse + 21, kCellStar + 4, 2},
    {kCellStars + 1, 17, 3, kSceneNextElse + 3},
    {kCellStars + 5, 21, kSceneBackElse + 3, 3},
    {34, 16, kPanelSide - 1, kPanelSide + 1},
    {15, kPlainCell, kPanelSide - 1, kPanelSide + 1},
    {kSceneBackElse + kCellStars + 1, 22, 4, 18},
    {kCellStars + 2, 23, 17, 19},
    {kCellStars + 3, 24, 18, 20},
    {kCellStars + 4, 25, 19, 21},
    {kSceneNextElse + kCellStars + 5, 26, 20, 4},
    {17, 27, 5, 23},
    {18, 28, 22, 24},
    {19, 29, 23, 25},
    {20, 30, 24, 26},
    {21, 31, 25, 5},
    {22, kCGBackElse + 34, 6, 28},
    {23, 34, 27, 29},
    {24, 34, 28, 30},
    {25, 34, 29, 31},
    {26, kCGNextElse + 34, 30, 6},
    {27, 34, 7, kCGNextElse + 7},
    {31, 34, kCGBackElse + 7, 7},
    {29, kCellStars + 3, 7, 7},
};

constexpr int kVkOrder[4] = {plat::kVkUp, plat::kVkDown, plat::kVkLeft, plat::kVkRight};

} // namespace

bool CG_MODE_DATA::MoveTarget(int current, int vk, KURECT* target) const {
    int dir = 0;
    while (dir < 4 && kVkOrder[dir] != vk)
        ++dir;
    if (dir == 4 || current < 0 || current > kIdExit)
        return false;
    int t = kTable[current][dir];
    const int open = m_nOpenCell;
    // Resolve "offered, else" first, then the starred cells.
    if (t >= kSceneBackElse) {
        const int kind = t / 1000 * 1000, rest = t % 1000;
        const bool offered = kind == kSceneBackElse   ? m_nScenePage > 1
                             : kind == kSceneNextElse ? m_nScenePage < m_nScenePageMax
                             : kind == kCGBackElse    ? m_nCGPage > 1
                                                      : m_nCGPage < m_nCGPageMax;
        const int ids[4] = {kIdSceneBack, kIdSceneNext, kIdCGBack, kIdCGNext};
        t = offered ? ids[kind / 1000 - 1] : rest;
    }
    if (t >= kPanelSide - 1) {
        const int c = open + (t - kPanelSide);
        t = c < 1 || c > kSceneCells ? 2 : kPlainCell + c;
    } else if (t == kPlainCell) {
        // Down from the replay button: the picture cell under the open cell.
        t = open >= 1 && open <= kSceneCells ? open + 16 : 1;
    }
    if (t > kPlainCell && t <= kPlainCell + kSceneCells) {
        *target = m_sceneItem[t - kPlainCell - 1].rcHit;
        return true;
    }
    if (t > kCellStar && t <= kCellStars + kSceneCells) {
        const int c = t % 100;
        const bool panel = c == open && m_sceneItem[c - 1].szName[0] && m_fPanelAlpha > 0.0f;
        if (panel) {
            const int x = static_cast<int>(m_sceneItem[c - 1].fPosX), y = static_cast<int>(m_sceneItem[c - 1].fPosY);
            *target = t < kCellStars ? KURECT{x + 25, y + 38, x + 113, y + 54} : KURECT{x + 1, y + 58, x + 137, y + 74};
        } else {
            *target = m_sceneItem[c - 1].rcHit;
        }
        return true;
    }
    if (t >= 1 && t <= 7) {
        *target = KURECT{4, 55 + 72 * (t - 1), 116, 55 + 72 * t};
    } else if (t >= 8 && t <= 12) {
        *target = m_sceneItem[t - 8].rcHit;
    } else if (t >= 17 && t <= 31) {
        *target = m_cgItem[t - 17].rcHit;
    } else {
        switch (t) {
            case kIdSceneBack: *target = KURECT{117, 206, 173, 222}; break;
            case kIdSceneNext: *target = KURECT{731, 206, 787, 222}; break;
            case kIdCGBack: *target = KURECT{117, 542, 173, 558}; break;
            case kIdCGNext: *target = KURECT{731, 542, 787, 558}; break;
            case kIdExit: *target = KURECT{284, 568, 548, 592}; break;
            default: return false;
        }
    }
    return true;
}

int CG_MODE_DATA::CursorMoveProc() {
    if (!m_bInit) {
        Log("CursorMoveProc", "初期化されていません");
        return 0;
    }
    int x = 0, y = 0;
    m_pKUSys->GetMousePos(&x, &y);
    int vk = 0;
    for (int k : kVkOrder) {
        if (m_pKUSys->GetKeyState(k) == 3) {
            vk = k;
            break;
        }
    }
    if (m_nState >= 14)
        return 1;
    if (m_nState >= 10) {
        MoveOnViewBar(vk);
        return 1;
    }
    if (vk == 0)
        return 1;
    const int current = SelectionItemAt(x, y);
    KURECT target;
    if (MoveTarget(current, vk, &target))
        modes::MovePointerTo(m_pKUSys, target);
    return 1;
}

// Moves the pointer between the full view's bar buttons by key (from outside the bar to STOP).
void CG_MODE_DATA::MoveOnViewBar(int vk) {
    if (!m_cgCtrlWnd.m_bVisible || vk == 0)
        return;
    // Buttons by bar index; the target of each key, relative to the bar.
    static const int kOrder[6] = {GALLERY_BAR::kBack, GALLERY_BAR::kNext,     GALLERY_BAR::kStop,
                                  GALLERY_BAR::kHide, GALLERY_BAR::kVolumeUp, GALLERY_BAR::kVolumeDown};
    int current = -1;
    for (int i = 0; i < 6 && current < 0; ++i)
        if (m_cgCtrlWnd.m_Button[kOrder[i]].HitCheck(m_cgCtrlWnd.m_fX, m_cgCtrlWnd.m_fY) == 1)
            current = kOrder[i];
    using B = GALLERY_BAR;
    int dir = 0;
    while (kVkOrder[dir] != vk)
        ++dir;
    // Rows: none, BACK, NEXT, stop, hide, volume up, volume down.
    static const int kView[7][4] = {
        {B::kStop, B::kStop, B::kStop, B::kStop},       {B::kHide, B::kStop, B::kVolumeUp, B::kStop},
        {B::kHide, B::kStop, B::kStop, B::kVolumeUp},   {B::kHide, B::kHide, B::kBack, B::kNext},
        {B::kStop, B::kNext, B::kStop, B::kVolumeDown}, {B::kHide, B::kVolumeDown, B::kNext, B::kBack},
        {B::kVolumeUp, B::kHide, B::kNext, B::kBack},
    };
    int row = 0;
    for (int i = 0; i < 6; ++i)
        if (kOrder[i] == current)
            row = i + 1;
    const int target = kView[row][dir];
    static const KURECT kRect[GALLERY_BAR::kButtonCount] = {{},
                                                            {},
                                                            {},
                                                            {},
                                                            {15, 26, 71, 90},
                                                            {125, 26, 181, 90},
                                                            {70, 55, 126, 95},
                                                            {112, 89, 184, 113},
                                                            {208, 35, 224, 59},
                                                            {208, 55, 224, 79}};
    const int bx = static_cast<int>(m_cgCtrlWnd.m_fX), by = static_cast<int>(m_cgCtrlWnd.m_fY);
    const KURECT& r = kRect[target];
    modes::MovePointerTo(m_pKUSys, KURECT{r.left + bx, r.top + by, r.right + bx, r.bottom + by});
}

// The selection screen's item under the pointer, by geometry alone.
int CG_MODE_DATA::SelectionItemAt(int x, int y) const {
    int current = 0;
    for (int i = 1; i <= kEpisodes && !current; ++i)
        if (modes::RectHit(KURECT{4, 55 + 72 * (i - 1), 116, 55 + 72 * i}, x, y))
            current = i;
    for (int c = 1; c <= kSceneCells && !current; ++c) {
        const int l = 116 + 136 * (c - 1);
        if (!modes::RectHit(KURECT{l, 100, l + 136, 204}, x, y))
            continue;
        if (c == m_nOpenCell && m_fPanelAlpha > 0.0f) {
            if (modes::RectHit(KURECT{l + 25, 138, l + 113, 154}, x, y))
                current = kIdList;
            else if (modes::RectHit(KURECT{l + 1, 158, l + 137, 174}, x, y))
                current = kIdReplay;
        }
        if (!current)
            current = c + 7;
    }
    for (int n = 0; n < kCGCells && !current; ++n) {
        const int l = 116 + 136 * (n % 5), t = 228 + 104 * (n / 5);
        if (modes::RectHit(KURECT{l, t, l + 136, t + 104}, x, y))
            current = n + 17;
    }
    static const struct {
        int id;
        KURECT rc;
    } kButtons[5] = {{kIdSceneBack, {117, 206, 173, 222}},
                     {kIdSceneNext, {731, 206, 787, 222}},
                     {kIdCGBack, {117, 542, 173, 558}},
                     {kIdCGNext, {731, 542, 787, 558}},
                     {kIdExit, {284, 568, 548, 592}}};
    for (int i = 0; i < 5 && !current; ++i)
        if (modes::RectHit(kButtons[i].rc, x, y))
            current = kButtons[i].id;
    return current;
}
