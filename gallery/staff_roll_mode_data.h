#pragma once
#include <cstdint>

#include "gallery/staff_roll_draw_obj.h"
#include "gallery/staff_roll_proc_data.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;

// The staff roll: pictures of the roll's sheet scroll over one or two
// backgrounds between a fixed top and bottom band while its music plays;
// the script's timed commands change the backgrounds and the speed and
// finally stop the roll, which fades out. A click fades out at once.
class STAFF_ROLL_MODE_DATA {
public:
    static constexpr int kSlotFade = 0;
    static constexpr int kSlotSheet = 26;
    static constexpr int kSlotBg = 27;
    static constexpr int kSlotBgIn = 28;
    static constexpr const char* kScript = "StaffRollModeData.spt";
    static constexpr const char* kMusic = "BGM14_sh.mp3";

    STAFF_ROLL_MODE_DATA();
    ~STAFF_ROLL_MODE_DATA();
    STAFF_ROLL_MODE_DATA(const STAFF_ROLL_MODE_DATA&) = delete;
    STAFF_ROLL_MODE_DATA& operator=(const STAFF_ROLL_MODE_DATA&) = delete;

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd);
    void Release();
    // -1 error, 0 running, 1 the roll is over.
    int MainProc();
    int DrawProc();

    int ReadScriptData(const char* name);
    // 1 every firing command handled, 0 an unknown command or a failed one.
    int DistributionScriptProc();

    // Handlers: 1 handled, 0 failure, -1 a picture could not be bound or
    // loaded (tried again next frame).
    int BG_CHANGE_Proc(STAFF_ROLL_PROC_DATA* p);
    int BG_FADE_OUT_Proc(STAFF_ROLL_PROC_DATA* p);
    int BG_FADE_IN_Proc(STAFF_ROLL_PROC_DATA* p);
    int SCROLL_SPEED_CHANGE_Proc(STAFF_ROLL_PROC_DATA* p);
    int SCROLL_STOP_Proc(STAFF_ROLL_PROC_DATA* p);
    int STAFF_ROLL_STOP_WAIT_END_Proc(STAFF_ROLL_PROC_DATA* p);

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    int m_nState;
    uint32_t m_dwStateTime;
    uint32_t m_dwScrollTime;
    float m_fFade;
    int m_nDrawObjNum;
    STAFF_ROLL_DRAW_OBJ* m_pDrawObj;
    int m_nProcNum;
    STAFF_ROLL_PROC_DATA* m_pProc;
    float m_fBgAlpha, m_fBgX, m_fBgY;
    float m_fBgInAlpha, m_fBgInX, m_fBgInY;
    float m_fBaseY;
    float m_fScrollSpeed;

private:
    int StaffRollModeDataLoad();
    int StaffRollModeDataUnload();
    void ScrollStep(uint32_t now);
    // The closing fade of states 3 and 4: 1 when it is over.
    int ClosingFade(uint32_t now);
    // Binds a background slot to "tmp/" + file and loads it (unloaded first).
    int LoadBackground(const char* tag, int slot, const char* file);
    // Clears the command and marks it done.
    static void Finish(STAFF_ROLL_PROC_DATA* p);
    bool Ready(const char* tag, const STAFF_ROLL_PROC_DATA* p);
};
