#pragma once
#include <functional>
#include <string>
#include <initializer_list>

#include "engine/game_paths.h"
#include "game/game_global_data.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;
class ADV_DATA;
class LOGO_MODE_DATA;
class DEMO_MODE_DATA;
class TITLE_MODE_DATA;
class TEST_MODE_DATA;
class CONFIG_MODE_DATA;
class SAVE_MODE_DATA;
class LOAD_MODE_DATA;
class CG_MODE_DATA;
class BGM_MODE_DATA;
class STAFF_ROLL_MODE_DATA;

// The game object: owns the mode objects and switches between them once a
// frame, binds the asset slots in the first frame and keeps the cross-play
// data. One global instance (made by the shell) lives for the whole run.
class GAME_MAIN {
public:
    // Mode numbers.
    static constexpr int kModeStart = 0;
    static constexpr int kModeLogo = 1;
    static constexpr int kModeDemo = 2;
    static constexpr int kModeTitle = 3;
    static constexpr int kModeAdventure = 4;
    static constexpr int kModeTest = 5;
    static constexpr int kModeConfig = 6;
    static constexpr int kModeSave = 7;
    static constexpr int kModeLoad = 8;
    static constexpr int kModeSceneReplay = 10;
    static constexpr int kModeGallery = 11;
    static constexpr int kModeMusicRoom = 12;
    static constexpr int kModeStaffRoll = 13;

    // The gallery data script inside dat/Scenario.dat.
    static constexpr const char* kGalleryScript = "CGModeData.spt";

    // The cross-play data file.
    static constexpr const char* kIntegrationFile = ::kIntegrationFile;

    GAME_MAIN();
    ~GAME_MAIN();
    GAME_MAIN(const GAME_MAIN&) = delete;
    GAME_MAIN& operator=(const GAME_MAIN&) = delete;

    // 1 ready, 0 a missing engine object. Makes "sav/" and reads the
    // cross-play data.
    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd);
    // Writes the cross-play data (when it was loaded) and deletes every mode
    // object. Safe to call more than once.
    void Release();

    int GetMode() const { return m_nMode; }
    int GetOldMode() const { return m_nOldMode; }
    // 1 go on, 0 fatal (the shell ends the program).
    int GameMainProc();
    // 1 drawn, 0 the current mode failed to draw.
    int GameMainDraw();

    // Binds the renderer's graphic and texture-text slots and the sound
    // system's slots (first frame). 1 / 0.
    int DataSet();

    // 1 written; 0 not initialised or the file could not be written (the old
    // file is then left as it was).
    int SaveIntegrationData(const char* path);
    void LoadIntegrationData(const char* path);

    GAME_GLOBAL_DATA* GetGlobalData() { return &m_GlobalData; }

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    int m_nMode;
    int m_nOldMode;
    GAME_GLOBAL_DATA m_GlobalData;
    ADV_DATA* m_pAdvData;
    LOGO_MODE_DATA* m_pLogoMode;
    DEMO_MODE_DATA* m_pDemoMode;
    TITLE_MODE_DATA* m_pTitleMode;
    TEST_MODE_DATA* m_pTestMode;
    CONFIG_MODE_DATA* m_pConfigMode;
    SAVE_MODE_DATA* m_pSaveMode;
    LOAD_MODE_DATA* m_pLoadMode;
    CG_MODE_DATA* m_pCGMode;
    BGM_MODE_DATA* m_pBGMMode;
    STAFF_ROLL_MODE_DATA* m_pStaffRollMode;
    // The logo was reached by the title's idle time-out: the demo follows it.
    int m_bDemoAfterLogo;
    // The exam could not start: the story waits, uncovered, for a click to try again.
    int m_bTestWaits;

private:
    void ErrorPrint(const char* text);
    // Keeps a copy of the cross-play file as it was read (text, and more
    // past it when the file is larger), whose value at line (0: none) or
    // whose tail may be lost when it is written at exit; without a copy the
    // file is kept and not written.
    void SetAsideIntegrationData(const char* path, const std::string& text, long line, bool more);
    int ProcStart();
    int ProcLogo();
    int ProcDemo();
    int ProcTitle();
    int ProcAdventure();
    int ProcTest();
    int ProcConfig();
    int ProcSave();
    // Runs a screen's set-up with what it logs held, then writes the lines.
    // When the set-up fails (0), failLine follows them and the set-up's own
    // last message is told in a box. The set-up's result.
    int SetUpScreen(const std::function<int()>& setUp, const char* failLine);
    // The exam over the story (adventure result 2); a failed start waits for a click.
    int StartTest();
    // True while the story waits for the click that tries its exam again.
    bool TestWaitsForClick();
    // The options over the adventure, a replayed scene or the exam (fromMode);
    // a failed start goes back to it.
    int OpenConfigOverGame(int fromMode);
    int ProcLoad();
    // Opens the save or load screen over the running game (adventure result 4 or 5).
    int OpenSaveLoadOverGame(bool load);
    // The title's load row: a fresh adventure for the load screen to read into.
    int OpenLoadFromTitle();
    // Back to the game after a screen over it: its assets loaded again, the
    // interrupted message shown whole, the fade-in from the start.
    void ResumeAdventure();
    // After a load: the saved script reopened at its line, the saved music.
    void ResumeLoadedGame();
    int ProcGallery();
    int ProcSceneReplay();
    // Plays the gallery's chosen scene (mode 10) with the gallery kept; 1 / 0.
    int StartSceneReplay();
    // Deletes the replayed scene and shows the gallery where it was left.
    void EndSceneReplay();
    int ProcMusicRoom();
    int ProcStaffRoll();
    // Creates and starts the logo; 1 / 0.
    int StartLogo();
    // Whether the game's data holds what a mode cannot run without: its data
    // script in the scenario archive (null: none) and the pictures bound to
    // the given slots. When not, one warning names the first missing member
    // and where play goes instead (goesTo), and the mode is not entered.
    bool ModeDataPresent(const char* script, std::initializer_list<int> slots, const char* goesTo);
    // The demo's movie archive is there; else one warning, as above.
    bool DemoMoviePresent();
    int QuitGame();
    // Ends the open game: the read position is recorded, the adventure deleted.
    void EndAdventure();
    void RecordReadPosition();
    // Creates and starts the title screen; 1 / 0.
    int StartTitle();
    // StartTitle, then the title becomes the mode (logged when it cannot); 1 / 0.
    int EnterTitle(int fromMode);
};
