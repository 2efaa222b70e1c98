#include <cstring>
#include <new>
#include <string>

#include "engine/combine_file.h"
#include "engine/game_paths.h"
#include "engine/kusystem.h"
#include "platform/debug_out.h"
#include "platform/mci_media.h"
#include "platform/sjis.h"
#include "sound/kummdata.h"
#include "sound/kusnd.h"
#include "sound/sound_log.h"

namespace {

// A video slot shows its pictures over the whole game area, as the movie
// channel does.
constexpr int kVideoWidth = 800;
constexpr int kVideoHeight = 600;

bool IsVideoType(int type) { return type == KUMM_TYPE_MPEG || type == KUMM_TYPE_MPEG2 || type == KUMM_TYPE_AVI; }

// Where a media member is looked for, in this order.
constexpr const char* kMediaArchives[] = {kBgmArchive, kVoiceArchive, kSeArchive, kMediaArchive};

void Log(KUSYSTEM* sys, const char* kind, const char* method, const char* text) {
    std::string tag = "KUSND::";
    tag += method;
    snd::LogLine(sys, kind, tag.c_str(), text);
}

// The file-name part of a slot's path: what its archive member is called and
// what its copy in "tmp/" is called.
std::string MemberName(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (plat::IsSjisLeadByte(static_cast<uint8_t>(*p)) && p[1]) {
            ++p; // a trail byte may look like a separator
        } else if (*p == '/' || *p == '\\') {
            name = p + 1;
        }
    }
    return name;
}

} // namespace

bool KUSND::MMSlotOk(const char* method, int slot) {
    if (!m_pMMData) {
        Log(m_pKUSys, "Warn", method, "マルチメディアデータを確保していません");
        return false;
    }
    if (slot < 0 || static_cast<unsigned int>(slot) >= m_dwMMDataNum) {
        Log(m_pKUSys, "Error", method, "インデックス番号が不正です");
        return false;
    }
    return true;
}

const KUMMDATA* KUSND::MMSlot(int slot) const {
    if (!m_pMMData || slot < 0 || static_cast<unsigned int>(slot) >= m_dwMMDataNum)
        return nullptr;
    return &m_pMMData[slot];
}

int KUSND::MMDATAReserve(unsigned int count) {
    const char* m = "MMDATAReserve";
    if (count == 0) {
        Log(m_pKUSys, "Error", m, "引数に0が渡されました");
        return 0;
    }
    if (m_bMMDataReserve) {
        Log(m_pKUSys, "Warn", m, "既にセットされています");
        return 1;
    }
    m_pMMData = new (std::nothrow) KUMMDATA[count];
    if (!m_pMMData) {
        Log(m_pKUSys, "Error", m, "マルチメディアデータの確保に失敗しました");
        return 0;
    }
    m_dwMMDataNum = count;
    m_bMMDataReserve = 1;
    return 1;
}

void KUSND::MMDATARelease() {
    delete[] m_pMMData;
    m_pMMData = nullptr;
    m_dwMMDataNum = 0;
    m_bMMDataReserve = 0;
}

int KUSND::MMSetData(int slot, const char* path, int type) {
    const char* m = "MMSetData";
    if (!MMSlotOk(m, slot))
        return 0;
    if (!path || std::strlen(path) >= KUMMDATA::kPathSize) {
        Log(m_pKUSys, "Error", m, "ファイル名が不正です");
        return 0;
    }
    if (type < KUMM_TYPE_MPEG || type > KUMM_TYPE_AVI) {
        Log(m_pKUSys, "Error", m, "ファイルタイプが不正です");
        return 0;
    }
    m_pMMData[slot].SetData(path, type);
    return 1;
}

int KUSND::MMOpen(int slot, int type, const char* path) {
    const char* m = "MMOpen";
    if (!m_pMMData) {
        Log(m_pKUSys, "Warn", m, "マルチメディアデータを確保していません");
        return 0;
    }
    if (!m_bInit) {
        Log(m_pKUSys, "Error", m, "KUSND::Initializeの処理を終えずに呼び出されました");
        return 0;
    }
    if (!MMSlotOk(m, slot))
        return 0;
    if (!m_pKUSys) {
        Log(m_pKUSys, "Error", m, "システムクラスが確保されていません");
        return 0;
    }
    KUMMDATA& d = m_pMMData[slot];
    // The copy in "tmp/" carries a "tmp/" prefix, so the path must fit with it.
    const char* newPath = path ? path : d.szPath;
    const size_t len = std::strlen(newPath);
    if (len == 0) {
        Log(m_pKUSys, "Error", m, "ファイル名が指定されていません");
        return 0;
    }
    if (len + sizeof(kTempFolder) - 1 >= KUMMDATA::kPathSize) {
        Log(m_pKUSys, "Error", m, "ファイル名が不正です");
        return 0;
    }
    const int newType = type == KUMM_TYPE_UNSET ? d.nMCIType : type;
    if (newType < KUMM_TYPE_MPEG || newType > KUMM_TYPE_AVI) {
        if (type == KUMM_TYPE_UNSET)
            plat::DebugOut("Error: <KUSND::MOpen> ファイルタイプが指定されていません\n");
        else
            Log(m_pKUSys, "Error", m, "ファイルタイプが指定されていません");
        return 0;
    }
    const std::string wanted = newPath;
    // The open slot goes first, so its own copy is the one removed.
    if (d.bOpen && !MMClose(slot))
        return 0;
    d.SetData(wanted.c_str(), newType);

    std::string file = d.szPath;
    std::string copy;
    if (wanted != kMediaArchive) {
        copy = MemberName(d.szPath);
        int found = 0;
        for (const char* archive : kMediaArchives) {
            const int r = FileDiv(archive, kTempFolder, copy.c_str());
            if (r == 1 || r == -1) {
                found = r;
                break;
            }
        }
        if (found != 1) {
            std::string text = found == -1 ? std::string("ファイルの複合に失敗しました")
                                           : std::string(kMediaArchive) + "内に" + copy + "が見つかりません";
            Log(m_pKUSys, "Error", m, text.c_str());
            return -1;
        }
        file = kTempFolder + copy;
    }
    auto* device = new plat::MciMedia();
    if (!device->Open(file, newType == KUMM_TYPE_WAVE)) {
        delete device;
        if (!copy.empty())
            m_pKUSys->RemoveFile(kTempFolder, copy.c_str(), 0);
        Log(m_pKUSys, "Error", m, "ファイルオープンに失敗しました");
        return 0;
    }
    d.pDevice = device;
    d.bOpen = 1;
    d.nState = KUMM_STATE_STOP;
    return 1;
}

int KUSND::MMClose(int slot) {
    const char* m = "MMClose";
    if (!MMSlotOk(m, slot))
        return 0;
    KUMMDATA& d = m_pMMData[slot];
    if (d.bOpen) {
        if ((d.nState == KUMM_STATE_PLAY || d.nState == KUMM_STATE_PAUSE) && !MMStop(slot))
            return 0;
        d.pDevice->Close();
        if (std::strcmp(d.szPath, kMediaArchive) != 0 && m_pKUSys)
            m_pKUSys->RemoveFile(kTempFolder, MemberName(d.szPath).c_str(), 0);
    }
    d.Reset();
    return 1;
}

int KUSND::MMPlay(int slot) {
    if (!MMSlotOk("MMPlay", slot))
        return 0;
    // A file that played to its end still counts as playing: nothing tells
    // the slot that it ended.
    if (m_pMMData[slot].nState == KUMM_STATE_PLAY) {
        Log(m_pKUSys, "Warn", "MMPlay", "既に再生中です");
        return 1;
    }
    return MMPlayEx(slot, 0, 0);
}

int KUSND::MMPlayEx(int slot, unsigned int from, unsigned int to) {
    const char* m = "MMPlayEx";
    if (!MMSlotOk(m, slot))
        return 0;
    KUMMDATA& d = m_pMMData[slot];
    if (!d.bOpen) {
        Log(m_pKUSys, "Error", m, "データを開いていません");
        return -1;
    }
    unsigned int length = 0;
    if (to == 0 && !MMGetLength(slot, &length))
        return 0;
    if (!d.pDevice->Play(from, to)) {
        Log(m_pKUSys, "Error", m, "再生に失敗しました");
        return 0;
    }
    // Shown until stopped or closed; a video played to its end stays on its
    // last picture, as the slot still counts as playing.
    if (IsVideoType(d.nMCIType) && d.pDevice->HasVideo())
        d.pDevice->Show(m_hWnd, 0, 0, kVideoWidth, kVideoHeight);
    d.nState = KUMM_STATE_PLAY;
    return 1;
}

int KUSND::MMStop(int slot) {
    const char* m = "MMStop";
    if (!MMSlotOk(m, slot))
        return 0;
    KUMMDATA& d = m_pMMData[slot];
    if (!d.bOpen)
        return 0;
    if (d.nState == KUMM_STATE_STOP) {
        Log(m_pKUSys, "Warn", m, "既に停止されています");
        return 1;
    }
    if (!d.pDevice->Stop()) {
        Log(m_pKUSys, "Error", m, "停止に失敗しました");
        return 0;
    }
    d.pDevice->Hide();
    d.nState = KUMM_STATE_STOP;
    return 1;
}

int KUSND::MMPause(int slot) {
    if (!MMSlotOk("MMPause", slot))
        return 0;
    KUMMDATA& d = m_pMMData[slot];
    if (!d.bOpen)
        return 0;
    if (d.nState == KUMM_STATE_PLAY) {
        if (!d.pDevice->Pause())
            return 0;
        d.nState = KUMM_STATE_PAUSE;
        return 1;
    }
    // A paused slot goes on from where it stopped; a stopped one starts over.
    if (d.nState == KUMM_STATE_PAUSE && d.pDevice->Resume()) {
        d.nState = KUMM_STATE_PLAY;
        return 1;
    }
    d.nState = KUMM_STATE_STOP;
    return MMPlay(slot) == 1 ? 1 : 0;
}

int KUSND::MMGetLength(int slot, unsigned int* length) {
    const char* m = "MMGetLength";
    if (length)
        *length = 0;
    if (!MMSlotOk(m, slot))
        return 0;
    KUMMDATA& d = m_pMMData[slot];
    if (!d.bOpen || !length)
        return 0;
    if (!d.pDevice->LengthMs(length)) {
        Log(m_pKUSys, "Error", m, "長さ取得に失敗しました");
        return 0;
    }
    return 1;
}
