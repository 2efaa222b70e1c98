#pragma once
#include <cstdint>

// One animated sprite record of the title screen: position, moves and fades.
// A move or fade starts with the first call after its state was cleared and
// goes on with later calls; every call passes the current game time.
class TITLE_OBJ_DATA {
public:
    TITLE_OBJ_DATA() { Release(); }
    ~TITLE_OBJ_DATA() { Release(); }

    int Initialize();
    void Release();

    // Straight move at constant speed; 1 when both axes have arrived.
    int MoveLinear(float fromX, float fromY, float toX, float toY, uint32_t duration, uint32_t now);
    // Constant speed per frame to the midpoint, then slowing down; 1 when
    // both axes have arrived in the second stage.
    int MoveSmooth(float fromX, float fromY, float toX, float toY, uint32_t duration, uint32_t now);
    // Fade in (alpha 0 -> 1) or out; 1 once complete, and again on every
    // later call until the fade flag is cleared.
    int Fade(int fadeIn, uint32_t duration, uint32_t now);

    // Places the record at rest: position and start, shown.
    void Place(float x, float y, float alpha);

    int m_bInit;
    int m_bDisp;
    float m_fX, m_fY;
    float m_fStepX, m_fStepY;
    float m_fStartX, m_fStartY;
    float m_fTargetX, m_fTargetY;
    float m_fSlowDown;
    float m_fAlpha;
    int m_nMoveState;
    uint32_t m_dwMoveTime;
    uint32_t m_dwMoveStart;
    int m_bFadeStart;
    uint32_t m_dwFadeTime;
    uint32_t m_dwFadeStart;

private:
    // The first call of a move: position, target and time stored, the step
    // per axis the distance over `steps` (0 for an axis that does not move).
    void StartMove(float fromX, float fromY, float toX, float toY, uint32_t duration, uint32_t now, float steps);
};
