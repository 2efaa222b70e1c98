#pragma once
#include <cstdint>

// The numbered asset slots every mode and script addresses: 84 graphic
// slots, 71 texture-text slots and 67 sound slots, bound by
// GAME_MAIN::DataSet in the game's first frame.
constexpr uint32_t kGraphicSlotCount = 84;
constexpr uint32_t kTextureTextSlotCount = 71;
constexpr uint32_t kSoundSlotCount = 67;
constexpr int kFirstBoundSoundSlot = 3;

// File of a graphic slot, or null for one bound at run time.
const char* GraphicSlotFile(uint32_t slot);
// File of a sound slot (slots 3..66), or null.
const char* SoundSlotFile(uint32_t slot);
