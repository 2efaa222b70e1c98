#pragma once
#include <cstdint>

#include "platform/window_handle.h"
#include "sound/kudadata.h"
#include "sound/kudshowdata.h"

class KUSYSTEM;
class KUMMDATA;

namespace plat {
class CdDevice;
class MciMedia;
class MixerDevice;
struct MixerLineInfo;
class SoundPerformance;
class SoundLoader;
class SoundPath;
} // namespace plat

// One track of the CD track table (index 0 is track 1); type 0 audio, 1 other.
struct KUCDTRACKDATA {
    uint8_t bMinute = 0;
    uint8_t bSecond = 0;
    uint8_t bFrame = 0;
    int32_t nTrackType = 0;
};

// Volume steps of the settings (0..10) in hundredths of a decibel for the
// sound paths; any other step is -9600.
int KuSndStepToDAVolume(int step);

// The sound system: the sound performance with its four paths (default,
// voice, music, sound effect), the table of sound slots, and the three media
// channels (0 voice, 1 music, 2 movie). One global instance; its constructor
// touches no library, so it may run before the program's entry point.
class KUSND {
public:
    static constexpr int kChannelCount = 3;

    KUSND();
    ~KUSND();
    KUSND(const KUSND&) = delete;
    KUSND& operator=(const KUSND&) = delete;

    // Start and end. instance is the module instance (any non-null value here).
    int Initialize(KUSYSTEM* system, plat::WindowHandle window, void* instance, uint32_t windowStyle);
    int DAudioInit();
    int Release();
    void ErrorPrint(const char* text);

    // Once a frame, with the game clock: keeps the channels' volumes right.
    int MainLoop(unsigned int now);

    // Sound slot table.
    int DADATAReserve(unsigned int count);
    int DASetData(int slot, const char* name, int soundType);
    int DALoad(int slot, const char* name, int soundType, int flag);
    int DAUnload(int slot);
    int DAPlay(int slot, int loop);
    int DAStop(int slot);
    int DASndTypeStop(int soundType);
    int DAAllStop();
    int DAGetPlayState(int slot);
    int DASetMasterVolume(int volume);
    int DASetSoundVolume(int soundType, int volume);
    int DAGetMasterVolume();
    int DAGetPathVolume(int soundType);
    unsigned int DAGetDataNum();
    char* DAGetWAVEPath(int slot, char* buffer, unsigned int size);
    int DAGetLoadState(int slot);
    int DAReloadPath(int soundType, int volume);
    int DARelease();

    // Media channels.
    int DShowOpen(int channel, const char* file, int width, int height);
    int DShowClose(int channel);
    int DShowIsOpen(int channel);
    int DShowPlay(int channel);
    int DShowPlayEx(int channel, int repeat, int64_t start, int64_t stop);
    int DShowStop(int channel);
    int DShowPause(int channel);
    int DShowGetLength(int channel, int64_t* length);
    int DShowSetVolume(int channel, int volume);
    int DShowGetVolume(int channel, int* volume);
    int DShowGetStatus(int channel, int* status);
    int DShowChangeSize(int channel, int requireOpen, int width, int height);
    int DShowGetSeekPointOperation(int channel, int64_t* position);
    int64_t DShowGetSeekPoint(int channel);
    int DShowEventNotify(int channel);
    int DShowGetVolumeValue(int channel);

    // CD audio.
    int MCIInit(const char* drive);
    int MCIClose();
    int MCIChangeDrive(const char* drive);
    int CDTrackDataReserve(unsigned int count);
    void CDTrackDataRelease();
    int ChangeTimeFormat(unsigned int format);
    int CDGetDiscID(char* buffer, unsigned int size);
    int CDGetAllTrackNum(unsigned int* count);
    int CDGetTrackInfo(unsigned char track);
    int CDSetTrackData();
    int CDGetTrackData(unsigned int index, KUCDTRACKDATA* out);
    int CDPlayStatusCheck();
    int CDDriveStatus();
    int CDGetTrackLength(unsigned char* minute, unsigned char* second, unsigned char* frame, int track);
    int CDGetNowPos(unsigned char* minute, unsigned char* second, unsigned char* frame, unsigned char* track);
    int CDPlay(int loop, unsigned char track, unsigned char minute, unsigned char second);
    int CDStop();
    int CDPause();
    int CDRePlay();
    int TrayControl();

    // Media slots.
    int MMDATAReserve(unsigned int count);
    void MMDATARelease();
    int MMSetData(int slot, const char* path, int type);
    int MMOpen(int slot, int type, const char* path);
    int MMClose(int slot);
    int MMPlay(int slot);
    int MMPlayEx(int slot, unsigned int from, unsigned int to);
    int MMStop(int slot);
    int MMPause(int slot);
    int MMGetLength(int slot, unsigned int* length);
    // One slot, for tests; null outside the table.
    const KUMMDATA* MMSlot(int slot) const;

    // Video window.
    int AVIInit();
    void AVIRelease();
    int AVIOpen(const char* file, int x, int y, int width, int height);
    int AVIClose();
    int AVIPlay();
    int AVIStop();
    int AVIPause();
    int AVIRePlay();
    int AVIIsEnd();

    // Mixer lines: 0 speakers, 1 wave output, 2 synthesizer, 3 CD audio.
    static constexpr int kMixerLines = 4;
    int MixerOpen(unsigned int device);
    int MixerGetDev(unsigned int device, plat::MixerDevice* mixer);
    int MixerGetLineVolume(int index, const plat::MixerLineInfo* line, plat::MixerDevice* mixer);
    int MixerSetControl(int index, plat::MixerDevice* mixer);
    int MixerSetVolume(int index, unsigned int* volume);
    int MixerAddVolume(int index, int* delta);
    int MixerAddVolumeFromDefault(int index, int* delta);
    int MixerSetAllVolume();

    // For the slots.
    plat::SoundPerformance* GetPerformance() const { return m_pPerformance; }
    plat::SoundLoader* GetLoader() const { return m_pLoader; }
    // The path of sound type 0, 1 or 2; null for another type.
    plat::SoundPath* GetAudioPath(int soundType) const;
    int IsInitialized() const { return m_bInit; }
    // One channel, for the shell's picture path and for tests; null outside 0..2.
    KUDSHOWDATA* DShowChannel(int channel) {
        return channel >= 0 && channel < kChannelCount ? &m_DShow[channel] : nullptr;
    }

private:
    bool CheckChannel(int channel, const char* method);
    // The refusals the slot operations share (not started, no table, and with
    // a badSlotText a slot outside the table), each with its line.
    bool SlotCallOk(const char* method, int slot, const char* noTableText, const char* badSlotText);
    plat::SoundPath** PathField(int soundType);
    // The refusals the media slot operations share, each with its line.
    bool MMSlotOk(const char* method, int slot);
    // The CD refusal while the device is closed: logs and gives true.
    bool CDClosed(const char* method);
    // Sets a line (mode 0: *value is the volume) or adds *value to its
    // current (1) or saved (2) volume, clamping *value in place.
    int MixerChange(int index, int mode, int* value);
    int AVIReady(const char* method);

    KUSYSTEM* m_pKUSys;
    int m_bCom;
    plat::WindowHandle m_hWnd;
    void* m_hInst;
    KUDADATA* m_pDAData;
    KUMMDATA* m_pMMData;
    KUCDTRACKDATA* m_pCDTrack;
    unsigned int m_dwDADataNum;
    unsigned int m_dwMMDataNum;
    unsigned int m_dwCDTrackNum;
    int m_bInit;
    int m_bDADataReserve;
    int m_bMMDataReserve;
    uint32_t m_dwWindowStyle;

    // CD block.
    struct CdBlock {
        uint32_t deviceId = 0;
        plat::WindowHandle notifyWindow = nullptr;
        uint32_t playFrom = 0;
        uint32_t timeFormat = 0;
        int open = 0;
        int pause = 0;
        int loop = 1;
        uint8_t startTrack = 1;
        uint8_t startMinute = 0;
        uint8_t startSecond = 0;
        plat::CdDevice* device = nullptr;
    } m_CD;

    plat::SoundPerformance* m_pPerformance;
    plat::SoundLoader* m_pLoader;
    plat::SoundPath* m_pDefaultPath;
    plat::SoundPath* m_pVoicePath;
    plat::SoundPath* m_pBGMPath;
    plat::SoundPath* m_pSEPath;
    plat::SoundPath* m_pDefaultBuffer; // the default path's output; not owned apart from it
    void* m_pDSound; // no separate device object here
    int m_nMasterVolume;
    int m_nDefaultPathVolume;
    int m_nVoiceVolume;
    int m_nBGMVolume;
    int m_nSEVolume;

    KUDSHOWDATA m_DShow[kChannelCount];

    plat::MciMedia* m_hAVIWnd; // the video window's player; null when none
    int m_nAVILength;

    // Mixer block.
    struct MixerBlock {
        uint32_t lastControl = 0; // id of the last volume control found
        uint32_t controlId[kMixerLines] = {0, 0, 0, 0};
        uint32_t current[kMixerLines] = {0, 0, 0, 0};
        int lineFound[kMixerLines] = {0, 0, 0, 0};
        uint32_t lineId[kMixerLines] = {0, 0, 0, 0};
        uint32_t saved[kMixerLines] = {0, 0, 0, 0};
        uint32_t deviceId = 0;
        int open = 0;
    } m_Mixer;
};
