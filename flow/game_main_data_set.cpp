#include "flow/game_main.h"

#include "engine/game_paths.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/asset_slots.h"
#include "game/game_settings.h"
#include "sound/kusnd.h"

// Kept apart from the rest of the game object: the game's tests stand in
// for it, since binding every slot needs a started renderer.

namespace {

constexpr uint32_t kTypeTextures = 4;
constexpr uint32_t kTypeEmptySurface = 2;

} // namespace

int GAME_MAIN::DataSet() {
    if (!m_bInit) {
        ErrorPrint("Error: <GAME_MAIN::DataSet> 初期化されていません\n");
        return 0;
    }
    if (!m_pKUSprite->CreateGraphicDataBuffer(kGraphicSlotCount)) {
        ErrorPrint("Error: <GAME_MAIN::DataSet> グラフィックデータバッファの作成に失敗しました\n");
        return 0;
    }
    for (uint32_t slot = 0; slot < kGraphicSlotCount; ++slot) {
        // The mosaic work surfaces are empty surfaces in system memory.
        bool work = slot >= 82;
        if (!m_pKUSprite->SetGraphicData(slot, kTempFolder, GraphicSlotFile(slot),
                                         work ? kTypeEmptySurface : kTypeTextures, work ? 0 : 1)) {
            ErrorPrint("Error: <GAME_MAIN::DataSet> データの設定に失敗しました\n");
            return 0;
        }
    }
    if (!m_pKUSprite->CreateTextureTextBuffer(kTextureTextSlotCount)) {
        ErrorPrint("Error: <GAME_MAIN::DataSet> テキストデータバッファの作成に失敗しました\n");
        return 0;
    }
    // Without a sound device the sound table stays unmade.
    if (!g_bSoundEnable)
        return 1;
    if (!m_pKUSnd || !m_pKUSnd->DADATAReserve(kSoundSlotCount)) {
        ErrorPrint("Error: <GAME_MAIN::DataSet> サウンドバッファの作成に失敗しました\n");
        return 0;
    }
    for (uint32_t slot = kFirstBoundSoundSlot; slot < kSoundSlotCount; ++slot) {
        if (m_pKUSnd->DASetData(static_cast<int>(slot), SoundSlotFile(slot), 2) != 1) {
            ErrorPrint("Error: <GAME_MAIN::DataSet> サウンドデータのセットに失敗しました\n");
            return 0;
        }
    }
    return 1;
}
