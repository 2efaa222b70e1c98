#include <cstdio>

#include "adv/adv_data.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "modes/cursor_move.h"
#include "modes/mode_common.h"
#include "modes/test_mode_data.h"

namespace {

constexpr const char* kTag = "TEST_MODE_DATA::DrawProc";

constexpr float kPictureX = 9.0f, kPictureY = 89.0f;
constexpr KURECT kColon = {0, 272, 8, 296};
constexpr float kDigitX[3] = {637.0f, 683.0f, 713.0f};
constexpr float kDigitY = 14.0f, kColonX = 667.0f, kColonY = 13.0f;
constexpr float kLabelX = 208.0f, kLabelY = 56.0f;
constexpr float kSubjectX = 528.0f, kSubjectY = 72.0f;
// Subject labels in subject order; MATH lies right of SCIENCE in the atlas.
constexpr KURECT kSubjectLabel[5] = {
    {0, 0, 80, 24}, {80, 0, 160, 24}, {240, 0, 320, 24}, {160, 0, 240, 24}, {320, 0, 400, 24}};
constexpr KURECT kHighlight = {0, 72, 272, 112};
constexpr float kHighlightX = 520.0f;
constexpr KURECT kChosenMark = {264, 40, 304, 56};
constexpr KURECT kPointerMark = {264, 24, 304, 40};
constexpr KURECT kFinish = {0, 24, 264, 48}, kFinishPressed = {0, 48, 264, 72};

KURECT DigitCell(int d) { return KURECT{8 + 24 * d, 272, 32 + 24 * d, 296}; }
KURECT NumberLabel(int n) {
    return n <= 5 ? KURECT{80 * (n - 1), 208, 80 * n, 240} : KURECT{80 * (n - 6), 240, 80 * (n - 5), 272};
}
KURECT TabCell(int n, bool current) {
    const int top = current ? 160 : 112;
    return KURECT{40 * (n - 1), top, 40 * n, top + 48};
}
float Row(int q) { return static_cast<float>(147 + 24 * (q - 1)); }
KURECT ChoiceRect(int q, int k) {
    return KURECT{620 + 40 * (k - 1), 164 + 24 * (q - 1), 660 + 40 * (k - 1), 180 + 24 * (q - 1)};
}
KURECT TabRect(int n) { return KURECT{12 + 48 * (n - 1), 496, 52 + 48 * (n - 1), 544}; }
constexpr KURECT kFinishRect = {524, 436, 788, 460};

} // namespace

void TEST_MODE_DATA::CountdownDigits(uint32_t elapsed, int digits[3]) {
    const uint32_t left = kExamMs - (elapsed > kExamMs ? kExamMs : elapsed);
    const uint32_t seconds = left / 1000 % 60;
    digits[0] = static_cast<int>(left / 60000);
    digits[1] = static_cast<int>(seconds / 10);
    digits[2] = static_cast<int>(seconds % 10);
}

bool TEST_MODE_DATA::ItemRect(int item, KURECT* rc) const {
    if (item >= 1 && item <= 4) {
        *rc = ChoiceRect(m_nCurrent, item);
    } else if (item >= kItemTabFirst && item < kItemFinish) {
        *rc = TabRect(item - kItemTabFirst + 1);
    } else if (item == kItemFinish) {
        *rc = kFinishRect;
    } else if (item == kItemConfig) {
        // The bar's config button where the bar stands, in whole pixels.
        const KURECT& hit = m_CtrlWnd.m_Button[CONTROLLER_WINDOW::kConfig].m_rcHit;
        const int bx = static_cast<int>(m_CtrlWnd.m_fX), by = static_cast<int>(m_CtrlWnd.m_fY);
        *rc = KURECT{hit.left + bx, hit.top + by, hit.right + bx, hit.bottom + by};
    } else {
        return false;
    }
    return true;
}

int TEST_MODE_DATA::MoveTargetItem(int hover, int barHover, int vk) {
    const bool up = vk == plat::kVkUp, down = vk == plat::kVkDown;
    const bool left = vk == plat::kVkLeft, right = vk == plat::kVkRight;
    if (!up && !down && !left && !right)
        return 0;
    if (hover >= 1 && hover <= 4) {
        if (up)
            return kItemConfig;
        if (down)
            return kItemFinish;
        return left ? (hover == 1 ? 4 : hover - 1) : (hover == 4 ? 1 : hover + 1);
    }
    if (hover >= kItemTabFirst && hover < kItemFinish) {
        const int n = hover - kItemTabFirst + 1;
        if (up)
            return kItemFinish;
        if (down)
            return kItemConfig;
        if (left)
            return n == 1 ? kItemConfig : hover - 1;
        return n == 10 ? kItemConfig : hover + 1;
    }
    const int tab1 = kItemTabFirst, tab10 = kItemTabFirst + 9;
    if (hover == kItemFinish)
        return up ? 1 : down ? kItemConfig : left ? tab10 : tab1;
    if (barHover == CONTROLLER_WINDOW::kConfig + 1)
        return up ? kItemFinish : down ? 1 : left ? tab10 : tab1;
    // Over another bar button the keys stay with the bar.
    return barHover == 0 ? 1 : 0;
}

int TEST_MODE_DATA::CursorMoveProc() {
    if (!m_bInit || !m_pKUSys) {
        modes::ErrorPrint(m_pKUSys, "TEST_MODE_DATA::CursorMoveProc", "初期化されていません");
        return 0;
    }
    for (int vk : {plat::kVkUp, plat::kVkDown, plat::kVkLeft, plat::kVkRight}) {
        if (m_pKUSys->GetKeyState(vk) != 3)
            continue;
        KURECT rc{};
        const int to = MoveTargetItem(m_nHover, m_CtrlWnd.m_nHover, vk);
        if (to != 0 && ItemRect(to, &rc)) {
            modes::MovePointerTo(m_pKUSys, rc);
            break;
        }
    }
    return 1;
}

int TEST_MODE_DATA::Draw(int slot, float x, float y, const KURECT* src, float alpha) {
    const uint32_t colour = modes::AlphaColor(alpha);
    if (m_pKUSprite->D3DXDrawGraphic(static_cast<uint32_t>(slot), x, y, kDrawTypeAuto, 0, src, 1.0f, 1.0f, &colour, 0) <
        0) {
        modes::ErrorPrint(m_pKUSys, kTag, "描画に失敗しました");
        return 0;
    }
    return 1;
}

int TEST_MODE_DATA::DrawProc() {
    if (!m_bInit || !m_pKUSys || !m_pKUSprite) {
        modes::ErrorPrint(m_pKUSys, kTag, "初期化されていません");
        return 0;
    }
    const bool paging = m_nNext >= 1 && m_nNext <= kQuestionCount;
    const float page = m_fPageFade, rest = 1.0f - m_fPageFade;
    if (!DrawQuestionAndClock(page) || !DrawQuestionLabels(paging, page, rest) || !DrawAnswerMarks() ||
        !DrawQuestionTabs(paging, page, rest))
        return 0;
    if (!m_MsgWnd.DrawProc()) {
        modes::ErrorPrint(m_pKUSys, kTag, "メッセージウィンドウの描画に失敗しました");
        return 0;
    }
    if (!m_CtrlWnd.DrawProc()) {
        modes::ErrorPrint(m_pKUSys, kTag, "コントロールウィンドウの描画に失敗しました");
        return 0;
    }
    if (m_fFade > 0.0f && !Draw(kSlotFade, 0, 0, nullptr, m_fFade))
        return 0;
    if (g_bDebugInfo)
        DrawAnswerKey();
    return 1;
}

// The background, the question pictures (the next one under the current while paging) and the countdown.
bool TEST_MODE_DATA::DrawQuestionAndClock(float page) {
    if (m_nBGSlot != -1 && !Draw(m_nBGSlot, 0, 0, nullptr, 1.0f))
        return false;
    if (page < 1.0f && !Draw(kSlotNextQuestion, kPictureX, kPictureY, nullptr, 1.0f))
        return false;
    if (!Draw(kSlotQuestion, kPictureX, kPictureY, nullptr, page))
        return false;
    int digits[3];
    CountdownDigits(m_dwElapsed, digits);
    for (int i = 0; i < 3; ++i) {
        const KURECT cell = DigitCell(digits[i]);
        if (!Draw(kSlotMaterial, kDigitX[i], kDigitY, &cell, 1.0f))
            return false;
    }
    if (!Draw(kSlotMaterial, kColonX, kColonY, &kColon, 1.0f))
        return false;
    return true;
}

// The question numbers, the subject and the highlighted rows of the current and next question.
bool TEST_MODE_DATA::DrawQuestionLabels(bool paging, float page, float rest) {
    if (page > 0.0f) {
        const KURECT label = NumberLabel(m_nCurrent);
        if (!Draw(kSlotMaterial, kLabelX, kLabelY, &label, page))
            return false;
    }
    if (paging && rest > 0.0f) {
        const KURECT label = NumberLabel(m_nNext);
        if (!Draw(kSlotMaterial, kLabelX, kLabelY, &label, rest))
            return false;
    }
    const int subject = m_pAdvData ? m_pAdvData->m_nTestSubject : -1;
    if (subject < 0 || subject > 4) {
        modes::ErrorPrint(m_pKUSys, kTag, "教科の設定が不正です");
        return false;
    }
    if (!Draw(kSlotMaterial, kSubjectX, kSubjectY, &kSubjectLabel[subject], 1.0f))
        return false;
    if (page > 0.0f && !Draw(kSlotMaterial, kHighlightX, Row(m_nCurrent), &kHighlight, m_fBlink * page))
        return false;
    if (paging && rest > 0.0f && !Draw(kSlotMaterial, kHighlightX, Row(m_nNext), &kHighlight, rest * m_fBlink))
        return false;
    return true;
}

// The chosen answers, the answer under the pointer and the finish button.
bool TEST_MODE_DATA::DrawAnswerMarks() {
    for (int q = 1; q <= kQuestionCount; ++q) {
        const int chosen = m_Question[q - 1].m_nChosen;
        if (chosen < 0 || chosen > 3)
            continue;
        const KURECT box = ChoiceRect(q, chosen + 1);
        if (!Draw(kSlotMaterial, static_cast<float>(box.left), static_cast<float>(box.top), &kChosenMark, 1.0f))
            return false;
    }
    if (m_nHover >= 1 && m_nHover <= 4) {
        const KURECT box = ChoiceRect(m_nCurrent, m_nHover);
        if (!Draw(kSlotMaterial, static_cast<float>(box.left), static_cast<float>(box.top), &kPointerMark, 0.5f))
            return false;
    }
    const bool finishHover = m_nHover == kItemFinish;
    const KURECT& finish = finishHover && modes::ClickState(m_pKUSys) == 1 ? kFinishPressed : kFinish;
    if (!Draw(kSlotMaterial, kFinishRect.left, kFinishRect.top, &finish, finishHover ? 1.0f : 0.5f))
        return false;
    return true;
}

// The question tabs, lit under the pointer and for the current and next question.
bool TEST_MODE_DATA::DrawQuestionTabs(bool paging, float page, float rest) {
    for (int n = 1; n <= kQuestionCount; ++n) {
        const KURECT at = TabRect(n);
        const KURECT tab = TabCell(n, false), current = TabCell(n, true);
        const float x = static_cast<float>(at.left), y = static_cast<float>(at.top);
        if (!Draw(kSlotMaterial, x, y, &tab, m_nHover == kItemTabFirst + n - 1 ? 1.0f : 0.5f))
            return false;
        if (n == m_nCurrent && page > 0.0f && !Draw(kSlotMaterial, x, y, &current, page))
            return false;
        if (paging && n == m_nNext && rest > 0.0f && !Draw(kSlotMaterial, x, y, &current, rest))
            return false;
    }
    return true;
}

// Each question's picture and answer, for the debug display.
void TEST_MODE_DATA::DrawAnswerKey() {
    char line[TEST_QUESTION_DATA::kImageSize + 40];
    for (int i = 1; i <= kQuestionCount; ++i) {
        const TEST_QUESTION_DATA& q = m_Question[i - 1];
        snprintf(line, sizeof(line), "No.%2d:File=%s:Ans=%d", i, q.m_szImage, q.m_nAnswer + 1);
        m_pKUSprite->DDTextOutLock(1, 20 * (i - 1) + 1, line, 0, 20, 400);
        m_pKUSprite->DDTextOutLock(0, 20 * (i - 1), line, 255, 20, 400);
    }
    m_pKUSprite->DDTextOutUnLock();
}
