#include "scene/message_window.h"

#include <cmath>
#include <cstring>
#include <string>

#include "scene/adv_window_state.h"
#include "game/game_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/shell_services.h"
#include "platform/debug_out.h"
#include "platform/sjis.h"

namespace {

constexpr KURECT kEmpty = {0, 0, 0, 0};
constexpr uint32_t kTextWeight = 400;
constexpr uint32_t kTextPitchAndFamily = 17;
constexpr int kLineSpacing = 4;
constexpr float kIconRise = 0.032f;
constexpr float kIconFall = 0.016f;
constexpr int kVkLButton = 1;
constexpr int kVkReturn = 13;

bool IsEmpty(const KURECT& rc) { return rc.left >= rc.right || rc.top >= rc.bottom; }

// Copies at most srcSize bytes of a possibly unterminated field into a
// buffer of dstSize bytes, whole characters only: a double-byte character
// cut by either size, or a lone lead byte at the end, is left out.
void CopyField(char* dst, size_t dstSize, const char* src, size_t srcSize) {
    const size_t len = strnlen(src, srcSize);
    size_t i = 0;
    while (i < len) {
        const bool lead = plat::IsSjisLeadByte(static_cast<uint8_t>(src[i]));
        const size_t step = lead ? 2 : 1;
        if (i + step > len || i + step > dstSize - 1)
            break;
        memcpy(dst + i, src + i, step);
        i += step;
    }
    memset(dst + i, 0, dstSize - i);
}

template <size_t N, size_t M>
void CopyField(char (&dst)[N], const char (&src)[M]) {
    CopyField(dst, N, src, M);
}

void CopyMessage(MESSAGE_DATA* dst, const MESSAGE_DATA& src) {
    MESSAGE_DATA tmp; // the source may be the destination itself
    tmp.m_nFontSize = src.m_nFontSize;
    tmp.m_dwColor = src.m_dwColor;
    CopyField(tmp.m_szName, src.m_szName);
    CopyField(tmp.m_szText, src.m_szText);
    CopyField(tmp.m_szVoice, src.m_szVoice);
    *dst = tmp;
}

// A history entry's colour as shown: the default white gives grey, any other
// Windows RGB value (red in the low byte) the same colour opaque.
uint32_t HistoryColor(uint32_t rgb) {
    if (rgb == MESSAGE_DATA::kDefaultColor)
        return MESSAGE_WINDOW::kColorHistory;
    return 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

int32_t ClampToInt(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

// A position rounded down to whole pixels; one that is not a sensible
// screen coordinate (a damaged save, say) counts as 0.
int64_t WholePixels(float v) {
    if (!(v > -1.0e6f && v < 1.0e6f))
        return 0;
    return static_cast<int64_t>(std::floor(v));
}

float ClampUnit(float v) { return v > 1.0f ? 1.0f : v > 0.0f ? v : 0.0f; }

uint32_t AlphaWhite(float alpha) { return static_cast<uint32_t>(ClampUnit(alpha) * 255.0f) << 24 | 0x00FFFFFFu; }

// elapsed / duration from start on the game clock; a zero duration is done.
float FadeRatio(uint32_t start, uint32_t now, uint32_t duration) {
    if (duration == 0)
        return 1.0f;
    const double elapsed = static_cast<double>(static_cast<int64_t>(now) - static_cast<int64_t>(start));
    return static_cast<float>(elapsed / static_cast<double>(duration));
}

} // namespace

MESSAGE_WINDOW::MESSAGE_WINDOW() : m_pKUSprite(nullptr), m_pKUSnd(nullptr), m_pKUSys(nullptr), m_bInit(0), m_nSlot(-1) {
    Clear();
}

MESSAGE_WINDOW::~MESSAGE_WINDOW() { Clear(); }

void MESSAGE_WINDOW::Log(const char* op, const char* text) const {
    const std::string line = std::string("Error: <MESSAGE_WINDOW::") + op + "> " + text + "\n";
    if (m_pKUSys)
        m_pKUSys->TracePrint(line.c_str());
    else
        plat::DebugOut(line.c_str());
}

void MESSAGE_WINDOW::Clear() {
    m_bVisible = 0;
    if (m_bInit) {
        GraphicUnload(m_pKUSprite, m_pKUSys, m_nSlot);
        SEUnload(m_pKUSnd, m_pKUSys, kSeCursorOn);
        SEUnload(m_pKUSnd, m_pKUSys, kSePush);
    }
    m_nSlot = -1;
    m_rcHit = m_rcWindow = m_rcBack = m_rcIcon = kEmpty;
    m_fX = m_fY = 0.0f;
    m_fAlpha = 0.0f;
    m_fBackX = m_fBackY = m_fBackFactor = 0.0f;
    m_fIconX = m_fIconY = m_fIconAlpha = 0.0f;
    m_bIconRising = 1;
    m_Current.Clear();
    for (MESSAGE_DATA& m : m_History)
        m.Clear();
    m_nHistoryCursor = -1;
    m_dwMessageSpeed = g_dwMessageSpeed;
    m_NameArea.Clear();
    m_TextArea.Clear();
    m_rcName = m_rcText = kEmpty;
    m_bVoiceHover = 0;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_pKUSys = nullptr;
    m_bInit = 0;
}

int MESSAGE_WINDOW::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, int slot, KURECT hit, KURECT windowSrc,
                               float x, float y, KURECT backSrc, float backX, float backY, float backFactor,
                               KURECT iconSrc, float iconX, float iconY, float iconAlpha) {
    Clear();
    if (!sys) {
        Log("Initialize", "KUSYSTEMクラスポインタが不正です");
        return 0;
    }
    m_pKUSys = sys;
    const char* missing = !sprite ? "KUSPRITE2クラスポインタが不正です"
                          : !snd  ? "KUSNDクラスポインタが不正です"
                                  : nullptr;
    if (!missing && (slot < 0 || static_cast<uint32_t>(slot) >= sprite->GetGraphicDataBufferNum()))
        missing = "インデックスナンバーが不正です";
    if (missing) {
        Log("Initialize", missing);
        m_pKUSys = nullptr;
        return 0;
    }
    if (!GraphicLoad(sprite, sys, slot)) {
        Log("Initialize", "画像のロードに失敗しました");
        m_pKUSys = nullptr;
        return 0;
    }
    if (!SELoad(snd, sys, kSeCursorOn, nullptr) || !SELoad(snd, sys, kSePush, nullptr)) {
        Log("Initialize", "ウィンドウ周りのサウンドのロードに失敗しました");
        GraphicUnload(sprite, sys, slot);
        SEUnload(snd, sys, kSeCursorOn);
        m_pKUSys = nullptr;
        return 0;
    }
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    m_nSlot = slot;
    m_rcHit = hit;
    m_rcWindow = windowSrc;
    m_fX = x;
    m_fY = y;
    m_rcBack = backSrc;
    m_fBackX = backX;
    m_fBackY = backY;
    m_fBackFactor = backFactor;
    m_rcIcon = iconSrc;
    m_fIconX = iconX;
    m_fIconY = iconY;
    m_fIconAlpha = ClampUnit(iconAlpha);
    m_bInit = 1;
    return 1;
}

int MESSAGE_WINDOW::SetText(const MESSAGE_DATA* msg, uint32_t antiAlias) {
    if (!m_bInit) {
        Log("SetText", "初期化されていません");
        return 0;
    }
    if (!msg) {
        Log("SetText", "メッセージデータポインタが不正です");
        return 0;
    }
    CopyMessage(&m_Current, *msg);
    const int32_t font = m_Current.m_nFontSize;
    const int64_t wx = WholePixels(m_fX), wy = WholePixels(m_fY);
    const int64_t left = wx + 4, top = wy + 18;
    uint32_t on = 1;
    m_NameArea.Clear();
    if (m_Current.m_szName[0] != '\0') {
        if (!m_NameArea.Initialize(m_pKUSprite, m_pKUSys, "MSG_WND_NAME")) {
            Log("SetText", "初期化に失敗しました");
            return 0;
        }
        if (!m_NameArea.SetFontData(kNameTextSlot, m_Current.m_szName, font, kTextWeight, antiAlias,
                                    kTextPitchAndFamily, 0, 1)) {
            Log("SetText", "データのセットに失敗しました");
            return 0;
        }
        const int64_t chars = static_cast<int64_t>(strlen(m_Current.m_szName) / 2);
        m_rcName = KURECT{ClampToInt(left), ClampToInt(top), ClampToInt(left + chars * font),
                          ClampToInt(top + 3 * static_cast<int64_t>(font))};
        m_NameArea.SetDrawData(nullptr, &m_rcName, nullptr, nullptr, &on);
    }
    m_TextArea.Clear();
    if (m_Current.m_szText[0] != '\0') {
        if (!m_TextArea.Initialize(m_pKUSprite, m_pKUSys, "MSG_WND_MESSAGE")) {
            Log("SetText", "初期化に失敗しました");
            return 0;
        }
        if (!m_TextArea.SetFontData(kMessageTextSlot, m_Current.m_szText, font, kTextWeight, antiAlias,
                                    kTextPitchAndFamily, 0, 1)) {
            Log("SetText", "データのセットに失敗しました");
            return 0;
        }
        // With a name the window's x is added to the name's right edge,
        // which holds it already: the layout the window art is drawn for.
        const int64_t textLeft = m_Current.m_szName[0] != '\0' ? wx + m_rcName.right : left;
        m_rcText = KURECT{ClampToInt(textLeft), ClampToInt(top), ClampToInt(wx + 555), ClampToInt(wy + 105)};
        m_TextArea.SetDrawData(nullptr, &m_rcText, nullptr, nullptr, &on);
    }
    m_fIconAlpha = 0.0f;
    m_bIconRising = 1;
    return 1;
}

int MESSAGE_WINDOW::SetHistoryBuf(const MESSAGE_DATA* msg) {
    if (!m_bInit) {
        Log("SetHistoryBuf", "初期化されていません");
        return 0;
    }
    if (!msg) {
        Log("SetHistoryBuf", "メッセージデータポインタが不正です");
        return 0;
    }
    int free = -1;
    for (int i = 0; i < kHistoryCount && free < 0; ++i)
        if (m_History[i].m_szText[0] == '\0')
            free = i;
    if (free < 0) {
        for (int i = 1; i < kHistoryCount; ++i)
            m_History[i - 1] = m_History[i];
        free = kHistoryCount - 1;
    }
    m_History[free].Clear();
    CopyMessage(&m_History[free], *msg);
    return 1;
}

int MESSAGE_WINDOW::CountMessageDispNum(uint32_t start, uint32_t now, int speed) {
    if (!m_bInit) {
        Log("CountMessageDispNum", "初期化されていません");
        return 0;
    }
    if (speed < -1) {
        // A negative speed would be a huge unsigned one: keep the window's.
        Log("CountMessageDispNum", "メッセージ速度が不正です");
        speed = -1;
    }
    if (speed != -1) {
        g_dwMessageSpeed = static_cast<uint32_t>(speed);
        m_dwMessageSpeed = static_cast<uint32_t>(speed);
    }
    if (m_dwMessageSpeed == 0) {
        g_dwMessageSpeed = 1;
        m_dwMessageSpeed = 1;
    }
    const float shown = static_cast<float>(now - start) / static_cast<float>(m_dwMessageSpeed);
    m_TextArea.m_fDispNum = shown;
    const size_t chars = strnlen(m_TextArea.m_szText, sizeof(m_TextArea.m_szText)) / 2;
    if (static_cast<float>(chars) <= shown) {
        m_TextArea.m_fDispNum = -1.0f;
        m_fIconAlpha = 0.0f;
        m_bIconRising = 1;
    }
    return 1;
}

int MESSAGE_WINDOW::DispWindow() {
    if (!m_bInit) {
        Log("DispWindow", "初期化されていません");
        return 0;
    }
    m_bVisible = 1;
    return 1;
}

int MESSAGE_WINDOW::HideWindow() {
    if (!m_bInit) {
        Log("HideWindow", "初期化されていません");
        return 0;
    }
    m_bVisible = 0;
    return 1;
}

int MESSAGE_WINDOW::AppearWindow(uint32_t start, uint32_t duration) {
    if (!m_bInit) {
        Log("AppearWindow", "初期化されていません");
        return -1;
    }
    const float a = FadeRatio(start, static_cast<uint32_t>(m_pKUSys->GetTime()), duration);
    m_fAlpha = ClampUnit(a);
    return a >= 1.0f ? 1 : 0;
}

int MESSAGE_WINDOW::DisappearWindow(uint32_t start, uint32_t duration) {
    if (!m_bInit) {
        Log("DisappearWindow", "初期化されていません");
        return -1;
    }
    const float a = 1.0f - FadeRatio(start, static_cast<uint32_t>(m_pKUSys->GetTime()), duration);
    m_fAlpha = ClampUnit(a);
    return a <= 0.0f ? 1 : 0;
}

int MESSAGE_WINDOW::DrawProc() {
    if (!m_bInit) {
        Log("DrawProc", "初期化されていません");
        return 0;
    }
    if (!m_bVisible)
        return 1;
    const float alpha = ClampUnit(m_fAlpha);
    struct Layer {
        const KURECT* src;
        float x, y, alpha;
        bool drawn;
    };
    const Layer layers[3] = {
        {&m_rcBack, m_fX + m_fBackX, m_fY + m_fBackY, alpha * m_fBackFactor, true},
        {&m_rcWindow, m_fX, m_fY, alpha, true},
        {&m_rcIcon, m_fX + m_fIconX, m_fY + m_fIconY, alpha * m_fIconAlpha, m_fIconAlpha > 0.0f},
    };
    for (const Layer& l : layers) {
        if (!l.drawn || IsEmpty(*l.src))
            continue;
        const uint32_t colour = AlphaWhite(l.alpha);
        if (m_pKUSprite->D3DXDrawGraphic(static_cast<uint32_t>(m_nSlot), l.x, l.y, kDrawTypeAuto, 0, l.src, 1.0f, 1.0f,
                                         &colour, 0) < 0) {
            Log("DrawProc", "ウィンドウの描画に失敗しました");
            return 0;
        }
    }
    float textAlpha = alpha;
    if (m_NameArea.m_bInit && !m_NameArea.DrawProc(nullptr, nullptr, &textAlpha, 0, kLineSpacing))
        Log("DrawProc", "名前の描画に失敗しました");
    if (m_TextArea.m_bInit && !m_TextArea.DrawProc(nullptr, nullptr, &textAlpha, 0, kLineSpacing))
        Log("DrawProc", "メッセージの描画に失敗しました");
    return 1;
}

const MESSAGE_DATA* MESSAGE_WINDOW::ShownEntry() const {
    if (m_nHistoryCursor < 0 || m_nHistoryCursor >= kHistoryCount)
        return nullptr;
    return &m_History[m_nHistoryCursor];
}

void MESSAGE_WINDOW::SetColors(uint32_t colour) {
    m_NameArea.m_dwColor = colour;
    m_TextArea.m_dwColor = colour;
}

void MESSAGE_WINDOW::SetTextLook(uint32_t colour, float shown) {
    SetColors(colour);
    m_NameArea.m_fDispNum = shown;
    m_TextArea.m_fDispNum = shown;
}

int MESSAGE_WINDOW::NewestHistoryIndex() const {
    for (int i = kHistoryCount - 1; i >= 1; --i)
        if (m_History[i].m_szText[0] != '\0')
            return i;
    return 0;
}

int MESSAGE_WINDOW::MainProc(int* taken, ADV_WINDOW_STATE* adv) {
    // The flag is checked before anything is written through it.
    if (!taken) {
        Log("MainProc", "クリックフラグポインタが不正です");
        return 0;
    }
    *taken = 0;
    if (!m_bInit) {
        Log("MainProc", "初期化されていません");
        return 0;
    }
    if (!adv) {
        Log("MainProc", "アドベンチャーデータポインタが不正です");
        return 0;
    }
    if (!m_bVisible)
        return 1;
    const MESSAGE_DATA* entry = ShownEntry();
    uint32_t voiceHover = 0;
    if (adv->m_bWindowShown) {
        int mx = 0, my = 0;
        m_pKUSys->GetMousePos(&mx, &my);
        const float x = static_cast<float>(mx), y = static_cast<float>(my);
        const bool over = x >= m_fX + m_rcHit.left && x < m_fX + m_rcHit.right && y >= m_fY + m_rcHit.top &&
                          y < m_fY + m_rcHit.bottom;
        if (!entry) {
            SetColors(kColorCurrent);
        } else if (over && entry->m_szVoice[0] != '\0') {
            voiceHover = 1;
            if (!m_bVoiceHover) {
                if (!SEPlay(m_pKUSnd, m_pKUSys, kSeCursorOn, 0))
                    Log("MainProc", "SEの再生に失敗しました");
                SetColors(kColorVoiceHover);
            }
            int click = m_pKUSys->GetKeyState(kVkLButton);
            if (click == 0)
                click = m_pKUSys->GetKeyState(kVkReturn);
            if (click == 3) {
                *taken = 1;
                VoicePlay(m_pKUSnd, m_pKUSys, entry->m_szVoice);
            }
        } else {
            SetColors(HistoryColor(entry->m_dwColor));
        }
    }
    if (m_TextArea.m_fDispNum == -1.0f && (!entry || entry->m_szVoice[0] != '\0')) {
        if (m_bIconRising) {
            m_fIconAlpha += kIconRise;
            if (m_fIconAlpha >= 1.0f) {
                m_fIconAlpha = 1.0f;
                m_bIconRising = 0;
            }
        } else {
            m_fIconAlpha -= kIconFall;
            if (m_fIconAlpha <= 0.0f) {
                m_fIconAlpha = 0.0f;
                m_bIconRising = 1;
            }
        }
    }
    m_bVoiceHover = voiceHover;
    return 1;
}
