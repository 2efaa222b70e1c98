#include "gallery/bgm_mode_data.h"

#include <cstdio>
#include <cstring>

#include "game/game_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "scene/message_data.h"
#include "game/shell_services.h"
#include "modes/demo_mode_data.h"
#include "modes/mode_common.h"
#include "sound/kusnd.h"

namespace {

constexpr int kSlotMsgWnd = 2;
constexpr int kSeHover = 29;
constexpr int kSePush = 30;
constexpr int kSeExit = 31;
constexpr float kFadeMs = 1000.0f;
constexpr int kCursorLoopMax = 64;
const KURECT kExitRect{468, 416, 732, 440};

int SoundChannelStatus(KUSND* snd, int channel, int* status) { return snd->DShowGetStatus(channel, status); }

} // namespace

BGM_MODE_DATA::BGM_MODE_DATA()
    : m_bInit(0), m_pKUSys(nullptr), m_pKUSprite(nullptr), m_pKUSnd(nullptr), m_pfnChannelStatus(SoundChannelStatus) {
    Release();
}

BGM_MODE_DATA::~BGM_MODE_DATA() { Release(); }

int BGM_MODE_DATA::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd) {
    Release();
    const char* tag = "BGM_MODE_DATA::Initialize";
    if (!modes::EnginePointersGiven(sys, sprite, snd, tag))
        return 0;
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    if (!BGMModeDataLoad()) {
        modes::ErrorPrint(sys, tag, "必要データのロードに失敗しました");
        return 0;
    }
    if (!ReadScript())
        return 0;
    if (!m_msgWnd.Initialize(sys, sprite, snd, kSlotMsgWnd, {0, 0, 540, 116}, {0, 0, 540, 116}, 6.0f, 480.0f,
                             {0, 116, 540, 232}, 0.0f, 0.0f, 0.8f, {540, 0, 592, 29}, 489.0f, 76.0f, 0.0f)) {
        modes::ErrorPrint(sys, tag, "メッセージウィンドウの初期化に失敗しました");
        return 0;
    }
    m_msgWnd.m_fAlpha = 1.0f;
    m_msgWnd.m_bVisible = 1;
    if (!m_bgmCtrlWnd.Initialize(sys, sprite, snd, kSlotBar, 0, 0, 228, 116, 566.0f, 480.0f, 228, 0, 456, 116, 0.0f,
                                 0.0f, 0.5f)) {
        modes::ErrorPrint(sys, tag, "コントローラーウィンドウの初期化に失敗しました");
        return 0;
    }
    if (!m_bgmCtrlWnd.BuildStandardButtons(tag))
        return 0;
    const int off = 0, on = 1;
    m_bgmCtrlWnd.SetDefaultButtonStatus(&off, &off, &off, &off, &off, &off, &off, &off, &on, &on);
    m_bgmCtrlWnd.m_bVisible = 1;
    m_bgmCtrlWnd.m_fAlpha = 1.0f;
    m_bInit = 1;
    return 1;
}

int BGM_MODE_DATA::BGMModeDataLoad() {
    const char* tag = "BGM_MODE_DATA::BGMModeDataLoad";
    if (!modes::EnginePointersHeld(m_pKUSys, m_pKUSprite, m_pKUSnd, tag))
        return 0;
    for (int slot : {kSlotFade, kSlotBG, kSlotMaterial, kSlotBar}) {
        if (!GraphicLoad(m_pKUSprite, m_pKUSys, slot)) {
            modes::ErrorPrint(m_pKUSys, tag, "画像のロードに失敗しました");
            return 0;
        }
    }
    for (int slot : {kSeHover, kSePush, kSeExit}) {
        if (!SELoad(m_pKUSnd, m_pKUSys, slot, nullptr)) {
            modes::ErrorPrint(m_pKUSys, tag, "SEのロードに失敗しました");
            return 0;
        }
    }
    return 1;
}

int BGM_MODE_DATA::BGMModeDataUnload() {
    if (!m_pKUSys || !m_pKUSprite || !m_pKUSnd)
        return 1;
    for (int slot : {kSlotFade, kSlotBG, kSlotMaterial, kSlotBar})
        GraphicUnload(m_pKUSprite, m_pKUSys, slot);
    for (int slot : {kSeHover, kSePush, kSeExit})
        SEUnload(m_pKUSnd, m_pKUSys, slot);
    return 1;
}

void BGM_MODE_DATA::Release() {
    BGMModeDataUnload();
    m_nState = 0;
    m_dwStateTime = 0;
    m_fFade = 1.0f;
    m_dwMarkTime = 0;
    m_nMarkFrame = 0;
    m_nHoverId = 0;
    m_nSelectRow = 0;
    for (auto& item : m_bgmItem)
        item.Release();
    m_movieItem.Release();
    std::memset(m_szComment, 0, sizeof(m_szComment));
    m_msgWnd.Clear();
    m_bgmCtrlWnd.Clear();
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_bInit = 0;
}

int BGM_MODE_DATA::ChannelStatus(int channel, int* result) {
    // A closed channel leaves the status alone: preset it to neither state.
    int status = 0;
    int r = m_pfnChannelStatus ? m_pfnChannelStatus(m_pKUSnd, channel, &status) : -1;
    if (result)
        *result = r;
    return r < 0 ? 0 : status;
}

void BGM_MODE_DATA::TrackFiles(const char* files[kTracks]) const {
    for (int i = 0; i < kTracks; ++i)
        files[i] = m_bgmItem[i].bInit && m_bgmItem[i].szFileName[0] ? m_bgmItem[i].szFileName : nullptr;
}

void BGM_MODE_DATA::ShowComment(int row) {
    MESSAGE_DATA msg;
    msg.Clear();
    if (row >= 1 && row <= kTracks)
        std::snprintf(msg.m_szText, sizeof(msg.m_szText), "%s", m_szComment[row - 1]);
    m_msgWnd.SetText(&msg, g_dwAntiAliasLevel);
    m_msgWnd.m_TextArea.m_fDispNum = 0.0f;
    m_msgWnd.m_NameArea.m_fDispNum = -1.0f;
}

void BGM_MODE_DATA::RestoreScreen() {
    SetMenuAttached(1);
    for (int i = 0; i < kCursorLoopMax && ShowCursor(1) < 0; ++i) {
    }
    g_bMoviePlay = 0;
}

int BGM_MODE_DATA::MainProc() {
    const char* tag = "BGM_MODE_DATA::MainProc";
    if (!m_bInit) {
        modes::ErrorPrint(m_pKUSys, tag, "初期化されていません");
        return -1;
    }
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    const float elapsed = static_cast<float>(now - m_dwStateTime);
    const int click = modes::ClickState(m_pKUSys);
    switch (m_nState) {
        case 0:
            m_fFade = 1.0f;
            m_dwStateTime = now;
            m_nState = 1;
            return 0;
        case 1:
            m_fFade = 1.0f - elapsed / kFadeMs;
            if (m_fFade <= 0.0f) {
                m_fFade = 0.0f;
                m_dwStateTime = now;
                m_nState = 2;
            }
            return 0;
        case 2: return ListFrame(now, click);
        case 3: m_fFade = elapsed / kFadeMs; return m_fFade >= 1.0f ? StartMovie(now) : 0;
        case 4: {
            int r = 0;
            int status = ChannelStatus(kMovieChannel, &r);
            if (r < 0) {
                modes::ErrorPrint(m_pKUSys, tag, "ムービーの状態取得に失敗しました");
                RestoreScreen();
                return -1;
            }
            if (status == 2 || click == 3 || m_pKUSys->GetKey(1)) {
                RestoreScreen();
                m_pKUSnd->DShowStop(kMovieChannel);
                m_pKUSnd->DShowClose(kMovieChannel);
                m_dwStateTime = now;
                m_nState = 5;
            }
            return 0;
        }
        case 5:
            m_fFade = 1.0f - elapsed / kFadeMs;
            if (m_fFade <= 0.0f) {
                m_fFade = 0.0f;
                m_nSelectRow = 0;
                m_dwStateTime = now;
                m_nState = 2;
            }
            return 0;
        case 6:
            m_fFade = elapsed / kFadeMs;
            if (m_fFade < 1.0f)
                return 0;
            m_fFade = 1.0f;
            m_dwStateTime = now;
            return 1;
        default: return 0;
    }
}

int BGM_MODE_DATA::ListFrame(uint32_t now, int click) {
    const char* tag = "BGM_MODE_DATA::MainProc";
    CursorMoveProc();
    int x = 0, y = 0;
    m_pKUSys->GetMousePos(&x, &y);
    if (m_msgWnd.m_Current.m_szText[0] && m_msgWnd.m_TextArea.m_fDispNum != -1.0f &&
        !m_msgWnd.CountMessageDispNum(m_dwStateTime, now, -1)) {
        modes::ErrorPrint(m_pKUSys, tag, "表示文字カウントに失敗しました");
        return 0;
    }
    PlayNextOnTrackEnd(now, click);
    int action = 0;
    const char* files[kTracks];
    TrackFiles(files);
    if (!m_bgmCtrlWnd.MainProc(&action, &m_nSelectRow, files)) {
        modes::ErrorPrint(m_pKUSys, tag, "BGM用コントローラーウィンドウの処理に失敗しました");
        return 0;
    }
    if (action == GALLERY_BAR::kActBack || action == GALLERY_BAR::kActNext) {
        ShowComment(m_nSelectRow);
        m_dwStateTime = now;
    }
    if (ChannelStatus(kMusicChannel) == 1) {
        if (m_dwMarkTime + 25 < now) {
            m_dwMarkTime = now;
            m_nMarkFrame = (m_nMarkFrame + 1) % 4;
        }
    } else {
        m_dwMarkTime = 0;
        m_nMarkFrame = 0;
    }
    const int hover = RowAt(x, y);
    if (click == 3 && hover)
        PressRow(hover, now);
    if (hover != m_nHoverId) {
        m_nHoverId = hover;
        if (hover)
            SEPlay(m_pKUSnd, m_pKUSys, kSeHover, 0);
    }
    return 0;
}

// The end of a track: the next set row plays; past the last track (or
// from the movie row, whose end this is not) the list ends.
void BGM_MODE_DATA::PlayNextOnTrackEnd(uint32_t now, int click) {
    const int pState = click ? click : m_pKUSys->GetKeyState('P');
    if (ChannelStatus(kMusicChannel) == 2 &&
        m_bgmCtrlWnd.m_Button[GALLERY_BAR::kPlay].GetState() == CTRL_WND_OBJ::kPressed && pState == 0) {
        int next = m_nSelectRow >= 1 && m_nSelectRow < kTracks ? m_nSelectRow + 1 : kTracks + 1;
        while (next <= kTracks && !(m_bgmItem[next - 1].bInit && m_bgmItem[next - 1].szFileName[0]))
            ++next;
        if (next > kTracks) {
            m_nSelectRow = 0;
            ShowComment(0);
        } else {
            m_nSelectRow = next;
            ShowComment(next);
            BGM_DS_Play(m_pKUSnd, m_pKUSys, 0, m_bgmItem[next - 1].szFileName);
        }
        m_dwStateTime = now;
    }
}

// The track row, the movie row or the exit under the pointer; 0 for none.
int BGM_MODE_DATA::RowAt(int x, int y) const {
    int hover = 0;
    for (int n = 1; n <= kTracks && !hover; ++n) {
        if (m_bgmItem[n - 1].HitCheck(x, y))
            hover = n;
    }
    if (!hover && m_movieItem.HitCheck(x, y))
        hover = kRowMovie;
    if (!hover && modes::RectHit(kExitRect, x, y))
        hover = kRowExit;
    return hover;
}

// A click on a row: a track plays, the movie row starts the movie, the exit leaves.
void BGM_MODE_DATA::PressRow(int hover, uint32_t now) {
    if (hover <= kTracks) {
        SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
        if (m_bgmItem[hover - 1].szFileName[0])
            BGM_DS_Play(m_pKUSnd, m_pKUSys, 0, m_bgmItem[hover - 1].szFileName);
        m_nSelectRow = hover;
        ShowComment(hover);
        m_nMarkFrame = 0;
        m_dwMarkTime = now;
    } else if (hover == kRowMovie) {
        SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
        ShowComment(0);
        m_nSelectRow = kRowMovie;
        m_nState = 3;
    } else {
        SEPlay(m_pKUSnd, m_pKUSys, kSeExit, 0);
        m_nSelectRow = kRowExit;
        m_nState = 6;
    }
    m_dwStateTime = now;
}

int BGM_MODE_DATA::StartMovie(uint32_t now) {
    const char* tag = "BGM_MODE_DATA::MainProc";
    m_fFade = 1.0f;
    BGM_DS_Stop(m_pKUSnd, m_pKUSys);
    m_bgmCtrlWnd.m_Button[GALLERY_BAR::kStop].ChangeState(CTRL_WND_OBJ::kDisabled);
    m_bgmCtrlWnd.m_Button[GALLERY_BAR::kPlay].ChangeState(CTRL_WND_OBJ::kNormal);
    m_dwStateTime = now;
    m_pKUSprite->D3DXDrawStart();
    m_pKUSprite->D3DXDrawEnd();
    if (!g_bFullScreen)
        g_bMoviePlayOld = 1;
    g_bMoviePlay = 1;
    for (int i = 0; i < kCursorLoopMax && ShowCursor(0) >= 0; ++i) {
    }
    if (g_bFullScreen)
        SetMenuAttached(0);
    if (m_pKUSnd->DShowIsOpen(kMovieChannel) == 0) {
        char path[BGM_ITEM_DATA::kFileSize + 8];
        std::snprintf(path, sizeof(path), "dat/%s", m_movieItem.szFileName);
        if (m_pKUSnd->DShowOpen(kMovieChannel, path, 800, 600) < 0) {
            // Back to the list rather than retrying with the cursor hidden.
            modes::ErrorPrint(m_pKUSys, tag, "ムービーオープンに失敗しました");
            RestoreScreen();
            m_nState = 5;
            return 0;
        }
    }
    if (m_pKUSnd->DShowPlay(kMovieChannel) < 0) {
        modes::ErrorPrint(m_pKUSys, tag, "ムービー再生に失敗しました");
        RestoreScreen();
        return -1;
    }
    if (m_pKUSnd->DShowSetVolume(kMovieChannel, DEMO_MODE_DATA::MovieVolume(g_dwBGMVolume)) < 0)
        modes::ErrorPrint(m_pKUSys, tag, "ムービーの音量設定に失敗しました");
    m_dwStateTime = now;
    m_nState = 4;
    return 0;
}
