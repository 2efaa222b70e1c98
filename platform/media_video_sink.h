#pragma once
#include <cstdint>

#include "platform/surface.h"
#include "platform/window_handle.h"

namespace plat {

// Where a movie's video window stands inside the game window.
struct VideoWindowState {
    WindowHandle owner = nullptr;
    uint32_t style = 0;
    int showState = 0; // 0 hidden, 5 shown (the engine's window-state values)
    bool visible = false;
    bool foreground = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool fullScreen = false;
    WindowHandle messageDrain = nullptr;
};

// The display side of movie pictures. The movie screen implements it: it
// draws the picture scaled into the window rectangle (or the whole screen in
// full-screen mode) over the game frame while the movie plays. Calls come on
// the main thread from PumpMoviePictures and the video device's present.
class VideoFrameSink {
public:
    virtual ~VideoFrameSink() = default;
    // A new picture, or a change of the window; picture is the movie's native size.
    virtual void ShowMoviePicture(const Surface& picture, const VideoWindowState& window) = 0;
    // The video window was hidden or closed.
    virtual void HideMovie() = 0;
    // A finished game frame: true when the sink showed it, with a movie on
    // top; false leaves the showing to the caller.
    virtual bool PresentGameFrame(const Surface& /*frame*/, uint32_t /*bpp*/) { return false; }
};

// Null detaches. Not owned.
void SetVideoFrameSink(VideoFrameSink* sink);
VideoFrameSink* GetVideoFrameSink();

// Main thread, once a frame (the sound system's frame call does it, the
// display may call it too; extra calls are harmless): every open movie decodes
// up to its clock and hands a new picture to the sink.
void PumpMoviePictures();

} // namespace plat
