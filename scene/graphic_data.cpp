#include "scene/graphic_data.h"

#include <cstring>
#include <new>
#include <string>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "game/shell_services.h"
#include "platform/debug_out.h"
#include "platform/sjis.h"

namespace {

constexpr uint32_t kTypeTextures = 4;

// The mosaic's work surfaces are empty surfaces of their own: a picture
// bound there would turn them into textures loaded from a file.
bool IsWorkSlot(int32_t slot) { return slot >= GRAPHIC_DATA::kFirstWorkSlot && slot <= GRAPHIC_DATA::kLastWorkSlot; }

bool SlotFree(KUSPRITE2* sprite, int32_t slot) {
    const char* name = sprite->GetGraphicDataFileName(static_cast<uint32_t>(slot));
    return !name || name[0] == '\0';
}

} // namespace

GRAPHIC_DATA::GRAPHIC_DATA() : m_pKUSprite(nullptr), m_pKUSys(nullptr), m_bLoad(0) { Clear(); }

GRAPHIC_DATA::~GRAPHIC_DATA() { Clear(); }

void GRAPHIC_DATA::ErrorPrint(const char* text) {
    if (m_pKUSys)
        m_pKUSys->TracePrint(text);
    else
        plat::DebugOut(text);
}

bool GRAPHIC_DATA::Ready(const char* method) {
    if (m_bInit && m_pKUSys && m_pKUSprite)
        return true;
    ErrorPrint((std::string("Error: <GRAPHIC_DATA::") + method + "> 初期化されていません\n").c_str());
    return false;
}

int GRAPHIC_DATA::Initialize(KUSPRITE2* sprite, KUSYSTEM* sys, const char* id) {
    Clear();
    if (!sys) {
        plat::DebugOut("Error: <GRAPHIC_DATA::Initialize> 引数のKUSYSTEMクラスポインタが不正です\n");
        return 0;
    }
    m_pKUSys = sys;
    if (!sprite) {
        ErrorPrint("Error: <GRAPHIC_DATA::Initialize> 引数のKUSPRITE2クラスポインタが不正です\n");
        return 0;
    }
    m_pKUSprite = sprite;
    if (!id) {
        ErrorPrint("Error: <GRAPHIC_DATA::Initialize> IDが指定されていません\n");
        return 0;
    }
    game::CopyFixed(m_szID, id);
    m_bInit = 1;
    return 1;
}

int GRAPHIC_DATA::SetGraphicData(const char* file, uint32_t loadFlag, int32_t number) {
    if (!Ready("SetGraphicData"))
        return 0;
    if (m_bLoad == 1 && !UnloadGraphicData())
        ErrorPrint("Error: <GRAPHIC_DATA::SetGraphicData> グラフィックデータのアンロードに失敗しました\n");
    m_dwAnimationNum = 0;
    m_Animation.Release();
    m_pRect.reset();
    if (!file) {
        ErrorPrint("Error: <GRAPHIC_DATA::SetGraphicData> ファイル名が設定されていません\n");
        return 0;
    }
    // Numbers below -1 would reach the fixed asset slots and numbers near the
    // top of the int range would overflow; neither is a pool slot.
    int32_t slot = -1;
    if (number == -1) {
        for (int32_t s = kFirstPoolSlot; s <= kLastPoolSlot && slot < 0; ++s) {
            if (SlotFree(m_pKUSprite, s))
                slot = s;
        }
        if (slot < 0) {
            ErrorPrint(
                "Warn: <GRAPHIC_DATA::SetGraphicData> "
                "スクリプト予約ナンバーが満杯です。GR_SCRIPT_RESERVE01に確保します\n");
            slot = kFirstPoolSlot;
        }
    } else if (number >= 1 && number <= INT32_MAX - kPoolBase && !IsWorkSlot(number + kPoolBase)) {
        slot = number + kPoolBase;
    } else {
        ErrorPrint("Error: <GRAPHIC_DATA::SetGraphicData> グラフィックライブラリインデックスナンバーが不正です\n");
        return 0;
    }
    m_nSlot = slot;
    game::CopyFixed(m_szFile, file);
    if (strlen(file) >= sizeof(m_szFile))
        ErrorPrint("Warn: <GRAPHIC_DATA::SetGraphicData> ファイル名が長すぎるため切り詰めました\n");
    m_bLoad = loadFlag;
    if (loadFlag == 0)
        return 1;
    if (!LoadGraphicData())
        ErrorPrint("Error: <GRAPHIC_DATA::SetGraphicData> グラフィックのロードに失敗しました\n");
    return 1;
}

int GRAPHIC_DATA::SetAnimationData(int32_t frameCount, uint32_t type) {
    if (!Ready("SetAnimationData"))
        return 0;
    const uint32_t oldType = m_Animation.m_dwType;
    if (frameCount != -1) {
        // A negative count would be read as a huge one.
        if (frameCount < 0 || static_cast<uint32_t>(frameCount) > ANIMATION_DATA::kMaxFrames) {
            ErrorPrint("Error: <GRAPHIC_DATA::SetAnimationData> アニメーション数が不正です\n");
            return 0;
        }
        m_pRect.reset();
        m_dwAnimationNum = 0;
        m_Animation.SetData(static_cast<uint32_t>(frameCount), 0);
        if (frameCount > 0) {
            m_pRect.reset(new (std::nothrow) KURECT[frameCount]());
            if (!m_pRect || m_Animation.m_dwFrameNum != static_cast<uint32_t>(frameCount)) {
                ErrorPrint("Error: <GRAPHIC_DATA::SetAnimationData> メモリの確保に失敗しました\n");
                m_pRect.reset();
                m_Animation.Release();
                return 0;
            }
        }
        m_dwAnimationNum = static_cast<uint32_t>(frameCount);
    }
    m_Animation.m_dwType = type == kKeepType ? oldType : type;
    return 1;
}

int GRAPHIC_DATA::SetAnimationFrameData(uint32_t frame, uint32_t time, const KURECT* rect) {
    if (!Ready("SetAnimationFrameData"))
        return 0;
    if (frame >= m_dwAnimationNum) {
        ErrorPrint("Error: <GRAPHIC_DATA::SetAnimationFrameData> 指定アニメーションナンバーは確保数を上回っています\n");
        return 0;
    }
    if (!m_Animation.AnimationSet(frame, time, ANIMATION_DATA::kKeepType)) {
        ErrorPrint("Error: <GRAPHIC_DATA::SetAnimationFrameData> アニメーションのセットに失敗しました\n");
        return 0;
    }
    if (rect && m_pRect)
        m_pRect[frame] = *rect;
    return 1;
}

int GRAPHIC_DATA::AnimationProc(uint32_t now) {
    if (!Ready("AnimationProc"))
        return 0;
    if (m_dwAnimationNum < 2)
        return 1;
    if (m_Animation.m_dwType != ANIMATION_DATA::kTypeLoop && m_Animation.m_dwType != ANIMATION_DATA::kTypePingPong) {
        ErrorPrint("Error: <GRAPHIC_DATA::AnimationProc> アニメーションタイプが不正です\n");
        return 0;
    }
    if (!m_Animation.m_pTime) {
        ErrorPrint("Error: <GRAPHIC_DATA::AnimationProc> アニメーション制御時間が確保されていません\n");
        return 0;
    }
    if (m_Animation.m_dwNowFrame >= m_dwAnimationNum) {
        ErrorPrint("Error: <GRAPHIC_DATA::AnimationProc> アニメーションナンバーが総数を上回っています\n");
        return 0;
    }
    if (!m_Animation.AnimationProc(now)) {
        ErrorPrint("Error: <GRAPHIC_DATA::AnimationProc> アニメーション処理に失敗しました\n");
        return 0;
    }
    return 1;
}

int GRAPHIC_DATA::LoadGraphicData() {
    if (!Ready("LoadGraphicData"))
        return 0;
    if (m_nSlot == -1)
        return 0;
    if (m_nSlot < 0 || IsWorkSlot(m_nSlot)) {
        ErrorPrint("Error: <GRAPHIC_DATA::LoadGraphicData> グラフィックライブラリインデックスナンバーが不正です\n");
        return 0;
    }
    const uint32_t slot = static_cast<uint32_t>(m_nSlot);
    const uint32_t shown = m_bShow;
    const char* bound = m_pKUSprite->GetGraphicDataFileName(slot);
    if (m_pKUSprite->GetGraphicDataLoadState(slot) != 1 && bound && plat::SjisEqualNoCase(bound, m_szFile))
        return 1;
    if (!UnloadGraphicData())
        ErrorPrint("Error: <GRAPHIC_DATA::LoadGraphicData> グラフィックのアンロードに失敗しました\n");
    if (!m_pKUSprite->SetGraphicData(slot, "tmp/", m_szFile, kTypeTextures, 1)) {
        ErrorPrint("Error: <GRAPHIC_DATA::LoadGraphicData> データの設定に失敗しました\n");
        return 0;
    }
    if (!GraphicLoad(m_pKUSprite, m_pKUSys, m_nSlot)) {
        ErrorPrint("Error: <GRAPHIC_DATA::LoadGraphicData> 画像データのロードに失敗しました\n");
        return 0;
    }
    m_bShow = shown;
    return 1;
}

int GRAPHIC_DATA::UnloadGraphicData() {
    // Only the picture's own slot is touched, never the work surfaces.
    if (m_pKUSprite && m_nSlot >= 0 && !IsWorkSlot(m_nSlot)) {
        const uint32_t slot = static_cast<uint32_t>(m_nSlot);
        m_pKUSprite->ReleaseGraphicData(slot);
        if (!m_pKUSprite->SetGraphicData(slot, nullptr, nullptr, kTypeTextures, 1))
            ErrorPrint("Error: <GRAPHIC_DATA::UnloadGraphicData> データの設定に失敗しました\n");
    }
    m_bShow = 0;
    return 1;
}

void GRAPHIC_DATA::Clear() {
    if (m_bLoad == 1)
        UnloadGraphicData();
    m_pRect.reset();
    memset(m_szID, 0, sizeof(m_szID));
    memset(m_szFile, 0, sizeof(m_szFile));
    m_nSlot = -1;
    m_bShow = 0;
    m_bColorKey = 0;
    m_fX = m_fY = 0.0f;
    m_fScaleX = m_fScaleY = m_fAlpha = 1.0f;
    m_nPriority = 0;
    m_nStepState = 0;
    m_dwAnimationNum = 0;
    m_Animation.Release();
    m_pKUSprite = nullptr;
    m_pKUSys = nullptr;
    m_bInit = 0;
    m_bLoad = 0;
}

int GRAPHIC_DATA::Draw(float x, float y, float alpha, const char* method) {
    // NaN and anything at or below 0 draw nothing; above 1 is opaque.
    if (!m_bShow || !(alpha > 0.0f))
        return 1;
    if (alpha > 1.0f)
        alpha = 1.0f;
    const uint32_t flags = m_bColorKey == 1 ? kDrawFlagColorKey : 0;
    const uint32_t color = (static_cast<uint32_t>(static_cast<uint8_t>(alpha * 255.0f)) << 24) | 0xFFFFFF;
    const uint32_t frame = m_Animation.m_dwNowFrame;
    const KURECT* src = (m_pRect && frame < m_dwAnimationNum) ? &m_pRect[frame] : nullptr;
    if (m_pKUSprite->D3DXDrawGraphic(static_cast<uint32_t>(m_nSlot), x, y, kDrawTypeAuto, flags, src, m_fScaleX,
                                     m_fScaleY, &color, 0) < 0) {
        ErrorPrint((std::string("Error: <GRAPHIC_DATA::") + method + "> 描画に失敗しました\n").c_str());
        return 0;
    }
    return 1;
}

int GRAPHIC_DATA::DrawProc() {
    if (!Ready("DrawProc"))
        return 0;
    return Draw(m_fX, m_fY, m_fAlpha, "DrawProc");
}

int GRAPHIC_DATA::DrawProc(const float* xOffset, const float* yOffset, const float* alphaFactor) {
    if (!Ready("DrawProc"))
        return 0;
    const float factor = alphaFactor ? *alphaFactor : 1.0f;
    if (!(factor > 0.0f) || !(m_fAlpha > 0.0f))
        return 1;
    return Draw(m_fX + (xOffset ? *xOffset : 0.0f), m_fY + (yOffset ? *yOffset : 0.0f),
                (m_fAlpha > 1.0f ? 1.0f : m_fAlpha) * (factor > 1.0f ? 1.0f : factor), "DrawProc");
}
