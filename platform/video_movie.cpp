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
        // Already shown, so already at the display's depth.
        bpp_ = 32;
        showing_ = true;
    }
    picture_ = picture;
    window_ = window;
    Compose();
    PresentFrame(composite_, bpp_);
}

void MovieScreen::HideMovie() {
    if (!showing_)
        return;
    showing_ = false;
    picture_ = Surface();
    PresentFrame(gameFrame_, bpp_);
}

bool MovieScreen::PresentGameFrame(const Surface& frame, uint32_t bpp) {
    if (!showing_ || frame.width != kScreenWidth || frame.height != kScreenHeight)
        return false;
    gameFrame_ = frame;
    bpp_ = bpp;
    Compose();
    PresentFrame(composite_, bpp_);
    return true;
}

void MovieScreen::Compose() {
    composite_ = gameFrame_;
    const Surface& picture = picture_;
    const VideoWindowState& window = window_;
    const int x0 = window.fullScreen ? 0 : window.x;
    const int y0 = window.fullScreen ? 0 : window.y;
    const int w = window.fullScreen ? kScreenWidth : window.width;
    const int h = window.fullScreen ? kScreenHeight : window.height;
    if (!window.visible || picture.width <= 0 || picture.height <= 0 || w <= 0 || h <= 0)
        return;
    // Nearest-neighbour scaling, clipped to the screen.
    for (int y = std::max(0, y0); y < std::min(kScreenHeight, y0 + h); ++y) {
        const int sy = static_cast<int>(static_cast<int64_t>(y - y0) * picture.height / h);
        const uint32_t* src = picture.Row(sy);
        uint32_t* dst = composite_.Row(y);
        for (int x = std::max(0, x0); x < std::min(kScreenWidth, x0 + w); ++x) {
            const int sx = static_cast<int>(static_cast<int64_t>(x - x0) * picture.width / w);
            dst[x] = src[sx] | 0xFF000000u;
        }
    }
}

void InstallMovieScreen() {
    static MovieScreen screen;
    // A movie left showing when an earlier window went must not cover the
    // frames of the next one; a movie still visible comes back with its next
    // picture.
    screen = MovieScreen();
    SetVideoFrameSink(&screen);
}

} // namespace plat
