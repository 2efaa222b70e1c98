#include "modes/test_mode_data.h"

#include <cstdio>
#include <cstring>

#include "adv/adv_data.h"
#include "engine/combine_file.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "scene/message_data.h"
#include "game/shell_services.h"
#include "modes/mode_common.h"
#include "platform/debug_out.h"
#include "sound/kusnd.h"
#include "platform/files.h"

namespace {

constexpr const char* kArchive = "dat/Scenario.dat";
constexpr const char* kWorkFolder = "tmp/";
constexpr const char* kMusic = "BGM10.mp3";
constexpr const char* kQuestionList = "question.spt";
// The end sound is waited for at least this long, and at most the second
// value: a sound whose state never leaves "playing" cannot hold the exam.
constexpr uint32_t kEndSoundMinMs = 1000;
constexpr uint32_t kEndSoundMaxMs = 10000;
constexpr float kBlinkRise = 0.032f;
constexpr float kBlinkFall = 0.016f;

struct ButtonRow {
    const char* word;
    KURECT hit, normal, hover, pressed, disabled;
};
// In the bar's order: load, save, config, auto-skip, back, next, FF, hide,
// volume up, volume down. Each button stands at its hit rectangle's corner.
constexpr ButtonRow kButtons[CONTROLLER_WINDOW::kButtonCount] = {
    {"ロード", {112, 3, 184, 27}, {72, 116, 144, 140}, {296, 116, 368, 140}, {72, 232, 144, 256}, {296, 232, 368, 256}},
    {"セーブ", {44, 3, 116, 27}, {0, 116, 72, 140}, {224, 116, 296, 140}, {0, 232, 72, 256}, {224, 232, 296, 256}},
    {"コンフィグ",
     {44, 89, 116, 113},
     {0, 140, 72, 164},
     {224, 140, 296, 164},
     {0, 256, 72, 280},
     {224, 256, 296, 280}},
    {"オートスキップ",
     {70, 20, 126, 60},
     {112, 164, 168, 204},
     {336, 164, 392, 204},
     {112, 280, 168, 320},
     {336, 280, 392, 320}},
    {"BACK", {15, 26, 71, 90}, {0, 164, 56, 228}, {224, 164, 280, 228}, {0, 280, 56, 344}, {224, 280, 280, 344}},
    {"NEXT", {125, 26, 181, 90}, {56, 164, 112, 228}, {280, 164, 336, 228}, {56, 280, 112, 344}, {280, 280, 336, 344}},
    {"FF", {70, 55, 126, 95}, {168, 164, 224, 204}, {392, 164, 448, 204}, {168, 280, 224, 320}, {392, 280, 448, 320}},
    {"ウィンドウ消去",
     {112, 89, 184, 113},
     {72, 140, 144, 164},
     {296, 140, 368, 164},
     {72, 256, 144, 280},
     {296, 256, 368, 280}},
    {"音量アップ",
     {208, 35, 224, 59},
     {144, 116, 160, 140},
     {368, 116, 384, 140},
     {144, 232, 160, 256},
     {368, 232, 384, 256}},
    {"音量ダウン",
     {208, 55, 224, 79},
     {160, 116, 176, 140},
     {384, 116, 400, 140},
     {160, 232, 176, 256},
     {384, 232, 400, 256}},
};

} // namespace

TEST_MODE_DATA::TEST_MODE_DATA()
    : m_bInit(0), m_pKUSys(nullptr), m_pKUSprite(nullptr), m_pKUSnd(nullptr), m_pAdvData(nullptr), m_nBGSlot(-1) {
    Release();
}

TEST_MODE_DATA::~TEST_MODE_DATA() { Release(); }

void TEST_MODE_DATA::Release() {
    TestModeDataUnload();
    m_MsgWnd.Clear();
    m_CtrlWnd.Clear();
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_pAdvData = nullptr;
    m_nPhase = 0;
    m_dwPhaseStart = 0;
    for (TEST_QUESTION_DATA& q : m_Question)
        q.Clear();
    m_nBGSlot = -1;
    m_dwTestStart = m_dwElapsed = m_dwPaused = m_dwPauseStart = 0;
    m_nCurrent = 1;
    m_nNext = 0;
    m_fFade = m_fPageFade = m_fBlink = 1.0f;
    m_bBlinkUp = 0;
    m_nHover = 0;
    m_nCtrlAction = 0;
    m_bInit = 0;
}

int TEST_MODE_DATA::InitializeWindows() {
    const char* tag = "TEST_MODE_DATA::Initialize";
    if (!m_MsgWnd.Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, kSlotWindow, KURECT{0, 0, 540, 116},
                             KURECT{0, 0, 540, 116}, 130.0f, 258.0f, KURECT{0, 116, 540, 232}, 0.0f, 0.0f, 0.8f,
                             KURECT{544, 0, 592, 29}, 489.0f, 76.0f, 0.0f)) {
        modes::ErrorPrint(m_pKUSys, tag, "メッセージウィンドウの初期化に失敗しました");
        return 0;
    }
    if (!m_CtrlWnd.Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, &m_MsgWnd, kSlotController, KURECT{0, 0, 228, 116},
                              566.0f, 480.0f, KURECT{228, 0, 456, 116}, 0.0f, 0.0f, 0.5f)) {
        modes::ErrorPrint(m_pKUSys, tag, "コントローラーウィンドウの初期化に失敗しました");
        return 0;
    }
    CTRL_WND_OBJ b[CONTROLLER_WINDOW::kButtonCount];
    for (int i = 0; i < CONTROLLER_WINDOW::kButtonCount; ++i) {
        const ButtonRow& r = kButtons[i];
        if (!b[i].Initialize(&m_CtrlWnd, m_pKUSprite, m_pKUSys, kSlotController, static_cast<float>(r.hit.left),
                             static_cast<float>(r.hit.top), &r.hit, &r.normal, &r.hover, &r.pressed, &r.disabled)) {
            char text[160];
            snprintf(text, sizeof(text), "コントローラーウィンドウの%sボタンの初期化に失敗しました", r.word);
            modes::ErrorPrint(m_pKUSys, tag, text);
            return 0;
        }
    }
    if (!m_CtrlWnd.SetButton(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &b[8], &b[9])) {
        modes::ErrorPrint(m_pKUSys, tag, "コントロールウィンドウへのボタンのセットに失敗しました");
        return 0;
    }
    const int on = 1, off = 0;
    m_CtrlWnd.SetDefaultButtonStatus(&off, &off, &on, &off, &off, &off, &off, &off, &on, &on);
    m_CtrlWnd.DispWindow();
    m_CtrlWnd.m_fAlpha = 1.0f;
    return 1;
}

int TEST_MODE_DATA::SetIntroText() {
    MESSAGE_DATA msg;
    msg.Clear();
    const char* intro = m_pAdvData->m_szTestText;
    if (intro[0] != '\0' &&
        !m_pKUSys->StrConvert(intro, static_cast<int>(strnlen(intro, sizeof(m_pAdvData->m_szTestText))), msg.m_szText,
                              static_cast<int>(sizeof(msg.m_szText)))) {
        modes::ErrorPrint(m_pKUSys, "TEST_MODE_DATA::Initialize", "メッセージのコンバートに失敗しました");
        return 0;
    }
    m_MsgWnd.SetText(&msg, m_pAdvData->m_dwAntiAliasLevel);
    m_MsgWnd.m_TextArea.m_fDispNum = 0.0f;
    m_MsgWnd.m_NameArea.m_fDispNum = -1.0f;
    return 1;
}

int TEST_MODE_DATA::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, ADV_DATA* adv) {
    const char* tag = "TEST_MODE_DATA::Initialize";
    Release();
    if (!modes::EnginePointersGiven(sys, sprite, snd, tag))
        return 0;
    if (!adv) {
        modes::ErrorPrint(sys, tag, "ADV_DATAクラスポインタの引数が不正です");
        return 0;
    }
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    m_pAdvData = adv;
    m_nPhase = 0;
    if (!InitializeWindows() || !SetIntroText())
        return 0;
    const int subject = adv->m_nTestSubject;
    int32_t* mask = subject >= 0 && subject < TEST_RESULT_DATA::kSubjectCount ? &adv->m_nTestMask[subject] : nullptr;
    // A subject out of range is refused by the selection with its own line.
    int32_t none = 0;
    if (!SelectQuestions(adv->m_nTestNum, subject, mask ? mask : &none)) {
        modes::ErrorPrint(sys, tag, "問題の選択に失敗しました");
        return 0;
    }
    if (!ReadQuestions(kQuestionList)) {
        modes::ErrorPrint(sys, tag, "問題の読み込みに失敗しました");
        return 0;
    }
    if (!TestModeDataLoad()) {
        modes::ErrorPrint(sys, tag, "データのロードに失敗しました");
        return 0;
    }
    m_bInit = 1;
    return 1;
}

int TEST_MODE_DATA::TestModeDataLoad() {
    const char* tag = "TEST_MODE_DATA::TestModeDataLoad";
    if (!modes::EnginePointersHeld(m_pKUSys, m_pKUSprite, m_pKUSnd, tag))
        return 0;
    if (!m_pAdvData) {
        modes::ErrorPrint(m_pKUSys, tag, "ADV_DATAクラスが未確保です");
        return 0;
    }
    const int test = m_pAdvData->m_nTestNum;
    if (test >= 0 && test <= 2) {
        m_nBGSlot = kSlotBGFirst + test;
    } else if (test == 3) {
        modes::ErrorPrint(m_pKUSys, tag, "テスト回数3は未定義です");
    } else {
        modes::ErrorPrint(m_pKUSys, tag, "テスト回数が不正です");
        return 0;
    }
    if ((m_nBGSlot != -1 && !GraphicLoad(m_pKUSprite, m_pKUSys, m_nBGSlot)) ||
        !GraphicLoad(m_pKUSprite, m_pKUSys, kSlotFade) || !GraphicLoad(m_pKUSprite, m_pKUSys, kSlotMaterial)) {
        modes::ErrorPrint(m_pKUSys, tag, "画像のロードに失敗しました");
        return 0;
    }
    if (m_nCurrent >= 1 && m_nCurrent <= kQuestionCount) {
        if (!m_pKUSprite->SetGraphicData(kSlotQuestion, kWorkFolder, m_Question[m_nCurrent - 1].m_szImage, 4, 1) ||
            !GraphicLoad(m_pKUSprite, m_pKUSys, kSlotQuestion)) {
            modes::ErrorPrint(m_pKUSys, tag, "画像のロードに失敗しました");
            return 0;
        }
    }
    for (int slot = kSeStart; slot <= kSePage; ++slot) {
        if (!SELoad(m_pKUSnd, m_pKUSys, slot, nullptr)) {
            modes::ErrorPrint(m_pKUSys, tag, "SEのロードに失敗しました");
            return 0;
        }
    }
    return 1;
}

int TEST_MODE_DATA::TestModeDataUnload() {
    if (!m_pKUSys || !m_pKUSprite || !m_pKUSnd)
        return 1;
    const char* tag = "TEST_MODE_DATA::TestModeDataUnload";
    if (m_nBGSlot != -1 && !GraphicUnload(m_pKUSprite, m_pKUSys, m_nBGSlot))
        modes::ErrorPrint(m_pKUSys, tag, "画像のアンロードに失敗しました");
    for (int slot : {kSlotQuestion, kSlotNextQuestion}) {
        if (!GraphicUnload(m_pKUSprite, m_pKUSys, slot)) {
            modes::ErrorPrint(m_pKUSys, tag, "画像のアンロードに失敗しました");
            return 0;
        }
        if (!m_pKUSprite->SetGraphicData(static_cast<uint32_t>(slot), nullptr, nullptr, 4, 1)) {
            modes::ErrorPrint(m_pKUSys, tag, "グラフィックデータのセットに失敗しました");
            return 0;
        }
    }
    for (int slot : {kSlotFade, kSlotMaterial})
        if (!GraphicUnload(m_pKUSprite, m_pKUSys, slot))
            modes::ErrorPrint(m_pKUSys, tag, "画像のアンロードに失敗しました");
    for (int slot = kSeStart; slot <= kSePage; ++slot)
        if (!SEUnload(m_pKUSnd, m_pKUSys, slot))
            modes::ErrorPrint(m_pKUSys, tag, "SEのアンロードに失敗しました");
    return 1;
}

int TEST_MODE_DATA::MainProc() {
    const char* tag = "TEST_MODE_DATA::MainProc";
    if (!m_bInit) {
        modes::ErrorPrint(m_pKUSys, tag, "初期化されていません");
        return -1;
    }
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    int taken = 0;
    if (!m_MsgWnd.MainProc(&taken, m_pAdvData)) {
        modes::ErrorPrint(m_pKUSys, tag, "MESSAGE_WINDOW::MainProcに失敗しました");
        return -1;
    }
    if (m_nPhase == 6) {
        if (!m_CtrlWnd.MainProc(&m_nCtrlAction, m_pAdvData)) {
            modes::ErrorPrint(m_pKUSys, tag, "CONTROLLER_WINDOW::MainProcに失敗しました");
            return -1;
        }
        if (m_nCtrlAction == CONTROLLER_WINDOW::kActConfig)
            m_nPhase = 8;
    }
    const float t = static_cast<float>(now - m_dwPhaseStart);
    return m_nPhase <= 5 ? OpeningPhase(now, t, tag) : ExamPhase(now, t);
}

int TEST_MODE_DATA::OpeningPhase(uint32_t now, float t, const char* tag) {
    switch (m_nPhase) {
        case 0:
            m_dwPhaseStart = now;
            m_fFade = 1.0f;
            m_nPhase = 1;
            break;
        case 1:
            m_fFade = 1.0f - t / static_cast<float>(kFadeMs);
            if (m_fFade <= 0.0f) {
                m_fFade = 0.0f;
                m_MsgWnd.DispWindow();
                m_dwPhaseStart = now;
                m_nPhase = 2;
            }
            break;
        case 2:
            if (m_MsgWnd.AppearWindow(m_dwPhaseStart, kWindowMs) == 1) {
                m_dwPhaseStart = now;
                m_nPhase = 3;
            }
            break;
        case 3:
            if (!m_MsgWnd.CountMessageDispNum(m_dwPhaseStart, now, -1)) {
                modes::ErrorPrint(m_pKUSys, tag, "表示文字カウントに失敗しました");
                return -1;
            }
            if (m_pKUSys->GetKey(1) || modes::ClickState(m_pKUSys) == 3)
                m_MsgWnd.m_TextArea.m_fDispNum = -1.0f;
            if (m_MsgWnd.m_TextArea.m_fDispNum == -1.0f) {
                m_dwPhaseStart = now;
                m_nPhase = 4;
            }
            break;
        case 4:
            if (modes::ClickState(m_pKUSys) == 3) {
                m_dwPhaseStart = now;
                m_nPhase = 5;
            }
            break;
        case 5:
            if (m_MsgWnd.DisappearWindow(m_dwPhaseStart, kWindowMs) == 1) {
                // Gone for good: its picture slot may be unloaded on the options screen.
                m_MsgWnd.HideWindow();
                m_dwPhaseStart = now;
                SEPlay(m_pKUSnd, m_pKUSys, kSeStart, 0);
                BGM_DS_Play(m_pKUSnd, m_pKUSys, 1, kMusic);
                m_dwTestStart = now;
                m_nPhase = 6;
            }
            break;
        default: break;
    }
    return 0;
}

int TEST_MODE_DATA::ExamPhase(uint32_t now, float t) {
    switch (m_nPhase) {
        case 6: return ExamFrame(now);
        case 7:
            m_fPageFade = 1.0f - t / static_cast<float>(kPageMs);
            if (m_fPageFade <= 0.0f)
                return FinishPageChange(now);
            break;
        case 8:
            m_dwPhaseStart = now;
            m_dwPauseStart = now;
            m_nPhase = 9;
            break;
        case 9:
            m_fFade = t / static_cast<float>(kFadeMs);
            if (m_fFade >= 1.0f) {
                m_fFade = 1.0f;
                return kResultConfig;
            }
            break;
        case 10:
            m_fFade = 1.0f;
            m_dwPhaseStart = now;
            m_nPhase = 11;
            break;
        case 11:
            m_fFade = 1.0f - t / static_cast<float>(kFadeMs);
            if (m_fFade <= 0.0f) {
                m_fFade = 0.0f;
                m_dwPhaseStart = now;
                m_dwPaused += now - m_dwPauseStart;
                m_nPhase = 6;
            }
            break;
        case 12: {
            const uint32_t waited = now - m_dwPhaseStart;
            if (waited >= kEndSoundMinMs && (m_pKUSnd->DAGetPlayState(kSeEnd) != 0 || waited >= kEndSoundMaxMs)) {
                m_dwPhaseStart = now;
                BGM_DS_Stop(m_pKUSnd, m_pKUSys);
                m_nPhase = 13;
            }
            break;
        }
        case 13:
            m_fFade = t / static_cast<float>(kFadeMs);
            if (m_fFade >= 1.0f) {
                m_fFade = 1.0f;
                return EndExam();
            }
            break;
        default: break;
    }
    return 0;
}

int TEST_MODE_DATA::HitItem(int x, int y) const {
    KURECT rc{};
    for (int item = 1; item <= kItemFinish; ++item)
        if (ItemRect(item, &rc) && modes::RectHit(rc, x, y))
            return item;
    return 0;
}

int TEST_MODE_DATA::ExamFrame(uint32_t now) {
    CursorMoveProc();
    if (m_bBlinkUp) {
        m_fBlink += kBlinkRise;
        if (m_fBlink >= 1.0f) {
            m_fBlink = 1.0f;
            m_bBlinkUp = 0;
        }
    } else {
        m_fBlink -= kBlinkFall;
        if (m_fBlink <= 0.5f) {
            m_fBlink = 0.5f;
            m_bBlinkUp = 1;
        }
    }
    m_dwElapsed = now - m_dwTestStart - m_dwPaused;
    if (m_dwElapsed > kExamMs) {
        m_dwElapsed = kExamMs;
        SEPlay(m_pKUSnd, m_pKUSys, kSeEnd, 0);
        m_fBlink = 1.0f;
        m_bBlinkUp = 0;
        m_nHover = 0;
        m_dwPhaseStart = now;
        m_nPhase = 12;
        return 0;
    }
    int x = 0, y = 0;
    m_pKUSys->GetMousePos(&x, &y);
    const int hover = HitItem(x, y);
    if (hover != m_nHover && hover != 0)
        SEPlay(m_pKUSnd, m_pKUSys, kSeCursorOn, 0);
    m_nHover = hover;
    if (modes::ClickState(m_pKUSys) == 3) {
        if (hover >= kItemTabFirst && hover < kItemFinish) {
            const int n = hover - kItemTabFirst + 1;
            if (n != m_nCurrent)
                return StartPageChange(n, now) ? 0 : -1;
        } else if (hover >= 1 && hover <= 4) {
            const int r = Answer(hover, now);
            if (r != 0)
                return r < 0 ? -1 : 0;
        } else if (hover == kItemFinish) {
            m_fBlink = 1.0f;
            m_bBlinkUp = 0;
            m_nHover = 0;
            m_dwPhaseStart = now;
            BGM_DS_Stop(m_pKUSnd, m_pKUSys);
            m_nPhase = 13;
            return 0;
        }
    }
    for (int vk = 48; vk <= 57; ++vk) {
        if (m_pKUSys->GetKeyState(vk) != 3)
            continue;
        if (!StartPageChange(vk == 48 ? 10 : vk - 48, now))
            return -1;
        break;
    }
    for (int k = 1; k <= 4; ++k) {
        if (m_pKUSys->GetKeyState(96 + k) != 3)
            continue;
        const int r = Answer(k, now);
        if (r != 0)
            return r < 0 ? -1 : 0;
    }
    return 0;
}

int TEST_MODE_DATA::Answer(int k, uint32_t now) {
    TEST_QUESTION_DATA& q = m_Question[m_nCurrent - 1];
    if (q.m_nChosen == k - 1) {
        q.m_nChosen = -1;
        return 0;
    }
    SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
    q.m_nChosen = k - 1;
    // A page change already started by a digit key this frame stands.
    if (m_nPhase != 6 || m_nCurrent >= kQuestionCount || m_Question[m_nCurrent].m_nChosen != -1)
        return 0;
    m_nHover = 0;
    return StartPageChange(m_nCurrent + 1, now) ? 1 : -1;
}

int TEST_MODE_DATA::StartPageChange(int n, uint32_t now) {
    SEPlay(m_pKUSnd, m_pKUSys, kSePage, 0);
    m_nNext = n;
    if (!m_pKUSprite->SetGraphicData(kSlotNextQuestion, kWorkFolder, m_Question[n - 1].m_szImage, 4, 1)) {
        modes::ErrorPrint(m_pKUSys, "TEST_MODE_DATA::MainProc", "グラフィックデータのセットに失敗しました");
        return 0;
    }
    if (!GraphicLoad(m_pKUSprite, m_pKUSys, kSlotNextQuestion)) {
        modes::ErrorPrint(m_pKUSys, "TEST_MODE_DATA::MainProc", "画像のロードに失敗しました");
        return 0;
    }
    m_fBlink = 1.0f;
    m_bBlinkUp = 0;
    m_dwPhaseStart = now;
    m_dwPauseStart = now;
    m_nPhase = 7;
    return 1;
}

int TEST_MODE_DATA::FinishPageChange(uint32_t now) {
    const char* tag = "TEST_MODE_DATA::MainProc";
    m_fPageFade = 1.0f;
    if (!GraphicUnload(m_pKUSprite, m_pKUSys, kSlotQuestion)) {
        modes::ErrorPrint(m_pKUSys, tag, "画像のアンロードに失敗しました");
        return -1;
    }
    if (!m_pKUSprite->SetGraphicData(kSlotQuestion, kWorkFolder, m_Question[m_nNext - 1].m_szImage, 4, 1)) {
        modes::ErrorPrint(m_pKUSys, tag, "グラフィックデータのセットに失敗しました");
        return -1;
    }
    if (!GraphicLoad(m_pKUSprite, m_pKUSys, kSlotQuestion)) {
        modes::ErrorPrint(m_pKUSys, tag, "画像のロードに失敗しました");
        return -1;
    }
    if (!GraphicUnload(m_pKUSprite, m_pKUSys, kSlotNextQuestion)) {
        modes::ErrorPrint(m_pKUSys, tag, "画像のアンロードに失敗しました");
        return 0;
    }
    if (!m_pKUSprite->SetGraphicData(kSlotNextQuestion, nullptr, nullptr, 4, 1)) {
        modes::ErrorPrint(m_pKUSys, tag, "グラフィックデータのセットに失敗しました");
        return 0;
    }
    m_nCurrent = m_nNext;
    m_nNext = 0;
    m_dwPaused += now - m_dwPauseStart;
    m_nPhase = 6;
    return 0;
}

int TEST_MODE_DATA::EndExam() {
    const char* tag = "TEST_MODE_DATA::MainProc";
    ADV_DATA* adv = m_pAdvData;
    const int test = adv->m_nTestNum, subject = adv->m_nTestSubject;
    if (test >= 0 && test < ADV_DATA::kTestCount && subject >= 0 && subject < TEST_RESULT_DATA::kSubjectCount) {
        for (const TEST_QUESTION_DATA& q : m_Question)
            if (q.m_nChosen >= 0 && q.m_nChosen == q.m_nAnswer)
                adv->m_TestResult[test].m_nScore[subject] += 1;
    }
    std::memset(adv->m_szScriptName, 0, sizeof(adv->m_szScriptName));
    game::CopyFixed(adv->m_szScriptName, adv->m_szTestNextScript);
    const int r = FileDiv(kArchive, kWorkFolder, adv->m_szScriptName);
    if (r == -2) {
        modes::ErrorPrint(m_pKUSys, tag, "指定ファイルは非結合ファイルです");
        return -1;
    }
    if (r == -1) {
        modes::ErrorPrint(m_pKUSys, tag, "呼び出したFileDivが失敗しました");
        return -1;
    }
    if (r == 0) {
        char text[640];
        snprintf(text, sizeof(text), "%s内に%sが見つかりません", kArchive, adv->m_szScriptName);
        modes::ErrorPrint(m_pKUSys, tag, text);
        return -1;
    }
    if (adv->m_pScriptFile) {
        fclose(adv->m_pScriptFile);
        adv->m_pScriptFile = nullptr;
    }
    char path[ADV_DATA::kNameSize + 8];
    snprintf(path, sizeof(path), "%s%s", kWorkFolder, adv->m_szScriptName);
    adv->m_pScriptFile = plat::OpenFile(path, "rb");
    if (!adv->m_pScriptFile) {
        // The adventure would read from a missing file on its next frame.
        modes::ErrorPrint(m_pKUSys, tag, "ファイルオープンに失敗しました");
        return -1;
    }
    int32_t line = adv->m_MainScr.m_nAutoSkipLine;
    adv->m_MainScr.m_bAutoSkipList = adv->m_MainScr.CheckAutoSkipFileList(adv->m_szScriptName, &line) == 1 ? 1 : 0;
    adv->m_MainScr.m_nAutoSkipLine = line;
    return kResultDone;
}
