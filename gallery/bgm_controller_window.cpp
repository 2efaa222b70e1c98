#include "gallery/bgm_controller_window.h"

#include "engine/kusystem.h"
#include "game/shell_services.h"
#include "modes/mode_common.h"
#include "sound/kusnd.h"

BGM_CONTROLLER_WINDOW::BGM_CONTROLLER_WINDOW() : GALLERY_BAR("BGM_CONTROLLER_WINDOW") {}

bool BGM_CONTROLLER_WINDOW::MusicRunning() const {
    // A closed channel leaves the status alone: preset it to neither state.
    int status = 0;
    if (!m_pKUSnd || m_pKUSnd->DShowGetStatus(1, &status) < 0)
        return false;
    return status == 1;
}

int BGM_CONTROLLER_WINDOW::MainProc(int* action, int* row, const char* const* trackFiles) {
    const int start = FrameStart(action, row);
    if (start <= 0)
        return start < 0 ? 1 : 0;
    const int click = modes::ClickState(m_pKUSys);
    int hovered = 0;
    const bool running = MusicRunning();
    auto play = [&](int r) {
        if (r >= 1 && r <= kTracks && trackFiles && trackFiles[r - 1])
            BGM_DS_Play(m_pKUSnd, m_pKUSys, 0, trackFiles[r - 1]);
    };
    bool held = false;
    // play
    CTRL_WND_OBJ& playButton = m_Button[kPlay];
    if (playButton.m_bInit) {
        if (*row == 0)
            playButton.m_nState = CTRL_WND_OBJ::kDisabled;
        else if (running)
            playButton.m_nState = CTRL_WND_OBJ::kPressed;
        else if (Step(kPlay, 'P', 0, click, &hovered, action, true, &held)) {
            playButton.m_nState = CTRL_WND_OBJ::kNormal;
            play(*row);
        }
    }
    // stop
    CTRL_WND_OBJ& stopButton = m_Button[kStop];
    if (stopButton.m_bInit) {
        if (*row == 0 || !running)
            stopButton.m_nState = CTRL_WND_OBJ::kDisabled;
        else if (Step(kStop, 'S', 0, click, &hovered, action, true, &held)) {
            BGM_DS_Stop(m_pKUSnd, m_pKUSys);
            stopButton.m_nState = CTRL_WND_OBJ::kDisabled;
            if (playButton.m_bInit)
                playButton.m_nState = CTRL_WND_OBJ::kNormal;
        }
    }
    // NEXT and BACK stay within the rows: past the last track (or from the
    // movie row) comes the first, before the first the last.
    for (int button : {kNext, kBack}) {
        CTRL_WND_OBJ& b = m_Button[button];
        if (!b.m_bInit)
            continue;
        if (*row == 0) {
            b.m_nState = CTRL_WND_OBJ::kDisabled;
            continue;
        }
        if (!Step(button, button == kNext ? 'N' : 'B', 0, click, &hovered, action, true, &held))
            continue;
        if (button == kNext)
            *row = *row + 1 >= kMovieRow ? 1 : *row + 1;
        else
            *row = *row - 1 <= 0 ? kTracks : *row - 1;
        if (running && *row != kMovieRow)
            play(*row);
        b.m_nState = CTRL_WND_OBJ::kHover;
    }
    VolumeButtons(click, &hovered, action, kSePush);
    EndFrame(hovered, kSeHover);
    return 1;
}

int BGM_CONTROLLER_WINDOW::SetDefaultButtonStatus(const int* load, const int* save, const int* config, const int* play,
                                                  const int* back, const int* next, const int* stop, const int* hide,
                                                  const int* volumeUp, const int* volumeDown) {
    if (!m_bInit) {
        Log("SetDefaultButtonStatus", "初期化されていません");
        return 0;
    }
    const int* given[kButtonCount] = {load, save, config, play, back, next, stop, hide, volumeUp, volumeDown};
    for (int i = 0; i < kButtonCount; ++i) {
        if (!given[i] || !m_Button[i].m_bInit)
            continue;
        if (i == kVolumeUp || i == kVolumeDown)
            m_Button[i].m_nState = VolumeLook(i, *given[i]);
        else if (i == kPlay && *given[i])
            m_Button[i].m_nState = MusicRunning() ? CTRL_WND_OBJ::kPressed : CTRL_WND_OBJ::kNormal;
        else
            m_Button[i].m_nState = *given[i] ? CTRL_WND_OBJ::kNormal : CTRL_WND_OBJ::kDisabled;
    }
    return 1;
}

int BGM_CONTROLLER_WINDOW::SetDefaultButtonStatus(int track) {
    const int on = 1, playOn = track >= 1 && track <= kTracks ? 1 : 0, stopOn = MusicRunning() ? 1 : 0;
    return SetDefaultButtonStatus(&on, &on, &on, &playOn, &on, &on, &stopOn, &on, &on, &on);
}
