#include "app/asset_slots.h"

#include "app/env_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/game_main.h"
#include "platform/debug_out.h"
#include "sound/kusnd.h"

namespace {

const char* const kGraphicFiles[26] = {
    "fade.bmp",
    "logo.bmp",
    "MessageWindow.dds",
    "Controller.dds",
    "SelectWindow.dds",
    "TitleMaterial.dds",
    "TitleBG.bmp",
    "TitleBG2.bmp",
    "SaveLoadMaterial.dds",
    "SaveBG.bmp",
    "LoadBG.bmp",
    "Test_Mode_Material.dds",
    "Test_Mode_bg01.bmp",
    "Test_Mode_bg02.bmp",
    "Test_Mode_bg03.bmp",
    nullptr,
    nullptr,
    "ConfigMaterial.dds",
    "ConfigBG.bmp",
    "CGModeMaterial.dds",
    "CGReplay_Controller.dds",
    "CGModeBG.bmp",
    "CGModeBG2.bmp",
    "BGMModeMaterial.dds",
    "BGM_Controller.dds",
    "BGMModeBG.bmp",
};

const char* const kSoundFiles[32] = {
    nullptr,
    nullptr,
    nullptr,
    "MsgWndCursorON.wav",
    "MsgWndPush.wav",
    "CtrlWndCursorON.wav",
    "CtrlWndPush.wav",
    "SlcWndCursorON.wav",
    "SlcWndPush.wav",
    "TitleModeCursorON.wav",
    "TitleModePush.wav",
    "SaveLoadModeCursorON.wav",
    "SaveLoadModePush.wav",
    "SaveLoadModeExit.wav",
    "SaveModeSave.wav",
    "LoadModeLoad.wav",
    "TestModeStart.wav",
    "TestModeEnd.wav",
    "TestModeCursorON.wav",
    "TestModePush.wav",
    "TestModePage.wav",
    "ConfigModeCursorON.wav",
    "ConfigModePush.wav",
    "ConfigModeEnd.wav",
    "CGModeCursorON.wav",
    "CGModePush.wav",
    "CGModePage.wav",
    "CGModeReplayIn.wav",
    "CGModeReplayOut.wav",
    "BGMModeCursorON.wav",
    "BGMModePush.wav",
    "BGMModeExit.wav",
};

// "se01.wav" .. "se35.wav" for slots 32..66.
const char* const kEffectFiles[35] = {
    "se01.wav", "se02.wav", "se03.wav", "se04.wav", "se05.wav", "se06.wav", "se07.wav", "se08.wav", "se09.wav",
    "se10.wav", "se11.wav", "se12.wav", "se13.wav", "se14.wav", "se15.wav", "se16.wav", "se17.wav", "se18.wav",
    "se19.wav", "se20.wav", "se21.wav", "se22.wav", "se23.wav", "se24.wav", "se25.wav", "se26.wav", "se27.wav",
    "se28.wav", "se29.wav", "se30.wav", "se31.wav", "se32.wav", "se33.wav", "se34.wav", "se35.wav",
};

constexpr uint32_t kTypeTextures = 4;
constexpr uint32_t kTypeEmptySurface = 2;

} // namespace

const char* GraphicSlotFile(uint32_t slot) { return slot < 26 ? kGraphicFiles[slot] : nullptr; }

const char* SoundSlotFile(uint32_t slot) {
    if (slot < 32)
        return kSoundFiles[slot];
    if (slot < kSoundSlotCount)
        return kEffectFiles[slot - 32];
    return nullptr;
}

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
        if (!m_pKUSprite->SetGraphicData(slot, "tmp/", GraphicSlotFile(slot), work ? kTypeEmptySurface : kTypeTextures,
                                         work ? 0 : 1)) {
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
