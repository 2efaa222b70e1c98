#include <cstring>
#include <new>
#include <string>

#include "platform/cd_device.h"
#include "sound/kusnd.h"
#include "sound/sound_log.h"

namespace {

void Log(KUSYSTEM* sys, const char* kind, const char* method, const char* text) {
    std::string tag = "KUSND::";
    tag += method;
    snd::LogLine(sys, kind, tag.c_str(), text);
}

void SplitMsf(uint32_t frames, unsigned char* minute, unsigned char* second, unsigned char* frame) {
    if (frame)
        *frame = static_cast<unsigned char>(frames % plat::kCdFramesPerSecond);
    frames /= plat::kCdFramesPerSecond;
    if (second)
        *second = static_cast<unsigned char>(frames % 60);
    if (minute)
        *minute = static_cast<unsigned char>(frames / 60);
}

void ZeroBytes(unsigned char* a, unsigned char* b, unsigned char* c, unsigned char* d = nullptr) {
    for (unsigned char* p : {a, b, c, d}) {
        if (p)
            *p = 0;
    }
}

} // namespace

bool KUSND::CDClosed(const char* method) {
    if (m_CD.open && m_CD.device)
        return false;
    Log(m_pKUSys, "Error", method, "デバイスを開いてません");
    return true;
}

int KUSND::MCIInit(const char* drive) {
    if (m_CD.open)
        MCIClose();
    m_CD.device = new plat::CdDevice();
    if (!m_CD.device->Open(drive)) {
        delete m_CD.device;
        m_CD.device = nullptr;
        Log(m_pKUSys, "Error", "MCIInit", "MCIの取得に失敗しました");
        return 0;
    }
    m_CD.deviceId = 1;
    m_CD.open = 1;
    m_CD.pause = 0;
    m_CD.timeFormat = plat::CdDevice::kFormatMilliseconds;
    if (!ChangeTimeFormat(plat::CdDevice::kFormatTmsf)) {
        m_CD.open = 0;
        delete m_CD.device;
        m_CD.device = nullptr;
        return 0;
    }
    return 1;
}

int KUSND::MCIClose() {
    CDTrackDataRelease();
    if (!m_CD.open || !m_CD.device)
        return 1;
    const int mode = CDPlayStatusCheck();
    if ((mode == 0 || mode == 1) && !CDStop())
        Log(m_pKUSys, "Warn", "MCIClose", "停止出来ません");
    m_CD.device->Close();
    delete m_CD.device;
    m_CD.device = nullptr;
    m_CD.open = 0;
    m_CD.pause = 0;
    m_CD.deviceId = 0;
    return 1;
}

int KUSND::MCIChangeDrive(const char* drive) {
    if (!MCIClose())
        return 0;
    return MCIInit(drive) ? 1 : 0;
}

int KUSND::CDTrackDataReserve(unsigned int count) {
    CDTrackDataRelease();
    m_pCDTrack = new (std::nothrow) KUCDTRACKDATA[count];
    if (!m_pCDTrack) {
        Log(m_pKUSys, "Error", "CDTrackDataReserve", "トラックデータ確保に失敗しました");
        return 0;
    }
    m_dwCDTrackNum = count;
    return 1;
}

void KUSND::CDTrackDataRelease() {
    delete[] m_pCDTrack;
    m_pCDTrack = nullptr;
    m_dwCDTrackNum = 0;
}

int KUSND::ChangeTimeFormat(unsigned int format) {
    if (CDClosed("ChangeTimeFormat"))
        return 1;
    if (format == m_CD.timeFormat)
        return 1;
    if (!m_CD.device->SetTimeFormat(format)) {
        Log(m_pKUSys, "Error", "ChangeTimeFormat", "時間フォーマットの再設定に失敗しました");
        return 0;
    }
    m_CD.timeFormat = format;
    return 1;
}

int KUSND::CDGetDiscID(char* buffer, unsigned int size) {
    if (buffer && size > 0)
        buffer[0] = '\0';
    if (CDClosed("CDGetDiscID") || !buffer)
        return 1;
    if (!m_CD.device->Identity(buffer, size)) {
        Log(m_pKUSys, "Error", "CDGetDiscID", "ID取得に失敗");
        return 0;
    }
    return 1;
}

int KUSND::CDGetAllTrackNum(unsigned int* count) {
    if (count)
        *count = 0;
    if (CDClosed("CDGetAllTrackNum"))
        return 1;
    if (!m_CD.device->TrackCount(count)) {
        Log(m_pKUSys, "Error", "CDGetAllTrackNum", "総トラック数の検出に失敗しました");
        return 0;
    }
    return 1;
}

int KUSND::CDGetTrackInfo(unsigned char track) {
    if (CDClosed("CDGetTrackInfo"))
        return 1;
    bool data = false;
    if (!m_CD.device->TrackIsData(track, &data)) {
        Log(m_pKUSys, "Error", "CDGetTrackInfo", "トラック情報取得に失敗しました");
        return -1;
    }
    return data ? 1 : 0;
}

int KUSND::CDSetTrackData() {
    const char* m = "CDSetTrackData";
    if (CDClosed(m))
        return 1;
    const int drive = CDDriveStatus();
    if (drive == 1) {
        Log(m_pKUSys, "Warn", m, "メディアが挿入されていません");
        return 0;
    }
    if (drive != 0) {
        Log(m_pKUSys, "Error", m, "メディア有無のチェックに失敗しました");
        return 0;
    }
    unsigned int count = 0;
    if (!CDGetAllTrackNum(&count) || !CDTrackDataReserve(count))
        return 0;
    for (unsigned int t = 1; t <= count; ++t) {
        KUCDTRACKDATA& rec = m_pCDTrack[t - 1];
        rec.nTrackType = CDGetTrackInfo(static_cast<unsigned char>(t));
        CDGetTrackLength(&rec.bMinute, &rec.bSecond, &rec.bFrame, static_cast<int>(t));
    }
    return 1;
}

int KUSND::CDGetTrackData(unsigned int index, KUCDTRACKDATA* out) {
    const char* m = "CDGetTrackData";
    if (out)
        *out = KUCDTRACKDATA{};
    if (CDClosed(m))
        return 1;
    if (index >= m_dwCDTrackNum) {
        Log(m_pKUSys, "Error", m, "インデックス番号の指定が不正です");
        return 0;
    }
    if (!out) {
        Log(m_pKUSys, "Error", m, "出力先ポインタの値がありません");
        return 0;
    }
    if (!m_pCDTrack) {
        Log(m_pKUSys, "Error", m, "出力元ポインタの値がありません");
        return 0;
    }
    *out = m_pCDTrack[index];
    return 1;
}

int KUSND::CDPlayStatusCheck() {
    if (!m_CD.open || !m_CD.device)
        return 2;
    plat::CdMode mode = plat::CdMode::kNotReady;
    if (!m_CD.device->Mode(&mode)) {
        Log(m_pKUSys, "Error", "CDPlayStatusCheck", "再生状態取得に失敗しました");
        return -1;
    }
    switch (mode) {
        case plat::CdMode::kPlaying: return 0;
        // A paused drive reports that it stands still; our flag tells the two apart.
        case plat::CdMode::kStopped:
        case plat::CdMode::kPaused: return m_CD.pause ? 1 : 2;
        default: return -1;
    }
}

int KUSND::CDDriveStatus() {
    if (!m_CD.open || !m_CD.device)
        return 1;
    bool present = false;
    if (!m_CD.device->MediaPresent(&present)) {
        Log(m_pKUSys, "Error", "CDDriveStatus", "メディア有無のチェックに失敗しました");
        return -1;
    }
    return present ? 0 : 1;
}

int KUSND::CDGetTrackLength(unsigned char* minute, unsigned char* second, unsigned char* frame, int track) {
    const char* m = "CDGetTrackLength";
    ZeroBytes(minute, second, frame);
    if (CDClosed(m))
        return 1;
    ChangeTimeFormat(plat::CdDevice::kFormatMsf);
    uint32_t frames = 0;
    const bool ok = track == 9999 ? m_CD.device->DiscLength(&frames)
                                  : track > 0 && m_CD.device->TrackLength(static_cast<unsigned>(track), &frames);
    if (!ok) {
        Log(m_pKUSys, "Error", m, "トラックの長さ取得に失敗しました");
        return 0;
    }
    SplitMsf(frames, minute, second, frame);
    return 1;
}

int KUSND::CDGetNowPos(unsigned char* minute, unsigned char* second, unsigned char* frame, unsigned char* track) {
    const char* m = "CDGetNowPos";
    ZeroBytes(minute, second, frame, track);
    if (CDClosed(m))
        return 1;
    ChangeTimeFormat(track ? plat::CdDevice::kFormatTmsf : plat::CdDevice::kFormatMsf);
    uint32_t absolute = 0;
    uint32_t relative = 0;
    unsigned int t = 0;
    if (!m_CD.device->Position(&absolute, &t, &relative)) {
        Log(m_pKUSys, "Error", m, "現在位置を取得出来ませんでした");
        return 0;
    }
    SplitMsf(track ? relative : absolute, minute, second, frame);
    if (track)
        *track = static_cast<unsigned char>(t);
    return 1;
}

int KUSND::CDPlay(int loop, unsigned char track, unsigned char minute, unsigned char second) {
    const char* m = "CDPlay";
    if (CDClosed(m))
        return 1;
    // From the track's minute and second, at frame 1.
    const uint32_t from = track | static_cast<uint32_t>(minute) << 8 | static_cast<uint32_t>(second) << 16 | 1u << 24;
    const uint32_t relative = (static_cast<uint32_t>(minute) * 60 + second) * plat::kCdFramesPerSecond + 1;
    if (!ChangeTimeFormat(plat::CdDevice::kFormatTmsf) || !m_CD.device->PlayFrom(track, relative)) {
        Log(m_pKUSys, "Error", m, "再生出来ません");
        return 0;
    }
    m_CD.notifyWindow = m_hWnd;
    m_CD.playFrom = from;
    m_CD.pause = 0;
    m_CD.loop = loop;
    m_CD.startTrack = track;
    m_CD.startMinute = minute;
    m_CD.startSecond = second;
    return 1;
}

int KUSND::CDStop() {
    const char* m = "CDStop";
    if (CDClosed(m))
        return 1;
    const int mode = CDPlayStatusCheck();
    if (mode == 2)
        return 1;
    if (mode < 0)
        return 0;
    if (!m_CD.device->Stop()) {
        Log(m_pKUSys, "Error", m, "停止出来ません");
        return 0;
    }
    m_CD.pause = 0;
    return 1;
}

int KUSND::CDPause() {
    if (CDClosed("CDPause"))
        return 1;
    if (!m_CD.device->Pause()) {
        Log(m_pKUSys, "Error", "CDPause", "一時停止出来ません");
        return 0;
    }
    m_CD.pause = 1;
    return 1;
}

int KUSND::CDRePlay() {
    if (CDClosed("CDRePlay"))
        return 1;
    if (!m_CD.device->Resume()) {
        Log(m_pKUSys, "Error", "CDRePlay", "一時停止解除に失敗しました");
        return 0;
    }
    m_CD.pause = 0;
    return 1;
}

int KUSND::TrayControl() {
    const char* m = "TrayControl";
    if (CDClosed(m))
        return 1;
    const int mode = CDPlayStatusCheck();
    if ((mode == 0 || mode == 1) && !CDStop()) {
        Log(m_pKUSys, "Error", m, "トレイ操作が出来ません");
        return 0;
    }
    const int drive = CDDriveStatus();
    if (drive < 0 || !m_CD.device->Door(drive == 0)) {
        Log(m_pKUSys, "Error", m, "トレイ操作が出来ません");
        return 0;
    }
    return 1;
}
