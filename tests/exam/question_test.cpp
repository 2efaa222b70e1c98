#include <set>
#include <tuple>

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
    std::string Id(int i) const { return exam.m_Question[i].m_szID; }
    int Number(int i) const { return std::stoi(Id(i).substr(3)); }
};

TEST_F(QuestionTest, SeededSelectionAndTheSeenMasks) {
    int32_t mask = 0, again = 0, expected = 0;
    ASSERT_EQ(exam.SelectQuestions(0, 2, &mask), 1);
    std::set<std::string> first;
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(Id(i).substr(0, 3), "MT0");
        ASSERT_TRUE(Number(i) >= 1 && Number(i) <= 15);
        first.insert(Id(i));
        expected |= 1 << (Number(i) - 1);
    }
    EXPECT_EQ(first.size(), 10u);
    EXPECT_EQ(mask, expected);
    plat::SeedRand(7); // the same seed draws the same ten
    ASSERT_EQ(exam.SelectQuestions(0, 2, &again), 1);
    EXPECT_EQ(std::set<std::string>({Id(0), Id(1), Id(2), Id(3), Id(4), Id(5), Id(6), Id(7), Id(8), Id(9)}), first);
    ASSERT_EQ(exam.SelectQuestions(1, 2, &mask), 1); // exam 1 has bits of its own
    EXPECT_EQ(mask & 0x7FFF, expected);
    EXPECT_EQ(__builtin_popcount(static_cast<uint32_t>(mask) >> 15), 10);
    ASSERT_EQ(exam.SelectQuestions(0, 2, &mask), 1); // five unasked, then the counter
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(first.count(Id(i)), 0u) << Id(i);
    for (int i = 5; i < 10; ++i)
        EXPECT_EQ(Number(i), i - 4);
    // The final exam draws asked questions of either pool, else the counter.
    int32_t none = 0;
    ASSERT_EQ(exam.SelectQuestions(2, 0, &none), 1);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(Number(i) == i + 1 && (Id(i).rfind("EN0", 0) == 0 || Id(i).rfind("EN1", 0) == 0)) << Id(i);
    EXPECT_EQ(none, 0);
}

TEST_F(QuestionTest, RefusedSelectionsTouchNothing) {
    int32_t mask = 5;
    const std::pair<std::tuple<int, int, int32_t*>, const char*> cases[] = {
        {{3, 0, &mask}, "テスト回数3は未定義です"},
        {{4, 0, &mask}, "テスト回数が不正です"},
        {{0, 5, &mask}, "科目の指定が不正です"},
        {{1, 0, nullptr}, "出題フラグの指定が不正です"}};
    for (const auto& [args, line] : cases) {
        EXPECT_EQ(exam.SelectQuestions(std::get<0>(args), std::get<1>(args), std::get<2>(args)), 0);
        EXPECT_TRUE(log.Contains(line)) << line;
    }
    EXPECT_EQ(mask, 5);
    EXPECT_EQ(Id(0), "");
}

TEST_F(QuestionTest, ListLookUpAndBadLines) {
    Pack({"//MT0007 commented.bmp 1", "", "mt0007 seven.bmp 3 more", "MT0007 second.bmp 4",
          "MT0001 " + std::string(1500, 'x') + ".bmp 2", "MT0002 nonumber.bmp abc"});
    const char* ids[] = {"MT0007", "MT0001", "MT0002"};
    for (int i = 0; i < 10; ++i)
        game::CopyFixed(exam.m_Question[i].m_szID, ids[i < 3 ? i : 0]);
    ASSERT_EQ(exam.ReadQuestions("question.spt"), 1) << log.all();
    EXPECT_STREQ(exam.m_Question[0].m_szImage, "seven.bmp");
    EXPECT_EQ(exam.m_Question[0].m_nAnswer, 2);
    EXPECT_EQ(strlen(exam.m_Question[1].m_szImage), TEST_QUESTION_DATA::kImageSize - 1u); // cut to its field
    EXPECT_EQ(exam.m_Question[2].m_nAnswer, -1);
    EXPECT_TRUE(log.Contains("MT0002の正解番号abcが不正です"));
    EXPECT_FALSE(std::filesystem::exists("tmp/question.spt"));

    game::CopyFixed(exam.m_Question[4].m_szID, "MT0009"); // not in the list
    EXPECT_EQ(exam.ReadQuestions("question.spt"), 0);
    EXPECT_TRUE(log.Contains("question.spt内にMT0009が見つかりません"));
    EXPECT_EQ(exam.ReadQuestions("other.spt"), 0);
    EXPECT_TRUE(log.Contains("dat/Scenario.dat内にother.sptが見つかりません"));
    std::filesystem::remove("dat/Scenario.dat");
    EXPECT_EQ(exam.ReadQuestions("question.spt"), 0);
    EXPECT_TRUE(log.Contains("指定ファイルは非結合ファイルです"));
}

TEST_F(QuestionTest, AnswersPastTheIntRangeAreNoAnswer) {
    // Not wrapped into 1 to 4 (4294967298 would read as 2), and no overflow taking 1 off.
    Pack({"MT0001 a.bmp -2147483648", "MT0002 b.bmp 4294967298", "MT0003 c.bmp 99999999999", "MT0004 d.bmp 5"});
    for (int i = 0; i < 10; ++i)
        game::CopyFixed(exam.m_Question[i].m_szID, ("MT000" + std::to_string(i % 4 + 1)).c_str());
    ASSERT_EQ(exam.ReadQuestions("question.spt"), 1) << log.all();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(exam.m_Question[i].m_nAnswer, -1) << i;
    EXPECT_TRUE(log.Contains("MT0002の正解番号4294967298が不正です"));
}

} // namespace
