#pragma once
#include <cstdint>

#include "engine/kugraphic2.h"
#include "gallery/cg_controller_window.h"
#include "gallery/cg_select_item_data.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;
class GAME_GLOBAL_DATA;

// The picture gallery: the episodes reached down the left, five scene cells
// of the chosen episode, a panel for a named scene (its pictures or its
// replay), a five by three grid of picture thumbnails, and the full view of
// one picture with its bar. What is listed comes from the gallery data
// script; what may be opened from the cross-play flags.
class CG_MODE_DATA {
public:
    static constexpr int kSlotFade = 0;
    static constexpr int kSlotMaterial = 19;
    static constexpr int kSlotBar = 20;
    static constexpr int kSlotBG = 21;
    static constexpr int kSlotViewBG = 22;
    static constexpr int kSlotScene = 76; // 77 incoming
    static constexpr int kSlotCG = 78; // 79 incoming
    static constexpr int kSlotView = 80; // 81 incoming
    static constexpr int kSeHover = 24;
    static constexpr int kSePush = 25;
    static constexpr int kSePage = 26;
    static constexpr int kSeReplayIn = 27;
    static constexpr int kSeReplayOut = 28;
    static constexpr int kTextTitle = 6; // 7 incoming
    static constexpr int kEpisodes = 7;
    static constexpr int kSceneCells = 5;
    static constexpr int kCGCells = 15;
    // Longest page or scene count a script is searched for.
    static constexpr int kCountLimit = 99;

    // Results of MainProc.
    static constexpr int kResultLeave = 1;
    static constexpr int kResultReplay = 2;

    // Hover ids of the selection screen.
    static constexpr int kIdSceneBack = 13;
    static constexpr int kIdSceneNext = 14;
    static constexpr int kIdList = 15;
    static constexpr int kIdReplay = 16;
    static constexpr int kIdCGBack = 32;
    static constexpr int kIdCGNext = 33;
    static constexpr int kIdExit = 34;

    CG_MODE_DATA();
    ~CG_MODE_DATA();
    CG_MODE_DATA(const CG_MODE_DATA&) = delete;
    CG_MODE_DATA& operator=(const CG_MODE_DATA&) = delete;

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, GAME_GLOBAL_DATA* global, const char* scriptName);
    void Release();
    int CGModeDataLoad();
    int CGModeDataUnload();
    int MainProc();
    int DrawProc();
    int CursorMoveProc();

    // Script readers.
    int GetEpisodeTitle(int episode);
    int SetDataEpisodeScene(int episode, int scenePage);
    int SetDataSceneCG(int episode, int scene, int page);
    int GetMaxScenePage(int episode);
    int GetMaxCGPage(int episode, int scene);
    int IsSelectNextCG(int episode, int scene, int page, int cell, int* outPage, int* outCell);
    int IsSelectBackCG(int episode, int scene, int page, int cell, int* outPage, int* outCell);

    // Unlock rules; anything outside the stored flags counts as locked.
    static int SceneUnlocked(const GAME_GLOBAL_DATA* g, int episode, int scene);
    static int CGUnlocked(const GAME_GLOBAL_DATA* g, int episode, int scene, int page, int cell);
    // Episodes listed: 1 to the highest reached + 1, at most seven.
    int EpisodesListed() const;
    // The scene of the open cell.
    int OpenScene() const { return (m_nScenePage - 1) * kSceneCells + m_nOpenCell; }

    // Back from a replayed scene: the pictures and sounds the scene may have
    // taken over are loaded again and the selection fades in where it was.
    int ReplayReturn();

    // Full view resources.
    int CGSelectItemDataRelease();
    int CGSelectItemDataResume();
    int CGInspectDataLoad();
    int CGInspectDataUnload();

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    int m_nState;
    uint32_t m_dwStateTime;
    float m_fFade;
    float m_fBlink;
    int m_bBlinkUp;
    int m_nHoverId;
    GAME_GLOBAL_DATA* m_pGlobalData;
    char m_szScriptName[260];
    int m_nEpisode;
    int m_nOpenCell;
    int m_nNextCell;
    int m_nCGNum;
    char m_szTitle[100];
    KURECT m_rcTitle;
    float m_fTitleChars, m_fTitleAlpha;
    uint32_t m_dwTitleTime;
    char m_szNextTitle[100];
    KURECT m_rcNextTitle;
    float m_fNextTitleChars, m_fNextTitleAlpha;
    uint32_t m_dwNextTitleTime;
    int m_nCGPage, m_nNextCGPage, m_nCGPageMax;
    float m_fCGAlpha, m_fNextCGAlpha;
    char m_szCGAtlas[260], m_szNextCGAtlas[260];
    CG_SELECT_ITEM_DATA m_cgItem[kCGCells], m_nextCGItem[kCGCells];
    int m_nScenePage, m_nNextScenePage, m_nScenePageMax;
    float m_fSceneAlpha, m_fNextSceneAlpha;
    char m_szSceneAtlas[260], m_szNextSceneAtlas[260];
    CG_SELECT_ITEM_DATA m_sceneItem[kSceneCells], m_nextSceneItem[kSceneCells];
    float m_fPanelAlpha, m_fNextPanelAlpha;
    float m_fViewAlpha, m_fNextViewAlpha;
    char m_szViewFile[260], m_szNextViewFile[260];
    int m_bCtrlWndDisp;
    CG_CONTROLLER_WINDOW m_cgCtrlWnd;

private:
    int PressItem(int id, uint32_t now);
    int OpenEpisode(int id, uint32_t now);
    int OpenCGList(int id, int k, uint32_t now);
    void StepBlink();
    void MoveOnViewBar(int vk);
    int SelectionItemAt(int x, int y) const;
    void Log(const char* op, const char* text) const;
    int Now() const;
    float Progress(uint32_t ms) const;
    int SelectProc(int click);
    int SceneChangeProc();
    int PanelProc();
    int CGPageProc();
    int OpenUnnamedProc();
    int FullViewProc(int click);
    int FullViewControls(int click, int k, uint32_t now);
    int TurnViewPage(bool back, int k, uint32_t now);
    int LeaveFullView(int k, uint32_t now);
    int HoverId(int x, int y) const;
    // Binds an atlas or picture under "tmp/" to a slot and loads it; -1 after
    // the log line when the bind fails, 0 when only the load failed.
    int BindAndLoad(int slot, const char* file, const char* loadFailed);
    void ClearAllCGCells();
    void TypeTitles();
    int BuildTitleText(int slot, const char* title);
    // Steps a picture either way by the unlock bits alone.
    int StepCG(int dir, int episode, int scene, int page, int cell, int* outPage, int* outCell, const char* op);
    int DrawSelection(int press);
    int DrawTitles();
    int DrawSceneList(int press);
    int DrawScenePanels(int press);
    int DrawCGList(int press);
    int DrawFullView();
    int DrawPiece(int slot, float x, float y, const KURECT* src, float alpha);
    int DrawNumber(float x, float y, int n, float alpha);
    int DrawPageNumbers(float y, int page, int max, float alpha);
    int DrawArrow(float x, float y, int id, bool back, int press);
    bool MoveTarget(int current, int vk, KURECT* target) const;
};
