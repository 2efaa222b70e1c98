#pragma once
#include "gallery/gallery_bar.h"

class CG_MODE_DATA;

// The picture view's bar: BACK and NEXT step through the unlocked pictures,
// stop leaves the view, window-hide hides the bar, and the volume buttons.
class CG_CONTROLLER_WINDOW : public GALLERY_BAR {
public:
    static constexpr int kSeHover = 24;
    static constexpr int kSePush = 25;

    CG_CONTROLLER_WINDOW();
    ~CG_CONTROLLER_WINDOW() = default;

    int MainProc(int* action, CG_MODE_DATA* owner);
    // Per button in SetButton order (null: unchanged; 0 disables).
    int SetDefaultButtonStatus(const int* load, const int* save, const int* config, const int* play, const int* back,
                               const int* next, const int* stop, const int* hide, const int* volumeUp,
                               const int* volumeDown);
    // The view's resting looks: BACK and NEXT by the pictures around the one shown.
    int SetDefaultButtonStatus(CG_MODE_DATA* owner);
};
