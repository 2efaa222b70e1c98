#pragma once
#include <cstdint>

#include "platform/media_video_sink.h"

namespace plat {

// Shows movie pictures in the game window: each picture is scaled into the
// video window's rectangle (the whole 800 x 600 picture in full screen) over
// the game frame, which is shown alone again once the movie is hidden. While
// the game goes on drawing under a movie, each of its frames is shown with
// the latest picture on top, as a window over the game would be.
class MovieScreen : public VideoFrameSink {
public:
    void ShowMoviePicture(const Surface& picture, const VideoWindowState& window) override;
    void HideMovie() override;
    bool PresentGameFrame(const Surface& frame, uint32_t bpp) override;

    bool showing() const { return showing_; }
    const Surface& composite() const { return composite_; }

private:
    void Compose();

    bool showing_ = false;
    uint32_t bpp_ = 32; // the depth gameFrame_ is shown at
    Surface gameFrame_; // what the window shows under the movie
    Surface picture_;
    VideoWindowState window_;
    Surface composite_;
};

// Makes one MovieScreen, cleared, the receiver of movie pictures.
void InstallMovieScreen();

} // namespace plat
