#include <string>
#include <vector>

#include "platform/random.h"
#include "tests/adv/command_fixture.h"
#include "tests/support/fuzz_mutator.h"

namespace {

using CommandFuzzTest = CommandTest;

// Every keyword of the reader with arguments drawn from declared IDs, the
// scripts' own words and hostile numbers: the play ends in a result or keeps
// going, never crashes or hangs.
TEST_F(CommandFuzzTest, EveryCommandWithHostileArgumentsNeverCrashes) {
    static const char* const kKeywords[] = {"#SetData",
                                            "#LoadData",
                                            "#UnloadData",
                                            "#MoviePlay",
                                            "#GraphicDisp",
                                            "#GraphicHide",
                                            "#TextDisp",
                                            "#TextHide",
                                            "#TextScroll",
                                            "#Wipe",
                                            "#MosaicExpansion",
                                            "#MosaicReduction",
                                            "#MosaicEnd",
                                            "#SetObjectAnim",
                                            "#SetObjectDrawProperty",
                                            "#AddObjectBuf",
                                            "#StartObjectProc",
                                            "#EndObjectProc",
                                            "#StartObjectProc_Wait",
                                            "#ObjectAllFadeOut",
                                            "#FadeIn",
                                            "#FadeIn2",
                                            "#FadeOut",
                                            "#KeyWait",
                                            "#TimeWait",
                                            "#MsgWndOpen",
                                            "#MsgWndClose",
                                            "#SelectStart",
                                            "#SelectWait",
                                            "#SelectBranch",
                                            "#SelectEnd",
                                            "#MsgDisp",
                                            "#MsgWndClear",
                                            "#If",
                                            "#ElseIf",
                                            "#Else",
                                            "#EndIf",
                                            "#RandomStart",
                                            "#RandomBranch",
                                            "#RandomEnd",
                                            "#Jump",
                                            "#GoTo",
                                            "#FileChange",
                                            "#FileChange2",
                                            "#EndScript",
                                            "#TestModeIn",
                                            "#ChangeEpisode",
                                            "#ChangeScene",
                                            "#PutInEpisodeData",
                                            "#PutInSceneData",
                                            "#ChangeTestResult",
                                            "#PutInTestResult",
                                            "#AddInTestResult",
                                            "#AddVar",
                                            "#ChangeVar",
                                            "#FlgOnVar",
                                            "#FlgOffVar",
                                            "#AddAutoSkipFileList",
                                            "#PlayWave",
                                            "#StopWave",
                                            "#PlayVoice",
                                            "#StopVoice",
                                            "#PlayBGM",
                                            "#StopBGM",
                                            "#BGMWait"};
    static const char* const kIds[] = {"BG", "CH",      "TX",     "OB",       "OB2",   "SE",  "v",
                                       "XX", "GRAPHIC", "OBJECT", "TEXTAREA", "SOUND", "VAR", "ALL"};
    // The edges of the tables (ten steps, 4096 frames) and of the number types.
    static const char* const kNumbers[] = {"-1",          "0",          "1",           "10",   "64",  "4097",
                                           "-2147483648", "2147483647", "99999999999", "1e39", "nan", "-0.5"};
    static const char* const kWords[] = {
        "TRUE",    "FALSE",    "NULL",         "LOOP",          "REPETITION", "ABS",     "MOVE",
        "FADE_IN", "FADE_OUT", "FADE_MOVE_IN", "FADE_MOVE_OUT", "SET_POS",    "ANI_SET", "END",
        "GOTO",    "NEXT",     "BACK",         "LENGTH",        "DRAW",       "HIDE",    "DEL",
        "CHANGE",  "EXP_RED",  "BLIND_WAVE1",  "BLIND_WAVE2",   "MATH",       "ENGLISH", "JAPANESE",
        "SCIENCE", "SOCIAL",   "CG",           "EVENT",         "CHARACTER",  "=",       ">",
        "<",       "!=",       ">=",           "s.spt",         "none.spt",   "a.bmp",   "op.mpg",
        "$l",      "ＡＢ",     "\x82\xa0\x5c"};
    plat::SeedRand(7);
    kutest::FuzzRng r(20240611);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> lines;
        // A few keywords a round, so that each meets many argument lists.
        const char* const mine[3] = {kKeywords[r.Below(std::size(kKeywords))], kKeywords[r.Below(std::size(kKeywords))],
                                     kKeywords[r.Below(std::size(kKeywords))]};
        for (int n = 0; n < 40; ++n) {
            std::string line = r.OneIn(4) ? kKeywords[r.Below(std::size(kKeywords))] : mine[r.Below(3)];
            // Waits and leaps are rare, so that most lines are reached.
            static const std::string kRare =
                "#KeyWait #TimeWait #MsgDisp #SelectWait #MoviePlay #Jump #GoTo #If "
                "#ElseIf #Else #RandomStart #RandomBranch #FileChange #FileChange2 "
                "#EndScript #TestModeIn ";
            while (kRare.find(line + " ") != std::string::npos && !r.OneIn(5))
                line = kKeywords[r.Below(std::size(kKeywords))];
            // Mostly an ID first, then mostly numbers, as the commands take them.
            for (size_t k = 0, n = r.Below(11); k < n; ++k) {
                const size_t pick = r.Below(4);
                line += " ";
                if ((k == 0 && pick != 0) || (k > 0 && pick == 0))
                    line += kIds[r.Below(std::size(kIds))];
                else if (pick <= 2)
                    line += kNumbers[r.Below(std::size(kNumbers))];
                else
                    line += kWords[r.Below(std::size(kWords))];
            }
            if (r.OneIn(20))
                line += " " + std::string(r.Below(300), 'A');
            lines.push_back(r.OneIn(12) ? "$l" : line);
        }
        lines.push_back("#EndScript");
        PlayDeclared(lines);
        for (int f = 0; f < 300; ++f)
            if (Step(r.OneIn(3) ? 400 : 16, {{kVkLButton, r.OneIn(4) ? kClickUp : 0}, {kVkControl, r.OneIn(9)}}))
                break;
        adv.Clear();
    }
}

} // namespace
