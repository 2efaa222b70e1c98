#include "scene/animation_data.h"

#include <new>

#include "platform/debug_out.h"
#include "platform/random.h"

ANIMATION_DATA::ANIMATION_DATA() : m_dwFrameNum(0), m_dwRandomRange(0) { SetData(0, 0); }

ANIMATION_DATA::~ANIMATION_DATA() { SetData(0, 0); }

int ANIMATION_DATA::SetData(uint32_t frameCount, uint32_t type) {
    m_pTime.reset();
    int result = 1;
    if (frameCount > kMaxFrames) {
        plat::DebugOut("Error: <ANIMATION_DATA::SetData> アニメーション数が不正です\n");
        frameCount = 0;
        result = 0;
    }
    if (frameCount > 0)
        m_pTime.reset(new (std::nothrow) uint32_t[frameCount]());
    m_dwFrameNum = m_pTime ? frameCount : 0;
    m_dwType = (type == kTypeLoop || type == kTypePingPong) ? type : kTypeLoop;
    m_bRun = 1;
    m_dwNowFrame = 0;
    m_dwLastTime = 0;
    m_bDirection = 1;
    m_nRandom = 0;
    return result;
}

int ANIMATION_DATA::AnimationSet(uint32_t frame, uint32_t time, uint32_t type) {
    if (type != kKeepType) {
        m_dwType = type;
        m_dwNowFrame = 0;
        m_bDirection = 1;
    }
    if (m_dwFrameNum == 0)
        return 1;
    if (!m_pTime) {
        plat::DebugOut("Error: <ANIMATION_DATA::AnimationSet> アニメーション制御時間ポインタが失われています\n");
        return 0;
    }
    if (frame >= m_dwFrameNum) {
        plat::DebugOut("Error: <ANIMATION_DATA::AnimationSet> アニメーションナンバーが総数を上まっています\n");
        return 0;
    }
    m_pTime[frame] = time;
    m_dwLastTime = 0;
    return 1;
}

// One frame on; `turned` tells whether a ping-pong changed direction.
void ANIMATION_DATA::Step(bool* turned) {
    *turned = false;
    if (m_dwType == kTypeLoop) {
        m_dwNowFrame = m_dwNowFrame + 1 < m_dwFrameNum ? m_dwNowFrame + 1 : 0;
        return;
    }
    if (m_bDirection) {
        if (m_dwNowFrame + 1 < m_dwFrameNum) {
            ++m_dwNowFrame;
            return;
        }
        m_dwNowFrame = m_dwFrameNum >= 2 ? m_dwFrameNum - 2 : 0;
        m_bDirection = 0;
    } else {
        if (m_dwNowFrame > 0) {
            --m_dwNowFrame;
            return;
        }
        m_dwNowFrame = m_dwFrameNum >= 2 ? 1 : 0;
        m_bDirection = 1;
    }
    *turned = true;
}

int32_t ANIMATION_DATA::NewJitter() const {
    if (m_dwRandomRange == 0)
        return 0;
    const int64_t r = static_cast<uint32_t>(plat::Rand()) % m_dwRandomRange;
    return static_cast<int32_t>(r - static_cast<int64_t>(m_dwRandomRange / 2));
}

int ANIMATION_DATA::AnimationProc(uint32_t now) {
    if (m_dwFrameNum == 0)
        return 1;
    if (m_dwType != kTypeLoop && m_dwType != kTypePingPong) {
        plat::DebugOut("Error: <ANIMATION_DATA::AnimationProc> アニメーションタイプが不正です\n");
        return 0;
    }
    if (!m_pTime) {
        plat::DebugOut("Error: <ANIMATION_DATA::AnimationProc> アニメーション制御時間ポインタが失われています\n");
        return 0;
    }
    if (m_dwNowFrame >= m_dwFrameNum) {
        plat::DebugOut("Error: <ANIMATION_DATA::AnimationProc> アニメーションナンバーが総数を上まっています\n");
        return 0;
    }
    if (!m_bRun)
        return 1;
    if (m_dwLastTime == 0) {
        m_dwLastTime = now;
        return 1;
    }
    // Elapsed time, so that a frame time of kNoTimeLimit cannot wrap the sum.
    if (now - m_dwLastTime < m_pTime[m_dwNowFrame])
        return 1;
    bool turned = false;
    Step(&turned);
    m_dwLastTime = now;
    return 1;
}

int ANIMATION_DATA::AnimationProc(uint32_t now, uint32_t interval) {
    if (m_dwFrameNum == 0)
        return 1;
    if (m_dwType != kTypeLoop && m_dwType != kTypePingPong) {
        plat::DebugOut("Error: <ANIMATION_DATA::AnimationProc> アニメーションタイプが不正です\n");
        return 0;
    }
    if (m_dwNowFrame >= m_dwFrameNum) {
        plat::DebugOut("Error: <ANIMATION_DATA::AnimationProc> アニメーションナンバーが総数を上まっています\n");
        return 0;
    }
    if (!m_bRun)
        return 1;
    if (m_dwLastTime == 0) {
        m_dwLastTime = now;
        return 1;
    }
    if (static_cast<int64_t>(now - m_dwLastTime) < static_cast<int64_t>(interval) + m_nRandom)
        return 1;
    if (m_dwType == kTypeLoop) {
        bool turned = false;
        Step(&turned);
        m_nRandom = m_dwNowFrame == 0 ? NewJitter() : 0;
    } else if (m_bDirection) {
        bool turned = false;
        Step(&turned);
        if (!turned)
            m_nRandom = 0;
    } else {
        // Backward: frame 0 is held for one more interval before turning.
        m_nRandom = 0;
        if (m_dwNowFrame > 0) {
            --m_dwNowFrame;
        } else {
            m_bDirection = 1;
            m_nRandom = NewJitter();
        }
    }
    m_dwLastTime = now;
    return 1;
}
