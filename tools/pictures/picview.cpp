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

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: picview <game folder> <out file> [--bpp N] [--window SECONDS] [name ...]\n");
        return 2;
    }
    char cwd[PATH_MAX] = {};
    if (!getcwd(cwd, sizeof(cwd)))
        return 1;
    std::string outPath = argv[2];
    if (!outPath.empty() && outPath[0] != '/')
        outPath = std::string(cwd) + "/" + outPath;
    uint32_t bpp = 32;
    int windowSeconds = 0;
    bool full = false;
    std::vector<std::string> names = {"bg01.bmp",          "chara01.dds", "chara02.dds",
                                      "MessageWindow.dds", "logo.bmp",    "cg02.bmp"};
    size_t given = 0;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--bpp") && i + 1 < argc) {
            bpp = static_cast<uint32_t>(std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--window") && i + 1 < argc) {
            windowSeconds = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--full")) {
            full = true;
        } else if (given < names.size()) {
            names[given++] = argv[i];
        }
    }
    if (chdir(argv[1]) != 0) {
        std::fprintf(stderr, "picview: no folder %s\n", argv[1]);
        return 1;
    }

    static int headless;
    plat::WindowHandle window = reinterpret_cast<plat::WindowHandle>(&headless);
    if (windowSeconds > 0) {
        plat::WindowParams params;
        params.caption = "picview";
        params.proc = &Proc;
        params.fullScreen = full;
        window = plat::CreateMainWindow(params);
        if (!window) {
            std::fprintf(stderr, "picview: no window\n");
            return 1;
        }
        plat::ShowMainWindow(window);
    }
    KUSYSTEM sys;
    sys.Initialize(window, 1);
    KUSPRITE2 sprite;
    static int instance;
    if (sprite.Initialize(&sys, window, &instance, 800, 600, bpp, full ? 1 : 0) != 1 ||
        !sprite.CreateGraphicDataBuffer(8)) {
        std::fprintf(stderr, "picview: renderer did not start\n");
        return 1;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        sprite.SetGraphicData(static_cast<uint32_t>(i), "tmp/", names[i].c_str(), kGraphicTypeTexture, 1);
        if (!sprite.CreateGraphicData(static_cast<uint32_t>(i), 0, 0, 0, 0))
            std::fprintf(stderr, "picview: %s not loaded\n", names[i].c_str());
    }
    sprite.D3DXDrawStart();
    DrawScene(sprite);
    sprite.D3DXDrawEnd();
    const plat::Surface& frame = plat::LastPresentedFrame();
    bool bmp = outPath.size() > 4 && outPath.compare(outPath.size() - 4, 4, ".bmp") == 0;
    if (!WriteBytes(outPath, bmp ? EncodeBmp24(frame) : EncodePng(frame))) {
        std::fprintf(stderr, "picview: cannot write %s\n", outPath.c_str());
        return 1;
    }
    if (windowSeconds > 0) {
        plat::Surface shown;
        uint32_t until = plat::TimeMs() + static_cast<uint32_t>(windowSeconds) * 1000;
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
            WriteBytes(outPath + ".window.png", EncodePng(shown));
        plat::DestroyMainWindow(window);
    }
    sprite.Release();
    sys.RemoveTempFiles();
    std::printf("picview: wrote %s\n", outPath.c_str());
    return 0;
}
