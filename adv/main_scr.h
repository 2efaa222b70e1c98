#pragma once
#include <cstdint>

#include "adv/script_token.h"
#include "engine/kugraphic2.h"

class ADV_DATA;
class KUSYSTEM;
class KUSPRITE2;
class KUSND;
class SCRIPT_COMMAND_DATA;
class OBJECT_DATA;
struct OBJECT_PROC_DATA;

// The scenario interpreter: reads the owner's current script, stores at most
// one command a frame in the owner's six command slots and runs the slots'
// keyword handlers. Handlers keep their progress in their slot, free it when
// done and return 0 only on failure.
class MAIN_SCR {
public:
    static constexpr int kSlotCount = 6;
    static constexpr int kLineSize = 512; // the reader's line buffer
    static constexpr int kSeekLineSize = 1024; // line buffer of the block searches
    static constexpr int kNameSize = 260;

    MAIN_SCR();
    ~MAIN_SCR();
    MAIN_SCR(const MAIN_SCR&) = delete;
    MAIN_SCR& operator=(const MAIN_SCR&) = delete;

    void Clear();
    int Initialize(ADV_DATA* owner, KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd);
    // 0 go on, 1 end of the script without "#EndScript", -1 error.
    int MainProc();
    // 0 nothing more this frame, 1 end of file, -1 error.
    int ReadScript();
    // 1 done for this frame, 0 failure of the dispatcher itself, -1 not initialised.
    int DistributionScriptProc(int slot);
    // Advances *value towards target (direction != 0 rising); 1 reached, 0 running, -1 error.
    int FadeFunc(int direction, float* value, float target, uint32_t start, uint32_t duration);
    // Asks for the scene to be composed into the mosaic surface: that needs
    // the frame being drawn, so it happens at the next draw. Always 1.
    int MosaicDummyProc();
    // Rebuilds a mosaic that is on at its current size (work surfaces,
    // composition, cells, colours) and frees the slot; with the mosaic off
    // only frees it. 1, 0 on failure (logged).
    int MosaicReloadProc(SCRIPT_COMMAND_DATA* cmd);
    // Draws the mosaic over what the frame holds so far, composing the scene
    // first when a mosaic has just started. Nothing while the mosaic is off.
    void MosaicDrawProc();
    // 1 recorded, 0 list full or no name, -1 not initialised.
    int AddAutoSkipFileList(const char* name, int32_t line);
    // 1 and *line when the script has a record, 0 when not, -1 error.
    int CheckAutoSkipFileList(const char* name, int32_t* line);
    int ScriptFileOpen(const char* name, int32_t line);

    // Handlers, in the order of the keyword table.
    int SetDataProc(SCRIPT_COMMAND_DATA* cmd);
    int LoadDataProc(SCRIPT_COMMAND_DATA* cmd);
    int UnloadDataProc(SCRIPT_COMMAND_DATA* cmd);
    int MoviePlayProc(SCRIPT_COMMAND_DATA* cmd);
    int GraphicDispProc(SCRIPT_COMMAND_DATA* cmd);
    int GraphicHideProc(SCRIPT_COMMAND_DATA* cmd);
    int TextAreaDispProc(SCRIPT_COMMAND_DATA* cmd);
    int TextAreaHideProc(SCRIPT_COMMAND_DATA* cmd);
    int TextScrollProc(SCRIPT_COMMAND_DATA* cmd);
    int WipeProc(SCRIPT_COMMAND_DATA* cmd);
    int MosaicExpansionProc(SCRIPT_COMMAND_DATA* cmd);
    int MosaicReductionProc(SCRIPT_COMMAND_DATA* cmd);
    int MosaicEndProc(SCRIPT_COMMAND_DATA* cmd);
    int SetObjectAnimProc(SCRIPT_COMMAND_DATA* cmd);
    int SetObjectDrawPropertyProc(SCRIPT_COMMAND_DATA* cmd);
    int AddObjectBufProc(SCRIPT_COMMAND_DATA* cmd);
    int StartObjectProc(SCRIPT_COMMAND_DATA* cmd);
    int EndObjectProc(SCRIPT_COMMAND_DATA* cmd);
    int StartObjectProc_WaitProc(SCRIPT_COMMAND_DATA* cmd);
    int ObjectAllFadeOutProc(SCRIPT_COMMAND_DATA* cmd);
    int FadeInProc(SCRIPT_COMMAND_DATA* cmd);
    int FadeIn2Proc(SCRIPT_COMMAND_DATA* cmd);
    int FadeOutProc(SCRIPT_COMMAND_DATA* cmd);
    int KeyWaitProc(SCRIPT_COMMAND_DATA* cmd);
    int TimeWaitProc(SCRIPT_COMMAND_DATA* cmd);
    int MsgWndOpenProc(SCRIPT_COMMAND_DATA* cmd);
    int MsgWndCloseProc(SCRIPT_COMMAND_DATA* cmd);
    int SelectStartProc(SCRIPT_COMMAND_DATA* cmd);
    int SelectWaitProc(SCRIPT_COMMAND_DATA* cmd);
    int SelectBranchProc(SCRIPT_COMMAND_DATA* cmd);
    int SelectEndProc(SCRIPT_COMMAND_DATA* cmd);
    int MsgDispProc(SCRIPT_COMMAND_DATA* cmd);
    int MsgWndClear(SCRIPT_COMMAND_DATA* cmd);
    int IfProc(SCRIPT_COMMAND_DATA* cmd);
    int ElseIfProc(SCRIPT_COMMAND_DATA* cmd);
    int ElseProc(SCRIPT_COMMAND_DATA* cmd);
    int EndIfProc(SCRIPT_COMMAND_DATA* cmd);
    int RandomStartProc(SCRIPT_COMMAND_DATA* cmd);
    int RandomBranchProc(SCRIPT_COMMAND_DATA* cmd);
    int RandomEndProc(SCRIPT_COMMAND_DATA* cmd);
    int JumpProc(SCRIPT_COMMAND_DATA* cmd);
    int GoToProc(SCRIPT_COMMAND_DATA* cmd);
    int FileChangeProc(SCRIPT_COMMAND_DATA* cmd);
    int FileChange2Proc(SCRIPT_COMMAND_DATA* cmd);
    int EndScriptProc(SCRIPT_COMMAND_DATA* cmd);
    int TestModeInProc(SCRIPT_COMMAND_DATA* cmd);
    int ChangeEpisodeProc(SCRIPT_COMMAND_DATA* cmd);
    int ChangeSceneProc(SCRIPT_COMMAND_DATA* cmd);
    int PutInEpisodeDataProc(SCRIPT_COMMAND_DATA* cmd);
    int PutInSceneDataProc(SCRIPT_COMMAND_DATA* cmd);
    int ChangeTestResultProc(SCRIPT_COMMAND_DATA* cmd);
    int PutInTestResultProc(SCRIPT_COMMAND_DATA* cmd);
    int AddInTestResultProc(SCRIPT_COMMAND_DATA* cmd);
    int AddVarProc(SCRIPT_COMMAND_DATA* cmd);
    int ChangeVarProc(SCRIPT_COMMAND_DATA* cmd);
    int FlgOnVarProc(SCRIPT_COMMAND_DATA* cmd);
    int FlgOffVarProc(SCRIPT_COMMAND_DATA* cmd);
    int AddAutoSkipFileListProc(SCRIPT_COMMAND_DATA* cmd);
    int PlayWaveProc(SCRIPT_COMMAND_DATA* cmd);
    int StopWaveProc(SCRIPT_COMMAND_DATA* cmd);
    int PlayVoiceProc(SCRIPT_COMMAND_DATA* cmd);
    int StopVoiceProc(SCRIPT_COMMAND_DATA* cmd);
    int PlayBGMProc(SCRIPT_COMMAND_DATA* cmd);
    int StopBGMProc(SCRIPT_COMMAND_DATA* cmd);
    int BGMWaitProc(SCRIPT_COMMAND_DATA* cmd);

    uint32_t m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    ADV_DATA* m_pAdvData;
    int32_t m_nTileNum;
    KURECT* m_pTileRect;
    KURECT* m_pTileTarget;
    int32_t* m_pTileValue;
    int32_t m_nTransitionSlot;
    KURECT* m_pMosaicCell;
    uint32_t* m_pMosaicColor;
    uint32_t m_dwMosaicSize;
    int32_t m_bMosaicOn;
    int32_t m_bMosaicColorReady;
    int32_t m_bMosaicCompose; // the scene is to be composed at the next draw
    int32_t m_bMosaicDrawFailed; // said once; the mosaic is not drawn until set up again
    int32_t m_bAutoSkipList; // the current script has a read-skip record
    int32_t m_nAutoSkipLine; // its line; -1 the whole script was read
    char m_szBGMName[kNameSize];
    int32_t m_bBGMFlag;

private:
    void ErrorPrint(const char* text);
    // Formats one log line with a bounded buffer.
    void ErrorPrintF(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The checks every handler makes first; false after logging.
    bool HandlerReady(const char* handler, SCRIPT_COMMAND_DATA* cmd);
    void HandlerError(const char* handler, const char* message);
    // The player's advance and the skip tests of the waiting commands.
    uint32_t Now() const;
    bool PlayerClicked() const;
    bool SkipKey() const;
    // The current line lies in the part of the script read before.
    bool LineRead() const;
    bool AutoSkipApplies() const;
    // Ctrl or auto-skip while the windows are shown, or a click not over a
    // voiced history entry or a button; never while the history is shown.
    bool SkipTest() const;
    // The waits' fast-forward: skip hold set over a line read before.
    bool FastForward() const;
    bool MessageClicked() const;
    // Presentation, objects, data and fades.
    void ScreenSize(uint32_t* width, uint32_t* height);
    void MovieRestore();
    int MovieFailed(const char* message);
    void FreeTiles();
    OBJECT_PROC_DATA StepArguments(const SCRIPT_COMMAND_DATA* cmd, const OBJECT_DATA& obj, int32_t type);
    bool SetTextAreaData(SCRIPT_COMMAND_DATA* cmd, int index);
    bool SetObjectData(SCRIPT_COMMAND_DATA* cmd, int index);
    int StartWipe(SCRIPT_COMMAND_DATA* cmd, bool wave1, int32_t W, int32_t H, int32_t T);
    int StepWipe(SCRIPT_COMMAND_DATA* cmd, bool wave1, int32_t W, int32_t T);
    void FreeMosaic();
    bool BuildMosaic(uint32_t size);
    // The set-up a mosaic command shares with the reload: 1, 0 logged under tag.
    int SetUpMosaic(const char* tag);
    int MosaicProc(const char* tag, SCRIPT_COMMAND_DATA* cmd, bool expand);
    OBJECT_DATA* FindObject(const char* tag, const char* id);
    int LoadItem(const char* tag, SCRIPT_COMMAND_DATA* cmd, bool load);
    float* ItemAlpha(const char* tag, int kind, const char* id);
    int FadeInStep(const char* tag, SCRIPT_COMMAND_DATA* cmd, int kind, uint32_t ms);
    int UnknownFadeKind(const char* tag, SCRIPT_COMMAND_DATA* cmd);
    int MsgWndFade(const char* tag, SCRIPT_COMMAND_DATA* cmd, bool open);
    void ClearMessageAreas();

    // Extracts `name` from the script archive and opens it as the owner's
    // script; the log lines carry `tag`. 1 opened; 0 failed (logged).
    int OpenScript(const char* tag, const char* name, bool logMissingAsFileChange);
    void CloseScript();

    // One line of a block search: read, counted, unscrambled and cut into
    // at most `maxTokens` tokens. 1 a line (count in *count, 0 for a marker
    // line), 0 the end of the file or an error (logged with the handler's tag).
    int SeekLine(const char* handler, adv::ScriptToken* tokens, int maxTokens, int* count);
    // Reads on to the first line that one of `marks` describes; the ID token
    // of each is compared with the block ID `id` as an integer. Returns the
    // index of the mark found, -1 after a failure (logged).
    int SeekBlockLine(const char* handler, const adv::BlockMark* marks, int markCount, int32_t id,
                      adv::ScriptToken* tokens, int maxTokens);

    // Variable value or the argument as a number; false when the search failed.
    bool ConditionOperand(const char* arg, int32_t* value);
    // All ten controller buttons off, or back to their resting looks.
    void ControllerButtons(bool on);
    // Releases the reader and the choice set after a failed choice; 0.
    int ChoiceFailed(const char* handler, const char* message);
    int FileChange(const char* handler, SCRIPT_COMMAND_DATA* cmd, bool markNewRead);
    int FlagVar(const char* handler, SCRIPT_COMMAND_DATA* cmd, int on);
    int VarIndex(const char* handler, const char* id);
    bool TestArgs(const char* handler, const char* test, const char* subject, int* testNo, int* subjectNo);
    void MarkSceneSeen();
};
