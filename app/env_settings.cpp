#include "app/env_settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/kusystem.h"
#include "platform/debug_out.h"
#include "platform/files.h"
#include "platform/sjis.h"

namespace {

constexpr int kLineSize = 1024;
constexpr int kWordSize = 512;

bool KeyIs(const char* word, const char* key) { return plat::SjisEqualNoCase(word, key); }

void ApplyLine(const char* w1, const char* w2, const char* w3) {
    if (KeyIs(w1, "サウンド警告:")) {
        g_bSoundWarning = strcmp(w2, "OFF") == 0 ? 0 : 1;
    } else if (KeyIs(w1, "スクリーンモード:")) {
        SetScreenModeSetting(strcmp(w2, "Full") == 0);
    } else if (KeyIs(w1, "画面カラー:")) {
        if (strcmp(w2, "32bit") == 0)
            g_dwScreenBpp = 32;
        else if (strcmp(w2, "24bit") == 0)
            g_dwScreenBpp = 24;
        else
            g_dwScreenBpp = 16;
    } else if (KeyIs(w1, "メッセージ速度:")) {
        g_dwMessageSpeed = static_cast<unsigned int>(atoi(w2));
    } else if (KeyIs(w1, "アンリエイリアスレベル:")) {
        if (strcmp(w2, "無し") == 0)
            g_dwAntiAliasLevel = 0;
        else if (strcmp(w2, "レベル1") == 0)
            g_dwAntiAliasLevel = 1;
        else if (strcmp(w2, "レベル2") == 0)
            g_dwAntiAliasLevel = 2;
        else
            g_dwAntiAliasLevel = 4;
    } else if (KeyIs(w1, "オートスキップ速度:")) {
        g_dwAutoSkipSpeed = static_cast<unsigned int>(atoi(w2));
    } else if (KeyIs(w1, "SE") && KeyIs(w2, "Volume:")) {
        g_dwSEVolume = static_cast<unsigned int>(atoi(w3));
    } else if (KeyIs(w1, "Voice") && KeyIs(w2, "Volume:")) {
        g_dwVoiceVolume = static_cast<unsigned int>(atoi(w3));
    } else if (KeyIs(w1, "BGM") && KeyIs(w2, "Volume:")) {
        g_dwBGMVolume = static_cast<unsigned int>(atoi(w3));
    } else if (KeyIs(w1, "男性ボイス:")) {
        g_bMaleVoice = strcmp(w2, "ON") == 0 ? 1 : 0;
    } else if (KeyIs(w1, "デバッグ情報表示:")) {
        g_bDebugInfo = strcmp(w2, "ON") == 0 ? 1 : 0;
    }
}

// The largest settings file read: far beyond the dozen lines it holds, so a
// huge or endless file costs neither memory nor time.
constexpr uint64_t kMaxEnvFile = 1 << 20;

// A settings file that exists but could not be read: the exit keeps it.
std::string g_unreadablePath;

// Reads one piece of a line into line (kLineSize bytes, zeroed first): the
// bytes up to and including the next LF (a CR before it stays, so CR LF and
// LF lines both end there), at most kLineSize - 1 of them. Its length, 0 at
// the end of the file; *ended tells whether the LF ended it.
size_t ReadPiece(FILE* f, char* line, bool* ended) {
    memset(line, 0, kLineSize);
    *ended = false;
    size_t n = 0;
    while (n < static_cast<size_t>(kLineSize) - 1) {
        int c = getc(f);
        if (c == EOF)
            return n;
        line[n++] = static_cast<char>(c);
        if (c == '\n') {
            *ended = true;
            return n;
        }
    }
    return n;
}

void NoteUnreadable(const char* path) {
    g_unreadablePath = path;
    char text[512];
    snprintf(text, sizeof(text),
             "Warn: <LoadEnvData> %s を読み込めません。既定の設定で続け、このファイルは書き換えません\n", path);
    plat::DebugOut(text);
}

} // namespace

int LoadEnvData(const char* path) {
    SetEnvDefaults();
    if (!path)
        return 0;
    g_unreadablePath.clear();
    FILE* f = plat::OpenFile(path, "rb");
    if (!f) {
        if (plat::FileExists(path))
            NoteUnreadable(path);
        return 0;
    }
    if (plat::StatFile(path).size > kMaxEnvFile) {
        fclose(f);
        NoteUnreadable(path);
        return 0;
    }

    // One byte more than the reader fills, so a full piece is still a string.
    char line[kLineSize + 1];
    line[kLineSize] = '\0';
    bool continuation = false;
    uint64_t total = 0;
    for (;;) {
        bool ended = false;
        const size_t n = ReadPiece(f, line, &ended);
        total += n;
        if (ferror(f) || total > kMaxEnvFile) {
            plat::DebugOut("Error: <LoadEnvData> CodeFileReadOneLineでエラーが発生しました\n");
            NoteUnreadable(path);
            fclose(f);
            return -1;
        }
        // A piece the end of the file cut short is no line.
        if (!ended && n < static_cast<size_t>(kLineSize) - 1)
            break;
        // The rest of an over-long line is not a line of its own.
        const bool skip = continuation;
        continuation = !ended;
        if (skip)
            continue;
        if (line[0] == '\0' || (line[0] == '/' && line[1] == '/'))
            continue;

        char w1[kWordSize] = "", w2[kWordSize] = "", w3[kWordSize] = "";
        if (sscanf(line, "%511s %511s %511s", w1, w2, w3) < 1)
            continue;
        ApplyLine(w1, w2, w3);
    }
    fclose(f);
    return 1;
}

int SaveEnvData(const char* path) {
    if (!path)
        return 0;
    // The player's file is kept when it could not be read (logged at start).
    if (!g_unreadablePath.empty() && g_unreadablePath == path)
        return 0;
    std::string s;
    char num[64];
    auto line = [&s](const char* text) {
        s += text;
        s += "\r\n";
    };
    line("//_/_/_/_/_/_/ 環境設定データ _/_/_/_/_/_/");
    line(g_bSoundWarning ? "サウンド警告: ON" : "サウンド警告: OFF");
    line(g_bFullScreen ? "スクリーンモード: Full" : "スクリーンモード: Window");
    line(g_dwScreenBpp == 32 ? "画面カラー: 32bit" : g_dwScreenBpp == 24 ? "画面カラー: 24bit" : "画面カラー: 16bit");
    snprintf(num, sizeof(num), "メッセージ速度: %d", static_cast<int>(g_dwMessageSpeed));
    line(num);
    switch (g_dwAntiAliasLevel) {
        case 0: line("アンリエイリアスレベル: 無し"); break;
        case 1: line("アンリエイリアスレベル: レベル1"); break;
        case 2: line("アンリエイリアスレベル: レベル2"); break;
        default: line("アンリエイリアスレベル: レベル3"); break;
    }
    snprintf(num, sizeof(num), "オートスキップ速度: %d", static_cast<int>(g_dwAutoSkipSpeed));
    line(num);
    snprintf(num, sizeof(num), "SE Volume: %d", static_cast<int>(g_dwSEVolume));
    line(num);
    snprintf(num, sizeof(num), "Voice Volume: %d", static_cast<int>(g_dwVoiceVolume));
    line(num);
    snprintf(num, sizeof(num), "BGM Volume: %d", static_cast<int>(g_dwBGMVolume));
    line(num);
    line(g_bMaleVoice ? "男性ボイス: ON" : "男性ボイス: OFF");
    if (g_bDebugInfo)
        line("デバッグ情報表示: ON");
    return plat::WriteFileAtomic(path, s) ? 1 : 0;
}
