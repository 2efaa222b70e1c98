#pragma once
#include <cstdint>

#include "engine/kugraphic2.h"
#include "scene/ctrl_wnd_obj.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;

// What the picture view's bar and the music room's bar share: ten buttons
// over one sheet, set-up, clearing, copying the buttons in and drawing.
// Each bar adds its own MainProc and resting looks.
class GALLERY_BAR {
public:
    // Button indexes (the hover and action code of a button is its index + 1).
    enum Button { kLoad, kSave, kConfig, kPlay, kBack, kNext, kStop, kHide, kVolumeUp, kVolumeDown, kButtonCount };
    enum Action { kActNone = 0, kActPlay = 4, kActBack, kActNext, kActStop, kActHide, kActVolumeUp, kActVolumeDown };

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, int slot, int wl, int wt, int wr, int wb, float x,
                   float y, int pl, int pt, int pr, int pb, float panelX, float panelY, float panelFactor);
    void Clear();
    int SetButton(const CTRL_WND_OBJ* load, const CTRL_WND_OBJ* save, const CTRL_WND_OBJ* config,
                  const CTRL_WND_OBJ* play, const CTRL_WND_OBJ* back, const CTRL_WND_OBJ* next,
                  const CTRL_WND_OBJ* stop, const CTRL_WND_OBJ* hide, const CTRL_WND_OBJ* volumeUp,
                  const CTRL_WND_OBJ* volumeDown);
    int DrawProc();
    // Builds the ten buttons of the bar's standard layout on its own sheet and
    // copies them in; 0 after the failing button's log line.
    int BuildStandardButtons(const char* tag);

    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    KUSYSTEM* m_pKUSys;
    int m_bInit;
    int m_bVisible;
    CTRL_WND_OBJ m_Button[kButtonCount];
    float m_fX, m_fY;
    float m_fPanelX, m_fPanelY;
    float m_fAlpha;
    float m_fPanelFactor;
    int m_nSlot;
    KURECT m_rcWindow, m_rcPanel;
    int m_nLastHover;

protected:
    GALLERY_BAR(const char* tag);
    ~GALLERY_BAR() { Clear(); }
    GALLERY_BAR(const GALLERY_BAR&) = delete;
    GALLERY_BAR& operator=(const GALLERY_BAR&) = delete;

    void Log(const char* op, const char* text) const;
    // The shared start of MainProc: 1 go on, 0 refused (logged), -1 hidden.
    int FrameStart(int* action, const void* owner);
    // One button's frame. active: it may act by key or click (else it only
    // shows normal). Returns 1 when its effect is due this frame.
    int Step(int button, int key, int altKey, int click, int* hovered, int* action, bool active, bool* held);
    // Volume buttons: they take part whenever they are set up.
    void VolumeButtons(int click, int* hovered, int* action, int pushSe);
    void EndFrame(int hovered, int hoverSe);
    // Resting look of a volume button for an enabling value.
    static int VolumeLook(int button, int value);

private:
    const char* m_pszTag;
};
