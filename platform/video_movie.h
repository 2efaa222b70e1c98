#pragma once
#include "platform/media_video_sink.h"

namespace plat {

// Shows movie pictures in the game window: each picture is scaled into the
// video window's rectangle (the whole 800 x 600 picture in full screen) over
// the last game frame, which is shown again once the movie is hidden.
class MovieScreen : public VideoFrameSink {
public:
    void ShowMoviePicture(const Surface& picture, const VideoWindowState& window) override;
    void HideMovie() override;

    bool showing() const { return showing_; }
    const Surface& composite() const { return composite_; }

private:
    bool showing_ = false;
    Surface gameFrame_; // what the window showed before the movie
    Surface composite_;
};

// Makes one MovieScreen the receiver of movie pictures (idempotent).
void InstallMovieScreen();

} // namespace plat
