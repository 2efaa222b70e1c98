#pragma once
#include <cstdint>

#include "platform/window_handle.h"

class KUSYSTEM;

namespace plat {
class MediaGraph;
}

// Media flags of an open channel.
enum { KUDSHOW_MEDIA_VIDEO = 1, KUDSHOW_MEDIA_AUDIO = 2 };

// One media channel: a media graph built for one file, with its repeat
// count, start and stop positions (100 ns units) and a volume (hundredths of a
// decibel) kept across opens. The channel does not know its own number; open
// and close are told it.
class KUDSHOWDATA {
public:
    static constexpr int kPathSize = 260;

    KUDSHOWDATA();
    ~KUDSHOWDATA();
    KUDSHOWDATA(const KUDSHOWDATA&) = delete;
    KUDSHOWDATA& operator=(const KUDSHOWDATA&) = delete;

    int DShowOpen(KUSYSTEM* system, int channel, const char* name, plat::WindowHandle owner, int width, int height);
    int DShowClose(int channel);
    int DShowPlay();
    int DShowPlayEx(int repeat, int64_t start, int64_t stop);
    int DShowStop();
    int DShowPause();
    int DShowGetLength(int64_t* length);
    int DShowSetVolume(int volume);
    int DShowGetVolume(int* volume);
    int DShowGetStatus(int* status);
    int DShowChangeSize(int requireOpen, int width, int height);
    int DShowGetSeekPointOperation(int64_t* position);
    int64_t DShowGetSeekPoint() const { return m_llSeekPoint; }
    int DShowEventNotify();
    int DShowGetVolumeValue() const { return m_nVolume; }
    int DShowRegObjTbl();
    int DShowReleaseObjTbl();
    void ErrorPrint(const char* text);

    int IsOpen() const { return m_bOpen; }
    uint32_t GetPlayStartTime() const { return m_dwPlayStartTime; }
    void SetPlayStartTime(uint32_t t) { m_dwPlayStartTime = t; }
    uint32_t GetMediaFlags() const { return m_dwMediaFlags; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetRepeat() const { return m_nRepeat; }
    int64_t GetStart() const { return m_llStart; }
    int64_t GetStop() const { return m_llStop; }
    // The open file's graph (tests and the picture path); null when closed.
    plat::MediaGraph* GetGraph() const { return pDShowGraph; }

private:
    void Log(const char* kind, const char* method, const char* text);
    // The steps of DShowOpen, each logging its own failure.
    bool ArchiveOfChannel(int channel, const char** archive);
    bool ExtractMember(const char** archive, const char* name);
    int BuildGraph(int channel, plat::WindowHandle owner, int width, int height);
    int ShowVideoWindow(plat::WindowHandle owner, int width, int height);
    int OpenFailed(const char* text, int code);
    int RunWithRetry(const char* method);
    void ReleaseGraph();
    void RemoveExtractedCopy();
    // Seeks; a seek that fails because the work copy went is retried once
    // after taking the file out of its archive again.
    int32_t SeekOrExtractAgain(const char* method, const int64_t* current, const int64_t* stop);

    KUSYSTEM* m_pKUSys;
    plat::WindowHandle m_hOwner;
    // One object plays every role; the separate pointers keep each role's
    // "lost" check where the channel makes it. pDShowGraph owns it.
    plat::MediaGraph* pDShowGraph;
    plat::MediaGraph* pDShowMCtrl;
    plat::MediaGraph* pDShowEvent;
    plat::MediaGraph* pDShowSeek;
    plat::MediaGraph* pVideoWindow;
    plat::MediaGraph* pBasicAudio;
    plat::MediaGraph* pBasicVideo;
    plat::WindowHandle m_hSavedDrain;
    int m_bOpen;
    uint32_t m_dwMediaFlags;
    int m_nState;
    int m_nWidth;
    int m_nHeight;
    int64_t m_llSeekPoint;
    int m_nVolume;
    uint32_t m_dwRegister;
    char m_szPath[kPathSize];
    int m_nRepeat;
    int64_t m_llStart;
    int64_t m_llStop;
    uint32_t m_dwPlayStartTime;
    // The open file is a copy this channel extracted into "tmp/"; only such a
    // copy is ever deleted on close.
    int m_bDeleteOnClose;
    // The archive the copy came from, to take it out again when it is gone
    // by the time the graph reopens the file; set once that failed, so the
    // failure is told once per open.
    const char* m_pArchive;
    int m_bCopyLost;
};
