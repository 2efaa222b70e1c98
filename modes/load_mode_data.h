#pragma once
#include "modes/save_mode_data_screen.h"

// The load screen, opened over a game or from the title: a slot that holds a
// save is read back into the adventure after a question.
class LOAD_MODE_DATA : public SLOT_MODE_DATA {
public:
    // Results of MainProc.
    static constexpr int kResultLoaded = 1;
    static constexpr int kResultBack = 2;
    static constexpr int kResultTitle = 3;

    LOAD_MODE_DATA() : SLOT_MODE_DATA(true) {}
    ~LOAD_MODE_DATA() = default;

    // callMode: the mode that opens the screen (kCallerTitle from the title).
    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, ADV_DATA* adv, int callMode) {
        return InitializeScreen(sys, sprite, snd, adv, callMode);
    }
    void Release() { ReleaseScreen(); }
    int LoadModeDataLoad() { return DataLoad(); }
    int LoadModeDataUnload() { return DataUnload(); }
    int LoadDataLoadForItemDraw() { return LoadForItemDraw(); }
    // Reads slot 1..30 into the adventure; 1 read, 0 a bad or missing file.
    int LoadProc(int slot) { return SlotFileProc(slot); }
};
