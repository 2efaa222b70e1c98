#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/exam/exam_fixture.h"
#include "tests/support/golden_frame.h"
#include "tools/pictures/exam_pictures.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/screen_pictures.h"

namespace {

struct Picture {
    int w = 0, h = 0;
    std::string bytes;
    // Alpha of a DDS pixel, 255 for a BMP.
    int Alpha(int x, int y) const {
        if (bytes.compare(0, 4, "DDS ") != 0)
            return 255;
        return static_cast<unsigned char>(bytes[128 + (static_cast<size_t>(y) * w + x) * 4 + 3]);
    }
    // Channel c (0 blue, 1 green, 2 red) of a pixel.
    int Channel(int x, int y, int c) const {
        if (bytes.compare(0, 4, "DDS ") == 0)
            return static_cast<unsigned char>(bytes[128 + (static_cast<size_t>(y) * w + x) * 4 + c]);
        const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t(3);
        return static_cast<unsigned char>(bytes[54 + stride * static_cast<size_t>(h - 1 - y) + 3 * x + c]);
    }
};

std::map<std::string, Picture> ExamPictureSizes() {
    std::map<std::string, Picture> out;
    for (auto& [name, bytes] : screens::ExamPictures()) {
        Picture p;
        uint32_t a = 0, b = 0;
        const bool bmp = bytes.compare(0, 2, "BM") == 0;
        std::memcpy(&a, &bytes[bmp ? 18 : 16], 4);
        std::memcpy(&b, &bytes[bmp ? 22 : 12], 4);
        p.w = static_cast<int>(a);
        p.h = static_cast<int>(b);
        p.bytes = bytes;
        out[name] = p;
    }
    return out;
}

// Every cell the exam cuts from its atlas lies inside it and is drawn; the
// backgrounds cover the screen; the sample list names only pictures there are
// and all fifteen ids of its exam, with the answers the pictures show.
TEST(ExamPictures, CellsBackgroundsAndTheSampleList) {
    auto pics = ExamPictureSizes();
    const Picture& m = pics["Test_Mode_Material.dds"];
    std::vector<KURECT> cells = {{0, 272, 8, 296},   {0, 72, 272, 112}, {264, 40, 304, 56},
                                 {264, 24, 304, 40}, {0, 24, 264, 48},  {0, 48, 264, 72}};
    for (int i = 0; i < 5; ++i)
        cells.push_back({80 * i, 0, 80 * i + 80, 24});
    for (int d = 0; d <= 9; ++d)
        cells.push_back({8 + 24 * d, 272, 32 + 24 * d, 296});
    for (int n = 1; n <= 10; ++n) {
        cells.push_back({40 * (n - 1), 112, 40 * n, 160});
        cells.push_back({40 * (n - 1), 160, 40 * n, 208});
        cells.push_back(n <= 5 ? KURECT{80 * (n - 1), 208, 80 * n, 240} : KURECT{80 * (n - 6), 240, 80 * (n - 5), 272});
    }
    for (const KURECT& c : cells) {
        ASSERT_TRUE(c.left >= 0 && c.top >= 0 && c.right <= m.w && c.bottom <= m.h) << c.left << "," << c.top;
        int drawn = 0;
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x)
                drawn += m.Alpha(x, y) != 0;
        EXPECT_GT(drawn, 0) << c.left << "," << c.top;
    }
    for (const char* bg : {"Test_Mode_bg01.bmp", "Test_Mode_bg02.bmp", "Test_Mode_bg03.bmp"})
        EXPECT_TRUE(pics[bg].w == 800 && pics[bg].h == 600) << bg;

    std::ifstream list(kutest::SourceDir() + "/sample/Scenario/question.txt");
    std::string id, picture;
    int answer = 0, count = 0;
    std::string line;
    while (std::getline(list, line)) {
        if (line.empty() || line.rfind("//", 0) == 0)
            continue;
        std::istringstream(line) >> id >> picture >> answer;
        const screens::ExamQuestion& q = screens::ExamQuestions().at(static_cast<size_t>(count));
        EXPECT_EQ(id, q.id);
        EXPECT_EQ(picture, q.picture);
        EXPECT_EQ(answer, q.answer) << id;
        EXPECT_TRUE(pics[picture].w > 0 && pics[picture].w <= 511 && pics[picture].h <= 407) << picture;
        ++count;
    }
    EXPECT_EQ(count, 15);
}

// The screen draws the finish button at half strength until the pointer is
// on it: over its background that must still be a live button (white rim,
// dark blue face), not a faded one.
TEST(ExamPictures, FinishButtonAtHalfStrengthIsAFullButton) {
    auto pics = ExamPictureSizes();
    const Picture& m = pics["Test_Mode_Material.dds"];
    const Picture& bg = pics["Test_Mode_bg01.bmp"];
    auto halved = [&](int x, int y, int c) {
        const double a = m.Alpha(x, 24 + y) / 255.0 / 2;
        return m.Channel(x, 24 + y, c) * a + bg.Channel(524 + x, 436 + y, c) * (1 - a);
    };
    for (int c = 0; c < 3; ++c)
        EXPECT_GT(halved(132, 2, c), 240) << "rim, channel " << c;
    EXPECT_LT(halved(20, 12, 2), 60) << "face red";
    EXPECT_GT(halved(20, 12, 0), halved(20, 12, 2) + 50) << "face blue";
}

// A question of the sample exam as the screen shows it, compared with
// tests/exam/golden/question.bmp where the font renderer is the one it was
// made with (KU_UPDATE_GOLDEN=1 rewrites it).
TEST_F(ExamTest, GoldenQuestionFrame) {
    std::vector<std::string> lines;
    for (const screens::ExamQuestion& q : screens::ExamQuestions())
        lines.push_back(std::string(q.id) + " " + q.picture + " " + std::to_string(q.answer));
    Pack(lines);
    std::vector<ArchiveMember> members;
    for (auto& [name, bytes] : screens::ScreenPictures())
        members.push_back(ArchiveMember{name, "", bytes});
    std::string error;
    ASSERT_TRUE(WriteArchive("dat/Img.dat", members, false, &error)) << error;
    StartExam();
    Step(16, {{98, kUp}});
    Step(250);
    sys.SetMousePos(700, 196); // choice 3 of question 2
    Step(16);
    ASSERT_EQ(exam.m_nHover, 3);
    const std::pair<uint32_t, const char*> bound[] = {
        {2, "MessageWindow.dds"}, {3, "Controller.dds"}, {11, "Test_Mode_Material.dds"}, {12, "Test_Mode_bg01.bmp"}};
    for (const auto& [slot, name] : bound)
        ASSERT_EQ(sprite.SetGraphicData(slot, "tmp/", name, 4, 1), 1);
    for (uint32_t slot : {2u, 3u, 11u, 12u, 15u})
        ASSERT_EQ(sprite.CreateGraphicData(slot, 0, 0, 0, 0), 1) << slot;
    ASSERT_EQ(sprite.D3DXDrawStart(), 0);
    ASSERT_EQ(exam.DrawProc(), 1) << log.all();

    if (!kutest::GoldenFramesComparable("exam"))
        GTEST_SKIP() << "font renderer differs from the golden frame's";
    EXPECT_EQ(kutest::CompareGoldenFrame("exam", *sprite.GetBackSurface(), "question"), "");
}

} // namespace
