#pragma once
#include "gallery/gallery_bar.h"

// The music room's bar: play, stop, NEXT and BACK over the track rows and
// the volume buttons. It plays, stops and steps the music itself.
class BGM_CONTROLLER_WINDOW : public GALLERY_BAR {
public:
    static constexpr int kSeHover = 29;
    static constexpr int kSePush = 30;
    static constexpr int kTracks = 14;
    static constexpr int kMovieRow = 15;

    BGM_CONTROLLER_WINDOW();
    ~BGM_CONTROLLER_WINDOW() = default;

    // row: the owner's selected row (0 none, 1-14 tracks, 15 the movie),
    // stepped by NEXT and BACK; trackFiles: the fourteen track files.
    int MainProc(int* action, int* row, const char* const* trackFiles);
    int SetDefaultButtonStatus(const int* load, const int* save, const int* config, const int* play, const int* back,
                               const int* next, const int* stop, const int* hide, const int* volumeUp,
                               const int* volumeDown);
    int SetDefaultButtonStatus(int track);

private:
    bool MusicRunning() const;
};
