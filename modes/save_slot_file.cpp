#include "modes/save_slot_file.h"

int WriteSaveSlotFile(KUSYSTEM*, ADV_DATA*, int) { return 0; }

int ReadSaveSlotFile(KUSYSTEM*, KUSPRITE2*, KUSND*, ADV_DATA*, int) { return 0; }
