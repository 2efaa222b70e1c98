#include "modes/title_obj_data.h"

namespace {

// An axis has arrived when it reached or passed the target in the direction
// of its step; an arrived axis is put exactly on the target.
bool Arrive(float* pos, float target, float step) {
    bool arrived = step <= 0.0f ? *pos <= target : *pos >= target;
    if (arrived)
        *pos = target;
    return arrived;
}

} // namespace

int TITLE_OBJ_DATA::Initialize() {
    Release();
    m_bInit = 1;
    return 1;
}

void TITLE_OBJ_DATA::Release() {
    m_bInit = 0;
    m_bDisp = 0;
    m_fX = m_fY = 0.0f;
    m_fStepX = m_fStepY = 0.0f;
    m_fStartX = m_fStartY = 0.0f;
    m_fTargetX = m_fTargetY = 0.0f;
    m_fSlowDown = 0.0f;
    m_fAlpha = 0.0f;
    m_nMoveState = 0;
    m_dwMoveTime = 0;
    m_dwMoveStart = 0;
    m_bFadeStart = 0;
    m_dwFadeTime = 0;
    m_dwFadeStart = 0;
}

void TITLE_OBJ_DATA::Place(float x, float y, float alpha) {
    m_fX = m_fStartX = x;
    m_fY = m_fStartY = y;
    m_fAlpha = alpha;
    m_bDisp = 1;
}

void TITLE_OBJ_DATA::StartMove(float fromX, float fromY, float toX, float toY, uint32_t duration, uint32_t now,
                               float steps) {
    m_fX = fromX;
    m_fY = fromY;
    m_fTargetX = toX;
    m_fTargetY = toY;
    m_dwMoveTime = duration;
    m_dwMoveStart = now;
    m_fStepX = fromX == toX ? 0.0f : (toX - fromX) / steps;
    m_fStepY = fromY == toY ? 0.0f : (toY - fromY) / steps;
    m_nMoveState = 1;
}

int TITLE_OBJ_DATA::MoveLinear(float fromX, float fromY, float toX, float toY, uint32_t duration, uint32_t now) {
    if (m_nMoveState == 0) {
        // A zero duration would divide by zero: the record then jumps.
        StartMove(fromX, fromY, toX, toY, duration, now, duration ? static_cast<float>(duration) : 1.0f);
    }
    uint32_t elapsed = now - m_dwMoveStart;
    if (elapsed >= m_dwMoveTime) {
        m_fX = m_fTargetX;
        m_fY = m_fTargetY;
    } else {
        float left = static_cast<float>(m_dwMoveTime - elapsed);
        m_fX = m_fTargetX - left * m_fStepX;
        m_fY = m_fTargetY - left * m_fStepY;
    }
    bool ax = Arrive(&m_fX, m_fTargetX, m_fStepX);
    bool ay = Arrive(&m_fY, m_fTargetY, m_fStepY);
    return ax && ay ? 1 : 0;
}

int TITLE_OBJ_DATA::MoveSmooth(float fromX, float fromY, float toX, float toY, uint32_t duration, uint32_t now) {
    if (m_nMoveState == 0) {
        // The first half at a constant speed per frame of a 60 Hz display.
        float frames = static_cast<float>(duration) / 1000.0f * 60.0f;
        StartMove(fromX, fromY, toX, toY, duration, now, frames > 0.0f ? frames : 1.0f);
    }
    if (m_nMoveState == 1) {
        m_fX += m_fStepX;
        m_fY += m_fStepY;
        float midX = m_fTargetX - (m_fTargetX - m_fStartX) * 0.5f;
        float midY = m_fTargetY - (m_fTargetY - m_fStartY) * 0.5f;
        bool ax = Arrive(&m_fX, midX, m_fStepX);
        bool ay = Arrive(&m_fY, midY, m_fStepY);
        if (ax && ay) {
            m_fSlowDown = 1.0f;
            m_nMoveState = 2;
        }
        return 0;
    }
    m_fSlowDown -= 0.0166f;
    if (m_fSlowDown < 0.1f)
        m_fSlowDown = 0.1f;
    float sx = m_fStepX * m_fSlowDown;
    float sy = m_fStepY * m_fSlowDown;
    m_fX += sx;
    m_fY += sy;
    bool ax = Arrive(&m_fX, m_fTargetX, sx);
    bool ay = Arrive(&m_fY, m_fTargetY, sy);
    return ax && ay ? 1 : 0;
}

int TITLE_OBJ_DATA::Fade(int fadeIn, uint32_t duration, uint32_t now) {
    if (!m_bFadeStart) {
        m_dwFadeTime = duration ? duration : 1;
        m_dwFadeStart = now;
        m_bFadeStart = 1;
        m_fAlpha = fadeIn ? 0.0f : 1.0f;
    }
    if (fadeIn) {
        m_fAlpha = static_cast<float>(now - m_dwFadeStart) / static_cast<float>(m_dwFadeTime);
        if (m_fAlpha >= 1.0f) {
            m_fAlpha = 1.0f;
            return 1;
        }
        return 0;
    }
    uint32_t elapsed = now - m_dwFadeStart;
    if (elapsed < 1)
        elapsed = 1;
    m_fAlpha = 1.0f - static_cast<float>(elapsed) / static_cast<float>(m_dwFadeTime);
    if (m_fAlpha <= 0.0f) {
        m_fAlpha = 0.0f;
        return 1;
    }
    return 0;
}
