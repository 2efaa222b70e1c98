#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/audio_ahead_budget.h"
#include "platform/media_audio_decoder.h"
#include "platform/media_audio_decoder_test_hooks.h"
#include "tests/audio/audio_fixtures.h"

namespace {

using audiotest::WavBytes;

// The process's budget at a test's size, the usual one again whatever the test's outcome.
struct BudgetForTest {
    explicit BudgetForTest(int64_t bytes) { plat::SetAudioAheadBudgetForTest(bytes); }
    ~BudgetForTest() { plat::SetAudioAheadBudgetForTest(0); }
};

class FakeHolder final : public plat::AudioAheadBudget::Holder {
public:
    explicit FakeHolder(std::vector<int>* log, int id) : log_(log), id_(id) {}
    uint64_t IdleSince() override { return idle; }
    bool GiveBack() override {
        if (busyOnGiveBack || idle == 0)
            return false;
        log_->push_back(id_);
        idle = 0;
        return true;
    }
    uint64_t idle = 0;
    bool busyOnGiveBack = false; // read again between the survey and the give-back

private:
    std::vector<int>* log_;
    int id_;
};

TEST(AudioAheadBudgetTest, IdleSharesComeBackLeastRecentlyUsedFirstAndOnlyWhenThatMakesRoom) {
    plat::AudioAheadBudget budget(100);
    std::vector<int> given;
    FakeHolder a(&given, 1), b(&given, 2), c(&given, 3), d(&given, 4), e(&given, 5);
    EXPECT_FALSE(budget.Reserve(&a, 101)); // more than all of it
    ASSERT_TRUE(budget.Reserve(&a, 40));
    ASSERT_TRUE(budget.Reserve(&b, 30));
    ASSERT_TRUE(budget.Reserve(&c, 30));
    EXPECT_EQ(budget.HeldBytes(), 100);
    // Nobody is idle: the new media streams.
    EXPECT_FALSE(budget.Reserve(&d, 10));
    // c went idle before a; b still plays. 50 cannot be freed from idle
    // shares plus what is free: nobody gives back in vain.
    c.idle = 7;
    a.idle = 9;
    EXPECT_FALSE(budget.Reserve(&d, 71));
    EXPECT_TRUE(given.empty());
    // 35 needs c (longest idle) and then a.
    ASSERT_TRUE(budget.Reserve(&d, 35));
    EXPECT_EQ(given, (std::vector<int>{3, 1}));
    EXPECT_EQ(budget.HeldBytes(), 65);
    // A holder that was given back has no share left to release.
    budget.Release(&a);
    EXPECT_EQ(budget.HeldBytes(), 65);
    // One read again in the meantime keeps its share, and the reservation fails.
    d.idle = 3;
    d.busyOnGiveBack = true;
    EXPECT_FALSE(budget.Reserve(&e, 40));
    EXPECT_EQ(budget.HeldBytes(), 65);
    budget.Release(&d);
    budget.Release(&b);
    EXPECT_EQ(budget.HeldBytes(), 0);
    // A smaller limit holds new shares to it; granted ones stay until released.
    ASSERT_TRUE(budget.Reserve(&a, 80));
    budget.SetLimit(50);
    EXPECT_FALSE(budget.Reserve(&b, 1));
    budget.Release(&a);
    EXPECT_TRUE(budget.Reserve(&b, 50));
}

// Media beyond the budget stream; one played to its end gives its memory
// back to the next, and plays again from its file, sample for sample.
TEST(AudioAheadBudgetTest, MediaBeyondTheBudgetStreamAndPlayedOnesGiveTheirsBack) {
    kutest::TempDir dir;
    constexpr int kFrames = 22050;
    dir.Write("a.wav", WavBytes(44100, 1, kFrames, 440));
    dir.Write("b.wav", WavBytes(44100, 1, kFrames, 660));
    const int64_t share = (kFrames + 4410) * 2 * static_cast<int64_t>(sizeof(float));
    const BudgetForTest roomForOne(share + share / 2);
    auto readAll = [](plat::AudioDecoder* dec) {
        std::vector<float> all, buf(1000 * 2);
        while (int n = dec->Read(buf.data(), 1000))
            all.insert(all.end(), buf.begin(), buf.begin() + n * 2);
        return all;
    };
    {
        plat::AudioDecoder a, b, c;
        ASSERT_TRUE(a.Open("a.wav"));
        EXPECT_EQ(plat::AudioAheadHeldBytesForTest(), share);
        std::vector<float> first(1000 * 2);
        ASSERT_EQ(a.Read(first.data(), 1000), 1000);
        // a is playing: it keeps its memory and b streams.
        ASSERT_TRUE(b.Open("b.wav"));
        EXPECT_EQ(plat::AudioAheadHeldBytesForTest(), share);
        const std::vector<float> rest = readAll(&a);
        first.insert(first.end(), rest.begin(), rest.end());
        ASSERT_EQ(first.size(), size_t{kFrames} * 2);
        EXPECT_EQ(readAll(&b).size(), size_t{kFrames} * 2);
        EXPECT_TRUE(a.AtEnd());
        // a was read to its end: c takes its place. The bytes held are one
        // share either way; that it is c's shows once c closes.
        ASSERT_TRUE(c.Open("b.wav"));
        EXPECT_EQ(plat::AudioAheadHeldBytesForTest(), share);
        EXPECT_TRUE(a.AtEnd());
        c.Close();
        EXPECT_EQ(plat::AudioAheadHeldBytesForTest(), 0) << "the played-out media kept its share";
        ASSERT_TRUE(a.SeekToFrame(100));
        std::vector<float> peek(20);
        ASSERT_EQ(a.Read(peek.data(), 10), 10);
        EXPECT_TRUE(std::equal(peek.begin(), peek.end(), first.begin() + 200));
        ASSERT_TRUE(a.Rewind());
        EXPECT_EQ(readAll(&a), first);
    }
    EXPECT_EQ(plat::AudioAheadHeldBytesForTest(), 0);
}

} // namespace
