#include "modes/save_item_data.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/game_paths.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/game_settings.h"
#include "modes/mode_common.h"
#include "platform/sjis.h"

namespace modes {

void ToFullWidth(const char* src, char* dest, int size) {
    if (!dest || size <= 0)
        return;
    int n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(src ? src : "");
    while (*p) {
        char piece[2];
        int len = 1;
        if (*p >= '0' && *p <= '9') {
            piece[0] = static_cast<char>(0x82);
            piece[1] = static_cast<char>(0x4F + (*p - '0'));
            len = 2;
            p += 1;
        } else if (*p == '-') {
            piece[0] = static_cast<char>(0x81); // "－"
            piece[1] = static_cast<char>(0x7C);
            len = 2;
            p += 1;
        } else if (plat::IsSjisLeadByte(*p) && p[1]) {
            piece[0] = static_cast<char>(p[0]);
            piece[1] = static_cast<char>(p[1]);
            len = 2;
            p += 2;
        } else {
            piece[0] = static_cast<char>(*p++);
        }
        if (n + len > size - 1)
            break;
        std::memcpy(dest + n, piece, static_cast<size_t>(len));
        n += len;
    }
    dest[n] = '\0';
}

bool SlotFilePath(int slot, char* path, int size) {
    if (slot < 1 || slot > SLOT_ITEM_DATA::kSlotCount)
        return false;
    return std::snprintf(path, static_cast<size_t>(size), "%ssav%02d.sav", kSaveFolder, slot) < size;
}

int ReadSlotLine(FILE* f, char* line, int size) {
    int n = 0;
    bool any = false;
    for (;;) {
        const int c = std::fgetc(f);
        if (c == EOF) {
            if (std::ferror(f))
                return -1;
            break;
        }
        any = true;
        if (c == '\n')
            break;
        if (n < size - 1)
            line[n++] = static_cast<char>(c);
    }
    if (n > 0 && line[n - 1] == '\r')
        --n;
    line[n] = '\0';
    return any ? 1 : 0;
}

bool ParseSlotInts(const char* line, int32_t* out, int count) {
    const char* p = line;
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        errno = 0;
        const long v = std::strtol(p, &end, 10);
        if (end == p || errno == ERANGE || v < INT_MIN || v > INT_MAX)
            return false;
        out[i] = static_cast<int32_t>(v);
        p = end;
    }
    return true;
}

} // namespace modes

SLOT_ITEM_DATA::SLOT_ITEM_DATA(bool load)
    : m_pKUSprite(nullptr), m_pKUSys(nullptr), m_bInit(0), m_nNumber(0), m_nTextSlot(-1), m_bLoadEntry(load) {
    Clear();
}

SLOT_ITEM_DATA::~SLOT_ITEM_DATA() { Clear(); }

void SLOT_ITEM_DATA::Error(const char* method, const char* text) const {
    const std::string tag = std::string(m_bLoadEntry ? "LOAD_ITEM_DATA::" : "SAVE_ITEM_DATA::") + method;
    modes::ErrorPrint(m_pKUSys, tag.c_str(), text);
}

void SLOT_ITEM_DATA::Clear() {
    m_bData = 0;
    m_fX = m_fY = 0.0f;
    m_rcSrc = m_rcHit = m_rcText = KURECT{0, 0, 0, 0};
    m_nEpisode = m_nScene = -1;
    m_Time = SLOT_TIME{};
    std::memset(m_szCaption, 0, sizeof(m_szCaption));
    if (m_nTextSlot != -1 && m_pKUSprite)
        m_pKUSprite->ReleaseTextureTextData(static_cast<uint32_t>(m_nTextSlot));
    m_nTextSlot = -1;
    m_fAlpha = 1.0f;
    m_pKUSprite = nullptr;
    m_pKUSys = nullptr;
    m_bInit = 0;
}

int SLOT_ITEM_DATA::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, int number) {
    Clear();
    if (!sys) {
        Error("Initialize", "KUSYSTEMクラスポインタの引数が不正です");
        return 0;
    }
    m_pKUSys = sys;
    if (!sprite) {
        Error("Initialize", "KUSPRITE2クラスポインタの引数が不正です");
        return 0;
    }
    // Numbers below 1 would place the entry off its columns and index no file.
    if (number < 1 || number > kSlotCount) {
        Error("Initialize", m_bLoadEntry ? "ロード項目数が不正です" : "セーブ項目数が不正です");
        return 0;
    }
    m_pKUSprite = sprite;
    m_nNumber = number;
    const int row = (number - 1) % 15;
    const int left = number <= 15 ? 4 : 316;
    const int top = row * 36 + 55;
    m_fX = static_cast<float>(left);
    m_fY = static_cast<float>(top);
    m_rcHit = KURECT{left, top, left + 304, top + 36};
    m_rcText = KURECT{left + 6, top + 9, left + 298, top + 33};
    // The material holds the frames in columns of ten.
    const int q = (number - 1) / 10, s = (number - 1) % 10;
    m_rcSrc = KURECT{q * 304, s * 36, q * 304 + 304, s * 36 + 36};
    m_bInit = 1;
    return 1;
}

int SLOT_ITEM_DATA::DataSet(uint32_t textSlot, int episode, int scene, const SLOT_TIME* time) {
    if (!m_bInit || !m_pKUSprite) {
        Error("DataSet", "初期化されていません");
        return 0;
    }
    if (textSlot >= m_pKUSprite->GetTextureTextBufferNum()) {
        Error("DataSet", "参照インデックスナンバーが不正です");
        return 0;
    }
    if (!time) {
        Error("DataSet", "システムタイムが不正です");
        return 0;
    }
    m_nTextSlot = static_cast<int>(textSlot);
    m_Time = *time;
    m_nEpisode = episode;
    m_nScene = scene;

    char work[50], wide[50];
    std::string caption = "第";
    auto piece = [&](const char* format, int value) {
        std::snprintf(work, sizeof(work), format, value);
        modes::ToFullWidth(work, wide, sizeof(wide));
        caption += wide;
    };
    piece("%d", episode);
    caption += "話：シーン";
    piece("%02d\n　　　　　　　　　", scene);
    piece("%02d．", time->wYear % 2000);
    piece("%02d．", time->wMonth);
    piece("%02d／", time->wDay);
    piece("%02d：", time->wHour);
    piece("%02d", time->wMinute);
    std::snprintf(m_szCaption, sizeof(m_szCaption), "%s", caption.c_str());

    if (m_pKUSprite->SetTextureTextData(textSlot, m_szCaption, 12, 400, g_dwAntiAliasLevel, 17, 0) < 0)
        return 0;
    m_bData = 1;
    return 1;
}

int SLOT_ITEM_DATA::HitCheck(int x, int y) const { return m_bInit && modes::RectHit(m_rcHit, x, y) ? 1 : 0; }
