#pragma once
#include <cstdint>

// The five subject scores of one school exam, in subject order ENGLISH,
// JAPANESE, MATH, SCIENCE, SOCIAL.
class TEST_RESULT_DATA {
public:
    static constexpr int kSubjectCount = 5;

    TEST_RESULT_DATA() { Clear(); }
    ~TEST_RESULT_DATA() { Clear(); }

    void Release() { Clear(); }
    void Clear() {
        for (int32_t& s : m_nScore)
            s = 0;
    }

    int32_t m_nScore[kSubjectCount];
};
