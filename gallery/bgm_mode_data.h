#pragma once
#include <cstdint>

#include "gallery/bgm_controller_window.h"
#include "gallery/bgm_item_data.h"
#include "scene/message_window.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;

// The music room: fourteen tracks in two columns and a movie row from the
// room's data script. A chosen track plays once and types its comment; at
// its end the next one plays. The movie row plays its movie full size. The
// bar plays, stops and steps the tracks and changes the volumes.
class BGM_MODE_DATA {
public:
    static constexpr int kTracks = 14;
    static constexpr int kRowMovie = 15;
    static constexpr int kRowExit = 16;
    static constexpr int kCommentSize = 512;
    static constexpr int kMusicChannel = 1;
    static constexpr int kMovieChannel = 2;
    static constexpr const char* kScript = "BGMModeData.spt";
    static constexpr int kSlotFade = 0;
    static constexpr int kSlotMaterial = 23;
    static constexpr int kSlotBar = 24;
    static constexpr int kSlotBG = 25;

    BGM_MODE_DATA();
    ~BGM_MODE_DATA();
    BGM_MODE_DATA(const BGM_MODE_DATA&) = delete;
    BGM_MODE_DATA& operator=(const BGM_MODE_DATA&) = delete;

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd);
    void Release();
    // -1 fatal, 0 running, 1 leave the room.
    int MainProc();
    int DrawProc();
    int CursorMoveProc();
    int BGMModeDataLoad();
    int BGMModeDataUnload();

    // Display texts of a track row (number, title, padding, right-hand
    // text) and of the movie row; bounded to size bytes.
    static void TrackText(int n, const char* title, const char* right, char* out, int size);
    static void MovieText(const char* title, const char* right, char* out, int size);

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    int m_nState;
    uint32_t m_dwStateTime;
    float m_fFade;
    uint32_t m_dwMarkTime;
    int m_nMarkFrame;
    int m_nHoverId;
    int m_nSelectRow;
    BGM_ITEM_DATA m_bgmItem[kTracks];
    BGM_ITEM_DATA m_movieItem;
    char m_szComment[kTracks][kCommentSize];
    MESSAGE_WINDOW m_msgWnd;
    BGM_CONTROLLER_WINDOW m_bgmCtrlWnd;
    // Reads a channel's status (the sound system's own by default).
    int (*m_pfnChannelStatus)(KUSND* snd, int channel, int* status);

private:
    int ReadScript();
    // Status of a channel, 0 when it is closed or cannot be read.
    int ChannelStatus(int channel, int* result = nullptr);
    // Shows a track's comment typing from now (row 0: empties the window).
    void ShowComment(int row);
    int ListFrame(uint32_t now, int click);
    void PlayNextOnTrackEnd(uint32_t now, int click);
    int RowAt(int x, int y) const;
    void PressRow(int hover, uint32_t now);
    int StartMovie(uint32_t now);
    void RestoreScreen();
    // The bar's track files, null for rows the script did not set.
    void TrackFiles(const char* files[kTracks]) const;
    int DrawRow(const BGM_ITEM_DATA& item, int id, int mark);
    KURECT TargetRect(int id) const;
};
