#pragma once
// Helpers shared by the shell's tests: injected input and the settings file
// as the program writes it.
#include <SDL.h>

#include <string>

namespace apptest {

inline void PushKey(SDL_Keycode key, bool down) {
    SDL_Event e;
    SDL_zero(e);
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
}

inline void Tap(SDL_Keycode key) {
    PushKey(key, true);
    PushKey(key, false);
}

// "env.env" with every setting at its default (Shift-JIS, CR LF).
inline std::string GoldenEnv(bool debugLine = false) {
    const char* lines[] = {"//_/_/_/_/_/_/ 環境設定データ _/_/_/_/_/_/",
                           "サウンド警告: ON",
                           "スクリーンモード: Window",
                           "画面カラー: 16bit",
                           "メッセージ速度: 100",
                           "アンリエイリアスレベル: レベル3",
                           "オートスキップ速度: 250",
                           "SE Volume: 5",
                           "Voice Volume: 5",
                           "BGM Volume: 5",
                           "男性ボイス: ON"};
    std::string s;
    for (const char* l : lines)
        s += std::string(l) + "\r\n";
    if (debugLine)
        s += std::string("デバッグ情報表示: ON") + "\r\n";
    return s;
}

} // namespace apptest
