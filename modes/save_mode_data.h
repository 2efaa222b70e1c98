#pragma once
#include "modes/save_mode_data_screen.h"

// The save screen, opened over a game: a click on an empty slot writes it at
// once, one on a slot that holds a save asks before writing over it.
class SAVE_MODE_DATA : public SLOT_MODE_DATA {
public:
    // Results of MainProc.
    static constexpr int kResultBack = 1;
    static constexpr int kResultTitle = 2;

    SAVE_MODE_DATA() : SLOT_MODE_DATA(false) {}
    ~SAVE_MODE_DATA() = default;

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, ADV_DATA* adv) {
        return InitializeScreen(sys, sprite, snd, adv, 0);
    }
    void Release() { ReleaseScreen(); }
    int SaveModeDataLoad() { return DataLoad(); }
    int SaveModeDataUnload() { return DataUnload(); }
    int SaveDataLoadForItemDraw() { return LoadForItemDraw(); }
    // Writes the adventure into slot 1..30; 1 written, 0 not.
    int SaveProc(int slot) { return SlotFileProc(slot); }
};
