#pragma once
#include <cstdint>

#include "engine/kugraphic2.h"
#include "scene/controller_window.h"
#include "scene/message_window.h"
#include "modes/test_question_data.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;
class ADV_DATA;

// The school exam the scenario sets: an intro typed out in a message window,
// then ten picture questions of one subject answered on an answer sheet
// within 120 seconds. Right answers are added to the adventure's results and
// the script after the exam becomes the adventure's current script.
class TEST_MODE_DATA {
public:
    static constexpr int kQuestionCount = 10;
    static constexpr uint32_t kExamMs = 120000;
    static constexpr uint32_t kPageMs = 250;
    static constexpr uint32_t kFadeMs = 1000;
    static constexpr uint32_t kWindowMs = 500;

    static constexpr int kSlotFade = 0;
    static constexpr int kSlotWindow = 2;
    static constexpr int kSlotController = 3;
    static constexpr int kSlotMaterial = 11;
    static constexpr int kSlotBGFirst = 12; // exam 0; 13 and 14 for exams 1 and 2
    static constexpr int kSlotQuestion = 15;
    static constexpr int kSlotNextQuestion = 16;
    static constexpr int kSeStart = 16;
    static constexpr int kSeEnd = 17;
    static constexpr int kSeCursorOn = 18;
    static constexpr int kSePush = 19;
    static constexpr int kSePage = 20;

    // Hovered items: 1-4 choices of the current question, 5-14 question
    // tabs, 15 the finish button; 16 names the bar's config button as a
    // pointer target.
    static constexpr int kItemTabFirst = 5;
    static constexpr int kItemFinish = 15;
    static constexpr int kItemConfig = 16;

    // Results of MainProc.
    static constexpr int kResultDone = 1;
    static constexpr int kResultConfig = 2;

    TEST_MODE_DATA();
    ~TEST_MODE_DATA();
    TEST_MODE_DATA(const TEST_MODE_DATA&) = delete;
    TEST_MODE_DATA& operator=(const TEST_MODE_DATA&) = delete;

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, ADV_DATA* adv);
    void Release();
    int TestModeDataLoad();
    int TestModeDataUnload();
    // -1 error, 0 running, 1 done (the next script is open), 2 open the options.
    int MainProc();
    int DrawProc();
    int CursorMoveProc();

    // Chooses the ten question ids of an exam (0..2) and subject (0..4),
    // marking exams 0 and 1 in the subject's seen mask. 1 / 0.
    int SelectQuestions(int test, int subject, int32_t* seenMask);
    // Fills the ten records from the question list member `name`. 1 / 0.
    int ReadQuestions(const char* name);

    // Screen rectangle of an item (1-16) with the current question; false
    // for no such item.
    bool ItemRect(int item, KURECT* rc) const;
    // The item the pointer moves to for an arrow key released over hovered
    // item `hover` with bar button `barHover` under the pointer; 0 none.
    static int MoveTargetItem(int hover, int barHover, int vk);
    // Minutes, tens of seconds and seconds of the remaining time.
    static void CountdownDigits(uint32_t elapsed, int digits[3]);

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    ADV_DATA* m_pAdvData;
    int m_nPhase;
    uint32_t m_dwPhaseStart;
    MESSAGE_WINDOW m_MsgWnd;
    CONTROLLER_WINDOW m_CtrlWnd;
    TEST_QUESTION_DATA m_Question[kQuestionCount];
    int m_nBGSlot;
    uint32_t m_dwTestStart;
    uint32_t m_dwElapsed;
    uint32_t m_dwPaused;
    uint32_t m_dwPauseStart;
    int m_nCurrent; // 1..10
    int m_nNext; // 1..10 during a page change, else 0
    float m_fFade;
    float m_fPageFade;
    float m_fBlink;
    int m_bBlinkUp;
    int m_nHover;
    int m_nCtrlAction;

private:
    int InitializeWindows();
    int SetIntroText();
    int HitItem(int x, int y) const;
    // MainProc's phases: fade-in and the message window (0-5), the exam and its endings (6 on).
    int OpeningPhase(uint32_t now, float t, const char* tag);
    int ExamPhase(uint32_t now, float t);
    int ExamFrame(uint32_t now);
    // Marks or unmarks choice k of the current question; 1 a page change
    // started, 0 none, -1 error.
    int Answer(int k, uint32_t now);
    int StartPageChange(int n, uint32_t now);
    int FinishPageChange(uint32_t now);
    int EndExam();
    int Draw(int slot, float x, float y, const KURECT* src, float alpha);
    bool DrawQuestionAndClock(float page);
    bool DrawQuestionLabels(bool paging, float page, float rest);
    bool DrawAnswerMarks();
    bool DrawQuestionTabs(bool paging, float page, float rest);
    void DrawAnswerKey();
};
