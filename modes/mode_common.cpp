#include "modes/mode_common.h"

#include <string>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "engine/virtual_keys.h"
#include "platform/debug_out.h"
#include "platform/dialog.h"

namespace modes {

namespace {

void Print(KUSYSTEM* sys, const char* kind, const char* tag, const char* text) {
    std::string line = std::string(kind) + "<" + tag + "> " + text + "\n";
    if (sys)
        sys->TracePrint(line.c_str());
    else
        plat::DebugOut(line.c_str());
}

} // namespace

void ErrorPrint(KUSYSTEM* sys, const char* tag, const char* text) { Print(sys, "Error: ", tag, text); }
void WarnPrint(KUSYSTEM* sys, const char* tag, const char* text) { Print(sys, "Warn: ", tag, text); }

namespace {

bool PointersPresent(KUSYSTEM* sys, const void* sprite, const void* snd, const char* tag, const char* const texts[3]) {
    const void* given[3] = {sys, sprite, snd};
    for (int i = 0; i < 3; ++i) {
        if (!given[i]) {
            ErrorPrint(sys, tag, texts[i]);
            return false;
        }
    }
    return true;
}

} // namespace

bool EnginePointersGiven(KUSYSTEM* sys, const void* sprite, const void* snd, const char* tag) {
    static const char* const kTexts[3] = {"KUSYSTEMクラスポインタの引数が不正です",
                                          "KUSPRITE2クラスポインタの引数が不正です",
                                          "KUSNDクラスポインタの引数が不正です"};
    return PointersPresent(sys, sprite, snd, tag, kTexts);
}

bool EnginePointersHeld(KUSYSTEM* sys, const void* sprite, const void* snd, const char* tag) {
    static const char* const kTexts[3] = {"KUSYSTEMクラスが未確保です", "KUSPRITE2クラスが未確保です",
                                          "KUSNDクラスが未確保です"};
    return PointersPresent(sys, sprite, snd, tag, kTexts);
}

int ClickState(KUSYSTEM* sys) {
    int state = sys->GetKeyState(plat::kVkLButton);
    if (state == 0)
        state = sys->GetKeyState(plat::kVkReturn);
    return state;
}

uint32_t AlphaColor(float alpha) {
    // Clamped so that a float slightly outside 0..1 never wraps the byte.
    if (!(alpha > 0.0f))
        alpha = 0.0f;
    if (alpha > 1.0f)
        alpha = 1.0f;
    uint32_t a = static_cast<uint32_t>(static_cast<int>(alpha * 255.0f));
    return (a << 24) | 0x00FFFFFFu;
}

bool DrawPiece(KUSYSTEM* sys, KUSPRITE2* sprite, const char* tag, int slot, float x, float y, const KURECT& src,
               float alpha) {
    uint32_t colour = AlphaColor(alpha);
    if (sprite->D3DXDrawGraphic(slot, x, y, kDrawTypeAuto, 0, &src, 1.0f, 1.0f, &colour, 0) < 0) {
        ErrorPrint(sys, tag, "描画に失敗しました");
        return false;
    }
    return true;
}

void MovePointerTo(KUSYSTEM* sys, const KURECT& rc) {
    sys->SetMousePos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

void ShowErrorBox(KUSYSTEM* sys, const std::string& text) {
    sys->StopTime();
    plat::MessageBoxOk(sys->GetWindowHandle(), text, "Error");
    sys->StartTime();
}

} // namespace modes
