#include "tools/pictures/gallery_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/surface.h"
#include "tools/pictures/paint.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/exam_pictures.h"
#include "tools/pictures/story_pictures.h"

namespace screens {

namespace {

using namespace paint;

// A box with a rim of `rim` pixels.
void Box(plat::Surface& s, int l, int t, int r, int b, uint32_t inside, uint32_t rim, int width) {
    Fill(s, l, t, r, b, rim);
    Fill(s, l + width, t + width, r - width, b - width, inside);
}

// A label centred in a rectangle with the block font (6 pixels a character per scale).
void Centred(plat::Surface& s, int l, int t, int r, int b, const std::string& text, uint32_t argb, int scale) {
    const int w = static_cast<int>(text.size()) * 6 * scale - scale, h = 7 * scale;
    DrawLabel(s, l + (r - l - w) / 2, t + (b - t - h) / 2, text, argb, scale);
}

// Box-filtered copy of a picture into a cell of an atlas.
void Shrink(const plat::Surface& src, plat::Surface& dst, int l, int t, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int x0 = x * src.width / w, x1 = std::max(x0 + 1, (x + 1) * src.width / w);
            const int y0 = y * src.height / h, y1 = std::max(y0 + 1, (y + 1) * src.height / h);
            double acc[3] = {0, 0, 0};
            for (int yy = y0; yy < y1; ++yy)
                for (int xx = x0; xx < x1; ++xx)
                    for (int c = 0; c < 3; ++c)
                        acc[c] += (src.Row(yy)[xx] >> (8 * c)) & 0xFF;
            const double n = double(x1 - x0) * (y1 - y0);
            uint32_t px = 0xFF000000;
            for (int c = 0; c < 3; ++c)
                px |= static_cast<uint32_t>(std::lround(acc[c] / n)) << (8 * c);
            dst.Row(t + y)[l + x] = px;
        }
}

// The sample's gallery as sample/Scenario/CGModeData.txt lists it: per
// scene the pictures of what that scene shows, in its cells of page 1; the
// scene's cell in its episode's atlas shows the picture `cover`. The atlas
// is the same for every player, so the cover is a picture that every way
// through its scene unlocks: scene 2 goes to the library or the rooftop,
// and its cover is the classroom the two leave, which both ways open on.
enum class Shot {
    kClassroom,
    kClassroomGirl,
    kClassroomTitle,
    kLibrary,
    kRooftop,
    kLibraryLight,
    kRooftopLight,
    kExam1,
    kExam2,
    kExam3,
    kCorridor,
    kAfterShower,
    kAfterShowerTitle,
    kAfterShowerGirl,
};
struct SceneShots {
    int episode, scene, cover;
    std::vector<Shot> shots;
};
const std::vector<SceneShots>& Scenes() {
    static const std::vector<SceneShots> kScenes = {
        {1, 1, 2, {Shot::kClassroom, Shot::kClassroomGirl, Shot::kClassroomTitle}},
        {1, 2, 5, {Shot::kLibrary, Shot::kRooftop, Shot::kLibraryLight, Shot::kRooftopLight, Shot::kClassroom}},
        {1, 3, 1, {Shot::kExam1, Shot::kExam2, Shot::kExam3}},
        {2, 1, 4, {Shot::kCorridor, Shot::kAfterShower, Shot::kAfterShowerTitle, Shot::kAfterShowerGirl}},
    };
    return kScenes;
}

// The story's title card, as its text area lays it over the picture.
void TitleCard(plat::Surface& s, Captions& cap) {
    cap.Outlined(s, 24, 24, "「放課後の約束」", 32, 0xFFFFFFFF, 0xFF2A3A5A, 700, 2);
}

plat::Surface Picture(Shot shot, Captions& cap) {
    switch (shot) {
        case Shot::kClassroom: return story::Place(1);
        case Shot::kClassroomGirl: return story::WithGirl(story::Place(1));
        case Shot::kClassroomTitle: {
            plat::Surface s = story::WithGirl(story::Place(1));
            TitleCard(s, cap);
            return s;
        }
        case Shot::kLibrary: return story::Place(2);
        case Shot::kRooftop: return story::Place(3);
        case Shot::kLibraryLight: return story::WithLight(story::Place(2));
        case Shot::kRooftopLight: return story::WithLight(story::Place(3));
        case Shot::kExam1: return ExamScreen(1);
        case Shot::kExam2: return ExamScreen(2);
        case Shot::kExam3: return ExamScreen(3);
        case Shot::kCorridor: return story::Place(5);
        case Shot::kAfterShower: return story::Place(6);
        case Shot::kAfterShowerTitle: {
            plat::Surface s = story::Place(6);
            TitleCard(s, cap);
            return s;
        }
        case Shot::kAfterShowerGirl: {
            plat::Surface s = story::WithGirl(story::Place(6));
            TitleCard(s, cap);
            return s;
        }
    }
    return plat::Surface(800, 600);
}

void PanelPieces(plat::Surface& s, Captions& cap);

constexpr char kExit[] = "タイトルへ戻る";
constexpr int kExitX = 284, kExitY = 568, kExitW = 264;

plat::Surface Material(Captions& cap) {
    plat::Surface s(448, 312);
    static const uint32_t kEpisodeColours[7] = {0xFF2A4A8A, 0xFF8A2A4A, 0xFF2A8A4A, 0xFF8A6A2A,
                                                0xFF4A2A8A, 0xFF2A7A8A, 0xFF6A6A6A};
    for (int i = 1; i <= 7; ++i) {
        const int l = (i - 1) % 4 * 112, t = (i - 1) / 4 * 72;
        Box(s, l + 2, t + 2, l + 110, t + 70, kEpisodeColours[i - 1], 0xFFFFFFFF, 2);
        Centred(s, l, t + 8, l + 112, t + 30, "EPISODE", 0xFFFFFFFF, 2);
        Centred(s, l, t + 32, l + 112, t + 66, std::to_string(i), 0xFFF4C430, 4);
    }
    Box(s, 338, 74, 446, 142, 0xFF404040, 0xFF909090, 2);
    Centred(s, 336, 72, 448, 144, "LOCKED", 0xFFB0B0B0, 2);
    // Cell frame: a rim only, the thumbnail shows through.
    Box(s, 0, 144, 136, 248, 0x00000000, 0xFFFFFFFF, 3);
    // Lock tile: padlock and caption above the band (34..102, 77..93) where
    // a scene cell's number plate is laid over it.
    Box(s, 136, 144, 272, 248, 0xFF303038, 0xFF606068, 3);
    Box(s, 188, 154, 220, 182, 0xFF303038, 0xFFB0B0B8, 4); // padlock
    Fill(s, 182, 172, 226, 202, 0xFFB0B0B8);
    Centred(s, 136, 206, 272, 216, "LOCKED", 0xFF808088, 1);
    Box(s, 272, 144, 304, 168, 0xFFCC2020, 0xFFFFFFFF, 1);
    Centred(s, 272, 144, 304, 168, "FULL", 0xFFFFFFFF, 1);
    Box(s, 0, 248, 40, 264, 0xC0203050, 0xC0203050, 0);
    Centred(s, 0, 248, 40, 264, "NO.", 0xFFFFFFFF, 1);
    Box(s, 40, 248, 56, 264, 0xC0203050, 0xC0203050, 0);
    Centred(s, 40, 248, 56, 264, "/", 0xFFFFFFFF, 2);
    for (int d = 0; d <= 9; ++d) {
        Box(s, 56 + 16 * d, 248, 72 + 16 * d, 264, 0xC0203050, 0xC0203050, 0);
        Centred(s, 56 + 16 * d, 248, 72 + 16 * d, 264, std::to_string(d), 0xFFFFFFFF, 2);
    }
    for (int pressed = 0; pressed < 2; ++pressed) {
        const uint32_t inside = pressed ? 0xFFF4C430 : 0xFF2A4A8A, ink = pressed ? 0xFF203050 : 0xFFFFFFFF;
        const int t = 168 + 16 * pressed;
        Box(s, 272, t, 328, t + 16, inside, 0xFFFFFFFF, 1);
        Centred(s, 272, t, 328, t + 16, "BACK", ink, 1);
        Box(s, 328, t, 384, t + 16, inside, 0xFFFFFFFF, 1);
        Centred(s, 328, t, 384, t + 16, "NEXT", ink, 1);
    }
    PanelPieces(s, cap);
    return s;
}

// The open scene's panel and its two buttons, and the exit button. The
// panel is laid 4 pixels left of its cell, so its outer columns stay clear
// and it covers the cell alone, never the episode buttons beside it; the
// buttons, laid at half strength until hovered, are dark with white
// captions so they read over any thumbnail. The exit button is the game's
// back button: its hover look here, the background making up its normal
// look under the half-strength draw.
void PanelPieces(plat::Surface& s, Captions& cap) {
    Panel(s, 276, 200, 412, 240, 0xFF0C1424, 0xFF0C1424, 0xFF0C1424, 4, 1);
    for (int pressed = 0; pressed < 2; ++pressed) {
        const uint32_t top = pressed ? 0xFFF4C430 : 0xFF1A2A48, bottom = pressed ? 0xFFC08A10 : 0xFF101A30;
        const uint32_t rim = pressed ? 0xFFFFFFFF : 0xFFB8C8E8, ink = pressed ? 0xFF1A2232 : 0xFFFFFFFF;
        const int lt = 240 + 32 * pressed;
        Panel(s, 272, lt, 360, lt + 16, top, bottom, rim, 4, 1);
        cap.Centred(s, 272, lt, 360, lt + 16, "絵の一覧", 12, ink, 0, 700);
        Panel(s, 272, lt + 16, 408, lt + 32, top, bottom, rim, 4, 1);
        cap.Centred(s, 272, lt + 16, 408, lt + 32, "このシーンを回想", 12, ink, 0, 700);
    }
    Button(s, cap, 0, 264, 264, kExit, ButtonLook::kHover);
    Button(s, cap, 0, 288, 264, kExit, ButtonLook::kPushed);
}

// The selection screen's background: the title band, the strip the episode
// title is typed on, and the empty places of the five scene cells and the
// fifteen picture cells, so that a short row still reads as a row of five
// and the page numbers, drawn at the middle of the five cells' width, sit
// centred under their row rather than beside its last cell; under the exit
// button, always drawn, what makes its half-strength draw the normal look.
plat::Surface Background(Captions& cap) {
    plat::Surface bg(800, 600);
    Gradient(bg, 0, 0, 800, 600, 0xFFE8ECF4, 0xFFB8C4DC);
    Gradient(bg, 0, 0, 800, 46, 0xFF2E4A7E, 0xFF1A2C50);
    Fill(bg, 0, 46, 800, 48, 0xFFF4C430);
    cap.Outlined(bg, 16, 7, "ＣＧギャラリー", 30, 0xFFFFFFFF, 0xFF1A2A48, 700, 2);
    cap.Draw(bg, 250, 20, "ＰＩＣＴＵＲＥ　ＧＡＬＬＥＲＹ", 14, 0xFFB0C4E8);
    Panel(bg, 120, 62, 792, 98, 0xFFFCFCFE, 0xFFF0F2F8, 0xFFB8C4DC, 6, 1);
    auto place = [&](int l, int t) { Panel(bg, l + 3, t + 3, l + 133, t + 101, 0x18203050, 0x28203050, 0x40203050, 6, 1); };
    for (int c = 0; c < 5; ++c)
        place(116 + 136 * c, 100);
    for (int n = 0; n < 15; ++n)
        place(116 + 136 * (n % 5), 228 + 104 * (n / 5));
    HalfStrengthUnder(bg, kExitX, kExitY, kExitW, 24,
                      [&](plat::Surface& p, ButtonLook look) { Button(p, cap, 0, 0, kExitW, kExit, look); });
    return bg;
}

std::string FullViewName(int k) {
    char name[32];
    std::snprintf(name, sizeof name, "CG_VIEW%02d.bmp", k);
    return name;
}

} // namespace

std::vector<std::pair<std::string, std::string>> GalleryPictures() {
    std::vector<std::pair<std::string, std::string>> out;
    Captions cap;
    out.emplace_back("CGModeBG.bmp", EncodeBmp24(Background(cap)));
    plat::Surface bg2(800, 600);
    Gradient(bg2, 0, 0, 800, 600, 0xFF101018, 0xFF282838);
    out.emplace_back("CGModeBG2.bmp", EncodeBmp24(bg2));
    out.emplace_back("CGModeMaterial.dds", EncodeDds32(Material(cap)));

    // The films' stills (the demo and the music room's movie are cut from
    // CG_VIEW01 and CG_VIEW02).
    for (int k = 1; k <= 2; ++k) {
        plat::Surface view(640, 480);
        Shrink(story::EventPicture(k), view, 0, 0, 640, 480);
        out.emplace_back(FullViewName(k), EncodeBmp24(view));
    }
    // Each scene's pictures at the full view's size, its thumbnails in its
    // picture atlas and its cover in its episode's scene atlas.
    plat::Surface sceneAtlas[2] = {plat::Surface(680, 104), plat::Surface(680, 104)};
    for (const SceneShots& sc : Scenes()) {
        plat::Surface atlas(680, 312);
        for (size_t i = 0; i < sc.shots.size(); ++i) {
            plat::Surface view(640, 480);
            Shrink(Picture(sc.shots[i], cap), view, 0, 0, 640, 480);
            const int n = static_cast<int>(i) + 1;
            Shrink(view, atlas, (n - 1) % 5 * 136, (n - 1) / 5 * 104, 136, 104);
            if (n == sc.cover)
                Shrink(view, sceneAtlas[sc.episode - 1], (sc.scene - 1) * 136, 0, 136, 104);
            char name[40];
            std::snprintf(name, sizeof name, "CG_E%02dS%02d_%02d.bmp", sc.episode, sc.scene, n);
            out.emplace_back(name, EncodeBmp24(view));
        }
        char name[40];
        std::snprintf(name, sizeof name, "TH_CG_EPI%02d_SC%02d.bmp", sc.episode, sc.scene);
        out.emplace_back(name, EncodeBmp24(atlas));
    }
    for (int e = 1; e <= 2; ++e) {
        char name[32];
        std::snprintf(name, sizeof name, "TH_SC_EPI%02d.bmp", e);
        out.emplace_back(name, EncodeBmp24(sceneAtlas[e - 1]));
    }
    return out;
}

} // namespace screens
