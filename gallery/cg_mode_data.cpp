#include "gallery/cg_mode_data.h"

#include <cstdio>
#include <cstring>

#include "game/game_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "game/game_global_data.h"
#include "game/shell_services.h"
#include "modes/mode_common.h"

namespace {

constexpr const char* kMusic = "BGM02.mp3";
constexpr uint32_t kFadeMs = 1000;
constexpr uint32_t kChangeMs = 500;

const char* const kSeFiles[5] = {"CGModeCursorON.wav", "CGModePush.wav", "CGModePage.wav", "CGModeReplayIn.wav",
                                 "CGModeReplayOut.wav"};

} // namespace

CG_MODE_DATA::CG_MODE_DATA()
    : m_bInit(0), m_pKUSys(nullptr), m_pKUSprite(nullptr), m_pKUSnd(nullptr), m_pGlobalData(nullptr) {
    Release();
}

CG_MODE_DATA::~CG_MODE_DATA() { Release(); }

void CG_MODE_DATA::Log(const char* op, const char* text) const {
    char tag[64];
    std::snprintf(tag, sizeof tag, "CG_MODE_DATA::%s", op);
    modes::ErrorPrint(m_pKUSys, tag, text);
}

int CG_MODE_DATA::Now() const { return m_pKUSys->GetTime(); }

float CG_MODE_DATA::Progress(uint32_t ms) const {
    return static_cast<float>(static_cast<uint32_t>(Now()) - m_dwStateTime) / static_cast<float>(ms);
}

int CG_MODE_DATA::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, GAME_GLOBAL_DATA* global,
                             const char* scriptName) {
    Release();
    if (!modes::EnginePointersGiven(sys, sprite, snd, "CG_MODE_DATA::Initialize"))
        return 0;
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    if (!global) {
        Log("Initialize", "GAME_GLOBAL_DATAクラスポインタの引数が不正です");
        return 0;
    }
    m_pGlobalData = global;
    if (!scriptName) {
        Log("Initialize", "CGモード用データ格納スクリプトが不正です");
        return 0;
    }
    game::CopyFixed(m_szScriptName, scriptName);
    for (int set = 0; set < 2; ++set) {
        CG_SELECT_ITEM_DATA* scenes = set ? m_nextSceneItem : m_sceneItem;
        CG_SELECT_ITEM_DATA* cgs = set ? m_nextCGItem : m_cgItem;
        for (int c = 0; c < kSceneCells; ++c) {
            const float x = 116.0f + 136.0f * c, y = 100.0f;
            const KURECT hit{116 + 136 * c, 100, 116 + 136 * (c + 1), 204};
            scenes[c].SetData(nullptr, nullptr, nullptr, &x, &y, nullptr, &hit, nullptr);
        }
        for (int n = 0; n < kCGCells; ++n) {
            const int cx = n % 5, cy = n / 5;
            const float x = 116.0f + 136.0f * cx, y = 228.0f + 104.0f * cy;
            const KURECT hit{116 + 136 * cx, 228 + 104 * cy, 116 + 136 * (cx + 1), 228 + 104 * (cy + 1)};
            cgs[n].SetData(nullptr, nullptr, nullptr, &x, &y, nullptr, &hit, nullptr);
        }
    }
    if (!CGModeDataLoad()) {
        Log("Initialize", "必要データのロードに失敗しました");
        return 0;
    }
    m_bInit = 1;
    return 1;
}

int CG_MODE_DATA::CGModeDataLoad() {
    if (!modes::EnginePointersHeld(m_pKUSys, m_pKUSprite, m_pKUSnd, "CG_MODE_DATA::CGModeDataLoad"))
        return 0;
    for (int slot : {kSlotFade, kSlotBG, kSlotMaterial}) {
        if (GraphicLoad(m_pKUSprite, m_pKUSys, slot) != 1) {
            Log("CGModeDataLoad", "画像のロードに失敗しました");
            return 0;
        }
    }
    for (int slot : {kSeHover, kSePush, kSePage, kSeReplayOut}) {
        if (SELoad(m_pKUSnd, m_pKUSys, slot, kSeFiles[slot - kSeHover]) != 1) {
            Log("CGModeDataLoad", "SEのロードに失敗しました");
            return 0;
        }
    }
    return 1;
}

int CG_MODE_DATA::CGModeDataUnload() {
    if (!m_pKUSys || !m_pKUSprite || !m_pKUSnd)
        return 1;
    for (int slot : {kSlotFade, kSlotBG, kSlotMaterial})
        if (GraphicUnload(m_pKUSprite, m_pKUSys, slot) != 1)
            Log("CGModeDataUnload", "画像のアンロードに失敗しました");
    for (int slot = kSeHover; slot <= kSeReplayOut; ++slot)
        if (SEUnload(m_pKUSnd, m_pKUSys, slot) != 1)
            Log("CGModeDataUnload", "SEのアンロードに失敗しました");
    char* names[6] = {m_szCGAtlas, m_szNextCGAtlas, m_szSceneAtlas, m_szNextSceneAtlas, m_szViewFile, m_szNextViewFile};
    const int slots[6] = {kSlotCG, kSlotCG + 1, kSlotScene, kSlotScene + 1, kSlotView, kSlotView + 1};
    for (int i = 0; i < 6; ++i) {
        if (!names[i][0])
            continue;
        if (GraphicUnload(m_pKUSprite, m_pKUSys, slots[i]) != 1)
            Log("CGModeDataUnload", "画像のアンロードに失敗しました");
        names[i][0] = '\0';
    }
    m_pKUSprite->ReleaseTextureTextData(kTextTitle);
    m_pKUSprite->ReleaseTextureTextData(kTextTitle + 1);
    return 1;
}

void CG_MODE_DATA::Release() {
    CGModeDataUnload();
    m_nState = 0;
    m_dwStateTime = 0;
    m_fFade = 1.0f;
    m_fBlink = 1.0f;
    m_bBlinkUp = 0;
    m_nHoverId = 0;
    m_szScriptName[0] = '\0';
    m_nEpisode = m_nOpenCell = m_nNextCell = m_nCGNum = 0;
    m_szTitle[0] = m_szNextTitle[0] = '\0';
    m_rcTitle = m_rcNextTitle = KURECT{0, 0, 0, 0};
    m_fTitleChars = m_fTitleAlpha = m_fNextTitleChars = m_fNextTitleAlpha = 0.0f;
    m_dwTitleTime = m_dwNextTitleTime = 0;
    m_nCGPage = m_nNextCGPage = m_nCGPageMax = 0;
    m_nScenePage = m_nNextScenePage = m_nScenePageMax = 0;
    m_fCGAlpha = m_fNextCGAlpha = m_fSceneAlpha = m_fNextSceneAlpha = 0.0f;
    for (CG_SELECT_ITEM_DATA* a : {m_sceneItem, m_nextSceneItem})
        for (int i = 0; i < kSceneCells; ++i)
            a[i].Clear();
    for (CG_SELECT_ITEM_DATA* a : {m_cgItem, m_nextCGItem})
        for (int i = 0; i < kCGCells; ++i)
            a[i].Clear();
    m_szCGAtlas[0] = m_szNextCGAtlas[0] = m_szSceneAtlas[0] = m_szNextSceneAtlas[0] = '\0';
    m_szViewFile[0] = m_szNextViewFile[0] = '\0';
    m_fPanelAlpha = m_fNextPanelAlpha = m_fViewAlpha = m_fNextViewAlpha = 0.0f;
    m_bCtrlWndDisp = 1;
    m_cgCtrlWnd.Clear();
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_pGlobalData = nullptr;
    m_bInit = 0;
}

int CG_MODE_DATA::BindAndLoad(int slot, const char* file, const char* loadFailed) {
    if (m_pKUSprite->SetGraphicData(static_cast<uint32_t>(slot), "tmp/", file, 4, 1) < 0) {
        Log("MainProc", "データの設定に失敗しました");
        return -1;
    }
    if (GraphicLoad(m_pKUSprite, m_pKUSys, slot) != 1) {
        Log("MainProc", loadFailed);
        return 0;
    }
    return 1;
}

void CG_MODE_DATA::ClearAllCGCells() {
    for (int i = 0; i < kCGCells; ++i) {
        m_cgItem[i].ClearContent();
        m_nextCGItem[i].ClearContent();
    }
}

void CG_MODE_DATA::TypeTitles() {
    const uint32_t speed = g_dwMessageSpeed ? g_dwMessageSpeed : 1;
    const uint32_t now = static_cast<uint32_t>(Now());
    struct Title {
        const char* text;
        uint32_t start;
        float* chars;
    } titles[2] = {{m_szTitle, m_dwTitleTime, &m_fTitleChars}, {m_szNextTitle, m_dwNextTitleTime, &m_fNextTitleChars}};
    for (Title& t : titles) {
        if (!t.text[0] || t.start == 0)
            continue;
        // Whole characters: the title grows one full-width character at a time.
        const uint32_t typed = (now - t.start) / speed;
        const size_t length = std::strlen(t.text) / 2;
        *t.chars = static_cast<float>(typed);
        if (static_cast<float>(length) <= *t.chars)
            *t.chars = -1.0f;
    }
}

int CG_MODE_DATA::MainProc() {
    if (!m_bInit) {
        Log("MainProc", "初期化されていません");
        return -1;
    }
    const int click = modes::ClickState(m_pKUSys);
    int r = 0;
    switch (m_nState) {
        case 0:
            m_fFade = 1.0f;
            BGM_DS_Play(m_pKUSnd, m_pKUSys, 1, kMusic);
            m_dwStateTime = static_cast<uint32_t>(Now());
            m_nState = 1;
            break;
        case 1: {
            m_fFade = 1.0f - Progress(kFadeMs);
            if (m_fFade <= 0.0f) {
                m_fFade = 0.0f;
                m_dwStateTime = static_cast<uint32_t>(Now());
                m_nState = 2;
            }
            break;
        }
        case 2: r = SelectProc(click); break;
        case 3: r = SceneChangeProc(); break;
        case 4: r = PanelProc(); break;
        case 5: r = CGPageProc(); break;
        case 6: r = OpenUnnamedProc(); break;
        case 7:
        case 8:
            m_fFade = Progress(kFadeMs);
            if (m_fFade >= 1.0f) {
                m_fFade = 1.0f;
                m_dwStateTime = static_cast<uint32_t>(Now());
                if (m_nState == 8) {
                    g_bAutoSkip = 0;
                    return kResultReplay;
                }
                return kResultLeave;
            }
            break;
        default: r = FullViewProc(click); break;
    }
    if (r != 0)
        return r;
    TypeTitles();
    return 0;
}

int CG_MODE_DATA::SelectProc(int click) {
    CursorMoveProc();
    int x = 0, y = 0;
    m_pKUSys->GetMousePos(&x, &y);
    const int id = HoverId(x, y);
    const uint32_t now = static_cast<uint32_t>(Now());
    if (id != 0 && click == 3) {
        const int r = PressItem(id, now);
        if (r != 1)
            return r;
    }
    StepBlink();
    if (id != m_nHoverId) {
        m_nHoverId = id;
        if (id != 0)
            SEPlay(m_pKUSnd, m_pKUSys, kSeHover, 0);
    }
    return 0;
}

// A click on an item: -1 when a picture would not load, 0 when the frame ends here, 1 to go on.
int CG_MODE_DATA::PressItem(int id, uint32_t now) {
    SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
    const int k = OpenScene();
    char atlas[64];
    if (id >= 1 && id <= kEpisodes) {
        if (OpenEpisode(id, now) < 0)
            return -1;
    } else if (id == kIdList || id == kIdCGBack || id == kIdCGNext) {
        return OpenCGList(id, k, now);
    } else if (id == kIdReplay) {
        m_nState = 8;
    } else if (id >= 8 && id <= 12) {
        m_fNextPanelAlpha = 0.0f;
        m_nNextCell = id - 7;
        m_nState = m_sceneItem[id - 8].szName[0] ? 4 : 6;
    } else if (id == kIdSceneBack || id == kIdSceneNext) {
        std::snprintf(atlas, sizeof atlas, "TH_SC_EPI%02d.bmp", m_nEpisode);
        game::CopyFixed(m_szNextSceneAtlas, atlas);
        if (BindAndLoad(kSlotScene + 1, atlas, "画像のロードに失敗しました") < 0)
            return -1;
        m_nNextScenePage = m_nScenePage + (id == kIdSceneBack ? -1 : 1);
        m_nCGPage = m_nNextCGPage = m_nCGPageMax = 0;
        SetDataEpisodeScene(m_nEpisode, m_nNextScenePage);
        m_fNextSceneAlpha = 0.0f;
        m_nState = 3;
    } else if (id >= 17 && id <= 31) {
        m_nCGNum = id - 16;
        game::CopyFixed(m_szViewFile, m_cgItem[id - 17].szName);
        m_fFade = 0.0f;
        m_nState = 9;
    } else if (id == kIdExit) {
        m_nState = 7;
    }
    m_dwStateTime = now;
    return 1;
}

// Shows an episode's title and the first page of its scenes.
int CG_MODE_DATA::OpenEpisode(int id, uint32_t now) {
    char atlas[64];
    m_nEpisode = id;
    std::snprintf(atlas, sizeof atlas, "TH_SC_EPI%02d.bmp", id);
    game::CopyFixed(m_szNextSceneAtlas, atlas);
    if (BindAndLoad(kSlotScene + 1, atlas, "画像のロードに失敗しました") < 0)
        return -1;
    GetEpisodeTitle(id);
    m_fNextTitleAlpha = 0.0f;
    m_fNextTitleChars = 0.0f;
    m_dwNextTitleTime = now;
    GetMaxScenePage(id);
    m_nScenePage = m_nScenePageMax < 1 ? 0 : 1;
    m_nCGPageMax = m_nNextCGPage = m_nCGPage = m_nNextScenePage = 0;
    SetDataEpisodeScene(id, m_nScenePage);
    m_fNextSceneAlpha = 0.0f;
    m_nNextCell = m_nOpenCell = 0;
    m_nState = 3;
    return 0;
}

// Opens a scene's picture list, or turns its page.
int CG_MODE_DATA::OpenCGList(int id, int k, uint32_t now) {
    char atlas[64];
    std::snprintf(atlas, sizeof atlas, "TH_CG_EPI%02d_SC%02d.bmp", m_nEpisode, k);
    game::CopyFixed(m_szNextCGAtlas, atlas);
    if (BindAndLoad(kSlotCG + 1, atlas, "CGサムネイルのロードに失敗しました") < 0)
        return -1;
    if (id == kIdList) {
        GetMaxCGPage(m_nEpisode, k);
        m_nNextCGPage = m_nCGPageMax < 1 ? 0 : 1;
        SetDataSceneCG(m_nEpisode, k, m_nCGPage);
        m_fCGAlpha = m_fNextCGAlpha = 0.0f;
    } else {
        m_nNextCGPage = m_nCGPage + (id == kIdCGBack ? -1 : 1);
        SetDataSceneCG(m_nEpisode, k, m_nNextCGPage);
        m_fNextCGAlpha = 0.0f;
    }
    m_nState = 5;
    m_dwStateTime = now;
    return 0;
}

// The highlight's slow brightening and quicker dimming.
void CG_MODE_DATA::StepBlink() {
    if (m_bBlinkUp) {
        m_fBlink += 0.032f;
        if (m_fBlink >= 1.0f) {
            m_fBlink = 1.0f;
            m_bBlinkUp = 0;
        }
    } else {
        m_fBlink -= 0.016f;
        if (m_fBlink <= 0.0f) {
            m_fBlink = 0.0f;
            m_bBlinkUp = 1;
        }
    }
}

int CG_MODE_DATA::HoverId(int x, int y) const {
    const int listed = EpisodesListed();
    for (int i = 1; i <= listed; ++i)
        if (i != m_nEpisode && modes::RectHit(KURECT{4, 55 + 72 * (i - 1), 116, 55 + 72 * i}, x, y))
            return i;
    if (m_nOpenCell >= 1 && m_nOpenCell <= kSceneCells && m_fPanelAlpha > 0.0f) {
        const int px = static_cast<int>(m_sceneItem[m_nOpenCell - 1].fPosX);
        const int py = static_cast<int>(m_sceneItem[m_nOpenCell - 1].fPosY);
        if (modes::RectHit(KURECT{px + 25, py + 38, px + 113, py + 54}, x, y))
            return kIdList;
        if (modes::RectHit(KURECT{px + 1, py + 58, px + 137, py + 74}, x, y))
            return kIdReplay;
    }
    if (m_nEpisode > 0) {
        for (int c = 1; c <= kSceneCells; ++c) {
            const CG_SELECT_ITEM_DATA& cell = m_sceneItem[c - 1];
            if (!cell.bDispFlg || !cell.bSelectFlg)
                continue;
            if (c == m_nOpenCell && (m_fPanelAlpha != 0.0f || !cell.szName[0]))
                continue;
            if (cell.HitCheck(x, y))
                return c + 7;
        }
        if (m_nScenePage > 1 && modes::RectHit(KURECT{117, 206, 173, 222}, x, y))
            return kIdSceneBack;
        if (m_nScenePage < m_nScenePageMax && modes::RectHit(KURECT{731, 206, 787, 222}, x, y))
            return kIdSceneNext;
    }
    if (m_nOpenCell >= 1)
        for (int n = 0; n < kCGCells; ++n)
            if (m_cgItem[n].bDispFlg && m_cgItem[n].bSelectFlg && m_cgItem[n].HitCheck(x, y))
                return n + 17;
    if (m_nEpisode > 0) {
        if (m_nCGPage > 1 && modes::RectHit(KURECT{117, 542, 173, 558}, x, y))
            return kIdCGBack;
        if (m_nCGPage < m_nCGPageMax && modes::RectHit(KURECT{731, 542, 787, 558}, x, y))
            return kIdCGNext;
    }
    if (modes::RectHit(KURECT{284, 568, 548, 592}, x, y))
        return kIdExit;
    return 0;
}

int CG_MODE_DATA::SceneChangeProc() {
    float t = Progress(kChangeMs);
    const bool episodeChange = m_nNextScenePage == 0;
    if (t < 1.0f) {
        m_fNextSceneAlpha = t;
        m_fSceneAlpha = 1.0f - t;
        if (episodeChange) {
            m_fNextTitleAlpha = t;
            if (m_fTitleAlpha > 0.0f)
                m_fTitleAlpha = m_fSceneAlpha;
        }
        if (m_fPanelAlpha > 0.0f)
            m_fPanelAlpha = m_fSceneAlpha;
        if (m_fCGAlpha > 0.0f)
            m_fCGAlpha = m_fSceneAlpha;
        return 0;
    }
    m_fNextSceneAlpha = 0.0f;
    m_fSceneAlpha = 1.0f;
    m_fCGAlpha = m_fPanelAlpha = 0.0f;
    if (episodeChange) {
        m_nCGPageMax = 0;
        m_fNextTitleAlpha = 0.0f;
        m_fTitleAlpha = 1.0f;
        game::CopyFixed(m_szTitle, m_szNextTitle);
        m_szNextTitle[0] = '\0';
        if (m_szTitle[0])
            BuildTitleText(kTextTitle, m_szTitle);
        else
            m_pKUSprite->ReleaseTextureTextData(kTextTitle);
        m_pKUSprite->ReleaseTextureTextData(kTextTitle + 1);
        m_rcTitle = m_rcNextTitle;
        m_rcNextTitle = KURECT{0, 0, 0, 0};
        m_fTitleChars = m_fNextTitleChars;
        m_dwTitleTime = m_dwNextTitleTime;
        m_fNextTitleChars = 0.0f;
        m_dwNextTitleTime = 0;
    }
    for (int i = 0; i < kSceneCells; ++i) {
        CG_SELECT_ITEM_DATA& shown = m_sceneItem[i];
        const CG_SELECT_ITEM_DATA& next = m_nextSceneItem[i];
        shown.SetData(&next.bDispFlg, &next.bSelectFlg, &next.bFullCGFlg, nullptr, nullptr, &next.rcDraw, nullptr,
                      next.szName);
        m_nextSceneItem[i].ClearContent();
    }
    ClearAllCGCells();
    game::CopyFixed(m_szSceneAtlas, m_szNextSceneAtlas);
    m_szNextSceneAtlas[0] = '\0';
    for (int slot : {kSlotScene, kSlotScene + 1})
        if (GraphicUnload(m_pKUSprite, m_pKUSys, slot) != 1) {
            Log("MainProc", "画像のアンロードに失敗しました");
            return -1;
        }
    if (m_szSceneAtlas[0] && BindAndLoad(kSlotScene, m_szSceneAtlas, "画像のロードに失敗しました") < 0)
        return -1;
    m_szCGAtlas[0] = m_szNextCGAtlas[0] = '\0';
    for (int slot : {kSlotCG, kSlotCG + 1})
        if (GraphicUnload(m_pKUSprite, m_pKUSys, slot) != 1)
            Log("MainProc", "画像のアンロードに失敗しました");
    if (!episodeChange)
        m_nScenePage = m_nNextScenePage;
    m_nNextScenePage = 0;
    m_nCGPage = m_nNextCGPage = m_nCGPageMax = 0;
    m_nCGNum = m_nNextCell = m_nOpenCell = 0;
    m_nState = 2;
    return 0;
}

int CG_MODE_DATA::PanelProc() {
    const float t = Progress(kChangeMs);
    if (t < 1.0f) {
        m_fNextPanelAlpha = t;
        if (m_fPanelAlpha > 0.0f)
            m_fPanelAlpha = 1.0f - t;
        if (m_fCGAlpha > 0.0f)
            m_fCGAlpha = 1.0f - t;
        return 0;
    }
    m_fNextPanelAlpha = 0.0f;
    m_fPanelAlpha = 1.0f;
    m_nOpenCell = m_nNextCell;
    m_nNextCell = 0;
    m_fCGAlpha = 0.0f;
    ClearAllCGCells();
    // The list is closed: its page arrows must not stay drawn or clickable.
    m_nCGPage = m_nNextCGPage = m_nCGPageMax = 0;
    if (GraphicUnload(m_pKUSprite, m_pKUSys, kSlotCG) != 1) {
        Log("MainProc", "画像のアンロードに失敗しました");
        return -1;
    }
    m_szCGAtlas[0] = '\0';
    m_nState = 2;
    return 0;
}

int CG_MODE_DATA::CGPageProc() {
    const float t = Progress(kChangeMs);
    if (t < 1.0f) {
        m_fNextCGAlpha = t;
        if (m_fPanelAlpha > 0.0f)
            m_fPanelAlpha = 1.0f - t;
        if (m_fCGAlpha > 0.0f)
            m_fCGAlpha = 1.0f - t;
        return 0;
    }
    m_fNextCGAlpha = 0.0f;
    m_fCGAlpha = 1.0f;
    m_fPanelAlpha = 0.0f;
    for (int i = 0; i < kCGCells; ++i) {
        const CG_SELECT_ITEM_DATA& next = m_nextCGItem[i];
        m_cgItem[i].SetData(&next.bDispFlg, &next.bSelectFlg, &next.bFullCGFlg, nullptr, nullptr, &next.rcDraw, nullptr,
                            next.szName);
        m_nextCGItem[i].ClearContent();
    }
    game::CopyFixed(m_szCGAtlas, m_szNextCGAtlas);
    m_szNextCGAtlas[0] = '\0';
    for (int slot : {kSlotCG, kSlotCG + 1})
        if (GraphicUnload(m_pKUSprite, m_pKUSys, slot) != 1) {
            Log("MainProc", "画像のアンロードに失敗しました");
            return -1;
        }
    if (m_szCGAtlas[0] && BindAndLoad(kSlotCG, m_szCGAtlas, "画像のロードに失敗しました") < 0)
        return -1;
    m_nCGPage = m_nNextCGPage;
    m_nNextCGPage = 0;
    m_nCGNum = 0;
    m_nState = 2;
    return 0;
}

int CG_MODE_DATA::OpenUnnamedProc() {
    if (m_fCGAlpha > 0.0f) {
        m_fCGAlpha = 1.0f - Progress(kChangeMs);
        if (m_fPanelAlpha > 0.0f)
            m_fPanelAlpha = m_fCGAlpha;
        if (m_fCGAlpha > 0.0f)
            return 0;
    }
    m_fPanelAlpha = m_fCGAlpha = 0.0f;
    m_nOpenCell = m_nNextCell;
    m_nNextCell = 0;
    m_fNextPanelAlpha = 0.0f;
    ClearAllCGCells();
    // The count below leaves these alone when it cannot read the script.
    m_nCGPage = m_nNextCGPage = m_nCGPageMax = 0;
    if (GraphicUnload(m_pKUSprite, m_pKUSys, kSlotCG) != 1) {
        Log("MainProc", "画像のアンロードに失敗しました");
        return -1;
    }
    m_szCGAtlas[0] = m_szNextCGAtlas[0] = '\0';
    const int k = OpenScene();
    char atlas[64];
    std::snprintf(atlas, sizeof atlas, "TH_CG_EPI%02d_SC%02d.bmp", m_nEpisode, k);
    game::CopyFixed(m_szNextCGAtlas, atlas);
    if (BindAndLoad(kSlotCG + 1, atlas, "CGサムネイルのロードに失敗しました") < 0)
        return -1;
    GetMaxCGPage(m_nEpisode, k);
    m_nNextCGPage = m_nCGPageMax < 1 ? 0 : 1;
    SetDataSceneCG(m_nEpisode, k, m_nCGPage);
    m_fCGAlpha = m_fNextCGAlpha = 0.0f;
    m_dwStateTime = static_cast<uint32_t>(Now());
    m_nState = 5;
    return 0;
}
