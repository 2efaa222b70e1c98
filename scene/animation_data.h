#pragma once
#include <cstdint>
#include <memory>

// The frame-animation clock of a picture or animated object: one display
// time per frame and a current frame that advances with the game clock, in a
// loop (type 0) or forward and back (type 1).
class ANIMATION_DATA {
public:
    static constexpr uint32_t kTypeLoop = 0;
    static constexpr uint32_t kTypePingPong = 1;
    static constexpr uint32_t kKeepType = 65535; // AnimationSet: leave the type alone
    static constexpr uint32_t kNoTimeLimit = 0xFFFFFFFF; // a frame time that never runs out
    // More frames than any picture strip holds; a bigger count is refused
    // rather than allocated.
    static constexpr uint32_t kMaxFrames = 4096;

    ANIMATION_DATA();
    ~ANIMATION_DATA();
    ANIMATION_DATA(const ANIMATION_DATA&) = delete;
    ANIMATION_DATA& operator=(const ANIMATION_DATA&) = delete;

    // New table of frameCount zero times (none for 0); type 0 or 1, any
    // other gives 0; restarts the clock. 1 done, 0 a count over kMaxFrames
    // (left with no frames).
    int SetData(uint32_t frameCount, uint32_t type);
    // Sets one frame's time (and with a type other than kKeepType the type,
    // back to frame 0 forward). 1 done, 0 refused.
    int AnimationSet(uint32_t frame, uint32_t time, uint32_t type);
    // Advances by the frame times. 1 done or nothing to do, 0 refused.
    int AnimationProc(uint32_t now);
    // Fixed-interval clock with random jitter.
    int AnimationProc(uint32_t now, uint32_t interval);
    void SetRandomRange(uint32_t range) { m_dwRandomRange = range; }
    void Release() { SetData(0, 0); }

    uint32_t m_bRun;
    uint32_t m_dwType;
    uint32_t m_dwFrameNum;
    uint32_t m_dwNowFrame;
    uint32_t m_dwLastTime; // 0: the timing starts on the next call
    std::unique_ptr<uint32_t[]> m_pTime; // display time of each frame, ms
    int32_t m_nRandom; // jitter, ms
    uint32_t m_dwRandomRange;
    uint32_t m_bDirection; // 1 forward, 0 backward

private:
    void Step(bool* turned);
    int32_t NewJitter() const;
};
