// The music room's drawing and its arrow-key pointer moves.
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "gallery/bgm_mode_data.h"
#include "modes/mode_common.h"

namespace {

constexpr const char* kDrawTag = "BGM_MODE_DATA::DrawProc";
const KURECT kPlate{0, 80, 392, 120}, kPlateHover{0, 120, 392, 160};
const KURECT kMark[4] = {{0, 160, 32, 192}, {328, 160, 360, 192}, {360, 160, 392, 192}, {392, 160, 424, 192}};
const KURECT kExitNormal{64, 160, 328, 184}, kExitPressed{64, 184, 328, 208};

// Pointer targets beyond the rows: the bar's buttons.
enum { kPlay = 17, kBack, kNext, kStop, kVolUp, kVolDown, kTargets };
// Up, Down, Left, Right from each item (0 nothing, 1-14 tracks, 15 movie,
// 16 exit, then the bar); -1 no move. Tracks are worked out in code.
constexpr int kMoves[kTargets][4] = {
    {1, 1, 1, 1},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {14, 16, -1, -1}, // movie
    {15, kPlay, -1, -1}, // exit
    {16, kStop, kBack, kNext}, // play
    {kPlay, kStop, kVolUp, kPlay}, // BACK
    {kPlay, kStop, kPlay, kVolUp}, // NEXT
    {kPlay, 8, kBack, kNext}, // stop
    {16, kVolDown, kNext, kBack}, // volume up
    {kVolUp, 8, kNext, kBack}, // volume down
};
constexpr int kBarButton[6] = {GALLERY_BAR::kPlay, GALLERY_BAR::kBack,     GALLERY_BAR::kNext,
                               GALLERY_BAR::kStop, GALLERY_BAR::kVolumeUp, GALLERY_BAR::kVolumeDown};

int TrackMove(int n, int key) {
    if (n <= 7) {
        if (key == 0)
            return n == 1 ? 7 : n - 1;
        if (key == 1)
            return n == 7 ? 1 : n + 1;
        return n + 7;
    }
    if (key == 0)
        return n == 8 ? kStop : n - 1;
    if (key == 1)
        return n == 14 ? 15 : n + 1;
    return n - 7;
}

} // namespace

KURECT BGM_MODE_DATA::TargetRect(int id) const {
    if (id >= 1 && id <= kTracks) {
        const int x = id <= 7 ? 4 : 404, y = 52 + 40 * ((id - 1) % 7);
        return KURECT{x, y, x + 392, y + 40};
    }
    if (id == kRowMovie)
        return KURECT{404, 372, 796, 412};
    if (id == kRowExit)
        return KURECT{468, 416, 732, 440};
    const KURECT& hit = m_bgmCtrlWnd.m_Button[kBarButton[id - kPlay]].m_rcHit;
    const int bx = static_cast<int>(m_bgmCtrlWnd.m_fX), by = static_cast<int>(m_bgmCtrlWnd.m_fY);
    return KURECT{hit.left + bx, hit.top + by, hit.right + bx, hit.bottom + by};
}

int BGM_MODE_DATA::CursorMoveProc() {
    if (!m_bInit) {
        modes::ErrorPrint(m_pKUSys, "BGM_MODE_DATA::CursorMoveProc", "初期化されていません");
        return 0;
    }
    int current = m_nHoverId;
    if (!current) {
        int x = 0, y = 0;
        m_pKUSys->GetMousePos(&x, &y);
        for (int id = kPlay; id < kTargets && !current; ++id) {
            if (modes::RectHit(TargetRect(id), x, y))
                current = id;
        }
    }
    static constexpr int kKeys[4] = {38, 40, 37, 39};
    for (int k = 0; k < 4; ++k) {
        if (m_pKUSys->GetKeyState(kKeys[k]) != 3)
            continue;
        int target = current >= 1 && current <= kTracks ? TrackMove(current, k) : kMoves[current][k];
        if (target > 0)
            modes::MovePointerTo(m_pKUSys, TargetRect(target));
        break;
    }
    return 1;
}

int BGM_MODE_DATA::DrawRow(const BGM_ITEM_DATA& item, int id, int mark) {
    if (!item.bInit)
        return 1;
    const uint32_t plate = 0xCCFFFFFFu;
    if (m_pKUSprite->D3DXDrawGraphic(kSlotMaterial, item.fPosX, item.fPosY, kDrawTypeAuto, 0,
                                     m_nHoverId == id ? &kPlateHover : &kPlate, 1.0f, 1.0f, &plate, 0) < 0 ||
        !modes::DrawPiece(m_pKUSys, m_pKUSprite, kDrawTag, kSlotMaterial, item.fPosX, item.fPosY, item.rcDraw, 1.0f)) {
        modes::ErrorPrint(m_pKUSys, kDrawTag, "描画に失敗しました");
        return 0;
    }
    KURECT shadow = item.rcText;
    shadow.left += 1;
    shadow.top += 1;
    shadow.right += 1;
    shadow.bottom += 1;
    const uint32_t slot = static_cast<uint32_t>(item.nTextSlot);
    if (m_pKUSprite->D3DXDrawTextureText(slot, &shadow, 0xFF7F7F7Fu, -1.0f, 0, 0, 0, 1.0f, 1.0f) < 0 ||
        m_pKUSprite->D3DXDrawTextureText(slot, &item.rcText, 0xFF000000u, -1.0f, 0, 0, 0, 1.0f, 1.0f) < 0) {
        modes::ErrorPrint(m_pKUSys, kDrawTag, "描画に失敗しました");
        return 0;
    }
    if (m_nSelectRow == id) {
        const KURECT& src = kMark[mark >= 0 && mark < 4 ? mark : 0];
        if (!modes::DrawPiece(m_pKUSys, m_pKUSprite, kDrawTag, kSlotMaterial, item.fPosX + 4, item.fPosY + 4, src,
                              1.0f))
            return 0;
    }
    return 1;
}

int BGM_MODE_DATA::DrawProc() {
    if (!m_bInit || !m_pKUSys || !m_pKUSprite) {
        modes::ErrorPrint(m_pKUSys, kDrawTag, "初期化されていません");
        return 0;
    }
    const int press = modes::ClickState(m_pKUSys);
    if (m_pKUSprite->D3DXDrawGraphic(kSlotBG, 0, 0, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f, nullptr, 0) < 0) {
        modes::ErrorPrint(m_pKUSys, kDrawTag, "描画に失敗しました");
        return 0;
    }
    for (int n = 1; n <= kTracks; ++n) {
        if (!DrawRow(m_bgmItem[n - 1], n, m_nMarkFrame))
            return 0;
    }
    if (!DrawRow(m_movieItem, kRowMovie, 0))
        return 0;
    const bool exitHover = m_nHoverId == kRowExit;
    if (!modes::DrawPiece(m_pKUSys, m_pKUSprite, kDrawTag, kSlotMaterial, 468, 416,
                          exitHover && press == 1 ? kExitPressed : kExitNormal, exitHover ? 1.0f : 0.5f))
        return 0;
    if (m_msgWnd.m_bVisible && m_msgWnd.m_fAlpha > 0.0f && !m_msgWnd.DrawProc()) {
        modes::ErrorPrint(m_pKUSys, kDrawTag, "メッセージウィンドウの描画に失敗しました");
        return 0;
    }
    if (m_bgmCtrlWnd.m_bVisible && m_bgmCtrlWnd.m_fAlpha > 0.0f && !m_bgmCtrlWnd.DrawProc()) {
        modes::ErrorPrint(m_pKUSys, kDrawTag, "BGM用コントローラーウィンドウの描画に失敗しました");
        return 0;
    }
    if (m_fFade > 0.0f) {
        const uint32_t colour = modes::AlphaColor(m_fFade);
        if (m_pKUSprite->D3DXDrawGraphic(kSlotFade, 0, 0, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f, &colour, 0) < 0) {
            modes::ErrorPrint(m_pKUSys, kDrawTag, "描画に失敗しました");
            return 0;
        }
    }
    return 1;
}
