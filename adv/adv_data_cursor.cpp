#include "adv/adv_data.h"

#include "engine/kusystem.h"

namespace {

using Bar = CONTROLLER_WINDOW;

// Where an arrow key sends the pointer: a button (the bar's order), a choice,
// the message window, the neutral point, or nowhere.
enum Target : int {
    kToC1 = Bar::kButtonCount,
    kToC2,
    kToN,
    kToC1OrN, // the first choice while choices are up, else the neutral point
    kToC2OrConfig,
    kToWindow,
    kToNothing,
};
// The message window instead while a voiced history entry is viewed.
constexpr int kVoiceMark = 0x100;

// Rows: the ten buttons in the bar's order, then choice 1, choice 2, the
// message window, the neutral point and elsewhere. Columns: up, down, left, right.
constexpr int kRowChoice1 = Bar::kButtonCount;
constexpr int kRowChoice2 = kRowChoice1 + 1;
constexpr int kRowWindow = kRowChoice1 + 2;
constexpr int kRowNeutral = kRowChoice1 + 3;
constexpr int kRowElsewhere = kRowChoice1 + 4;
constexpr int kMoves[][4] = {
    {kToN, Bar::kAutoSkip, Bar::kSave, Bar::kSave | kVoiceMark}, // load
    {kToN, Bar::kAutoSkip, Bar::kLoad | kVoiceMark, Bar::kLoad}, // save
    {Bar::kFF, kToC1OrN, Bar::kHide | kVoiceMark, Bar::kHide}, // config
    {Bar::kSave, Bar::kFF, Bar::kBack, Bar::kNext}, // auto-skip
    {Bar::kAutoSkip, Bar::kFF, Bar::kVolumeUp | kVoiceMark, Bar::kAutoSkip}, // back
    {Bar::kAutoSkip, Bar::kFF, Bar::kAutoSkip, Bar::kVolumeUp}, // next
    {Bar::kAutoSkip, Bar::kConfig, Bar::kBack, Bar::kNext}, // fast-forward
    {Bar::kFF, kToC1OrN, Bar::kConfig, Bar::kConfig | kVoiceMark}, // hide window
    {Bar::kLoad, Bar::kVolumeDown, Bar::kNext, Bar::kBack | kVoiceMark}, // volume up
    {Bar::kVolumeUp, Bar::kHide, Bar::kNext, Bar::kBack | kVoiceMark}, // volume down
    {Bar::kConfig, kToC2, kToNothing, kToNothing}, // choice 1
    {kToC1, kToN, kToNothing, kToNothing}, // choice 2
    {kToN, kToC1OrN, Bar::kVolumeUp, Bar::kBack}, // message window
    {kToC2OrConfig, Bar::kSave | kVoiceMark, kToNothing, kToNothing}, // neutral point
    {kToC1OrN, kToC1OrN, kToC1OrN, kToC1OrN}, // elsewhere
};

// Button hit rectangles on the bar, in the bar's order.
constexpr KURECT kButtonHit[Bar::kButtonCount] = {
    {112, 3, 184, 27},  {44, 3, 116, 27},  {44, 89, 116, 113},  {70, 20, 126, 60},  {15, 26, 71, 90},
    {125, 26, 181, 90}, {70, 55, 126, 95}, {112, 89, 184, 113}, {208, 35, 224, 59}, {208, 55, 224, 79},
};
constexpr int kBarX = 566, kBarY = 480;
constexpr KURECT kWindowRect = {6, 480, 546, 596};
constexpr KURECT kChoiceRect[2] = {{142, 174, 658, 242}, {142, 262, 658, 330}};
constexpr int kNeutralX = 400, kNeutralY = 400;
constexpr int kArrowKeys[4] = {38, 40, 37, 39}; // up, down, left, right

} // namespace

int ADV_DATA::CursorMoveProc() {
    if (!m_bInit) {
        ErrorPrint("Error: <ADV_DATA::CursorMoveProc> 初期化されていません\n");
        return 0;
    }
    int direction = -1;
    for (int i = 0; i < 4 && direction < 0; ++i)
        if (m_pKUSys->GetKeyState(kArrowKeys[i]) == 3)
            direction = i;
    if (direction < 0)
        return 1;
    int x = 0, y = 0;
    m_pKUSys->GetMousePos(&x, &y);
    int row = kRowElsewhere;
    if (x == kNeutralX && y == kNeutralY) {
        row = kRowNeutral;
    } else {
        for (int b = 0; b < Bar::kButtonCount && row == kRowElsewhere; ++b)
            if (m_CtrlWnd.m_Button[b].m_bInit && m_CtrlWnd.m_Button[b].HitCheck(m_CtrlWnd.m_fX, m_CtrlWnd.m_fY) == 1)
                row = b;
        if (row == kRowElsewhere && m_SelectWnd.m_bInit && (m_SelectWnd.m_nSelect == 0 || m_SelectWnd.m_nSelect == 1))
            row = m_SelectWnd.m_nSelect == 0 ? kRowChoice1 : kRowChoice2;
        if (row == kRowElsewhere && m_MsgWnd.m_bVoiceHover == 1)
            row = kRowWindow;
    }
    int target = kMoves[row][direction];
    if (target & kVoiceMark) {
        const int cursor = m_MsgWnd.m_nHistoryCursor;
        const bool voiced =
            cursor >= 0 && cursor < MESSAGE_WINDOW::kHistoryCount && m_MsgWnd.m_History[cursor].m_szVoice[0] != '\0';
        target = voiced ? kToWindow : target & ~kVoiceMark;
    }
    const bool choicesUp = m_SelectWnd.m_bInit != 0;
    if (target == kToC1OrN)
        target = choicesUp ? kToC1 : kToN;
    else if (target == kToC2OrConfig)
        target = choicesUp ? static_cast<int>(kToC2) : static_cast<int>(Bar::kConfig);
    KURECT r{kNeutralX, kNeutralY, kNeutralX, kNeutralY};
    if (target < Bar::kButtonCount) {
        const KURECT& h = kButtonHit[target];
        r = KURECT{h.left + kBarX, h.top + kBarY, h.right + kBarX, h.bottom + kBarY};
    } else if (target == kToC1 || target == kToC2) {
        r = kChoiceRect[target - kToC1];
    } else if (target == kToWindow) {
        r = kWindowRect;
    } else if (target == kToNothing) {
        return 1;
    }
    m_pKUSys->SetMousePos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 1;
}

void ADV_DATA::PointerOffBar() {
    // The bar tracks its hover only in play; the story's first click test
    // must not see the button the pointer rested on before either.
    m_CtrlWnd.IgnoreRestingPointer();
}
