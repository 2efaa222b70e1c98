#include <algorithm>

#include "adv/main_scr.h"
#include "engine/kusprite2.h"
#include "scene/graphic_data.h"

// Drawing the mosaic: the scene is composed into the mosaic surface once,
// as the frame that starts the mosaic has drawn it, and each cell is then
// that surface's pixel at the cell's centre stretched over the cell. Cells
// go through the renderer's picture draw like any other picture, so a still
// mosaic is a repeated frame.

namespace {

constexpr int kMosaicSurfaceSlot = GRAPHIC_DATA::kLastWorkSlot;
constexpr int32_t kBackSurface = -1;

} // namespace

int MAIN_SCR::MosaicDummyProc() {
    m_bMosaicCompose = 1;
    m_bMosaicDrawFailed = 0;
    return 1;
}

void MAIN_SCR::MosaicDrawProc() {
    if (!m_bInit || !m_bMosaicOn || !m_pMosaicCell || m_dwMosaicSize == 0 || m_bMosaicDrawFailed)
        return;
    if (m_bMosaicCompose) {
        m_bMosaicCompose = 0;
        // What the frame holds so far is the scene under the windows.
        if (m_pKUSprite->SurfaceComposition(kMosaicSurfaceSlot, kBackSurface, 0.0f, 0.0f, nullptr, 1.0f, 1.0f, 0) !=
            0) {
            HandlerError("MosaicDrawProc", "モザイクサーフェスへの合成に失敗しました");
            m_bMosaicDrawFailed = 1;
            return;
        }
        if (!BuildMosaic(m_dwMosaicSize)) {
            HandlerError("MosaicDrawProc", "色の取得に失敗しました");
            m_bMosaicDrawFailed = 1;
            return;
        }
    }
    uint32_t W, H;
    ScreenSize(&W, &H);
    const uint32_t columns = W / m_dwMosaicSize + 1;
    const uint32_t rows = H / m_dwMosaicSize + 1;
    const float scale = static_cast<float>(m_dwMosaicSize);
    for (uint32_t k = 0; k < columns * rows; ++k) {
        const KURECT& cell = m_pMosaicCell[k];
        if (cell.left >= static_cast<int32_t>(W) || cell.top >= static_cast<int32_t>(H))
            continue;
        // A cell that sticks out of the screen takes the colour nearest its centre.
        const int32_t x = std::min(cell.left + (cell.right - cell.left) / 2, static_cast<int32_t>(W) - 1);
        const int32_t y = std::min(cell.top + (cell.bottom - cell.top) / 2, static_cast<int32_t>(H) - 1);
        const KURECT src{x, y, x + 1, y + 1};
        if (m_pKUSprite->D3DXDrawGraphic(kMosaicSurfaceSlot, static_cast<float>(cell.left),
                                         static_cast<float>(cell.top), kDrawTypeAuto, 0, &src, scale, scale, nullptr,
                                         0) != 0) {
            HandlerError("MosaicDrawProc", "描画に失敗しました");
            m_bMosaicDrawFailed = 1;
            return;
        }
    }
}
