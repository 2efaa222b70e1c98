#pragma once
#include <string>
#include <string_view>

#include "modes/save_slot_image.h"
#include "platform/local_time.h"

class ADV_DATA;
class KUSYSTEM;

// The steps behind WriteSaveSlotFile and ReadSaveSlotFile.
namespace saveslot {

// The whole file for the adventure's present state, dated `now`.
void WriteSlotText(KUSYSTEM* sys, const ADV_DATA& adv, const plat::LocalTime& now, std::string* out);

// The limits a file must keep to be restored into `adv`: its item counts,
// and the renderer's slot counts (0: not checked).
struct SlotLimits {
    uint32_t graphicSlots = 0;
    uint32_t textSlots = 0;
};

// Reads a whole file into `image`, sized by the adventure's own counts.
// False when a marker is missing or a value cannot be restored safely.
bool ParseSlotText(KUSYSTEM* sys, std::string_view data, const ADV_DATA& adv, const SlotLimits& limits,
                   SlotImage* image);

// Whether play can go on from a file read whole: its script, and every
// script a running command goes on with, is in the script archive, and a
// choice that is waiting has its windows.
bool StoryCanGoOn(const SlotImage& image);

} // namespace saveslot
