#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/media/score.h"
#include "tools/media/song.h"

namespace {

TEST(ScoreTest, ReadsNotesChordsAndCatchesABarThatDoesNotAddUp) {
    std::vector<music::Note> notes;
    std::vector<music::Chord> chords;
    int total = 0;
    std::string error;
    ASSERT_TRUE(music::ParseMelody("f#5:2 bb4 r:1 c5 ~:2 | Eb4:8 |", 8, &notes, &total, &error)) << error;
    EXPECT_EQ(total, 16);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0].midi, 78);
    EXPECT_EQ(notes[1].midi, 70);
    EXPECT_EQ(notes[1].length, 2); // keeps the previous length
    EXPECT_EQ(notes[2].start, 5);
    EXPECT_EQ(notes[2].length, 3); // held on by the tie
    EXPECT_EQ(notes[3].midi, 63);
    ASSERT_TRUE(music::ParseChords("Bbmaj7 | F#m:4 G7:4", 8, &chords, &total, &error)) << error;
    ASSERT_EQ(chords.size(), 3u);
    EXPECT_EQ(chords[0].root, 10);
    EXPECT_EQ(chords[0].intervals, (std::vector<int>{0, 4, 7, 11}));
    EXPECT_EQ(chords[1].root, 6);
    EXPECT_EQ(chords[2].start, 12);

    EXPECT_FALSE(music::ParseMelody("c5:4 d5:4 | e5:2 f5:2 g5:2", 8, &notes, &total, &error));
    EXPECT_NE(error.find("bar 2"), std::string::npos) << error;
    EXPECT_FALSE(music::ParseMelody("h5:8", 8, &notes, &total, &error));
    EXPECT_FALSE(music::ParseMelody("~:8", 8, &notes, &total, &error));
    EXPECT_FALSE(music::ParseChords("Cmaj9", 8, &chords, &total, &error));
}

float Peak(const music::StereoBuffer& a) {
    float peak = 0;
    for (const auto* ch : {&a.left(), &a.right()})
        for (float s : *ch)
            peak = std::max(peak, std::fabs(s));
    return peak;
}

double Rms(const music::StereoBuffer& a) {
    double sum = 0;
    for (const auto* ch : {&a.left(), &a.right()})
        for (float s : *ch)
            sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(2 * a.frames()));
}

// The largest jump between neighbouring frames inside a channel.
float LargestStep(const std::vector<float>& ch) {
    float step = 0;
    for (size_t i = 1; i < ch.size(); ++i)
        step = std::max(step, std::fabs(ch[i] - ch[i - 1]));
    return step;
}

// Every tune: its length, a level like the others' without clipping, and a
// loop whose end runs into its start no harder than the music moves anywhere
// inside it (a click would be a far larger jump); the staff roll's version
// lasts as long as the roll and fades to silence.
TEST(SampleSongsTest, RenderAtOneLevelAndLoopWithoutAClick) {
    for (const music::Song& song : music::SampleSongs()) {
        SCOPED_TRACE(song.name);
        music::Rendered tune;
        std::string error;
        ASSERT_TRUE(music::RenderSong(song, &tune, &error)) << error;
        const auto& a = tune.audio;
        const double seconds = static_cast<double>(a.frames()) / music::kRate;
        EXPECT_LE(Peak(a), 0.851f);
        EXPECT_NEAR(20 * std::log10(Rms(a)), 20 * std::log10(0.12), 1.5);
        if (std::string(song.name) == "BGM14_sh") {
            EXPECT_FALSE(tune.loops);
            EXPECT_DOUBLE_EQ(seconds, 26.0);
            EXPECT_LT(std::fabs(a.left().back()) + std::fabs(a.right().back()), 1e-4f);
            continue;
        }
        EXPECT_TRUE(tune.loops);
        EXPECT_GE(seconds, 20.0);
        EXPECT_LE(seconds, 40.0);
        for (const auto* ch : {&a.left(), &a.right()})
            EXPECT_LE(std::fabs(ch->front() - ch->back()), LargestStep(*ch));
    }
}

} // namespace
