#pragma once
#include <cstdint>

class KUSYSTEM;
class KUSPRITE2;
class KUSND;
class GAME_GLOBAL_DATA;

// The adventure-mode object. Only what the game object and the options
// screen use of it is here so far; the scenario engine fills in the rest.
class ADV_DATA {
public:
    // False until the scenario engine is part of the program: the game
    // object then shows the title again instead of starting a game.
    static constexpr bool kBuilt = false;

    ADV_DATA();
    ~ADV_DATA();
    ADV_DATA(const ADV_DATA&) = delete;
    ADV_DATA& operator=(const ADV_DATA&) = delete;

    int Initialize(const char* script, KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, GAME_GLOBAL_DATA* global);
    void Release();
    // Results of MainProc besides kModeRunning (0) and kModeFailed (-1): the
    // play ended, or the screen to run over the game.
    static constexpr int kResultEnd = 1;
    static constexpr int kResultTest = 2;
    static constexpr int kResultConfig = 3;
    static constexpr int kResultSave = 4;
    static constexpr int kResultLoad = 5;
    int MainProc();
    int DrawProc();
    // Unloads the scene's pictures and sounds while a menu runs over the game,
    // and loads them again afterwards.
    int LoadDataRelease();
    int LoadDataResume();

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
    // Rebuilds the draw order after a priority or shown flag changed.
    void DrawObjectSort();

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    GAME_GLOBAL_DATA* m_pGlobalData;
    int m_nPhase;
    // The interpreter's window-shown flag: the message window, controller bar
    // and choices are shown and take input while it is 1.
    int m_bWindowShown;
};
