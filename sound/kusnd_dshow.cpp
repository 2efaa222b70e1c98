#include <string>

#include "platform/media_video_sink.h"
#include "sound/kusnd.h"
#include "sound/sound_log.h"

bool KUSND::CheckChannel(int channel, const char* method) {
    if (channel >= 0 && channel < kChannelCount)
        return true;
    std::string tag = "KUSND::";
    tag += method;
    snd::LogLine(m_pKUSys, "Error", tag.c_str(), "オーディオタイプの指定が異常です");
    return false;
}

int KUSND::DShowOpen(int channel, const char* file, int width, int height) {
    if (!CheckChannel(channel, "DShowOpen"))
        return -1;
    return m_DShow[channel].DShowOpen(m_pKUSys, channel, file, m_hWnd, width, height);
}

int KUSND::DShowClose(int channel) {
    if (!CheckChannel(channel, "DShowClose"))
        return -1;
    return m_DShow[channel].DShowClose(channel);
}

int KUSND::DShowIsOpen(int channel) {
    if (!CheckChannel(channel, "DShowIsOpen"))
        return -1;
    return m_DShow[channel].IsOpen();
}

int KUSND::DShowPlay(int channel) {
    if (!CheckChannel(channel, "DShowPlay"))
        return -1;
    return m_DShow[channel].DShowPlay();
}

int KUSND::DShowPlayEx(int channel, int repeat, int64_t start, int64_t stop) {
    if (!CheckChannel(channel, "DShowPlayEx"))
        return -1;
    return m_DShow[channel].DShowPlayEx(repeat, start, stop);
}

int KUSND::DShowStop(int channel) {
    if (!CheckChannel(channel, "DShowStop"))
        return -1;
    return m_DShow[channel].DShowStop();
}

int KUSND::DShowPause(int channel) {
    if (!CheckChannel(channel, "DShowPause"))
        return -1;
    return m_DShow[channel].DShowPause();
}

int KUSND::DShowGetLength(int channel, int64_t* length) {
    if (!CheckChannel(channel, "DShowGetLength"))
        return -1;
    return m_DShow[channel].DShowGetLength(length);
}

int KUSND::DShowSetVolume(int channel, int volume) {
    if (!CheckChannel(channel, "DShowSetVolume"))
        return -1;
    return m_DShow[channel].DShowSetVolume(volume);
}

int KUSND::DShowGetVolume(int channel, int* volume) {
    if (!CheckChannel(channel, "DShowGetVolume"))
        return -1;
    return m_DShow[channel].DShowGetVolume(volume);
}

int KUSND::DShowGetStatus(int channel, int* status) {
    if (!CheckChannel(channel, "DShowGetStatus"))
        return -1;
    return m_DShow[channel].DShowGetStatus(status);
}

int KUSND::DShowChangeSize(int channel, int requireOpen, int width, int height) {
    if (!CheckChannel(channel, "DShowChangeSize"))
        return -1;
    return m_DShow[channel].DShowChangeSize(requireOpen, width, height);
}

int KUSND::DShowGetSeekPointOperation(int channel, int64_t* position) {
    if (!CheckChannel(channel, "DShowGetSeekPointOperation"))
        return -1;
    return m_DShow[channel].DShowGetSeekPointOperation(position);
}

int64_t KUSND::DShowGetSeekPoint(int channel) {
    if (!CheckChannel(channel, "DShowGetSeekPoint"))
        return -1;
    return m_DShow[channel].DShowGetSeekPoint();
}

int KUSND::DShowEventNotify(int channel) {
    if (!CheckChannel(channel, "DShowEventNotify"))
        return -1;
    return m_DShow[channel].DShowEventNotify();
}

int KUSND::DShowGetVolumeValue(int channel) {
    if (!CheckChannel(channel, "DShowGetVolumeValue"))
        return -1;
    return m_DShow[channel].DShowGetVolumeValue();
}

int KUSND::MainLoop(unsigned int now) {
    // Movie pictures follow their clock whether or not the sound paths started.
    plat::PumpMoviePictures();
    if (!m_bInit)
        return 1;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        KUDSHOWDATA& c = m_DShow[ch];
        const uint32_t t = c.GetPlayStartTime();
        if (t != 0 && now >= t + 100u) {
            if (c.DShowSetVolume(c.DShowGetVolumeValue()) < 0) {
                snd::LogLine(m_pKUSys, "Error", "KUSND::MainLoop", "ボリューム設定に失敗しました");
            } else {
                c.SetPlayStartTime(0);
            }
            continue;
        }
        int read = -9999;
        c.DShowGetVolume(&read);
        if (read != -9999 && read != c.DShowGetVolumeValue()) {
            if (c.DShowSetVolume(c.DShowGetVolumeValue()) < 0)
                snd::LogLine(m_pKUSys, "Error", "KUSND::MainLoop", "ボリューム設定に失敗しました");
            c.SetPlayStartTime(0);
        }
    }
    return 1;
}
