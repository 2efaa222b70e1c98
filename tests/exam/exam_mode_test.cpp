#include <tuple>

#include "tests/exam/exam_fixture.h"

namespace {

// Keypad key of the right (or a wrong) answer to the current question.
int KeypadKey(const TEST_MODE_DATA& exam, bool right) {
    const TEST_QUESTION_DATA& q = exam.m_Question[exam.m_nCurrent - 1];
    const int answer = right ? q.m_nAnswer : (q.m_nAnswer + 1) % 4;
    return 97 + answer;
}

TEST_F(ExamTest, KeypadAnswersAreScoredAndTheNextScriptOpens) {
    Pack(AllQuestions());
    StartExam();
    EXPECT_EQ(fakesvc::Count("SEPlay 16"), 1);
    EXPECT_EQ(fakesvc::Count("BGM_DS_Play 1 BGM10.mp3"), 1);
    int32_t asked = 0;
    for (const TEST_QUESTION_DATA& q : exam.m_Question)
        asked |= 1 << (std::stoi(std::string(q.m_szID).substr(3)) - 1);
    EXPECT_EQ(adv.m_nTestMask[2], asked);
    const uint32_t start = exam.m_dwTestStart;
    for (int q = 1; q <= 10; ++q) {
        ASSERT_EQ(exam.m_nCurrent, q);
        EXPECT_EQ(Step(16, {{KeypadKey(exam, q % 2 == 1), kUp}}), 0);
        if (q < 10) {
            // Each answer moves on to the next unanswered question.
            ASSERT_EQ(exam.m_nPhase, 7);
            Step(250);
            ASSERT_EQ(exam.m_nPhase, 6);
        }
    }
    EXPECT_EQ(exam.m_nCurrent, 10);
    EXPECT_EQ(fakesvc::Count("SEPlay 19"), 10);
    EXPECT_EQ(fakesvc::Count("SEPlay 20"), 9);
    // Page changes do not count as exam time.
    EXPECT_EQ(exam.m_dwPaused, 9u * 250u);
    Step(16);
    EXPECT_EQ(exam.m_dwElapsed, sys.GetTime() - start - 9u * 250u);
    // The marked answer again takes the mark away, without a sound.
    Step(16, {{KeypadKey(exam, false), kUp}});
    EXPECT_EQ(exam.m_Question[9].m_nChosen, -1);
    EXPECT_EQ(fakesvc::Count("SEPlay 19"), 10);
    Step(16, {{KeypadKey(exam, false), kUp}});

    Click(656, 448); // finish
    EXPECT_EQ(exam.m_nPhase, 13);
    EXPECT_EQ(fakesvc::Count("BGM_DS_Stop"), 1);
    EXPECT_EQ(Step(999), 0);
    ASSERT_EQ(Step(1), TEST_MODE_DATA::kResultDone) << log.all();
    EXPECT_EQ(adv.m_TestResult[0].m_nScore[2], 5);
    EXPECT_STREQ(adv.m_szScriptName, "after.spt");
    ASSERT_NE(adv.m_pScriptFile, nullptr);
}

TEST_F(ExamTest, PagesByTabsAndDigitKeys) {
    Pack(AllQuestions());
    StartExam();
    Click(17, 500); // the current question's tab: nothing
    EXPECT_EQ(exam.m_nPhase, 6);
    Step(16, {{48, kUp}}); // key 0: question 10
    Step(250);
    EXPECT_EQ(exam.m_nCurrent, 10);
    Click(113, 500); // tab 3
    Step(250);
    exam.m_Question[3].m_nChosen = 0; // answering 3 with 4 answered stays on 3
    Step(16, {{97, kUp}});
    EXPECT_EQ(exam.m_nPhase * 100 + exam.m_nCurrent, 603);
}

TEST_F(ExamTest, TimeUpWaitsForTheEndSoundThenScoresNothing) {
    Pack(AllQuestions());
    StartExam();
    int digits[3];
    for (auto [elapsed, shown] : {std::pair<uint32_t, int>{0, 200}, {1, 159}, {120000, 0}}) {
        TEST_MODE_DATA::CountdownDigits(elapsed, digits);
        EXPECT_EQ(digits[0] * 100 + digits[1] * 10 + digits[2], shown) << elapsed;
    }
    Step(120000);
    EXPECT_EQ(exam.m_nPhase, 6);
    Step(1);
    EXPECT_EQ(exam.m_nPhase, 12);
    EXPECT_EQ(exam.m_dwElapsed, 120000u);
    EXPECT_EQ(fakesvc::Count("SEPlay 17"), 1);
    Step(999);
    EXPECT_EQ(exam.m_nPhase, 12);
    Step(1); // no sound device: the end sound reports "not playing"
    EXPECT_EQ(exam.m_nPhase, 13);
    EXPECT_EQ(Step(1000), TEST_MODE_DATA::kResultDone);
    EXPECT_EQ(adv.m_TestResult[0].m_nScore[2], 0);
}

TEST_F(ExamTest, OptionsTripStopsTheExamClock) {
    Pack(AllQuestions());
    StartExam();
    Step(100);
    const uint32_t elapsed = exam.m_dwElapsed;
    Step(16, {{'C', kUp}});
    EXPECT_EQ(exam.m_nPhase, 9);
    EXPECT_EQ(Step(999), 0);
    EXPECT_EQ(Step(1), TEST_MODE_DATA::kResultConfig);
    EXPECT_EQ(Step(5000), TEST_MODE_DATA::kResultConfig); // until the caller switches
    fakesvc::Calls().clear();
    ASSERT_EQ(exam.TestModeDataLoad(), 1);
    for (const char* call : {"GraphicLoad 12", "GraphicLoad 0", "GraphicLoad 11", "GraphicLoad 15", "SELoad 20"})
        EXPECT_EQ(fakesvc::Count(call), 1) << call;
    exam.m_nPhase = 10;
    Step(16);
    Step(1000);
    ASSERT_EQ(exam.m_nPhase, 6);
    Step(16);
    EXPECT_EQ(exam.m_dwElapsed, elapsed + 16u + 16u);
}

TEST_F(ExamTest, PointerKeys) {
    // Rows of the table: hovered item, bar button, key, target.
    const int rows[][4] = {
        {0, 0, 38, 1},   {0, 0, 39, 1},   {2, 0, 38, 16}, {2, 0, 40, 15}, {1, 0, 37, 4}, {4, 0, 39, 1},
        {5, 0, 37, 16},  {14, 0, 39, 16}, {7, 0, 38, 15}, {7, 0, 40, 16}, {7, 0, 39, 8}, {15, 0, 38, 1},
        {15, 0, 40, 16}, {15, 0, 37, 14}, {15, 0, 39, 5}, {0, 3, 38, 15}, {0, 3, 40, 1}, {0, 3, 37, 14},
        {0, 3, 39, 5},   {0, 9, 38, 0},   {0, 1, 40, 0},  {3, 0, 65, 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(TEST_MODE_DATA::MoveTargetItem(r[0], r[1], r[2]), r[3]) << r[0] << " " << r[1] << " " << r[2];

    Pack(AllQuestions());
    StartExam();
    sys.SetMousePos(300, 20);
    for (auto [vk, x, y] : {std::tuple{38, 640, 172}, {40, 656, 448}, {40, 646, 581}}) {
        Step(16, {{vk, kUp}});
        int px = 0, py = 0;
        sys.GetMousePos(&px, &py);
        EXPECT_EQ(px * 1000 + py, x * 1000 + y) << vk;
    }
}

TEST_F(ExamTest, FailuresEndCleanly) {
    Pack(AllQuestions(), false);
    adv.m_nTestNum = 3;
    EXPECT_EQ(exam.Initialize(&sys, &sprite, &snd, &adv), 0);
    EXPECT_TRUE(log.Contains("問題の選択に失敗しました"));
    EXPECT_EQ(exam.MainProc(), -1);
    adv.m_nTestNum = 0;
    fakesvc::g_failGraphicSlot = 15; // a question picture that is not there
    EXPECT_EQ(exam.Initialize(&sys, &sprite, &snd, &adv), 0);
    EXPECT_TRUE(log.Contains("データのロードに失敗しました"));
    fakesvc::g_failGraphicSlot = -1;
    StartExam();
    Click(656, 448);
    log.Clear();
    EXPECT_EQ(Step(1000), -1);
    EXPECT_TRUE(log.Contains("dat/Scenario.dat内にafter.sptが見つかりません"));
}

} // namespace
