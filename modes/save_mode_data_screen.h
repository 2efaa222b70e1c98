#pragma once
#include <cstdint>
#include <string>

#include "engine/kugraphic2.h"
#include "scene/message_window.h"
#include "modes/save_item_data.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;
class ADV_DATA;

// What the save and load screens share: thirty slot entries in two columns,
// a back and a to-the-title button, a Yes/No dialog in a message window, the
// fades and the arrow-key graph. The save screen writes the chosen slot (at
// once when it is empty), the load screen reads a chosen slot that holds a
// save; SAVE_MODE_DATA and LOAD_MODE_DATA give each its own entry points.
class SLOT_MODE_DATA {
public:
    static constexpr int kSlotFade = 0;
    static constexpr int kSlotWindow = 2;
    static constexpr int kSlotMaterial = 8;
    static constexpr int kSlotSaveBG = 9;
    static constexpr int kSlotLoadBG = 10;
    static constexpr int kSeHover = 11;
    static constexpr int kSePush = 12;
    static constexpr int kSeExit = 13;
    static constexpr int kSeSave = 14;
    static constexpr int kSeLoad = 15;

    // Targets beside the slots 1..30.
    static constexpr int kItemBack = 31;
    static constexpr int kItemTitle = 32;
    static constexpr int kItemYes = 33;
    static constexpr int kItemNo = 34;

    // The title screen's mode number: opened from it, the load screen has no
    // back button and leaves to the title without a question.
    static constexpr int kCallerTitle = 3;

    int MainProc();
    int DrawProc();
    int CursorMoveProc();

    // Screen rectangle of a target (slot, buttons, Yes, No); false for none.
    static bool TargetRect(int target, KURECT* rc);
    // Where an arrow key moves from a target on the slot choice (0 nowhere).
    int MoveTarget(int current, int vk) const;
    // The target under a point on the slot choice, empty slots included.
    int PointerTarget(int x, int y) const;

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    ADV_DATA* m_pAdvData;
    int m_nPhase;
    uint32_t m_dwPhaseStart;
    float m_fFade;
    int m_nSelect; // hovered target; the chosen slot while its question is open
    int m_nSelectDialog; // 0, kItemYes or kItemNo
    SLOT_ITEM_DATA m_Item[SLOT_ITEM_DATA::kSlotCount];
    MESSAGE_WINDOW m_MsgWnd;
    int m_nCallMode; // load screen: the mode that opened it

protected:
    explicit SLOT_MODE_DATA(bool load);
    ~SLOT_MODE_DATA();
    SLOT_MODE_DATA(const SLOT_MODE_DATA&) = delete;
    SLOT_MODE_DATA& operator=(const SLOT_MODE_DATA&) = delete;

    int InitializeScreen(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, ADV_DATA* adv, int callMode);
    void ReleaseScreen();
    int DataLoad();
    int DataUnload();
    // Captions of all thirty entries from the slot files.
    int LoadForItemDraw();
    // Writes (save screen) or reads (load screen) the slot's file.
    int SlotFileProc(int slot);

private:
    std::string Tag(const char* method) const;
    void Error(const char* method, const char* text) const;
    bool BackShown() const { return !(m_bLoad && m_nCallMode == kCallerTitle); }
    int ChoiceProc(uint32_t now, int click);
    int QuestionProc(uint32_t now, float t, int click);
    int AnswerProc(uint32_t now, int click);
    void SlotFailed(const char* text);
    int OpenDialog();
    int SetQuestion(bool title);
    int DrawItems();
    int DrawDialog(int click);
    int DrawPiece(int slot, float x, float y, const KURECT& src, float alpha);

    const bool m_bLoad;
};
