// Loads pictures from a game folder's dat/Img.dat into graphic slots, draws
// one frame with several blend modes, scales and colours, and writes it as
// PNG (or BMP when the name ends in .bmp).
//   picview <game folder> <out file> [--bpp N] [--window SECONDS] [--full] [name ...]
// --window also shows the frame in a real window for the given time and
// writes what the window showed to <out file>.window.png.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "platform/clock.h"
#include "platform/video_present.h"
#include "platform/window.h"
#include "tools/pictures/picture_files.h"

namespace {

intptr_t Proc(plat::WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

void DrawScene(KUSPRITE2& sprite) {
    const uint32_t soft = 0xC0FFFFFFu, tint = 0xFFFFC080u, half = 0x80FFFFFFu;
    const KURECT part{200, 150, 600, 450};
    sprite.D3DXDrawGraphic(0, 0, 0, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0); // background
    sprite.D3DXDrawGraphic(1, -40, 0, kDrawTypeAuto, 0, nullptr, 1, 1, nullptr, 0); // character, alpha
    sprite.D3DXDrawGraphic(2, 420, 60, kDrawTypeAuto, 0, nullptr, 0.9f, 0.9f, &soft, 0); // scaled, translucent
    sprite.D3DXDrawGraphic(5, 560, 20, kDrawTypeAuto, kDrawFlagMultiply, &part, 0.5f, 0.5f, nullptr, 0);
    sprite.D3DXDrawGraphic(4, 20, 20, kDrawTypeAuto, kDrawFlagAdd, nullptr, 0.5f, 0.5f, &half, 0);
    sprite.D3DXDrawGraphic(3, 130, 470, kDrawTypeAuto, 0, nullptr, 1, 1, &tint, 0); // tinted window
}

struct Options {
    std::string outPath;
    uint32_t bpp = 32;
    int windowSeconds = 0;
    bool full = false;
    std::vector<std::string> names = {"bg01.bmp",          "chara01.dds", "chara02.dds",
                                      "MessageWindow.dds", "logo.bmp",    "cg02.dds"};
};

// Everything after the game folder; the out path is made absolute before the tool moves into the folder.
bool ParseOptions(int argc, char** argv, Options* o) {
    char cwd[PATH_MAX] = {};
    if (!getcwd(cwd, sizeof(cwd)))
        return false;
    o->outPath = argv[2];
    if (!o->outPath.empty() && o->outPath[0] != '/')
        o->outPath = std::string(cwd) + "/" + o->outPath;
    size_t given = 0;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--bpp") && i + 1 < argc) {
            o->bpp = static_cast<uint32_t>(std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--window") && i + 1 < argc) {
            o->windowSeconds = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--full")) {
            o->full = true;
        } else if (given < o->names.size()) {
            o->names[given++] = argv[i];
        }
    }
    return true;
}

// A real window when one is asked for, else a stand-in handle; null when the window could not be made.
plat::WindowHandle OpenWindow(const Options& o) {
    static int headless;
    if (o.windowSeconds <= 0)
        return reinterpret_cast<plat::WindowHandle>(&headless);
    plat::WindowParams params;
    params.caption = "picview";
    params.proc = &Proc;
    params.fullScreen = o.full;
    plat::WindowHandle window = plat::CreateMainWindow(params);
    if (!window) {
        std::fprintf(stderr, "picview: no window\n");
        return nullptr;
    }
    plat::ShowMainWindow(window);
    return window;
}

// Keeps drawing the frame in the window for the time asked, then writes what the window last showed.
void ShowInWindow(KUSPRITE2& sprite, const Options& o) {
    plat::Surface shown;
    uint32_t until = plat::TimeMs() + static_cast<uint32_t>(o.windowSeconds) * 1000;
    while (plat::TimeMs() < until) {
        plat::Message m;
        while (plat::PeekMessage(&m))
            plat::DispatchMessage(m);
        sprite.D3DXDrawStart();
        DrawScene(sprite);
        sprite.FPSCtrl(16, 0, 0, 0, 0, 0);
        if (plat::TimeMs() + 100 >= until)
            plat::CaptureNextPresent(&shown);
        if (sprite.D3DXDrawEnd() == kDDErrSurfaceLost)
            sprite.D3DXRestore();
    }
    if (shown.width > 0)
        WriteBytes(o.outPath + ".window.png", EncodePng(shown));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: picview <game folder> <out file> [--bpp N] [--window SECONDS] [name ...]\n");
        return 2;
    }
    Options o;
    if (!ParseOptions(argc, argv, &o))
        return 1;
    if (chdir(argv[1]) != 0) {
        std::fprintf(stderr, "picview: no folder %s\n", argv[1]);
        return 1;
    }
    plat::WindowHandle window = OpenWindow(o);
    if (!window)
        return 1;
    KUSYSTEM sys;
    sys.Initialize(window, 1);
    KUSPRITE2 sprite;
    static int instance;
    if (sprite.Initialize(&sys, window, &instance, 800, 600, o.bpp, o.full ? 1 : 0) != 1 ||
        !sprite.CreateGraphicDataBuffer(8)) {
        std::fprintf(stderr, "picview: renderer did not start\n");
        return 1;
    }
    for (size_t i = 0; i < o.names.size(); ++i) {
        sprite.SetGraphicData(static_cast<uint32_t>(i), "tmp/", o.names[i].c_str(), kGraphicTypeTexture, 1);
        if (!sprite.CreateGraphicData(static_cast<uint32_t>(i), 0, 0, 0, 0))
            std::fprintf(stderr, "picview: %s not loaded\n", o.names[i].c_str());
    }
    sprite.D3DXDrawStart();
    DrawScene(sprite);
    sprite.D3DXDrawEnd();
    const plat::Surface& frame = plat::LastPresentedFrame();
    bool bmp = o.outPath.size() > 4 && o.outPath.compare(o.outPath.size() - 4, 4, ".bmp") == 0;
    if (!WriteBytes(o.outPath, bmp ? EncodeBmp24(frame) : EncodePng(frame))) {
        std::fprintf(stderr, "picview: cannot write %s\n", o.outPath.c_str());
        return 1;
    }
    if (o.windowSeconds > 0) {
        ShowInWindow(sprite, o);
        plat::DestroyMainWindow(window);
    }
    sprite.Release();
    sys.RemoveTempFiles();
    std::printf("picview: wrote %s\n", o.outPath.c_str());
    return 0;
}
