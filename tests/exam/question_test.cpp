#include <set>

#include "tests/exam/exam_fixture.h"

namespace {

class QuestionTest : public ExamTest {
protected:
    void SetUp() override {
        ExamTest::SetUp();
        exam.m_pKUSys = &sys;
        exam.m_pKUSprite = &sprite;
    }
    void TearDown() override {
        exam.m_pKUSys = nullptr;
        exam.m_pKUSprite = nullptr;
        ExamTest::TearDown();
    }
    std::vector<std::string> Ids() const {
        std::vector<std::string> ids;
        for (const TEST_QUESTION_DATA& q : exam.m_Question)
            ids.push_back(q.m_szID);
        return ids;
    }
    static int Number(const std::string& id) { return std::stoi(id.substr(3)); }
};

TEST_F(QuestionTest, SeededSelectionMarksTheSeenMask) {
    int32_t mask = 0;
    ASSERT_EQ(exam.SelectQuestions(0, 2, &mask), 1);
    const std::vector<std::string> first = Ids();
    int32_t expected = 0;
    std::set<int> numbers;
    for (const std::string& id : first) {
        ASSERT_EQ(id.substr(0, 3), "MT0");
        numbers.insert(Number(id));
        expected |= 1 << (Number(id) - 1);
    }
    EXPECT_EQ(numbers.size(), 10u);
    EXPECT_GE(*numbers.begin(), 1);
    EXPECT_LE(*numbers.rbegin(), 15);
    EXPECT_EQ(mask, expected);

    // The same seed draws the same ten ids.
    plat::SeedRand(7);
    int32_t again = 0;
    ASSERT_EQ(exam.SelectQuestions(0, 2, &again), 1);
    EXPECT_EQ(Ids(), first);

    // Exam 1 has its own fifteen bits.
    ASSERT_EQ(exam.SelectQuestions(1, 2, &mask), 1);
    EXPECT_EQ(mask & 0x7FFF, expected);
    EXPECT_EQ(__builtin_popcount(static_cast<uint32_t>(mask) >> 15), 10);

    // Exam 0 again: the five unasked numbers, then the counter 1..5.
    ASSERT_EQ(exam.SelectQuestions(0, 2, &mask), 1);
    std::set<int> fresh;
    for (int i = 0; i < 5; ++i)
        fresh.insert(Number(Ids()[i]));
    for (int n : fresh)
        EXPECT_EQ(numbers.count(n), 0u) << n;
    EXPECT_EQ(fresh.size(), 5u);
    for (int i = 5; i < 10; ++i)
        EXPECT_EQ(Number(Ids()[i]), i - 4);
}

TEST_F(QuestionTest, FinalExamDrawsFromAskedQuestionsOnly) {
    int32_t mask = 0;
    ASSERT_EQ(exam.SelectQuestions(2, 0, &mask), 1);
    for (int i = 0; i < 10; ++i) {
        const std::string id = Ids()[i];
        EXPECT_TRUE(id.rfind("EN0", 0) == 0 || id.rfind("EN1", 0) == 0) << id;
        EXPECT_EQ(Number(id), i + 1);
    }
    EXPECT_EQ(mask, 0);
    mask = 0x3; // exam 0 asked 1 and 2
    mask |= 0x7 << 15; // exam 1 asked 1, 2 and 3
    ASSERT_EQ(exam.SelectQuestions(2, 0, &mask), 1);
    std::set<std::string> asked = {"EN0001", "EN0002", "EN1001", "EN1002", "EN1003"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(asked.count(Ids()[i]), 1u) << Ids()[i];
}

TEST_F(QuestionTest, RefusedSelectionsTouchNothing) {
    int32_t mask = 5;
    const struct {
        int test, subject;
        int32_t* mask;
        const char* line;
    } cases[] = {{3, 0, &mask, "テスト回数3は未定義です"},
                 {4, 0, &mask, "テスト回数が不正です"},
                 {-1, 0, &mask, "テスト回数が不正です"},
                 {0, 5, &mask, "科目の指定が不正です"},
                 {1, 0, nullptr, "出題フラグの指定が不正です"}};
    for (const auto& c : cases) {
        log.Clear();
        EXPECT_EQ(exam.SelectQuestions(c.test, c.subject, c.mask), 0);
        EXPECT_TRUE(log.Contains(c.line)) << c.line;
    }
    EXPECT_EQ(mask, 5);
    EXPECT_EQ(Ids()[0], "");
}

TEST_F(QuestionTest, ListLookUpIgnoresCaseCommentsAndLongLines) {
    std::vector<std::string> lines = {
        "//MT0007 commented.bmp 1",
        "",
        "mt0007 seven.bmp 3 extra words",
        "MT0007 second.bmp 4",
        "MT0001 " + std::string(1500, 'x') + ".bmp 2",
        "MT0002 nonumber.bmp abc",
        "MT0003 three.bmp 1",
    };
    Pack(lines);
    for (TEST_QUESTION_DATA& q : exam.m_Question)
        game::CopyFixed(q.m_szID, "MT0007");
    game::CopyFixed(exam.m_Question[1].m_szID, "MT0001");
    game::CopyFixed(exam.m_Question[2].m_szID, "MT0002");
    game::CopyFixed(exam.m_Question[3].m_szID, "MT0003");
    ASSERT_EQ(exam.ReadQuestions("question.spt"), 1) << log.all();
    EXPECT_STREQ(exam.m_Question[0].m_szImage, "seven.bmp");
    EXPECT_EQ(exam.m_Question[0].m_nAnswer, 2);
    EXPECT_EQ(exam.m_Question[0].m_nChosen, -1);
    // The over-long word is cut inside its field; the tail is no line of its own.
    EXPECT_EQ(strlen(exam.m_Question[1].m_szImage), TEST_QUESTION_DATA::kImageSize - 1u);
    EXPECT_EQ(exam.m_Question[2].m_nAnswer, -1);
    EXPECT_TRUE(log.Contains("MT0002の正解番号abcが不正です"));
    EXPECT_STREQ(exam.m_Question[3].m_szImage, "three.bmp");
    EXPECT_FALSE(std::filesystem::exists("tmp/question.spt"));
}

TEST_F(QuestionTest, MissingIdOrListFailsTheRead) {
    Pack({"MT0001 one.bmp 1"});
    for (TEST_QUESTION_DATA& q : exam.m_Question)
        game::CopyFixed(q.m_szID, "MT0001");
    game::CopyFixed(exam.m_Question[4].m_szID, "MT0009");
    EXPECT_EQ(exam.ReadQuestions("question.spt"), 0);
    EXPECT_TRUE(log.Contains("question.spt内にMT0009が見つかりません"));
    EXPECT_STREQ(exam.m_Question[3].m_szImage, "one.bmp");
    log.Clear();
    EXPECT_EQ(exam.ReadQuestions("other.spt"), 0);
    EXPECT_TRUE(log.Contains("dat/Scenario.dat内にother.sptが見つかりません"));
    std::filesystem::remove("dat/Scenario.dat");
    EXPECT_EQ(exam.ReadQuestions("question.spt"), 0);
    EXPECT_TRUE(log.Contains("指定ファイルは非結合ファイルです"));
}

} // namespace
