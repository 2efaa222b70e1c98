#include <cstdio>
#include <string>

#include "platform/mci_media.h"
#include "sound/kusnd.h"
#include "sound/sound_log.h"

namespace {

void Log(KUSYSTEM* sys, const char* method, const char* text) {
    std::string tag = "KUSND::";
    tag += method;
    snd::LogLine(sys, "Error", tag.c_str(), text);
}

} // namespace

// The video window is a player whose pictures the movie screen draws inside
// the game window; it exists from AVIInit to AVIRelease.

int KUSND::AVIReady(const char* method) {
    if (m_bInit)
        return 1;
    Log(m_pKUSys, method, "KUSND::Initializeの処理を終えずに呼び出されました");
    return 0;
}

int KUSND::AVIInit() {
    if (!m_hWnd) {
        Log(m_pKUSys, "AVIInit", "AVI用MCIウィンドウの作成に失敗しました");
        return 0;
    }
    AVIRelease();
    m_hAVIWnd = new plat::MciMedia();
    return 1;
}

void KUSND::AVIRelease() {
    delete m_hAVIWnd;
    m_hAVIWnd = nullptr;
    m_nAVILength = 0;
}

int KUSND::AVIOpen(const char* file, int x, int y, int width, int height) {
    const char* m = "AVIOpen";
    if (!AVIReady(m))
        return 0;
    if (!m_hAVIWnd || !file) {
        Log(m_pKUSys, m, "AVIファイルのオープンに失敗しました");
        return 0;
    }
    if (!AVIClose()) {
        Log(m_pKUSys, m, "AVIファイルのクローズに失敗しました");
        return 0;
    }
    if (!m_hAVIWnd->Open(file, false) || !m_hAVIWnd->HasVideo()) {
        m_hAVIWnd->Close();
        Log(m_pKUSys, m, "AVIファイルのオープンに失敗しました");
        return 0;
    }
    if (!m_hAVIWnd->Show(m_hWnd, x, y, width, height)) {
        Log(m_pKUSys, m, "AVIファイルの位置/サイズ変更に失敗しました");
        return 0;
    }
    uint32_t length = 0;
    m_hAVIWnd->LengthMs(&length);
    m_nAVILength = static_cast<int>(length);
    return 1;
}

int KUSND::AVIClose() {
    if (!AVIReady("AVIClose"))
        return 0;
    if (!AVIStop()) {
        Log(m_pKUSys, "AVIClose", "AVIの停止に失敗しました");
        return 0;
    }
    m_hAVIWnd->Close();
    m_nAVILength = 0;
    return 1;
}

int KUSND::AVIPlay() {
    if (!AVIReady("AVIPlay"))
        return 0;
    // From where it stands; a movie at its end starts over.
    const bool ok =
        m_hAVIWnd && m_hAVIWnd->IsOpen() && (m_hAVIWnd->Ended() ? m_hAVIWnd->Play(0, 0) : m_hAVIWnd->Resume());
    if (!ok) {
        Log(m_pKUSys, "AVIPlay", "AVIの再生に失敗しました");
        return 0;
    }
    return 1;
}

int KUSND::AVIStop() {
    if (!AVIReady("AVIStop"))
        return 0;
    // Nothing open is nothing to stop.
    if (!m_hAVIWnd || (m_hAVIWnd->IsOpen() && !m_hAVIWnd->Stop())) {
        Log(m_pKUSys, "AVIStop", "AVIファイル停止に失敗しました");
        return 0;
    }
    return 1;
}

int KUSND::AVIPause() {
    if (!AVIReady("AVIPause"))
        return 0;
    if (!m_hAVIWnd || !m_hAVIWnd->Pause()) {
        Log(m_pKUSys, "AVIPause", "AVIの一時停止に失敗しました");
        return 0;
    }
    return 1;
}

int KUSND::AVIRePlay() {
    if (!AVIReady("AVIRePlay"))
        return 0;
    if (!m_hAVIWnd || !m_hAVIWnd->Resume()) {
        Log(m_pKUSys, "AVIRePlay", "AVIの一時停止解除に失敗しました");
        return 0;
    }
    return 1;
}

int KUSND::AVIIsEnd() {
    uint32_t position = 0;
    if (m_hAVIWnd)
        m_hAVIWnd->PositionMs(&position);
    const int pos = static_cast<int>(position);
    if (m_nAVILength != 0 && pos >= m_nAVILength)
        return 1;
    if (m_nAVILength <= pos) {
        char line[96];
        std::snprintf(line, sizeof(line), "AVI Size:\t%d\nNow Pos:\t%d\n", m_nAVILength, pos);
        ErrorPrint(line);
    }
    return 0;
}
