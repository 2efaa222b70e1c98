#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "scene/adv_window_state.h"
#include "adv/init_scr.h"
#include "adv/main_scr.h"
#include "adv/test_result_data.h"
#include "scene/controller_window.h"
#include "scene/message_window.h"
#include "game/script_command_data.h"
#include "scene/select_window_agg.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;
class GAME_GLOBAL_DATA;
class GRAPHIC_DATA;
class SOUND_DATA;
class VAR_DATA;
class TEXTAREA_DATA;
class OBJECT_DATA;
class DRAW_ORDER_DATA;

// The adventure-mode object: the script being read, the interpreter with its
// six command slots, the items the initialisation script declares, the draw
// order, episode and scene, and the exam data. The exam, save and load
// screens read and write these fields directly.
class ADV_DATA : public ADV_WINDOW_STATE {
public:
    static constexpr int kSlotCount = MAIN_SCR::kSlotCount;
    static constexpr int kTestCount = 4;
    static constexpr int kNameSize = 260;
    static constexpr int kTestTextSize = 512;

    // Item kinds of IDSearch.
    static constexpr int kKindGraphic = 0;
    static constexpr int kKindTextArea = 1;
    static constexpr int kKindObject = 2;
    static constexpr int kKindSound = 3;
    static constexpr int kKindVar = 4;

    // Results of MainProc.
    static constexpr int kResultGoOn = 0;
    static constexpr int kResultError = -1;
    static constexpr int kResultEnd = 1;
    static constexpr int kResultTest = 2;
    static constexpr int kResultConfig = 3;
    static constexpr int kResultSave = 4;
    static constexpr int kResultLoad = 5;

    ADV_DATA();
    ~ADV_DATA();
    ADV_DATA(const ADV_DATA&) = delete;
    ADV_DATA& operator=(const ADV_DATA&) = delete;

    int Initialize(const char* script, KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, GAME_GLOBAL_DATA* global);
    void Clear();
    void Release() { Clear(); }
    int MainProc();
    int DrawProc();
    // Index of the declared item of `kind` with that ID (case ignored, the
    // first of equal IDs); -2 none; -1 not initialised or a bad kind.
    int IDSearch(int kind, const char* id);
    void DrawObjectSort();
    // Unloads the scene's pictures and sounds while a menu runs over the game,
    // and loads them again afterwards.
    int LoadDataRelease();
    int ReleaseLoadedData();
    int LoadDataResume();
    // Arrow keys move the pointer between the buttons, choices and message
    // window; 1, or 0 when not initialised.
    int CursorMoveProc();
    // Back from the save or load screen, whose back button lies over the
    // bar: the pointer stays where the player left it, and points at no
    // button of the bar until it moves.
    void PointerOffBar();

    // Records the current script and line in the read-skip list while the
    // scenario reader runs.
    void RecordReadPosition();
    // Back from the options screen: the interrupted message shown whole, the
    // controller bar's skip-hold and skip-one-click flags set.
    void ShowMessageWhole();
    void SetControllerSkipFlags();

    // Settings changed on the options screen while the game is open.
    void SetMessageSpeed(uint32_t ms);
    void SetAutoSkip(int on);
    void SetAutoSkipSpeed(uint32_t ms);
    void SetAntiAliasLevel(uint32_t level);

    uint32_t m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    uint32_t m_dwPhaseStart; // game time the current state began
    int m_nPhase; // state 0..13: 0 play, fade-outs 1/4/7/10/13, returns 2/5/8/11, fade-ins 3/6/9/12
    char m_szScriptName[kNameSize];
    FILE* m_pScriptFile; // "tmp/" + script name, owned
    int32_t m_nReserved;
    int32_t m_nLine; // every physical line read from the current script
    INIT_SCR m_InitScr;
    MAIN_SCR m_MainScr;
    SCRIPT_COMMAND_DATA m_ScriptCommand[kSlotCount];
    MESSAGE_WINDOW m_MsgWnd;
    CONTROLLER_WINDOW m_CtrlWnd;
    SELECT_WINDOW_AGG m_SelectWnd;
    GAME_GLOBAL_DATA* m_pGlobalData;
    int32_t m_bReadingOn;
    int32_t m_nReservedA;
    int32_t m_bEnd;
    int32_t m_bSelectOpen;
    int32_t m_nReservedB;
    int32_t m_nReservedC;
    int32_t m_nEpisode;
    int32_t m_nScene;
    GRAPHIC_DATA* m_pGraphic;
    SOUND_DATA* m_pSound;
    VAR_DATA* m_pVar;
    TEXTAREA_DATA* m_pTextArea;
    OBJECT_DATA* m_pObject;
    DRAW_ORDER_DATA* m_pDrawOrder;
    uint32_t m_dwGraphicNum;
    uint32_t m_dwSoundNum;
    uint32_t m_dwVarNum;
    uint32_t m_dwTextAreaNum;
    uint32_t m_dwObjectNum;
    uint32_t m_dwDrawOrderNum;
    float m_fFade;
    uint32_t m_dwAntiAliasLevel;
    int32_t* m_pGraphicShown;
    int32_t* m_pObjectShown;
    int32_t m_nTestNum; // -1 none, 0..3 an exam is asked for or running
    TEST_RESULT_DATA m_TestResult[kTestCount];
    int32_t m_nTestSubject;
    char m_szTestNextScript[kNameSize];
    int32_t m_nTestMask[TEST_RESULT_DATA::kSubjectCount];
    char m_szTestText[kTestTextSize];
    // The interpreter's window-shown flag, here where the windows reach it:
    // the message window, controller bar and choices are shown and take
    // input while it is 1.

private:
    void ErrorPrint(const char* text);
    // Unloads pictures, objects, texts and effects, keeping which were shown.
    void UnloadItems();
    // Every text the adventure renders: the declared text areas, the message
    // window's name and message, the choices' texts. The menus' unload and
    // resume and the smoothing level all walk them here, so none is missed.
    template <typename Visit>
    void ForEachText(Visit visit);
    // Disables the buttons, loads the fade picture and starts a fade-out.
    void StartFadeOut(int state);
    // The windows' part of Initialize; 0 after logging.
    int InitializeWindows();
    // Draws draw-order entry n; an item that cannot be drawn is left out.
    void DrawEntry(uint32_t n);
    // The item an entry names; 0 when it could not be drawn.
    int DrawItem(const DRAW_ORDER_DATA& e);
    // Writes what a part's draw logged (held in m_DrawSaid, with failLine
    // when it failed) unless the part said the same last time.
    void SayOnce(size_t part, int drawn, const char* failLine);
    // With the debug display on: script name, line and the two shown
    // variables over the picture, in one kept GDI text run.
    void DrawDebugInfo();
    void DebugText(int x, int y, const char* text, uint32_t colour);

    // What the current part's draw logged ('\0'-ended lines), and per part
    // (pictures, text areas, objects, then the windows and the fade) a key
    // of what its last draw logged, 0 while it draws cleanly: a failure is
    // written once, and again only when the set of lines it says changes.
    static constexpr size_t kOwnParts = 4;
    std::string m_DrawSaid;
    std::vector<uint64_t> m_DrawFailSaid;
};
