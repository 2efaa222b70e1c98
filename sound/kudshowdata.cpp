#include "sound/kudshowdata.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/combine_file.h"
#include "engine/game_paths.h"
#include "engine/kusystem.h"
#include "platform/audio_mixer.h"
#include "platform/clock.h"
#include "platform/debug_out.h"
#include "platform/files.h"
#include "platform/media_graph.h"
#include "sound/sound_log.h"

namespace {

constexpr uint32_t kAppMessageBase = 0x8000 + 2; // the application's own messages, voice first
constexpr uint32_t kChildStyle = 0x44000000; // child window, clipping its siblings
constexpr int kShow = 5;
constexpr int kHide = 0;
constexpr int kNativeSize = 9999;

} // namespace

KUDSHOWDATA::KUDSHOWDATA()
    : m_pKUSys(nullptr),
      m_hOwner(nullptr),
      pDShowGraph(nullptr),
      pDShowMCtrl(nullptr),
      pDShowEvent(nullptr),
      pDShowSeek(nullptr),
      pVideoWindow(nullptr),
      pBasicAudio(nullptr),
      pBasicVideo(nullptr),
      m_hSavedDrain(nullptr),
      m_bOpen(0),
      m_dwMediaFlags(0),
      m_nState(0),
      m_nWidth(0),
      m_nHeight(0),
      m_llSeekPoint(0),
      m_nVolume(0),
      m_dwRegister(0),
      m_szPath{},
      m_nRepeat(0),
      m_llStart(0),
      m_llStop(0),
      m_dwPlayStartTime(0),
      m_bDeleteOnClose(0),
      m_pArchive(nullptr),
      m_bCopyLost(0) {}

KUDSHOWDATA::~KUDSHOWDATA() {
    // Closed as channel 0 would be; only an extracted copy is ever deleted,
    // so a movie's own file survives this whatever channel it was.
    DShowClose(0);
    ReleaseGraph();
}

void KUDSHOWDATA::ErrorPrint(const char* text) {
    if (!text)
        return;
    snd::LogRaw(m_pKUSys, text);
}

void KUDSHOWDATA::Log(const char* kind, const char* method, const char* text) {
    std::string tag = "KUDSHOWDATA::";
    tag += method;
    snd::LogLine(m_pKUSys, kind, tag.c_str(), text);
}

void KUDSHOWDATA::ReleaseGraph() {
    delete pDShowGraph;
    pDShowGraph = pDShowMCtrl = pDShowEvent = pDShowSeek = nullptr;
    pVideoWindow = pBasicAudio = pBasicVideo = nullptr;
}

void KUDSHOWDATA::RemoveExtractedCopy() {
    if (!m_bDeleteOnClose || m_szPath[0] == '\0')
        return;
    m_bDeleteOnClose = 0;
    if (m_pKUSys) {
        // Both halves are copied out: the splitter reuses one buffer.
        const char* dir = m_pKUSys->ExtractFilePathToDirectoryPath(m_szPath, static_cast<int>(std::strlen(m_szPath)));
        const std::string directory = dir ? dir : "";
        const char* file = m_pKUSys->ExtractFilePathToFileName(m_szPath, static_cast<int>(std::strlen(m_szPath)));
        const std::string name = file ? file : "";
        if (!directory.empty() && !name.empty())
            m_pKUSys->RemoveFile(directory.c_str(), name.c_str(), 0);
    } else {
        plat::UnlinkFile(plat::ResolvePath(m_szPath));
    }
}

bool KUDSHOWDATA::ArchiveOfChannel(int channel, const char** archive) {
    switch (channel) {
        case 0: *archive = kVoiceArchive; return true;
        case 1: *archive = kBgmArchive; return true;
        case 2: *archive = nullptr; return true;
        default: Log("Error", "DShowOpen", "サウンドタイプが不正です"); return false;
    }
}

bool KUDSHOWDATA::ExtractMember(const char** archive, const char* name) {
    for (;;) {
        const int r = FileDiv(*archive, kTempFolder, name);
        if (r == -3 || r > 0)
            return true; // -3: a copy already lies in "tmp/"
        if (r == -1 || r == -2) {
            Log("Error", "DShowOpen", "ファイルの複合に失敗しました");
            return false;
        }
        // Music missing from its archive is looked for among the effects.
        if (std::strcmp(*archive, kBgmArchive) != 0) {
            std::string text = *archive;
            text += "内に";
            text += name;
            text += "が見つかりません";
            Log("Error", "DShowOpen", text.c_str());
            return false;
        }
        *archive = kSeArchive;
    }
}

// A seek back may reopen the file (a media streamed, or one whose decoded
// memory went back to the budget). The copy in "tmp/" may be gone by then:
// another copy of the game in this folder empties the work folder when it
// quits, or something else stands in its place, which the reopen refuses. It
// is checked as the reopen reads it (a link, a FIFO, or a tmp/ that is a link
// is no copy) and taken out of its archive again, into a remade tmp/ when
// need be; a copy that cannot come back is tried once per open.
int32_t KUDSHOWDATA::SeekOrExtractAgain(const char* method, const int64_t* current, const int64_t* stop) {
    const int32_t hr = pDShowSeek->SetPositions(current, stop);
    const size_t prefix = sizeof(kTempFolder) - 1;
    if (hr >= 0 || !m_bDeleteOnClose || !m_pArchive || m_bCopyLost || std::strlen(m_szPath) <= prefix ||
        plat::StatFile(m_szPath).isRegular) {
        return hr;
    }
    if (FileDiv(m_pArchive, kTempFolder, m_szPath + prefix) != 1) {
        m_bCopyLost = 1;
        Log("Error", method, "作業ファイルが消えていて、取り出し直せませんでした");
        return hr;
    }
    Log("Warn", method, "作業ファイルが消えていたので取り出し直しました");
    return pDShowSeek->SetPositions(current, stop);
}

int KUDSHOWDATA::OpenFailed(const char* text, int code) {
    // A failed open releases what it made at once and leaves the channel closed.
    Log("Error", "DShowOpen", text);
    ReleaseGraph();
    RemoveExtractedCopy();
    return code;
}

int KUDSHOWDATA::ShowVideoWindow(plat::WindowHandle owner, int width, int height) {
    int32_t hr = 0;
    if ((hr = pVideoWindow->PutOwner(owner)) < 0)
        return OpenFailed("オーナーウィンドウ設定に失敗しました", hr);
    if ((hr = pVideoWindow->PutWindowStyle(kChildStyle)) < 0)
        return OpenFailed("ウィンドウスタイルの設定に失敗しました", hr);
    if ((hr = pVideoWindow->PutWindowState(kShow)) < 0)
        return OpenFailed("ウィンドウ状態の設定に失敗しました", hr);
    if ((hr = pVideoWindow->PutVisible(true)) < 0)
        return OpenFailed("ウィンドウの表示に失敗しました", hr);
    if ((hr = DShowChangeSize(0, width, height)) < 0)
        return OpenFailed("呼び出したKUDSHOWDATA::DShowChangeSizeが失敗しました", hr);
    return hr;
}

int KUDSHOWDATA::BuildGraph(int channel, plat::WindowHandle owner, int width, int height) {
    pDShowGraph = new plat::MediaGraph();
    int32_t hr = pDShowGraph->RenderFile(m_szPath);
    if (hr < 0)
        return OpenFailed("データロードに失敗しました", hr);
    pDShowMCtrl = pDShowEvent = pDShowSeek = pDShowGraph;
    pVideoWindow = pBasicAudio = pBasicVideo = pDShowGraph;

    m_dwMediaFlags = 0;
    bool visible = false;
    if (pVideoWindow && pBasicVideo && pVideoWindow->GetVisible(&visible) >= 0) {
        m_dwMediaFlags |= KUDSHOW_MEDIA_VIDEO;
        Log("Message", "DShowOpen", "ビデオタイプと判別しました");
    }
    if (pBasicAudio) {
        m_dwMediaFlags |= KUDSHOW_MEDIA_AUDIO;
        Log("Message", "DShowOpen", "オーディオタイプと判別しました");
    }
    if ((m_dwMediaFlags & KUDSHOW_MEDIA_VIDEO) && (hr = ShowVideoWindow(owner, width, height)) < 0)
        return hr;
    hr = pDShowEvent->SetNotifyWindow(owner, kAppMessageBase + static_cast<uint32_t>(channel), 0);
    if (hr < 0)
        return OpenFailed("イベント通知設定に失敗しました", hr);
    m_nState = 2;
    m_bOpen = 1;
    return hr;
}

int KUDSHOWDATA::DShowOpen(KUSYSTEM* system, int channel, const char* name, plat::WindowHandle owner, int width,
                           int height) {
    // Checked before it is stored: an open channel keeps its own system.
    if (!system) {
        plat::DebugOut("Error: <KUDSHOWDATA::DShowOpen> KUSYSTEMクラスポインタが不正です\n");
        return -1;
    }
    m_pKUSys = system;
    if (!name) {
        Log("Error", "DShowOpen", "ファイル名が設定されていません");
        return -1;
    }
    if (m_bOpen) {
        const int r = DShowClose(channel);
        m_pKUSys = system;
        if (r < 0) {
            Log("Error", "DShowOpen", "呼び出したKUDSHOWDATA::DShowCloseが失敗しました");
            return r;
        }
    }
    const char* archive = nullptr;
    if (!ArchiveOfChannel(channel, &archive))
        return -1;
    // The path (with "tmp/" for an extracted copy) must fit its buffer.
    const size_t nameLen = std::strlen(name);
    if (nameLen == 0 || nameLen + (archive ? sizeof(kTempFolder) - 1 : 0) >= sizeof(m_szPath)) {
        Log("Error", "DShowOpen", "ファイル名が設定されていません");
        return -1;
    }
    if (archive && !ExtractMember(&archive, name))
        return -1;
    m_hOwner = owner;
    std::memset(m_szPath, 0, sizeof(m_szPath));
    snprintf(m_szPath, sizeof(m_szPath), "%s%s", archive ? kTempFolder : "", name);
    m_bDeleteOnClose = archive ? 1 : 0;
    m_pArchive = archive;
    m_bCopyLost = 0;
    return BuildGraph(channel, owner, width, height);
}

int KUDSHOWDATA::DShowClose(int channel) {
    if (!m_bOpen)
        return 1;
    if (m_nState == 1 || m_nState == 3) {
        const int r = DShowStop();
        if (r < 0) {
            Log("Error", "DShowClose", "呼び出したKUDSHOWDATA::DShowStopが失敗しました");
            return r;
        }
    }
    if ((m_dwMediaFlags & KUDSHOW_MEDIA_VIDEO) && pVideoWindow) {
        const int32_t hr = pVideoWindow->PutVisible(false);
        if (hr < 0) {
            Log("Error", "DShowClose", "put_Visibleが失敗しました");
            return hr;
        }
        pVideoWindow->SetWindowForeground(false);
    }
    ReleaseGraph();
    // A movie (channel 2) plays its own file, which is never deleted.
    if (channel != 2)
        RemoveExtractedCopy();
    m_bDeleteOnClose = 0;
    m_pArchive = nullptr;
    Log("Message", "DShowClose", "各種データのリリース終了");
    m_nState = 0;
    m_bOpen = 0;
    m_pKUSys = nullptr;
    return 0;
}

int KUDSHOWDATA::RunWithRetry(const char* method) {
    int32_t hr = 0;
    for (int i = 0; i < 10; ++i) {
        hr = pDShowMCtrl->Run();
        if (hr >= 0)
            return hr;
        if (i < 9) {
            Log("Error", method, "再生に失敗しました");
            ErrorPrint("……再試行します\n");
            plat::SleepMs(100);
        }
    }
    Log("Error", method, "再生に失敗しました");
    return hr;
}

int KUDSHOWDATA::DShowPlayEx(int repeat, int64_t start, int64_t stop) {
    if (!m_bOpen) {
        Log("Error", "DShowPlayEx", "データが開けていません");
        return -1;
    }
    if (!pDShowMCtrl) {
        Log("Error", "DShowPlayEx", "メディアコントロールオブジェクトが失われています");
        return -1;
    }
    int32_t hr = 0;
    if (m_dwMediaFlags & KUDSHOW_MEDIA_VIDEO) {
        if ((hr = pVideoWindow->PutOwner(m_hOwner)) < 0) {
            Log("Error", "DShowPlayEx", "オーナーウィンドウ設定に失敗しました");
            return hr;
        }
        if ((hr = pVideoWindow->PutWindowState(kShow)) < 0) {
            Log("Error", "DShowPlayEx", "ウィンドウ状態の設定に失敗しました");
            return hr;
        }
        if ((hr = pVideoWindow->PutVisible(true)) < 0) {
            Log("Error", "DShowPlayEx", "ウィンドウの表示に失敗しました");
            return hr;
        }
        if ((hr = pVideoWindow->SetWindowForeground(true)) < 0) {
            Log("Error", "DShowPlayEx", "フォーカスの設定に失敗しました");
            return hr;
        }
    }
    m_nRepeat = repeat;
    m_llStart = start;
    m_llSeekPoint = start;
    m_llStop = stop;
    if (start != 0 || stop != 0) {
        // A stop of 0 or less plays to the end (the graph reads it so), so a
        // start without a stop does not end the play at once.
        hr = SeekOrExtractAgain("DShowPlayEx", &m_llStart, &m_llStop);
        if (hr < 0) {
            Log("Error", "DShowPlayEx", "位置設定に失敗しました");
            return hr;
        }
    }
    hr = RunWithRetry("DShowPlayEx");
    if (hr < 0)
        return hr;
    m_nState = 1;
    const int r = DShowSetVolume(m_nVolume);
    m_dwPlayStartTime = plat::TimeMs();
    if (r < 0) {
        Log("Error", "DShowPlayEx", "呼び出したKUDSHOWDATA::DShowSetVolumeが失敗しました");
        return 1;
    }
    return r;
}

int KUDSHOWDATA::DShowPlay() {
    const int r = DShowPlayEx(0, 0, 0);
    if (r < 0)
        Log("Error", "DShowPlay", "呼び出したKUDSHOWDATA::DShowPlayExが失敗しました");
    return r;
}

int KUDSHOWDATA::DShowStop() {
    if (!m_bOpen)
        return 0;
    if (!pDShowMCtrl) {
        Log("Error", "DShowStop", "メディアコントロールオブジェクトが失われています");
        return -1;
    }
    if (!pDShowSeek) {
        Log("Error", "DShowStop", "シークオブジェクトが失われています");
        return -1;
    }
    if (m_nState == 2) {
        Log("Warn", "DShowStop", "既に停止されています");
        return 1;
    }
    // Held throughout: the video branch plays and stops again, and no sound
    // of that may reach the output.
    auto lock = plat::AudioMixer::Get().Lock();
    auto stopAndRewind = [this]() -> int32_t {
        int32_t hr = pDShowMCtrl->Stop();
        if (hr < 0) {
            Log("Error", "DShowStop", "停止に失敗しました");
            return hr;
        }
        m_nState = 2;
        m_llSeekPoint = 0;
        hr = SeekOrExtractAgain("DShowStop", &m_llSeekPoint, nullptr);
        if (hr < 0)
            Log("Error", "DShowStop", "シークの初期化に失敗しました");
        return hr;
    };
    int32_t hr = stopAndRewind();
    if (hr < 0 || !(m_dwMediaFlags & KUDSHOW_MEDIA_VIDEO))
        return hr;
    DShowPlay();
    if ((hr = stopAndRewind()) < 0)
        return hr;
    if ((hr = pVideoWindow->PutWindowState(kHide)) < 0) {
        Log("Error", "DShowStop", "ウィンドウ状態の設定に失敗しました");
        return hr;
    }
    if ((hr = pVideoWindow->PutVisible(false)) < 0) {
        Log("Error", "DShowStop", "ウィンドウの非表示に失敗しました");
        return hr;
    }
    if ((hr = pVideoWindow->SetWindowForeground(false)) < 0) {
        Log("Error", "DShowStop", "フォーカス設定に失敗しました");
        return hr;
    }
    return hr;
}

int KUDSHOWDATA::DShowPause() {
    if (!m_bOpen) {
        Log("Error", "DShowPause", "データが開けていません");
        return -1;
    }
    if (!pDShowMCtrl) {
        Log("Error", "DShowPause", "メディアコントロールオブジェクトが失われています");
        return -1;
    }
    if (!pDShowSeek) {
        Log("Error", "DShowPause", "シークオブジェクトが失われています");
        return -1;
    }
    if (m_nState == 1) {
        int32_t hr = pDShowMCtrl->Pause();
        if (hr < 0) {
            Log("Error", "DShowPause", "一時停止に失敗しました");
            return hr;
        }
        m_nState = 3;
        // The stop output goes to a local: the stored stop position stays.
        int64_t stopOut = 0;
        hr = pDShowSeek->GetPositions(&m_llSeekPoint, &stopOut);
        if (hr < 0)
            Log("Error", "DShowPause", "シーク位置の取得に失敗しました");
        return hr;
    }
    const int32_t hr = RunWithRetry("DShowPause");
    if (hr < 0)
        return hr;
    m_nState = 1;
    return hr;
}

int KUDSHOWDATA::DShowGetLength(int64_t* length) {
    if (!m_bOpen) {
        Log("Error", "DShowGetLength", "データが開けていません");
        return -1;
    }
    if (!pDShowSeek) {
        Log("Error", "DShowGetLength", "KUDSHOWDATA::pDShowSeekが失われています");
        return -1;
    }
    int64_t d = 0;
    if (!length || pDShowSeek->GetDuration(&d) < 0) {
        Log("Error", "DShowGetLength", "データの長さ取得に失敗しました");
        return -1;
    }
    *length = d;
    return 0;
}

int KUDSHOWDATA::DShowSetVolume(int volume) {
    if (!m_bOpen) {
        m_nVolume = volume;
        return 1;
    }
    if (!pDShowGraph) {
        Log("Error", "DShowSetVolume", "KUDSHOWDATA::pDShowGraphが失われています");
        return -1;
    }
    if (!pBasicAudio) {
        Log("Error", "DShowSetVolume", "オーディオ操作オブジェクトが失われています");
        return -1;
    }
    if (!(m_dwMediaFlags & KUDSHOW_MEDIA_AUDIO)) {
        Log("Warn", "DShowSetVolume", "オーディオメディアではありません");
        return 1;
    }
    if (volume > 0 || volume < -10000) {
        Log("Warn", "DShowSetVolume", "ボリュームの設定範囲限界を超えています。最も近い設定可能な値に修正します");
        volume = volume > 0 ? 0 : -10000;
    }
    int32_t hr = 0;
    bool matched = false;
    for (int i = 0; i < 10 && !matched; ++i) {
        hr = pBasicAudio->PutVolume(volume);
        if (hr < 0) {
            Log("Error", "DShowSetVolume", "音量設定に失敗しました");
            return hr;
        }
        int readBack = 0;
        hr = pBasicAudio->GetVolume(&readBack);
        if (hr < 0) {
            Log("Error", "DShowSetVolume", "音量取得に失敗しました");
            return hr;
        }
        matched = readBack == volume;
    }
    if (!matched)
        Log("Error", "DShowSetVolume", "10回の音量設定全てに失敗しました");
    m_nVolume = volume;
    return hr;
}

int KUDSHOWDATA::DShowGetVolume(int* volume) {
    if (!m_bOpen)
        return -1;
    if (!pDShowGraph) {
        Log("Error", "DShowGetVolume", "KUDSHOWDATA::pDShowGraphが失われています");
        return -1;
    }
    if (!pBasicAudio) {
        Log("Error", "DShowGetVolume", "オーディオ操作オブジェクトが失われています");
        return -1;
    }
    if (!(m_dwMediaFlags & KUDSHOW_MEDIA_AUDIO)) {
        Log("Warn", "DShowGetVolume", "オーディオメディアではありません");
        return 1;
    }
    const int32_t hr = pBasicAudio->GetVolume(volume);
    if (hr < 0)
        Log("Error", "DShowGetVolume", "音量設定に失敗しました");
    return hr;
}

int KUDSHOWDATA::DShowGetStatus(int* status) {
    if (!m_bOpen)
        return 1;
    if (!pDShowGraph) {
        Log("Error", "DShowGetStatus", "KUDSHOWDATA::pDShowGraphの値が失われています");
        return -1;
    }
    if (!pDShowMCtrl) {
        Log("Error", "DShowGetStatus", "KUDSHOWDATA::pDShowMCtrlの値が失われています");
        return -1;
    }
    int s = 0;
    const int32_t hr = pDShowMCtrl->GetState(250, &s);
    if (hr == plat::kMediaCantCue) {
        if (status)
            *status = 3;
        return hr;
    }
    if (hr < 0) {
        Log("Error", "DShowGetStatus", "状態取得に失敗しました");
        return hr;
    }
    if (status) {
        switch (s) {
            case plat::kGraphStopped: *status = 2; break;
            case plat::kGraphPaused: *status = 3; break;
            case plat::kGraphRunning: *status = 1; break;
            default: *status = 5; break;
        }
    }
    return hr;
}

int KUDSHOWDATA::DShowChangeSize(int requireOpen, int width, int height) {
    if (requireOpen && !m_bOpen)
        return -1;
    if (!(m_dwMediaFlags & KUDSHOW_MEDIA_VIDEO))
        return -1;
    if (!pVideoWindow) {
        Log("Error", "DShowChangeSize", "ビデオウィンドウオブジェクトが失われています");
        return -1;
    }
    if (!pBasicVideo) {
        Log("Error", "DShowChangeSize", "ビデオ操作オブジェクトが失われています");
        return -1;
    }
    bool fullScreen = false;
    int32_t hr = pVideoWindow->GetFullScreenMode(&fullScreen);
    if (hr < 0) {
        Log("Error", "DShowChangeSize", "スクリーン状態取得に失敗しました");
        return hr;
    }
    const bool wantFull = width < 0 || height < 0;
    if (wantFull) {
        if (fullScreen) {
            Log("Warn", "DShowChangeSize", "既にフルスクリーンです");
            return 1;
        }
        if ((hr = pVideoWindow->GetMessageDrain(&m_hSavedDrain)) < 0) {
            Log("Error", "DShowChangeSize", "IVIDEOWINDOW::get_MessageDrainが失敗しました");
            return hr;
        }
        if ((hr = pVideoWindow->PutMessageDrain(m_hOwner)) < 0) {
            Log("Error", "DShowChangeSize", "IVIDEOWINDOW::put_MessageDrainが失敗しました");
            return hr;
        }
        hr = pVideoWindow->PutFullScreenMode(true);
        if (hr >= 0)
            return hr;
        Log("Error", "DShowChangeSize", "フルスクリーン設定に失敗しました");
        if (pVideoWindow->PutMessageDrain(m_hSavedDrain) < 0)
            Log("Error", "DShowChangeSize", "メッセージ受け取り先の復帰に失敗しました");
        return hr;
    }
    if (fullScreen) {
        if ((hr = pVideoWindow->PutFullScreenMode(false)) < 0) {
            Log("Error", "DShowChangeSize", "フルスクリーン設定に失敗しました");
            return hr;
        }
        if ((hr = pVideoWindow->PutMessageDrain(m_hSavedDrain)) < 0) {
            Log("Error", "DShowChangeSize", "IVIDEOWINDOW::put_MessageDrainが失敗しました");
            return hr;
        }
    }
    if (width == kNativeSize || height == kNativeSize) {
        int w = 0;
        int h = 0;
        if ((hr = pBasicVideo->GetVideoSize(&w, &h)) < 0) {
            Log("Error", "DShowChangeSize", "ムービーサイズの取得に失敗しました");
            return hr;
        }
        m_nWidth = width != kNativeSize ? width : w;
        m_nHeight = height != kNativeSize ? height : h;
    }
    if (pVideoWindow->SetWindowForeground(true) < 0)
        Log("Error", "DShowChangeSize", "フォーカスセットに失敗しました");
    const int w = width == kNativeSize ? m_nWidth : width;
    const int h = height == kNativeSize ? m_nHeight : height;
    hr = pVideoWindow->SetWindowPosition(0, 0, w, h);
    if (hr < 0)
        Log("Error", "DShowChangeSize", "クライアント領域指定に失敗しました");
    return hr;
}

int KUDSHOWDATA::DShowGetSeekPointOperation(int64_t* position) {
    if (!m_bOpen || !pDShowSeek)
        return -1;
    int64_t stopOut = 0;
    int64_t pos = 0;
    const int32_t hr = pDShowSeek->GetPositions(&pos, &stopOut);
    if (hr >= 0) {
        if (position)
            *position = pos;
        m_llSeekPoint = pos;
    } else {
        Log("Error", "DShowGetSeekPointOperation", "シーク位置の取得に失敗しました");
    }
    return hr;
}

int KUDSHOWDATA::DShowEventNotify() {
    if (!m_bOpen) {
        Log("Error", "DShowEventNotify", "メディアが開けていません");
        return -1;
    }
    if (!pDShowMCtrl) {
        Log("Error", "DShowEventNotify", "KUDSHOWDATA::pDShowMCtrlの値が失われています");
        return -1;
    }
    if (!pDShowEvent) {
        Log("Error", "DShowEventNotify", "KUDSHOWDATA::pDShowEventの値が失われています");
        return -1;
    }
    if (!pDShowSeek) {
        Log("Error", "DShowEventNotify", "KUDSHOWDATA::pSeekの値が失われています");
        return -1;
    }
    // Held so the rewind and a following stop sound as one step.
    auto lock = plat::AudioMixer::Get().Lock();
    for (;;) {
        int32_t code = 0;
        intptr_t p1 = 0;
        intptr_t p2 = 0;
        if (pDShowEvent->GetEvent(&code, &p1, &p2, 0) != plat::kMediaOk)
            return 1;
        if (code != plat::kMediaEventComplete)
            continue;
        m_llSeekPoint = 0;
        // No stop position given: it stays as it is (S_OK), and step 4 replays
        // or stops.
        if (SeekOrExtractAgain("DShowEventNotify", &m_llSeekPoint, nullptr) != plat::kMediaOk) {
            const int r = DShowStop();
            if (r < 0) {
                Log("Error", "DShowEventNotify", "呼び出したKUDSHOWDATA::DSHOWStopが失敗しました");
                return r;
            }
        }
        if (m_nRepeat == -2) {
            DShowPlayEx(-2, m_llStart, m_llStop);
        } else {
            m_nRepeat -= 1;
            if (m_nRepeat >= 0) {
                DShowPlayEx(m_nRepeat, m_llStart, m_llStop);
            } else {
                m_nRepeat = 0;
                DShowStop();
            }
        }
        if (!m_bOpen || !pDShowEvent)
            return 1;
    }
}

int KUDSHOWDATA::DShowRegObjTbl() {
    // There is no running-object table here.
    Log("Error", "DShowRegObjTbl", "オブジェクト取得に失敗しました");
    return 0;
}

int KUDSHOWDATA::DShowReleaseObjTbl() {
    if (m_dwRegister != 0) {
        Log("Error", "DShowReleaseObjTbl", "オブジェクトテーブル取得に失敗しました");
        return 0;
    }
    m_dwRegister = 0;
    return 1;
}
