#include "platform/video_movie.h"

#include <algorithm>

#include "platform/video_present.h"

namespace plat {

namespace {
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
} // namespace

void MovieScreen::ShowMoviePicture(const Surface& picture, const VideoWindowState& window) {
    if (!showing_) {
        gameFrame_ = LastPresentedFrame();
        if (gameFrame_.width != kScreenWidth || gameFrame_.height != kScreenHeight) {
            gameFrame_ = Surface(kScreenWidth, kScreenHeight);
            std::fill(gameFrame_.pixels.begin(), gameFrame_.pixels.end(), 0xFF000000u);
        }
        showing_ = true;
    }
    composite_ = gameFrame_;
    int x0 = window.fullScreen ? 0 : window.x;
    int y0 = window.fullScreen ? 0 : window.y;
    int w = window.fullScreen ? kScreenWidth : window.width;
    int h = window.fullScreen ? kScreenHeight : window.height;
    if (!window.visible || picture.width <= 0 || picture.height <= 0 || w <= 0 || h <= 0) {
        PresentFrame(composite_, 32);
        return;
    }
    // Nearest-neighbour scaling, clipped to the screen.
    for (int y = std::max(0, y0); y < std::min(kScreenHeight, y0 + h); ++y) {
        int sy = static_cast<int>(static_cast<int64_t>(y - y0) * picture.height / h);
        const uint32_t* src = picture.Row(sy);
        uint32_t* dst = composite_.Row(y);
        for (int x = std::max(0, x0); x < std::min(kScreenWidth, x0 + w); ++x) {
            int sx = static_cast<int>(static_cast<int64_t>(x - x0) * picture.width / w);
            dst[x] = src[sx] | 0xFF000000u;
        }
    }
    PresentFrame(composite_, 32);
}

void MovieScreen::HideMovie() {
    if (!showing_)
        return;
    showing_ = false;
    PresentFrame(gameFrame_, 32);
}

void InstallMovieScreen() {
    static MovieScreen screen;
    SetVideoFrameSink(&screen);
}

} // namespace plat
