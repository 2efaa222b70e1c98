#pragma once
#include <cstdint>
#include <string>

#include "engine/kugraphic2.h"

class KUSYSTEM;
class KUSPRITE2;

// Small helpers every menu mode shares.
namespace modes {

// "Error: <tag> text\n" through the system object's trace, or straight to the
// debugger output without one.
void ErrorPrint(KUSYSTEM* sys, const char* tag, const char* text);
void WarnPrint(KUSYSTEM* sys, const char* tag, const char* text);

// The engine objects a mode is started with: false, after the log line for
// the first one missing ("...クラスポインタの引数が不正です"; a missing system
// object goes straight to the debugger output).
bool EnginePointersGiven(KUSYSTEM* sys, const void* sprite, const void* snd, const char* tag);
// The same for a mode's data load ("...クラスが未確保です").
bool EnginePointersHeld(KUSYSTEM* sys, const void* sprite, const void* snd, const char* tag);

// The click value of a frame: the left button's state, or Enter's while the
// left button is up (0 up, 1 held, 2 pressed, 3 released this frame).
int ClickState(KUSYSTEM* sys);

// White with the opacity in the top byte (alpha x 255, truncated).
uint32_t AlphaColor(float alpha);

// Half-open hit test: left <= x < right, top <= y < bottom.
inline bool RectHit(const KURECT& rc, int x, int y) {
    return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}

inline KURECT MakeRect(int32_t l, int32_t t, int32_t r, int32_t b) { return KURECT{l, t, r, b}; }

// A piece (src) of a graphic slot drawn white at an alpha, as every menu
// screen draws; false after "描画に失敗しました" under the tag when refused.
bool DrawPiece(KUSYSTEM* sys, KUSPRITE2* sprite, const char* tag, int slot, float x, float y, const KURECT& src,
               float alpha);

// Moves the pointer to the centre of a rectangle (integer division).
void MovePointerTo(KUSYSTEM* sys, const KURECT& rc);

// A failure the player must hear of while play goes on: a box with an OK
// button, captioned "Error". The game clock stands while it is up, so fades
// resume where they were.
void ShowErrorBox(KUSYSTEM* sys, const std::string& text);

} // namespace modes
