#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "adv/adv_data.h"
#include "app/env_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "modes/test_mode_data.h"
#include "platform/random.h"
#include "sound/kusnd.h"
#include "tests/modes/fake_services.h"
#include "tests/support/test_env.h"
#include "tools/archive_writer.h"
#include "tools/script_writer.h"

// The exam over a started renderer (no window) and an adventure object that
// holds only the exam's fields, with the question list and the after-exam
// script packed into dat/Scenario.dat, a fake clock and the shell's
// services recorded.
class ExamTest : public ::testing::Test {
protected:
    static constexpr int kUp = 3;
    static constexpr int kDown = 2;

    void SetUp() override {
        fakesvc::Reset();
        clock.clock.Set(100000);
        sys.UpdateTime();
        g_dwMessageSpeed = 100;
        g_dwAntiAliasLevel = 4;
        g_dwSEVolume = g_dwVoiceVolume = g_dwBGMVolume = 5;
        plat::SeedRand(7);
        ASSERT_EQ(sprite.Initialize(&sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0), 1);
        ASSERT_EQ(sprite.CreateGraphicDataBuffer(84), 1);
        ASSERT_EQ(sprite.CreateTextureTextBuffer(71), 1);
        adv.m_bWindowShown = 1;
        adv.m_nTestNum = 0;
        adv.m_nTestSubject = 2; // MATH
        game::CopyFixed(adv.m_szTestNextScript, "after.spt");
        game::CopyFixed(adv.m_szTestText, "試験です。\\n始めます。");
        std::filesystem::create_directories("tmp");
    }
    void TearDown() override {
        exam.Release();
        if (adv.m_pScriptFile)
            fclose(adv.m_pScriptFile);
        adv.m_pScriptFile = nullptr;
        sprite.Release();
    }

    // Question n of exam 0 in mathematics: answer n % 4 + 1.
    static std::vector<std::string> AllQuestions() {
        std::vector<std::string> lines = {"// questions"};
        for (int n = 1; n <= 15; ++n)
            lines.push_back("MT0" + std::string(n < 10 ? "00" : "0") + std::to_string(n) + " q.bmp " +
                            std::to_string(n % 4 + 1));
        return lines;
    }
    static std::string Plain(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines)
            text += l + "\r\n";
        return text;
    }
    void Pack(const std::vector<std::string>& questions, bool withAfter = true) {
        std::vector<ArchiveMember> members = {{"question.spt", "", ScrambleScript(Plain(questions))}};
        if (withAfter)
            members.push_back({"after.spt", "", ScrambleScript(Plain({"// after", "#EndScript"}))});
        std::filesystem::create_directories("dat");
        std::string error;
        ASSERT_TRUE(WriteArchive("dat/Scenario.dat", members, false, &error)) << error;
    }

    int Step(uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        clock.clock.Advance(ms);
        sys.UpdateTime();
        for (int vk = 0; vk < 256; ++vk)
            sys.SetKeyState(vk, 0);
        for (auto& k : keys)
            sys.SetKeyState(k.first, k.second);
        return exam.MainProc();
    }
    int Click(int x, int y) {
        sys.SetMousePos(x, y);
        Step(16, {{1, kDown}});
        return Step(16, {{1, kUp}});
    }
    // Initialise and run through the fade-in and the intro into the exam.
    void StartExam() {
        ASSERT_EQ(exam.Initialize(&sys, &sprite, &snd, &adv), 1) << log.all();
        Step(16);
        Step(1000);
        Step(500);
        ASSERT_EQ(exam.m_nPhase, 3);
        Step(16, {{1, kUp}}); // shows the intro whole
        ASSERT_EQ(exam.m_nPhase, 4);
        Step(16, {{1, kUp}});
        Step(500);
        ASSERT_EQ(exam.m_nPhase, 6);
    }

    kutest::TempDir dir;
    kutest::FakeClockScope clock;
    kutest::DebugCapture log;
    int token = 0;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    KUSND snd;
    ADV_DATA adv;
    TEST_MODE_DATA exam;
};
