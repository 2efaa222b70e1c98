#include <functional>

#include "tests/sound/sound_fixture.h"
#include "platform/audio_performance_test_hooks.h"
#include "platform/audio_output_test_hooks.h"

namespace soundtest {
namespace {

using StartTest = SoundTest;

TEST_F(StartTest, MissingArgumentsAreRefusedBeforeAnythingIsStored) {
    EXPECT_EQ(snd.Initialize(&sys, nullptr, FakeInstance(), 0), -1);
    EXPECT_EQ(snd.Initialize(&sys, FakeWindow(), nullptr, 0), -1);
    EXPECT_EQ(snd.Initialize(nullptr, FakeWindow(), FakeInstance(), 0), -1);
    // No system is stored yet: the lines go straight to the debugger output,
    // without a time stamp.
    EXPECT_NE(log.all().find("Error: <KUSND::Initialize> 引数のウィンドウハンドルが不正です\n"), std::string::npos);
    EXPECT_EQ(log.lines().front().rfind("Error: <KUSND::Initialize>", 0), 0u);
    EXPECT_TRUE(Logged("Error: <KUSND::Initialize> 引数のインスタンスハンドルが不正です\n"));
    EXPECT_TRUE(Logged("Error: <KUSND::Initialize> KUSNDクラスポインタが不正です\n"));
    EXPECT_FALSE(snd.IsInitialized());

    EXPECT_EQ(Start(), 0);
    EXPECT_TRUE(snd.IsInitialized());
    log.Clear();
    EXPECT_EQ(Start(), 0);
    EXPECT_TRUE(Logged("Error: <KUSND::Initialize> KUSNDクラスは既に初期化済みです\n"));
    EXPECT_TRUE(snd.IsInitialized());
}

TEST_F(StartTest, WithoutADeviceStartUpFailsAndTheSlotsRefuse) {
    plat::AudioOutputUseManual(false);
    EXPECT_EQ(snd.MainLoop(1), 1);
    EXPECT_EQ(Start(), -1);
    const std::string all = log.all();
    const size_t a = all.find("Error: <KUSND::DAudioInit> DMusicパフォーマンスの初期化に失敗しました\n");
    const size_t b = all.find("Error: <KUSND::Initialize> 呼び出したKUSND::DAInitがエラーで終了しました\n");
    ASSERT_NE(a, std::string::npos);
    ASSERT_NE(b, std::string::npos);
    EXPECT_LT(a, b);
    EXPECT_EQ(snd.DADATAReserve(67), 0);
    EXPECT_EQ(snd.DAGetDataNum(), 67u);
    EXPECT_EQ(snd.DALoad(5, "beep.wav", 2, 0), -1);
    EXPECT_TRUE(Logged("Error: <KUSND::DALoad> KUSND::Initializeの処理を終えずに呼び出されました\n"));
    EXPECT_EQ(snd.DADATAReserve(0), 1);
    EXPECT_EQ(snd.DAGetDataNum(), 0u);
    // Movies still play without the sound paths.
    EXPECT_GE(snd.DShowOpen(2, "dat/Mov.dat", 9999, 9999), 0);
    EXPECT_EQ(snd.Release(), 0);
    EXPECT_EQ(snd.Release(), 0);
    EXPECT_TRUE(dir.Exists("dat/Mov.dat"));
}

TEST_F(StartTest, FailedStepsDecideWhetherTheSystemStarts) {
    // Paths are made default, voice, music, effects: the third is music.
    plat::SetSoundFault("CreatePath", 3);
    EXPECT_EQ(Start(), -1);
    EXPECT_TRUE(Logged("BGMのオーディオパス取得に失敗しました"));
    EXPECT_EQ(snd.DADATAReserve(3), 0);
    snd.Release();

    // A failed voice-path volume (the second volume set) is only logged.
    plat::SetSoundFault("PathVolume", 2);
    EXPECT_EQ(Start(), 0);
    EXPECT_TRUE(Logged("ボイスの音量設定に失敗しました"));
    EXPECT_TRUE(snd.IsInitialized());
    snd.Release();

    plat::SetSoundFault("PathVolume", 4);
    EXPECT_EQ(Start(), -1);
    EXPECT_TRUE(Logged("SEの音量設定に失敗しました"));
    EXPECT_FALSE(snd.IsInitialized());
}

// Every slot operation's answer on an object that is not started, on one
// with no table, and for a slot outside the table.
TEST_F(StartTest, RefusalMatrix) {
    char buf[260];
    struct Row {
        const char* what;
        std::function<long long()> call;
        long long notInit, noTable, outOfRange;
    };
    const std::vector<Row> rows = {
        {"DASetData", [&] { return snd.DASetData(9, "beep.wav", 2); }, 0, -1, -1},
        {"DALoad", [&] { return snd.DALoad(9, "beep.wav", 2, 0); }, -1, -1, -1},
        {"DAUnload", [&] { return snd.DAUnload(9); }, -1, -1, -1},
        {"DAPlay", [&] { return snd.DAPlay(9, 0); }, -1, -1, -1},
        {"DAStop", [&] { return snd.DAStop(9); }, -1, -1, -1},
        {"DAGetPlayState", [&] { return snd.DAGetPlayState(9); }, -1, -1, -1},
        {"DAGetLoadState", [&] { return snd.DAGetLoadState(9); }, 0, 0, 0},
        {"DAGetWAVEPath", [&] { return snd.DAGetWAVEPath(9, buf, sizeof(buf)) ? 1 : 0; }, 0, 0, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.call(), r.notInit) << r.what << " not started";
    EXPECT_EQ(snd.DASndTypeStop(2), -1);
    EXPECT_EQ(snd.DAAllStop(), -1);
    EXPECT_EQ(snd.DASetMasterVolume(0), -1);
    EXPECT_EQ(snd.DASetSoundVolume(2, 0), -1);
    EXPECT_EQ(snd.DAGetMasterVolume(), -1);
    EXPECT_EQ(snd.DAGetPathVolume(2), -1);
    EXPECT_EQ(snd.DAReloadPath(2, 0), 0);

    ASSERT_EQ(Start(), 0);
    for (const Row& r : rows)
        EXPECT_EQ(r.call(), r.noTable) << r.what << " without a table";
    EXPECT_TRUE(Logged("Error: <KUSND::DASetData> KUDADATAデータが確保されていません\n"));
    EXPECT_TRUE(Logged("Error: <KUSND::DAStop> KUDADATAバッファが作成されていません\n"));
    EXPECT_EQ(snd.DASndTypeStop(2), -1);
    EXPECT_EQ(snd.DAAllStop(), 0); // slots skipped, the rest still stops

    ASSERT_EQ(snd.DADATAReserve(4), 1);
    log.Clear();
    for (const Row& r : rows)
        EXPECT_EQ(r.call(), r.outOfRange) << r.what << " out of range";
    EXPECT_TRUE(Logged("Error: <KUSND::DALoad> インデックス番号外を指定しています\n"));
    EXPECT_TRUE(Logged("Error: <KUSND::DAGetState> インデックス番号が不正です\n"));
    EXPECT_EQ(snd.DAGetPlayState(-1), -1);
}

} // namespace
} // namespace soundtest
