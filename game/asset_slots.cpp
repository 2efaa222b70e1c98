#include "game/asset_slots.h"

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

} // namespace

const char* GraphicSlotFile(uint32_t slot) { return slot < 26 ? kGraphicFiles[slot] : nullptr; }

const char* SoundSlotFile(uint32_t slot) {
    if (slot < 32)
        return kSoundFiles[slot];
    if (slot < kSoundSlotCount)
        return kEffectFiles[slot - 32];
    return nullptr;
}
