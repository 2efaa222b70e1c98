#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "adv/adv_data.h"
#include "adv/script_token.h"
#include "engine/combine_file.h"
#include "engine/kucode.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "modes/mode_common.h"
#include "modes/test_mode_data.h"
#include "platform/debug_out.h"
#include "platform/files.h"

namespace {

constexpr const char* kSubjectCodes[TEST_RESULT_DATA::kSubjectCount] = {"EN", "JP", "MT", "SC", "SO"};
constexpr int kNumbersPerExam = 15;
constexpr int kExamTries = 1000;
constexpr int kFinalExamTries = 100;
constexpr int kLineSize = 1024;
constexpr const char* kArchive = "dat/Scenario.dat";
constexpr const char* kWorkFolder = "tmp/";

uint32_t Bit(int offset, int number) { return 1u << (offset + number - 1); }

void LogF(KUSYSTEM* sys, const char* tag, const char* format, const char* a, const char* b, bool warn = false) {
    char text[640];
    snprintf(text, sizeof(text), format, a, b);
    if (warn)
        modes::WarnPrint(sys, tag, text);
    else
        modes::ErrorPrint(sys, tag, text);
}

// Reads one whole line into `line`: a line longer than the buffer keeps its
// first part and the rest up to its CR LF is passed over, so a tail is
// never taken for a line of its own. 0 read, -1 end of file or error.
int ReadWholeLine(FILE* f, char* line, int size) {
    if (CodeFileReadOneLine(f, line, size) != 0)
        return -1;
    size_t n = strlen(line);
    if (n >= 2 && line[n - 2] == '\r' && line[n - 1] == '\n')
        return 0;
    char rest[kLineSize];
    while (!feof(f) && CodeFileReadOneLine(f, rest, sizeof(rest)) == 0) {
        n = strlen(rest);
        if (n >= 2 && rest[n - 2] == '\r' && rest[n - 1] == '\n')
            break;
    }
    return 0;
}

} // namespace

int TEST_MODE_DATA::SelectQuestions(int test, int subject, int32_t* seenMask) {
    const char* tag = "TEST_MODE_DATA::SelectQuestions";
    if (!m_pKUSys) {
        plat::DebugOut("Error: <TEST_MODE_DATA::SelectQuestions> KUSYSTEMクラスが未確保です\n");
        return 0;
    }
    if (subject < 0 || subject >= TEST_RESULT_DATA::kSubjectCount) {
        modes::ErrorPrint(m_pKUSys, tag, "科目の指定が不正です");
        return 0;
    }
    if (test == 3) {
        modes::ErrorPrint(m_pKUSys, tag, "テスト回数3は未定義です");
        return 0;
    }
    if (test < 0 || test > 3) {
        modes::ErrorPrint(m_pKUSys, tag, "テスト回数が不正です");
        return 0;
    }
    if (!seenMask) {
        modes::ErrorPrint(m_pKUSys, tag, "出題フラグの指定が不正です");
        return 0;
    }
    uint32_t seen = static_cast<uint32_t>(*seenMask);
    uint32_t taken = 0; // the final exam's own marks
    int fallback = 1;
    for (TEST_QUESTION_DATA& q : m_Question) {
        int pool = test;
        int number = 0;
        if (test < 2) {
            const int offset = test == 0 ? 0 : kNumbersPerExam;
            for (int i = 0; i < kExamTries && number == 0; ++i) {
                const int n = m_pKUSys->Rand() % kNumbersPerExam + 1;
                if (!(seen & Bit(offset, n)))
                    number = n;
            }
            if (number == 0)
                number = fallback++;
            // A fallback past 15 has no bit of its own.
            if (number <= kNumbersPerExam)
                seen |= Bit(offset, number);
        } else {
            pool = m_pKUSys->Rand() % 2;
            const int offset = pool == 0 ? 0 : kNumbersPerExam;
            for (int i = 0; i < kFinalExamTries && number == 0; ++i) {
                const int n = m_pKUSys->Rand() % kNumbersPerExam + 1;
                if ((seen & Bit(offset, n)) && !(taken & Bit(offset, n)))
                    number = n;
            }
            if (number == 0)
                number = fallback++;
            if (number <= kNumbersPerExam)
                taken |= Bit(offset, number);
        }
        std::memset(q.m_szID, 0, sizeof(q.m_szID));
        snprintf(q.m_szID, sizeof(q.m_szID), "%s%d%03d", kSubjectCodes[subject], pool, number);
    }
    if (test < 2)
        *seenMask = static_cast<int32_t>(seen);
    return 1;
}

int TEST_MODE_DATA::ReadQuestions(const char* name) {
    const char* tag = "TEST_MODE_DATA::ReadQuestions";
    if (!m_pKUSys) {
        plat::DebugOut("Error: <TEST_MODE_DATA::ReadQuestions> KUSYSTEMクラスが未確保です\n");
        return 0;
    }
    if (!m_pKUSprite) {
        modes::ErrorPrint(m_pKUSys, tag, "KUSPRITE2クラスが未確保です");
        return 0;
    }
    if (!name || !IsSafeMemberName(name) || strlen(name) >= TEST_QUESTION_DATA::kImageSize) {
        modes::ErrorPrint(m_pKUSys, tag, "ファイルパスが不正です");
        return 0;
    }
    const int r = FileDiv(kArchive, kWorkFolder, name);
    if (r == -2) {
        modes::ErrorPrint(m_pKUSys, tag, "指定ファイルは非結合ファイルです");
        return 0;
    }
    if (r == -1) {
        modes::ErrorPrint(m_pKUSys, tag, "呼び出したFileDivが失敗しました");
        return 0;
    }
    if (r == 0) {
        LogF(m_pKUSys, tag, "%s内に%sが見つかりません", kArchive, name);
        return 0;
    }
    char path[TEST_QUESTION_DATA::kImageSize + 8];
    snprintf(path, sizeof(path), "%s%s", kWorkFolder, name);
    FILE* f = plat::OpenFile(path, "rb");
    if (!f) {
        modes::ErrorPrint(m_pKUSys, tag, "ファイルオープンに失敗しました");
        return 0;
    }
    char line[kLineSize];
    char text[kLineSize];
    for (TEST_QUESTION_DATA& q : m_Question) {
        rewind(f);
        bool found = false;
        while (!found) {
            if (ReadWholeLine(f, line, sizeof(line)) != 0) {
                if (!feof(f)) {
                    modes::ErrorPrint(m_pKUSys, tag, "CodeFileReadOneLineでエラーが発生しました");
                } else {
                    // The whole list was read without the id: the exam cannot start.
                    LogF(m_pKUSys, tag, "%s内に%sが見つかりません", name, q.m_szID);
                }
                fclose(f);
                return 0;
            }
            const int decoded = KUDecodeOneLine(line, sizeof(text), text);
            if (decoded < 0) {
                modes::ErrorPrint(m_pKUSys, tag, "複合化に失敗しました");
                fclose(f);
                return 0;
            }
            if (decoded == 1)
                continue;
            adv::ScriptToken words[3];
            if (adv::SplitScriptLine(text, words, 3) == 0 || strncmp(words[0], "//", 2) == 0)
                continue;
            if (!adv::ScriptWordEqual(words[0], q.m_szID))
                continue;
            game::CopyFixed(q.m_szImage, words[1]);
            // Read wide: a number past the int range must not wrap into 1 to 4.
            const long long answer = strtoll(words[2], nullptr, 10);
            q.m_nAnswer = answer >= 1 && answer <= 4 ? static_cast<int32_t>(answer - 1) : -1;
            q.m_nChosen = -1;
            if (q.m_nAnswer < 0)
                LogF(m_pKUSys, tag, "%sの正解番号%sが不正です", q.m_szID, words[2], true);
            found = true;
        }
    }
    fclose(f);
    m_pKUSys->RemoveFile(kWorkFolder, name, 0);
    return 1;
}
