// Plays a game folder headless on a fake clock, driven by a plan read from
// standard input, and writes chosen frames as PNG files: screenshots of the
// sample game that come out the same on every run.
//   gameshots <game folder> <out folder> < plan
// Plan lines (one step each; '#' starts a comment):
//   wait N            N frames of 16 ms, no keys
//   move X Y          the pointer to (X, Y)
//   click [N]         a left click (pressed one frame, released the next),
//                     then N idle frames (default 30)
//   key VK [N]        a key pressed and released, then N idle frames
//   hold VK N         N frames with the key held
//   shot NAME         writes <out folder>/NAME.png from the last frame
// The run works in the game folder: use a copy, as it writes sav/ and tmp/.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "flow/game_main.h"
#include "game/asset_slots.h"
#include "game/game_settings.h"
#include "platform/clock.h"
#include "platform/local_time_test_hooks.h"
#include "sound/kusnd.h"
#include "tools/pictures/picture_files.h"

namespace {

constexpr uint32_t kFrameMs = 16;

class Player {
public:
    Player() : clock_(plat::FakeClock::kStart) {
        plat::SetClock(&clock_);
        // A summer noon, so the title's picture and the slots' dates come out
        // the same whenever the shots are made.
        plat::SetLocalTimeSource([] {
            plat::LocalTime t;
            t.year = 2026;
            t.month = 7;
            t.day = 20;
            t.dayOfWeek = 1;
            t.hour = 12;
            return t;
        });
    }
    ~Player() {
        game_.reset();
        sprite_.Release();
        plat::SetLocalTimeSource(nullptr);
        plat::SetClock(nullptr);
    }

    bool Start() {
        static int window;
        if (sprite_.Initialize(&sys_, reinterpret_cast<plat::WindowHandle>(&window), &window, 800, 600, 32, 0) != 1 ||
            sprite_.CreateGraphicDataBuffer(kGraphicSlotCount) != 1 ||
            sprite_.CreateTextureTextBuffer(kTextureTextSlotCount) != 1)
            return false;
        game_ = std::make_unique<GAME_MAIN>();
        return game_->Initialize(&sys_, &sprite_, &snd_) == 1;
    }

    // One frame with the given key (0 none) in the given state.
    bool Frame(int vk = 0, int state = 0) {
        clock_.Advance(kFrameMs);
        sys_.UpdateTime();
        for (int k = 0; k < 256; ++k)
            sys_.SetKeyState(k, 0);
        if (vk)
            sys_.SetKeyState(vk, state);
        return game_->GameMainProc() == 1 && game_->GameMainDraw() == 1;
    }

    bool Idle(int frames) {
        for (int i = 0; i < frames; ++i)
            if (!Frame())
                return false;
        return true;
    }

    void Move(int x, int y) { sys_.SetMousePos(x, y); }

    bool Shot(const std::string& path) {
        const plat::Surface* back = sprite_.GetBackSurface();
        if (!back)
            return false;
        plat::Surface frame = *back;
        for (uint32_t& p : frame.pixels)
            p |= 0xFF000000u;
        std::ofstream out(path, std::ios::binary);
        out << EncodePng(frame);
        return static_cast<bool>(out);
    }

private:
    plat::FakeClock clock_;
    KUSYSTEM sys_;
    KUSPRITE2 sprite_;
    KUSND snd_;
    std::unique_ptr<GAME_MAIN> game_;
};

// Key states as the system object keeps them.
constexpr int kHeld = 1;
constexpr int kPressed = 2;
constexpr int kReleased = 3;

bool Step(Player& player, const std::string& line, const std::string& outDir) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word) || word[0] == '#')
        return true;
    int a = 0, b = 0;
    if (word == "wait" && in >> a)
        return player.Idle(a);
    if (word == "move" && in >> a >> b) {
        player.Move(a, b);
        return true;
    }
    if (word == "click" || word == "key") {
        const int vk = word == "click" ? 1 : (in >> a, a);
        int after = 30;
        in >> after;
        return vk > 0 && player.Frame(vk, kPressed) && player.Frame(vk, kReleased) && player.Idle(after);
    }
    if (word == "hold" && in >> a >> b) {
        for (int i = 0; i < b; ++i)
            if (!player.Frame(a, i == 0 ? kPressed : kHeld))
                return false;
        return true;
    }
    if (word == "shot" && in >> word)
        return player.Shot(outDir + "/" + word + ".png");
    std::fprintf(stderr, "gameshots: cannot read the plan line \"%s\"\n", line.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gameshots <game folder> <out folder> < plan\n");
        return 2;
    }
    char cwd[PATH_MAX] = {};
    if (!getcwd(cwd, sizeof(cwd)))
        return 1;
    std::string outDir = argv[2];
    if (!outDir.empty() && outDir[0] != '/')
        outDir = std::string(cwd) + "/" + outDir;
    if (chdir(argv[1]) != 0) {
        std::fprintf(stderr, "gameshots: no game folder %s\n", argv[1]);
        return 1;
    }
    std::error_code ignored;
    std::filesystem::create_directories("tmp", ignored); // the work folder, as the program makes it
    SetEnvDefaults();
    g_bSoundEnable = 0; // silent, as without an audio device
    Player player;
    if (!player.Start()) {
        std::fprintf(stderr, "gameshots: the game did not start\n");
        return 1;
    }
    std::string line;
    int number = 0;
    while (std::getline(std::cin, line)) {
        ++number;
        if (!Step(player, line, outDir)) {
            std::fprintf(stderr, "gameshots: plan line %d failed: %s\n", number, line.c_str());
            return 1;
        }
    }
    return 0;
}
