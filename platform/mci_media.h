#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/window_handle.h"

namespace plat {

class MediaGraph;

// A media file opened as a device of its own: plays its sound through the
// mixer, with lengths and positions in milliseconds. Its pictures stay hidden
// unless it is shown in a rectangle of the game window, where the movie screen
// draws them over the game frame.
class MciMedia {
public:
    MciMedia();
    ~MciMedia();
    MciMedia(const MciMedia&) = delete;
    MciMedia& operator=(const MciMedia&) = delete;

    // False when the file is missing or holds nothing decodable; with
    // needAudio also when it has no sound.
    bool Open(const std::string& path, bool needAudio);
    void Close();
    bool IsOpen() const { return graph_ != nullptr; }
    bool HasVideo() const;

    // Plays from a position up to another (0: the end); returns at once.
    bool Play(uint32_t fromMs, uint32_t toMs);
    bool Stop();
    bool Pause();
    // Goes on from where it was paused.
    bool Resume();
    bool LengthMs(uint32_t* length);
    // At the end of the media (or the stop position) the position stays there.
    bool PositionMs(uint32_t* position);
    bool Ended();

    // Places the pictures in the owner's window and shows them, starting
    // with the one at the current position.
    bool Show(WindowHandle owner, int x, int y, int width, int height);
    void Hide();

private:
    std::unique_ptr<MediaGraph> graph_;
    bool ended_ = false;
};

} // namespace plat
