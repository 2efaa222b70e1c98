#include "modes/save_mode_data_screen.h"

#include <cstdio>
#include <cstring>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "engine/virtual_keys.h"
#include "game/game_settings.h"
#include "game/mode_results.h"
#include "game/shell_services.h"
#include "modes/mode_common.h"
#include "modes/save_slot_file.h"
#include "modes/save_slot_format.h"
#include "platform/files.h"

namespace {

constexpr KURECT kRectBack = {624, 536, 792, 560};
constexpr KURECT kRectTitle = {624, 568, 792, 592};
constexpr float kDialogX = 130.0f, kDialogY = 234.0f;
constexpr KURECT kRectYes = {150, 312, 382, 336}; // the dialog's (20, 78)-(252, 102)
constexpr KURECT kRectNo = {418, 312, 650, 336}; // the dialog's (288, 78)-(520, 102)

constexpr KURECT kSrcPlate = {0, 360, 296, 392};
constexpr KURECT kSrcPlateSave = {0, 424, 296, 456};
constexpr KURECT kSrcPlateLoad = {0, 392, 296, 424};
constexpr uint32_t kPlateColour = 0xCCFFFFFFu;
constexpr KURECT kSrcBack = {296, 384, 464, 408}, kSrcBackPushed = {296, 408, 464, 432};
constexpr KURECT kSrcTitle = {464, 384, 632, 408}, kSrcTitlePushed = {464, 408, 632, 432};
constexpr KURECT kSrcYes = {544, 32, 776, 56}, kSrcYesPushed = {544, 80, 776, 104};
constexpr KURECT kSrcNo = {544, 56, 776, 80}, kSrcNoPushed = {544, 104, 776, 128};
constexpr KURECT kSrcWindow = {0, 0, 540, 116};
constexpr KURECT kSrcBackPanel = {0, 116, 540, 232};
constexpr KURECT kSrcWaitIcon = {540, 0, 592, 29};
constexpr uint32_t kCaptionShadow = 0xFF7F7F7Fu, kCaptionInk = 0xFF000000u;

// The questions as the script form writes them: backslash and n make the line break.
constexpr char kTitleQuestion[] = "タイトルに戻ります。\\nよろしいですか？";
#ifndef __clang__ // clang (the checker) has no Shift-JIS execution charset
static_assert(sizeof(kTitleQuestion) - 1 == 38, "the question is 38 bytes in Shift-JIS");
#endif
constexpr char kSaveQuestion[] = "%s．にセーブします。\\nよろしいですか？";
constexpr char kLoadQuestion[] = "%s．をロードします。\\nよろしいですか？";
constexpr int kSlotIndent = 150, kTitleIndent = 170;

constexpr int kFirstCaptionSlot = 6; // slot n's caption is in texture-text slot n + 5

} // namespace

SLOT_MODE_DATA::SLOT_MODE_DATA(bool load)
    : m_bInit(0),
      m_pKUSys(nullptr),
      m_pKUSprite(nullptr),
      m_pKUSnd(nullptr),
      m_pAdvData(nullptr),
      m_nCallMode(0),
      m_bLoad(load) {
    for (SLOT_ITEM_DATA& item : m_Item)
        item.SetLoadEntry(load);
    ReleaseScreen();
}

SLOT_MODE_DATA::~SLOT_MODE_DATA() { ReleaseScreen(); }

std::string SLOT_MODE_DATA::Tag(const char* method) const {
    return std::string(m_bLoad ? "LOAD_MODE_DATA::" : "SAVE_MODE_DATA::") + method;
}

void SLOT_MODE_DATA::Error(const char* method, const char* text) const {
    modes::ErrorPrint(m_pKUSys, Tag(method).c_str(), text);
}

int SLOT_MODE_DATA::InitializeScreen(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, ADV_DATA* adv, int callMode) {
    ReleaseScreen();
    m_pKUSys = sys;
    if (!sys) {
        Error("Initialize", "KUSYSTEMクラスポインタの引数が不正です");
        return 0;
    }
    if (!sprite) {
        Error("Initialize", "KUSPRITE2クラスポインタの引数が不正です");
        return 0;
    }
    if (!snd) {
        // The load screen has always named the renderer here.
        Error("Initialize",
              m_bLoad ? "KUSPRITE2クラスポインタの引数が不正です" : "KUSNDクラスポインタの引数が不正です");
        return 0;
    }
    if (!adv) {
        Error("Initialize", "ADV_DATAクラスポインタの引数が不正です");
        return 0;
    }
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    m_pAdvData = adv;
    m_nCallMode = m_bLoad ? callMode : 0;
    if (!DataLoad()) {
        Error("Initialize", "必要データのロードに失敗しました");
        return 0;
    }
    for (int n = 1; n <= SLOT_ITEM_DATA::kSlotCount; ++n) {
        if (!m_Item[n - 1].Initialize(sys, sprite, n))
            return 0;
    }
    m_bInit = 1;
    return 1;
}

void SLOT_MODE_DATA::ReleaseScreen() {
    DataUnload();
    m_nPhase = 0;
    m_dwPhaseStart = 0;
    m_fFade = 1.0f;
    m_nSelect = 0;
    m_nSelectDialog = 0;
    for (SLOT_ITEM_DATA& item : m_Item)
        item.Clear();
    m_MsgWnd.Clear();
    m_bInit = 0;
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_pAdvData = nullptr;
    m_nCallMode = 0;
}

int SLOT_MODE_DATA::DataLoad() {
    const char* method = m_bLoad ? "LoadModeDataLoad" : "SaveModeDataLoad";
    if (!modes::EnginePointersHeld(m_pKUSys, m_pKUSprite, m_pKUSnd, Tag(method).c_str()))
        return 0;
    if (!m_pAdvData) {
        Error(method, "ADV_DATAクラスが未確保です");
        return 0;
    }
    for (int slot : {kSlotFade, m_bLoad ? kSlotLoadBG : kSlotSaveBG, kSlotMaterial}) {
        if (!GraphicLoad(m_pKUSprite, m_pKUSys, slot)) {
            Error(method, "画像のロードに失敗しました");
            return 0;
        }
    }
    for (int slot : {kSeHover, kSePush, kSeExit, m_bLoad ? kSeLoad : kSeSave}) {
        if (!SELoad(m_pKUSnd, m_pKUSys, slot, nullptr)) {
            Error(method, "SEのロードに失敗しました");
            return 0;
        }
    }
    return 1;
}

int SLOT_MODE_DATA::DataUnload() {
    if (!m_pKUSys || !m_pKUSprite || !m_pKUSnd)
        return 1;
    const char* method = m_bLoad ? "LoadModeDataUnload" : "SaveModeDataUnload";
    for (int slot : {kSlotFade, m_bLoad ? kSlotLoadBG : kSlotSaveBG, kSlotMaterial}) {
        if (!GraphicUnload(m_pKUSprite, m_pKUSys, slot))
            Error(method, "画像のアンロードに失敗しました");
    }
    for (int slot : {kSeHover, kSePush, kSeExit, m_bLoad ? kSeLoad : kSeSave}) {
        if (!SEUnload(m_pKUSnd, m_pKUSys, slot))
            Error(method, "SEのアンロードに失敗しました");
    }
    return 1;
}

int SLOT_MODE_DATA::LoadForItemDraw() {
    const char* method = m_bLoad ? "LoadDataLoadForItemDraw" : "SaveDataLoadForItemDraw";
    if (!m_bInit || !m_pKUSys || !m_pKUSprite) {
        Error(method, "初期化されていません");
        return 0;
    }
    for (int n = 1; n <= SLOT_ITEM_DATA::kSlotCount; ++n) {
        char path[32];
        if (!modes::SlotFilePath(n, path, sizeof(path)))
            continue;
        // Only a regular file of a slot's size is read, and opening never
        // blocks: a folder, device or FIFO in a slot's place shows no save.
        const plat::FileInfo info = plat::StatFile(path);
        if (!info.isRegular || info.size > saveslot::kMaxFileSize)
            continue;
        FILE* f = plat::OpenFile(path, "rb");
        if (!f)
            continue;
        SLOT_ITEM_DATA& item = m_Item[n - 1];
        if (m_bLoad)
            item.Initialize(m_pKUSys, m_pKUSprite, n);
        char line[1024];
        int32_t date[5] = {}, place[2] = {};
        bool whole = false;
        int r = modes::ReadSlotLine(f, line, sizeof(line));
        if (r == 1 && modes::ParseSlotInts(line, date, 5)) {
            r = modes::ReadSlotLine(f, line, sizeof(line));
            whole = r == 1 && modes::ParseSlotInts(line, place, 2);
        }
        std::fclose(f);
        if (r < 0) {
            Error(method, "CodeFileReadOneLineでエラーが発生しました");
            return 0;
        }
        // A file cut short or with damaged first lines shows no caption.
        if (!whole)
            continue;
        SLOT_TIME time{};
        time.wYear = date[0];
        time.wMonth = date[1];
        time.wDay = date[2];
        time.wHour = date[3];
        time.wMinute = date[4];
        if (!item.DataSet(static_cast<uint32_t>(n - 1 + kFirstCaptionSlot), place[0], place[1], &time))
            Error(method,
                  m_bLoad ? "ロード項目のデータセットに失敗しました" : "セーブ項目のデータセットに失敗しました");
    }
    return 1;
}

// A slot that cannot be written (read-only or full disk, no save folder) or
// read (damaged, cut short), or a question that cannot open, is told to the
// player and play goes on: the slot's old file and the game in play are both
// still whole.
void SLOT_MODE_DATA::SlotFailed(const char* text) {
    Error("MainProc", text);
    modes::ShowErrorBox(m_pKUSys, text);
}

int SLOT_MODE_DATA::SlotFileProc(int slot) {
    if (!m_bInit || !m_pKUSys || !m_pAdvData) {
        Error(m_bLoad ? "LoadProc" : "SaveProc", "初期化されていません");
        return 0;
    }
    if (m_bLoad)
        return ReadSaveSlotFile(m_pKUSys, m_pKUSprite, m_pKUSnd, m_pAdvData, slot);
    return WriteSaveSlotFile(m_pKUSys, m_pAdvData, slot);
}

bool SLOT_MODE_DATA::TargetRect(int target, KURECT* rc) {
    if (target >= 1 && target <= SLOT_ITEM_DATA::kSlotCount) {
        const int left = target <= 15 ? 4 : 316, top = 55 + 36 * ((target - 1) % 15);
        *rc = KURECT{left, top, left + 304, top + 36};
        return true;
    }
    switch (target) {
        case kItemBack: *rc = kRectBack; return true;
        case kItemTitle: *rc = kRectTitle; return true;
        case kItemYes: *rc = kRectYes; return true;
        case kItemNo: *rc = kRectNo; return true;
        default: return false;
    }
}

int SLOT_MODE_DATA::PointerTarget(int x, int y) const {
    KURECT rc{};
    for (int n = 1; n <= SLOT_ITEM_DATA::kSlotCount; ++n) {
        if (TargetRect(n, &rc) && modes::RectHit(rc, x, y))
            return n;
    }
    if (BackShown() && modes::RectHit(kRectBack, x, y))
        return kItemBack;
    if (modes::RectHit(kRectTitle, x, y))
        return kItemTitle;
    return 0;
}

int SLOT_MODE_DATA::MoveTarget(int current, int vk) const {
    const bool up = vk == plat::kVkUp, down = vk == plat::kVkDown;
    const bool left = vk == plat::kVkLeft, right = vk == plat::kVkRight;
    if (!up && !down && !left && !right)
        return 0;
    if (current == 0)
        return 1;
    const bool back = BackShown();
    if (current == kItemBack)
        return up || down ? kItemTitle : left ? 29 : 14;
    if (current == kItemTitle)
        return up || down ? (back ? kItemBack : kItemTitle) : left ? 30 : 15;
    if (current < 1 || current > SLOT_ITEM_DATA::kSlotCount)
        return 0;
    const int n = current;
    if (up)
        return n == 1 ? 15 : n == 16 ? 30 : n - 1;
    if (down)
        return n == 15 ? 1 : n == 30 ? 16 : n + 1;
    if (n <= 15) {
        if (n == 14)
            return left ? (back ? kItemBack : 29) : 29;
        if (n == 15)
            return left ? kItemTitle : 30;
        return n + 15;
    }
    if (n == 29)
        return left ? 14 : (back ? kItemBack : 14);
    if (n == 30)
        return left ? 15 : kItemTitle;
    return n - 15;
}

int SLOT_MODE_DATA::CursorMoveProc() {
    if (!m_bInit || !m_pKUSys) {
        Error("CursorMoveProc", "初期化されていません");
        return 0;
    }
    KURECT rc{};
    if (m_nPhase == 2) {
        int x = 0, y = 0;
        m_pKUSys->GetMousePos(&x, &y);
        const int current = PointerTarget(x, y);
        for (int vk : {plat::kVkUp, plat::kVkDown, plat::kVkLeft, plat::kVkRight}) {
            if (m_pKUSys->GetKeyState(vk) != kKeyStateReleased)
                continue;
            if (TargetRect(MoveTarget(current, vk), &rc))
                modes::MovePointerTo(m_pKUSys, rc);
            break;
        }
    } else if (m_nPhase == 5 || m_nPhase == 9) {
        for (int vk : {plat::kVkUp, plat::kVkDown, plat::kVkRight, plat::kVkLeft}) {
            if (m_pKUSys->GetKeyState(vk) != kKeyStateReleased)
                continue;
            int to = 0;
            if (vk == plat::kVkUp || vk == plat::kVkDown)
                to = m_nSelectDialog == 0 ? kItemNo : 0;
            else
                to = m_nSelectDialog == kItemNo ? kItemYes : kItemNo;
            if (TargetRect(to, &rc))
                modes::MovePointerTo(m_pKUSys, rc);
            break;
        }
    }
    return 1;
}

// A window whose picture or sounds cannot be loaded (a full disk under
// tmp/) opens no question: the slots stay as they were and the next click
// tries again.
int SLOT_MODE_DATA::OpenDialog() {
    if (!m_MsgWnd.Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, kSlotWindow, kSrcWindow, kSrcWindow, kDialogX, kDialogY,
                             kSrcBackPanel, 0.0f, 0.0f, 0.8f, kSrcWaitIcon, 489.0f, 76.0f, 0.0f)) {
        SlotFailed("メッセージウィンドウの初期化に失敗しました");
        return 0;
    }
    m_MsgWnd.DispWindow();
    m_nSelectDialog = 0;
    return 1;
}

// The question into the dialog, typed out from none shown.
int SLOT_MODE_DATA::SetQuestion(bool title) {
    MESSAGE_DATA msg;
    char text[256];
    if (title) {
        std::snprintf(text, sizeof(text), "%s", kTitleQuestion);
    } else {
        char digits[16], wide[32];
        std::snprintf(digits, sizeof(digits), "%02d", m_nSelect);
        modes::ToFullWidth(digits, wide, sizeof(wide));
        std::snprintf(text, sizeof(text), m_bLoad ? kLoadQuestion : kSaveQuestion, wide);
    }
    if (!m_pKUSys->StrConvert(text, static_cast<int>(std::strlen(text)), msg.m_szText,
                              static_cast<int>(sizeof(msg.m_szText)))) {
        Error("MainProc", "メッセージのコンバートに失敗しました");
        return 0;
    }
    m_MsgWnd.SetText(&msg, g_dwAntiAliasLevel);
    m_MsgWnd.m_NameArea.m_fDispNum = -1.0f;
    m_MsgWnd.m_TextArea.m_fDispNum = 0.0f;
    m_MsgWnd.m_TextArea.m_rcArea.left += title ? kTitleIndent : kSlotIndent;
    return 1;
}

int SLOT_MODE_DATA::MainProc() {
    if (!m_bInit || !m_pKUSys) {
        Error("MainProc", "初期化されていません");
        return kModeFailed;
    }
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    const float t = static_cast<float>(now - m_dwPhaseStart);
    const int click = modes::ClickState(m_pKUSys);
    switch (m_nPhase) {
        case 0:
            m_fFade = 1.0f;
            if (!LoadForItemDraw()) {
                Error("MainProc", "項目表示用ロードに失敗しました");
                return kModeFailed;
            }
            m_dwPhaseStart = now;
            m_nPhase = 1;
            return kModeRunning;
        case 1:
            m_fFade = 1.0f - t / 1000.0f;
            if (m_fFade <= 0.0f) {
                m_fFade = 0.0f;
                m_dwPhaseStart = now;
                m_nPhase = 2;
            }
            return kModeRunning;
        case 2: return ChoiceProc(now, click);
        case 3:
        case 7:
        case 4:
        case 8: return QuestionProc(now, t, click);
        case 5:
        case 9: return AnswerProc(now, click);
        case 6:
            m_MsgWnd.m_fAlpha = 1.0f - t / 500.0f;
            if (m_MsgWnd.m_fAlpha <= 0.0f) {
                m_MsgWnd.Clear();
                m_dwPhaseStart = now;
                m_nSelect = 0;
                m_nSelectDialog = 0;
                m_nPhase = 2;
            }
            return kModeRunning;
        case 10:
        case 11:
            m_fFade = t / 1000.0f;
            if (m_fFade >= 1.0f) {
                m_fFade = 1.0f;
                m_dwPhaseStart = now;
                // Save: 1 back, 2 title. Load: 2 back, 3 title.
                return (m_nPhase == 10 ? 2 : 1) + (m_bLoad ? 1 : 0);
            }
            return kModeRunning;
        case 12:
            if (!m_bLoad)
                return kModeRunning;
            m_fFade = t / 1000.0f;
            if (m_fFade >= 1.0f) {
                m_fFade = 1.0f;
                m_dwPhaseStart = now;
                if (!SlotFileProc(m_nSelect)) {
                    // Back to the slots, read again, from under the fade.
                    SlotFailed("ロード処理に失敗しました");
                    m_MsgWnd.Clear();
                    m_nSelect = 0;
                    m_nSelectDialog = 0;
                    m_nPhase = 0;
                    return kModeRunning;
                }
                return 1;
            }
            return kModeRunning;
        default: return kModeRunning;
    }
}

// States 3-4 and 7-8: the message window fades in, then the question types out.
int SLOT_MODE_DATA::QuestionProc(uint32_t now, float t, int click) {
    switch (m_nPhase) {
        case 3:
        case 7:
            m_MsgWnd.m_fAlpha = t / 500.0f;
            if (m_MsgWnd.m_fAlpha >= 1.0f) {
                m_MsgWnd.m_fAlpha = 1.0f;
                if (!SetQuestion(m_nPhase == 7))
                    return kModeFailed;
                m_dwPhaseStart = now;
                m_nPhase += 1;
            }
            return kModeRunning;
        case 4:
        case 8:
            if (!m_MsgWnd.CountMessageDispNum(m_dwPhaseStart, now, -1)) {
                Error("MainProc", "表示文字カウントに失敗しました");
                return kModeFailed;
            }
            if (m_pKUSys->GetKey(kGameKeyControl) || click == kKeyStateReleased)
                m_MsgWnd.m_TextArea.m_fDispNum = -1.0f;
            if (m_MsgWnd.m_TextArea.m_fDispNum == -1.0f) {
                m_dwPhaseStart = now;
                m_nPhase += 1;
            }
            return kModeRunning;
        default: return kModeRunning;
    }
}

// State 2: the slots and the two buttons answer the pointer and clicks.
int SLOT_MODE_DATA::ChoiceProc(uint32_t now, int click) {
    CursorMoveProc();
    int x = 0, y = 0;
    m_pKUSys->GetMousePos(&x, &y);
    const bool clicked = click == kKeyStateReleased;
    int hover = 0;
    for (int n = 1; n <= SLOT_ITEM_DATA::kSlotCount && hover == 0; ++n) {
        const SLOT_ITEM_DATA& item = m_Item[n - 1];
        if (!item.HitCheck(x, y) || (m_bLoad && !item.m_bData))
            continue;
        hover = n;
        if (!clicked)
            break;
        SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
        m_dwPhaseStart = now;
        char path[32];
        const bool exists = modes::SlotFilePath(n, path, sizeof(path)) && plat::FileExists(path);
        if (!m_bLoad && !exists) {
            // An empty slot is saved at once, without a question.
            SEPlay(m_pKUSnd, m_pKUSys, kSeSave, 0);
            if (!SlotFileProc(n)) {
                SlotFailed("セーブ処理に失敗しました");
            } else if (!LoadForItemDraw()) {
                Error("MainProc", "項目表示用ロードに失敗しました");
                return kModeFailed;
            }
        } else if (OpenDialog()) {
            m_nPhase = 3;
        }
    }
    if (hover == 0 && BackShown() && modes::RectHit(kRectBack, x, y)) {
        hover = kItemBack;
        if (clicked) {
            SEPlay(m_pKUSnd, m_pKUSys, kSeExit, 0);
            m_dwPhaseStart = now;
            m_fFade = 0.0f;
            m_nPhase = 11;
        }
    } else if (hover == 0 && modes::RectHit(kRectTitle, x, y)) {
        hover = kItemTitle;
        if (clicked) {
            SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
            m_dwPhaseStart = now;
            if (!BackShown()) {
                // From the title screen: straight back to it.
                m_fFade = 0.0f;
                m_nPhase = 10;
            } else if (OpenDialog()) {
                m_nPhase = 7;
            }
        }
    }
    if (hover != m_nSelect) {
        m_nSelect = hover;
        if (hover != 0)
            SEPlay(m_pKUSnd, m_pKUSys, kSeHover, 0);
    }
    return kModeRunning;
}

// States 5 and 9: Yes or No on the slot's or the title's question.
int SLOT_MODE_DATA::AnswerProc(uint32_t now, int click) {
    CursorMoveProc();
    int x = 0, y = 0;
    m_pKUSys->GetMousePos(&x, &y);
    const bool clicked = click == kKeyStateReleased;
    int hover = 0;
    if (modes::RectHit(kRectYes, x, y))
        hover = kItemYes;
    else if (modes::RectHit(kRectNo, x, y))
        hover = kItemNo;
    if (hover == kItemYes && clicked) {
        if (m_nPhase == 9) {
            SEPlay(m_pKUSnd, m_pKUSys, kSeExit, 0);
            m_fFade = 0.0f;
            m_dwPhaseStart = now;
            m_nPhase = 10;
        } else if (m_bLoad) {
            SEPlay(m_pKUSnd, m_pKUSys, kSeLoad, 0);
            m_dwPhaseStart = now;
            m_nPhase = 12;
        } else {
            SEPlay(m_pKUSnd, m_pKUSys, kSeSave, 0);
            if (!SlotFileProc(m_nSelect)) {
                SlotFailed("セーブ処理に失敗しました");
            } else if (!LoadForItemDraw()) {
                Error("MainProc", "項目表示用ロードに失敗しました");
                return kModeFailed;
            }
            m_dwPhaseStart = now;
            m_nPhase = 6;
        }
    } else if (hover == kItemNo && clicked) {
        SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
        m_dwPhaseStart = now;
        m_nPhase = 6;
    }
    if (hover != m_nSelectDialog) {
        m_nSelectDialog = hover;
        if (hover != 0)
            SEPlay(m_pKUSnd, m_pKUSys, kSeHover, 0);
    }
    return kModeRunning;
}

int SLOT_MODE_DATA::DrawPiece(int slot, float x, float y, const KURECT& src, float alpha) {
    return modes::DrawPiece(m_pKUSys, m_pKUSprite, Tag("DrawProc").c_str(), slot, x, y, src, alpha) ? 1 : 0;
}

int SLOT_MODE_DATA::DrawItems() {
    const KURECT& hovered = m_bLoad ? kSrcPlateLoad : kSrcPlateSave;
    for (const SLOT_ITEM_DATA& item : m_Item) {
        if (!item.m_bInit)
            continue;
        const KURECT& plate = item.m_nNumber == m_nSelect ? hovered : kSrcPlate;
        if (m_pKUSprite->D3DXDrawGraphic(kSlotMaterial, item.m_fX + 4.0f, item.m_fY + 5.0f, kDrawTypeAuto, 0, &plate,
                                         1.0f, 1.0f, &kPlateColour, 0) < 0 ||
            m_pKUSprite->D3DXDrawGraphic(kSlotMaterial, item.m_fX, item.m_fY, kDrawTypeAuto, 0, &item.m_rcSrc, 1.0f,
                                         1.0f, nullptr, 0) < 0) {
            Error("DrawProc", "描画に失敗しました");
            return 0;
        }
        if (!item.m_bData)
            continue;
        const KURECT& rc = item.m_rcText;
        const KURECT shadow{rc.left + 1, rc.top + 1, rc.right + 1, rc.bottom + 1};
        const uint32_t slot = static_cast<uint32_t>(item.m_nTextSlot);
        if (m_pKUSprite->D3DXDrawTextureText(slot, &shadow, kCaptionShadow, -1.0f, 0, 0, 0, 1.0f, 1.0f) < 0 ||
            m_pKUSprite->D3DXDrawTextureText(slot, &rc, kCaptionInk, -1.0f, 0, 0, 0, 1.0f, 1.0f) < 0) {
            Error("DrawProc", "描画に失敗しました");
            return 0;
        }
    }
    return 1;
}

int SLOT_MODE_DATA::DrawDialog(int click) {
    if (!m_MsgWnd.DrawProc()) {
        Error("DrawProc", "メッセージウィンドウの描画に失敗しました");
        return 0;
    }
    const float a = m_MsgWnd.m_fAlpha;
    for (int target : {kItemYes, kItemNo}) {
        const bool hovered = target == m_nSelectDialog;
        const bool pushed = hovered && m_nPhase == 5 && click == 1;
        const KURECT& src = target == kItemYes ? (pushed ? kSrcYesPushed : kSrcYes) : (pushed ? kSrcNoPushed : kSrcNo);
        const KURECT& at = target == kItemYes ? kRectYes : kRectNo;
        if (!DrawPiece(kSlotWindow, static_cast<float>(at.left), static_cast<float>(at.top), src,
                       hovered ? a : a * 0.5f))
            return 0;
    }
    return 1;
}

int SLOT_MODE_DATA::DrawProc() {
    if (!m_bInit || !m_pKUSys || !m_pKUSprite) {
        Error("DrawProc", "初期化されていません");
        return 0;
    }
    if (m_pKUSprite->D3DXDrawGraphic(m_bLoad ? kSlotLoadBG : kSlotSaveBG, 0, 0, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f,
                                     nullptr, 0) < 0) {
        Error("DrawProc", "描画に失敗しました");
        return 0;
    }
    if (!DrawItems())
        return 0;
    const int click = modes::ClickState(m_pKUSys);
    for (int target : {kItemBack, kItemTitle}) {
        if (target == kItemBack && !BackShown())
            continue;
        const bool hovered = target == m_nSelect;
        const bool pushed = hovered && m_nPhase == 2 && click == 1;
        const KURECT& src =
            target == kItemBack ? (pushed ? kSrcBackPushed : kSrcBack) : (pushed ? kSrcTitlePushed : kSrcTitle);
        const KURECT& at = target == kItemBack ? kRectBack : kRectTitle;
        if (!DrawPiece(kSlotMaterial, static_cast<float>(at.left), static_cast<float>(at.top), src,
                       hovered ? 1.0f : 0.5f))
            return 0;
    }
    if (m_MsgWnd.m_bVisible && m_MsgWnd.m_fAlpha > 0.0f && !DrawDialog(click))
        return 0;
    if (m_fFade > 0.0f) {
        const uint32_t colour = modes::AlphaColor(m_fFade);
        if (m_pKUSprite->D3DXDrawGraphic(kSlotFade, 0, 0, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f, &colour, 0) < 0) {
            Error("DrawProc", "描画に失敗しました");
            return 0;
        }
    }
    return 1;
}
