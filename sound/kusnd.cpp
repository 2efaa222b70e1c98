#include "sound/kusnd.h"

#include <cstring>
#include <string>

#include "engine/kusystem.h"
#include "platform/audio_performance.h"
#include "platform/debug_out.h"
#include "platform/files.h"
#include "sound/sound_log.h"

namespace {

void Err(KUSYSTEM* sys, const char* method, const char* text) {
    std::string tag = "KUSND::";
    tag += method;
    snd::LogLine(sys, "Error", tag.c_str(), text);
}

} // namespace

KUSND::KUSND()
    : m_pKUSys(nullptr),
      m_bCom(0),
      m_hWnd(nullptr),
      m_hInst(nullptr),
      m_pDAData(nullptr),
      m_pMMData(nullptr),
      m_pCDTrack(nullptr),
      m_dwDADataNum(0),
      m_dwMMDataNum(0),
      m_dwCDTrackNum(0),
      m_bInit(0),
      m_bDADataReserve(0),
      m_bMMDataReserve(0),
      m_dwWindowStyle(0),
      m_pPerformance(nullptr),
      m_pLoader(nullptr),
      m_pDefaultPath(nullptr),
      m_pVoicePath(nullptr),
      m_pBGMPath(nullptr),
      m_pSEPath(nullptr),
      m_pDefaultBuffer(nullptr),
      m_pDSound(nullptr),
      m_nMasterVolume(0),
      m_nDefaultPathVolume(0),
      m_nVoiceVolume(0),
      m_nBGMVolume(0),
      m_nSEVolume(0),
      m_hAVIWnd(nullptr),
      m_nAVILength(0) {}

KUSND::~KUSND() { Release(); }

void KUSND::ErrorPrint(const char* text) {
    if (!text)
        return;
    snd::LogRaw(m_pKUSys, text);
}

plat::SoundPath* KUSND::GetAudioPath(int soundType) const {
    switch (soundType) {
        case 0: return m_pVoicePath;
        case 1: return m_pBGMPath;
        case 2: return m_pSEPath;
        default: return nullptr;
    }
}

plat::SoundPath** KUSND::PathField(int soundType) {
    switch (soundType) {
        case 0: return &m_pVoicePath;
        case 1: return &m_pBGMPath;
        case 2: return &m_pSEPath;
        default: return nullptr;
    }
}

int KUSND::Initialize(KUSYSTEM* system, plat::WindowHandle window, void* instance, uint32_t windowStyle) {
    if (m_bInit) {
        ErrorPrint("Error: <KUSND::Initialize> KUSNDクラスは既に初期化済みです\n");
        return 0;
    }
    if (!window) {
        ErrorPrint("Error: <KUSND::Initialize> 引数のウィンドウハンドルが不正です\n");
        return -1;
    }
    if (!instance) {
        ErrorPrint("Error: <KUSND::Initialize> 引数のインスタンスハンドルが不正です\n");
        return -1;
    }
    if (!system) {
        ErrorPrint("Error: <KUSND::Initialize> KUSNDクラスポインタが不正です\n");
        return -1;
    }
    m_hWnd = window;
    m_hInst = instance;
    m_dwWindowStyle = windowStyle;
    m_pKUSys = system;
    // There is no component runtime to start here; the flag keeps the
    // once-per-object rule of the start-up.
    const int com = 0;
    if (!m_bCom)
        m_bCom = 1;
    if (DAudioInit() < 0) {
        ErrorPrint("Error: <KUSND::Initialize> 呼び出したKUSND::DAInitがエラーで終了しました\n");
        DARelease();
        return -1;
    }
    m_bInit = 1;
    return com;
}

int KUSND::DAudioInit() {
    const char* m = "DAudioInit";
    m_pPerformance = new plat::SoundPerformance();
    int32_t hr = m_pPerformance->InitAudio();
    if (hr < 0) {
        delete m_pPerformance;
        m_pPerformance = nullptr;
        Err(m_pKUSys, m, "DMusicパフォーマンスの初期化に失敗しました");
        return hr;
    }
    if ((hr = m_pPerformance->CreateStandardPath(&m_pDefaultPath)) < 0) {
        Err(m_pKUSys, m, "デフォルトのオーディオパス取得に失敗しました");
        return hr;
    }
    if (m_pDefaultPath->SetVolume(0) < 0)
        Err(m_pKUSys, m, "デフォルトオーディオパスの音量設定に失敗しました");

    if ((hr = m_pPerformance->CreateStandardPath(&m_pVoicePath)) < 0) {
        Err(m_pKUSys, m, "ボイスのオーディオパス取得に失敗しました");
        return hr;
    }
    if (m_pVoicePath->SetVolume(0) < 0)
        Err(m_pKUSys, m, "ボイスの音量設定に失敗しました");
    if ((hr = m_pPerformance->CreateStandardPath(&m_pBGMPath)) < 0) {
        Err(m_pKUSys, m, "BGMのオーディオパス取得に失敗しました");
        return hr;
    }
    if (m_pBGMPath->SetVolume(0) < 0)
        Err(m_pKUSys, m, "BGMの音量設定に失敗しました");
    if ((hr = m_pPerformance->CreateStandardPath(&m_pSEPath)) < 0) {
        Err(m_pKUSys, m, "SEのオーディオパス取得に失敗しました");
        return hr;
    }
    if ((hr = m_pSEPath->SetVolume(0)) < 0) {
        Err(m_pKUSys, m, "SEの音量設定に失敗しました");
        return hr;
    }
    // The default path's output stage is the path itself here.
    m_pDefaultBuffer = m_pDefaultPath;
    m_pLoader = new plat::SoundLoader();
    char cwd[260] = {};
    if (!plat::GetCurrentDir(cwd, sizeof(cwd))) {
        Err(m_pKUSys, m, "カレントディレクトリの取得に失敗しました");
        cwd[0] = '\0';
    }
    if (m_pLoader->SetSearchDirectory(cwd) < 0) {
        Err(m_pKUSys, m, "検索パスの設定に失敗しました");
        return plat::kSoundFail;
    }
    return 0;
}

int KUSND::Release() {
    const char* m = "Release";
    for (int ch = 0; ch < kChannelCount; ++ch) {
        // Each with its own number: 0 and 1 delete their copies, 2 does not.
        if (m_DShow[ch].DShowClose(ch) < 0)
            Err(m_pKUSys, m, "呼び出したKUSND::DShowCloseが失敗しました");
    }
    const int result = DARelease();
    if (result < 0)
        Err(m_pKUSys, m, "呼び出したKUSND::DSReleaseが失敗しました");
    if (MCIClose() == 0)
        Err(m_pKUSys, m, "呼び出したKUSND::MCICloseが失敗しました");
    for (unsigned int i = 0; i < m_dwMMDataNum && m_pMMData; ++i) {
        if (MMClose(static_cast<int>(i)) == 0)
            Err(m_pKUSys, m, "呼び出したKUSND::MMCloseが失敗しました");
    }
    MMDATARelease();
    AVIRelease();
    if (m_bCom)
        m_bCom = 0;
    m_pKUSys = nullptr;
    m_bInit = 0;
    return result;
}
