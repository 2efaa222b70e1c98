#pragma once
#include <cstdint>

#include "scene/graphic_data.h"

class ADV_DATA;
class KUSND;
class KUSPRITE2;
class KUSYSTEM;

// One step of an animated object's program: eight 32-bit words.
struct OBJECT_PROC_DATA {
    float fX; // target x; the left of the unscaled image for scaling
    float fY; // target y; the top of the unscaled image for scaling
    uint32_t dwTime; // duration in ms
    int32_t nType; // OBJECT_DATA::kProc*; 0 marks a free step
    int32_t nA; // priority, step index or animation frame, by type
    int32_t nB; // step index or frame time, by type
    float fX2; // start x (fade-move-in); target scale (scaling)
    float fY2; // start y (fade-move-in); start scale (scaling)
};

// A picture that moves by itself: a program of up to ten steps (moves,
// fades, scaling about the centre, jumps, changes of the program itself) run
// once a frame with the game clock. Its image is a strip of equal cells, one
// per animation frame, drawn once or repeated side by side or downwards.
// Re-sorts the adventure's draw order after an object's priority changed.
// The adventure sits above the scene objects: it hands this in when made.
using DrawOrderSorter = void (*)(ADV_DATA* adv);
void SetDrawOrderSorter(DrawOrderSorter sorter);

class OBJECT_DATA : public GRAPHIC_DATA {
public:
    static constexpr int kProcNum = 10;
    enum ProcType : int32_t {
        kProcFree = 0,
        kProcSetPos = 1,
        kProcMove = 2,
        kProcGoto = 3,
        kProcChange = 4,
        kProcDraw = 5,
        kProcHide = 6,
        kProcAniSet = 7,
        kProcDel = 8,
        kProcEnd = 9,
        kProcFadeIn = 10,
        kProcFadeOut = 11,
        kProcFadeMoveIn = 12,
        kProcFadeMoveOut = 13,
        kProcExpRed = 14,
    };

    OBJECT_DATA();
    ~OBJECT_DATA();
    OBJECT_DATA(const OBJECT_DATA&) = delete;
    OBJECT_DATA& operator=(const OBJECT_DATA&) = delete;

    // Clears, then takes the engine pointers and the ID. 1 done, 0 refused
    // (a missing sound system is logged and accepted).
    int Initialize(KUSPRITE2* sprite, KUSND* snd, KUSYSTEM* sys, const char* id);
    // Binds the image to a pool slot (number n >= 1: slot n + 25; -1: the
    // first free one), places it and divides it into cells. 1 or 0.
    int CreateObject(const char* file, float x, float y, int32_t cellWidth, int32_t cellHeight, int32_t frameCount,
                     uint32_t animationType, uint32_t loadFlag, int32_t number);
    // Unloads and resets all but ID, file, pointers and initialised. 1.
    int DeleteObject();
    void Clear();
    // colourKey 1/0 sets it (else kept); repeat >= 1 sets it with the
    // direction, 0 draws once, below 0 keeps. 1, or 0 when not initialised.
    int SetDrawProperty(int32_t colourKey, int32_t repeat, uint32_t across);
    // Stores a step at index 0..9, or at the first free one for -1. 1 or 0.
    int AddProcDataBuf(int32_t index, float x, float y, uint32_t time, int32_t type, int32_t a, int32_t b, float x2,
                       float y2);
    // Clears step 0..9, or all of them for -1. 1 or 0.
    int ClearProcDataBuf(int32_t index);
    void DrawON() { m_bShow = 1; }
    void DrawOFF() { m_bShow = 0; }
    // Velocity of a move from the current position to the step's target.
    int CalcVecForPrcData(int32_t index);
    // Runs the current step: -1 error, 0 not running or in progress, 1 a step
    // finished or the program idles on a free step, 2 an END was passed.
    int MainLoopProc(ADV_DATA* adv, uint32_t now);
    // Runs step k for a waiting script command: -1 error, 0 in progress, 1
    // done. finish takes a move's or fade's end values at once.
    int OneProc(ADV_DATA* adv, int32_t k, uint32_t now, int finish);
    // 1 drawn or nothing to draw, 0 failure.
    int DrawProc();

    uint32_t m_bCreate;
    KUSND* m_pKUSnd;
    uint32_t m_dwFadeTime;
    uint32_t m_dwStepStart;
    uint32_t m_bRun;
    float m_fVecX, m_fVecY; // pixels per ms
    int32_t m_nRepeat; // copies drawn; below 1 once
    uint32_t m_bRepeatAcross; // 1 to the right, 0 downwards
    OBJECT_PROC_DATA m_Proc[kProcNum];
    int32_t m_nNowProc;
    int32_t m_nCellWidth;
    int32_t m_nCellHeight;

private:
    void LogError(const char* method, const char* text);
    bool Usable(const char* method);
    static void ClearProc(OBJECT_PROC_DATA& p);
    // The work of one step; mainLoop selects MainLoopProc's rules over
    // OneProc's.
    int RunStep(ADV_DATA* adv, int32_t k, uint32_t now, bool finish, bool mainLoop);
    int RunTimed(ADV_DATA* adv, int32_t k, uint32_t now, bool finish, bool mainLoop);
    void DeleteStep(int32_t a, bool mainLoop);
    // Position of a running move at elapsed; true when both axes arrived.
    bool MoveTo(const OBJECT_PROC_DATA& p, uint32_t elapsed, bool finish);
    // Fade in (alpha rises) or out; true once complete.
    bool FadeTo(bool in, uint32_t elapsed, bool finish);
    bool ScaleTo(const OBJECT_PROC_DATA& p, uint32_t elapsed, bool finish);
    void Sort(ADV_DATA* adv);
    void FinishTimed(bool combined);
};
