#include "tools/pictures/exam_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "platform/gdi_font.h"
#include "platform/surface.h"
#include "tools/pictures/paint.h"
#include "tools/pictures/picture_files.h"

namespace screens {

namespace {

struct QuestionText {
    const char* question;
    const char* choices[4];
};

// Mathematics, exam 0: the question and its four choices.
constexpr QuestionText kTexts[15] = {
    {"３×４＝？", {"７", "１２", "１４", "３４"}},
    {"１５＋２７＝？", {"３２", "４２", "５２", "４１"}},
    {"８１÷９＝？", {"８", "７", "９", "１１"}},
    {"１００－３６＝？", {"７４", "６６", "１３６", "６４"}},
    {"三角形の内角の和は？", {"９０度", "１８０度", "２７０度", "３６０度"}},
    {"正方形の辺の数は？", {"３", "４", "５", "６"}},
    {"２の５乗は？", {"１０", "２５", "３２", "６４"}},
    {"０．５＋０．２５＝？", {"０．７５", "０．７", "０．５２５", "１．２５"}},
    {"１２と１８の最大公約数は？", {"２", "３", "６", "３６"}},
    {"円周率に最も近いのは？", {"２．１４", "３．１４", "４．１３", "３．４１"}},
    {"一時間は何分？", {"２４分", "１００分", "３６００分", "６０分"}},
    {"７×８＝？", {"５４", "５６", "６３", "４８"}},
    {"１／２＋１／４＝？", {"１／６", "２／６", "３／４", "１／８"}},
    {"１キロメートルは何メートル？", {"１０", "１００", "１０００", "１００００"}},
    {"ｘ＋５＝１２のときｘは？", {"５", "６", "７", "１７"}},
};

void Fill(plat::Surface& s, int l, int t, int r, int b, uint32_t argb) {
    for (int y = std::max(0, t); y < std::min(b, s.height); ++y)
        for (int x = std::max(0, l); x < std::min(r, s.width); ++x)
            s.Row(y)[x] = argb;
}

// A one-pixel frame inside a rectangle.
void Frame(plat::Surface& s, int l, int t, int r, int b, uint32_t argb) {
    Fill(s, l, t, r, t + 1, argb);
    Fill(s, l, b - 1, r, b, argb);
    Fill(s, l, t, l + 1, b, argb);
    Fill(s, r - 1, t, r, b, argb);
}

void Disc(plat::Surface& s, double cx, double cy, double r, double inner, uint32_t argb) {
    for (int y = int(cy - r) - 1; y <= int(cy + r) + 1; ++y)
        for (int x = int(cx - r) - 1; x <= int(cx + r) + 1; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (s.Contains(x, y) && d <= r && d >= inner)
                s.Row(y)[x] = argb;
        }
}

// Shift-JIS text through the game's font layer; nothing without a font.
class Text {
public:
    void Draw(plat::Surface& s, int x, int y, const char* text, int height, uint32_t argb) {
        plat::GdiFont* f = Font(height);
        if (!f)
            return;
        const int baseline = y + f->metrics().ascent;
        const auto* p = reinterpret_cast<const unsigned char*>(text);
        while (*p) {
            const bool lead = (*p >= 0x81 && *p <= 0x9F) || (*p >= 0xE0 && *p <= 0xFC);
            const uint16_t code = lead && p[1] ? static_cast<uint16_t>(p[0] << 8 | p[1]) : p[0];
            p += lead && p[1] ? 2 : 1;
            const plat::GlyphBitmap* g = f->GetGlyph(code, plat::GlyphFormat::kCoverage);
            if (!g)
                continue;
            for (int gy = 0; gy < g->height; ++gy)
                for (int gx = 0; gx < g->width; ++gx) {
                    const int px = x + g->originX + gx, py = baseline - g->originY + gy;
                    if (s.Contains(px, py) && g->At(gx, gy) > 127)
                        s.Row(py)[px] = argb;
                }
            x += g->advance;
        }
    }

private:
    plat::GdiFont* Font(int height) {
        for (auto& [h, f] : fonts_)
            if (h == height)
                return f.get();
        plat::FontSpec spec;
        spec.height = height;
        spec.weight = 700;
        spec.quality = plat::FontQuality::kAntialiased;
        fonts_.emplace_back(height, plat::GdiFont::Create(spec));
        return fonts_.back().second.get();
    }
    std::vector<std::pair<int, std::unique_ptr<plat::GdiFont>>> fonts_;
};

constexpr uint32_t kInk = 0xFF203040;
constexpr uint32_t kPaper = 0xFFFBF8EE;
constexpr uint32_t kRed = 0xFFD03030;

plat::Surface QuestionPicture(Text& text, int n) {
    plat::Surface s(496, 400);
    Fill(s, 0, 0, 496, 400, kPaper);
    Frame(s, 0, 0, 496, 400, kInk);
    for (int y = 60; y < 400; y += 36)
        Fill(s, 12, y, 484, y + 1, 0xFFD8DCE8);
    Fill(s, 16, 18, 24, 34, kRed);
    text.Draw(s, 34, 14, "次の問いに答えなさい。", 20, kInk);
    text.Draw(s, 40, 90, kTexts[n - 1].question, 28, kInk);
    for (int k = 0; k < 4; ++k) {
        const int y = 170 + 52 * k;
        Disc(s, 60, y + 14, 16, 13, kInk);
        DrawLabel(s, 55, y + 7, std::to_string(k + 1), kInk, 2);
        text.Draw(s, 96, y, kTexts[n - 1].choices[k], 26, kInk);
    }
    return s;
}

// The finish button's and the question picture's places on the exam screen.
constexpr int kFinishLeft = 524, kFinishTop = 436, kQuestionX = 9, kQuestionY = 89;

// The atlas of the exam's parts: labels, marks, buttons, tabs and digits.
plat::Surface Material(Text& text, paint::Captions& cap) {
    plat::Surface s(400, 296);
    const char* subjects[5] = {"英語", "国語", "理科", "数学", "社会"}; // atlas order
    for (int i = 0; i < 5; ++i) {
        Fill(s, 80 * i + 2, 2, 80 * i + 78, 22, 0xFF2E4A7A);
        text.Draw(s, 80 * i + 20, 3, subjects[i], 18, 0xFFFFFFFF);
    }
    // The finish button's hover and pushed looks; the screen draws the hover
    // look at half strength until the pointer is on it (see the background).
    paint::Button(s, cap, 0, 24, 264, "試験終了", paint::ButtonLook::kHover);
    paint::Button(s, cap, 0, 48, 264, "試験終了", paint::ButtonLook::kPushed);
    Disc(s, 284, 32, 7, 4, 0xC0406080);
    Disc(s, 284, 48, 7, 4, kRed);
    // The row highlight is drawn 17 px above its row's boxes: the band sits
    // in the cell's lower part so that it covers the row (24 px), not the one
    // above.
    Fill(s, 0, 72 + 13, 272, 72 + 37, 0x60FFE060);
    Fill(s, 0, 72 + 13, 272, 72 + 14, 0xC0E0A020);
    Fill(s, 0, 72 + 36, 272, 72 + 37, 0xC0E0A020);
    for (int n = 1; n <= 10; ++n) {
        for (int current = 0; current < 2; ++current) {
            const int l = 40 * (n - 1), t = current ? 160 : 112;
            Fill(s, l + 2, t + 2, l + 38, t + 46, current ? 0xFFE08A30 : 0xFF506A9A);
            DrawLabel(s, l + (n == 10 ? 9 : 15), t + 17, std::to_string(n), 0xFFFFFFFF, 2);
        }
        const int l = 80 * ((n - 1) % 5), t = n <= 5 ? 208 : 240;
        Fill(s, l + 2, t + 2, l + 78, t + 30, 0xFF2E4A7A);
        text.Draw(s, l + 8, t + 5, ("第" + std::to_string(n) + "問").c_str(), 20, 0xFFFFFFFF);
    }
    Fill(s, 3, 278, 5, 282, kInk);
    Fill(s, 3, 286, 5, 290, kInk);
    for (int d = 0; d <= 9; ++d)
        DrawLabel(s, 8 + 24 * d + 5, 275, std::to_string(d), kInk, 2);
    return s;
}

// What lies under the finish button, so that the material's hover look,
// drawn at half strength, comes out as the normal button look.
void FinishButtonUnder(plat::Surface& s, paint::Captions& cap) {
    paint::HalfStrengthUnder(s, kFinishLeft, kFinishTop, 264, 24, [&](plat::Surface& p, paint::ButtonLook look) {
        paint::Button(p, cap, 0, 0, 264, "試験終了", look);
    });
}

// A desk in a colour of its own per exam, with the picture frame, the
// timer box, the answer sheet of ten rows of four boxes and what lies under
// the finish button.
plat::Surface Background(Text& text, paint::Captions& cap, uint32_t desk) {
    plat::Surface s(800, 600);
    Fill(s, 0, 0, 800, 600, desk);
    Fill(s, 4, 84, 510, 494, 0xFF303A48);
    Fill(s, 620, 8, 740, 42, kPaper);
    text.Draw(s, 540, 16, "残り時間", 18, 0xFFFFFFFF);
    Fill(s, 516, 100, 796, 420, kPaper);
    text.Draw(s, 528, 108, "解答用紙", 20, kInk);
    for (int q = 1; q <= 10; ++q) {
        const int y = 164 + 24 * (q - 1);
        DrawLabel(s, 528, y + 2, std::to_string(q), kInk, 2);
        for (int k = 1; k <= 4; ++k) {
            const int x = 620 + 40 * (k - 1);
            Frame(s, x + 4, y, x + 36, y + 16, kInk);
            DrawLabel(s, x + 17, y + 5, std::to_string(k), 0xFF8090A0, 1);
        }
    }
    FinishButtonUnder(s, cap);
    return s;
}

} // namespace

const std::vector<ExamQuestion>& ExamQuestions() {
    static const std::vector<ExamQuestion> questions = {
        {"MT0001", "MT0_01.bmp", 2}, {"MT0002", "MT0_02.bmp", 2}, {"MT0003", "MT0_03.bmp", 3},
        {"MT0004", "MT0_04.bmp", 4}, {"MT0005", "MT0_05.bmp", 2}, {"MT0006", "MT0_06.bmp", 2},
        {"MT0007", "MT0_07.bmp", 3}, {"MT0008", "MT0_08.bmp", 1}, {"MT0009", "MT0_09.bmp", 3},
        {"MT0010", "MT0_10.bmp", 2}, {"MT0011", "MT0_11.bmp", 4}, {"MT0012", "MT0_12.bmp", 2},
        {"MT0013", "MT0_13.bmp", 3}, {"MT0014", "MT0_14.bmp", 3}, {"MT0015", "MT0_15.bmp", 1},
    };
    return questions;
}

plat::Surface ExamScreen(int n) {
    Text text;
    paint::Captions cap;
    plat::Surface s = Background(text, cap, 0xFF5A7FA8);
    const plat::Surface q = QuestionPicture(text, n);
    for (int y = 0; y < q.height; ++y)
        for (int x = 0; x < q.width; ++x)
            if (s.Contains(kQuestionX + x, kQuestionY + y))
                s.Row(kQuestionY + y)[kQuestionX + x] = q.Row(y)[x];
    // The finish button as the screen shows it, over what lies under it.
    paint::Button(s, cap, kFinishLeft, kFinishTop, kFinishLeft + 264, "試験終了", paint::ButtonLook::kNormal);
    return s;
}

std::vector<std::pair<std::string, std::string>> ExamPictures() {
    Text text;
    paint::Captions cap;
    std::vector<std::pair<std::string, std::string>> out = {
        {"Test_Mode_Material.dds", EncodeDds32(Material(text, cap))},
        {"Test_Mode_bg01.bmp", EncodeBmp24(Background(text, cap, 0xFF5A7FA8))},
        {"Test_Mode_bg02.bmp", EncodeBmp24(Background(text, cap, 0xFF7A9A5A))},
        {"Test_Mode_bg03.bmp", EncodeBmp24(Background(text, cap, 0xFFA8725A))},
    };
    for (size_t i = 0; i < ExamQuestions().size(); ++i)
        out.emplace_back(ExamQuestions()[i].picture, EncodeBmp24(QuestionPicture(text, static_cast<int>(i) + 1)));
    return out;
}

} // namespace screens
