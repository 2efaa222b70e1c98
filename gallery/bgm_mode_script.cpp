// The music room's data script: fourteen track rows and the movie row.
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/kusystem.h"
#include "gallery/bgm_mode_data.h"
#include "gallery/data_script.h"
#include "modes/mode_common.h"

namespace {

constexpr const char* kFullSpace = "\x81\x40"; // "　"

// title + padding of full-width spaces + right-hand text, after prefix.
void Compose(const char* prefix, const char* title, const char* right, int width, char* out, int size) {
    std::string text = prefix;
    text += title;
    const int k = (width - static_cast<int>(std::strlen(title) + std::strlen(right))) / 2;
    for (int i = 0; i < k; ++i)
        text += kFullSpace;
    text += right;
    gallery::CopyText(out, size, text.c_str());
}

} // namespace

void BGM_MODE_DATA::TrackText(int n, const char* title, const char* right, char* out, int size) {
    char digits[8], wide[16];
    std::snprintf(digits, sizeof(digits), "%02d", n);
    gallery::FullWidthDigits(digits, wide, sizeof(wide));
    std::string prefix = std::string(wide) + "：";
    Compose(prefix.c_str(), title, right, 36, out, size);
}

void BGM_MODE_DATA::MovieText(const char* title, const char* right, char* out, int size) {
    Compose("", title, right, 42, out, size);
}

int BGM_MODE_DATA::ReadScript() {
    const char* tag = "BGM_MODE_DATA::Initialize";
    FILE* f = gallery::OpenDataScript(m_pKUSys, tag, kScript);
    if (!f)
        return 0;
    char line[gallery::kLineSize];
    char tok[5][gallery::kTokenSize];
    for (int k = 0; k <= kTracks; ++k) {
        char key[16];
        if (k < kTracks)
            std::snprintf(key, sizeof(key), "BGM%02d:", k + 1);
        else
            std::snprintf(key, sizeof(key), "Movie:");
        std::rewind(f);
        int r;
        bool found = false;
        while ((r = gallery::ReadDataLine(m_pKUSys, tag, f, line)) == 1) {
            for (auto& t : tok)
                t[0] = '\0';
            if (gallery::SplitTokens(line, tok, 5) >= 1 && gallery::EqualNoCase(tok[0], key)) {
                found = true;
                break;
            }
        }
        if (r < 0) {
            std::fclose(f);
            return 0;
        }
        if (!found) {
            // The row stays unset: not drawn, never hit, never played.
            std::string text = std::string(key) + "の行がありません";
            modes::WarnPrint(m_pKUSys, tag, text.c_str());
            continue;
        }
        char disp[BGM_ITEM_DATA::kTextSize];
        if (k < kTracks) {
            TrackText(k + 1, tok[1], tok[2], disp, sizeof(disp));
            if (!m_bgmItem[k].Initialize(m_pKUSys, m_pKUSprite, k + 1, disp, tok[3])) {
                modes::ErrorPrint(m_pKUSys, tag, "曲項目の初期化に失敗しました");
                std::fclose(f);
                return 0;
            }
            if (tok[4][0] && !m_pKUSys->StrConvert(tok[4], gallery::kTokenSize, m_szComment[k], kCommentSize)) {
                modes::ErrorPrint(m_pKUSys, tag, "メッセージのコンバートに失敗しました");
                std::fclose(f);
                return 0;
            }
        } else {
            MovieText(tok[1], tok[2], disp, sizeof(disp));
            if (!m_movieItem.Initialize(m_pKUSys, m_pKUSprite, 0, disp, tok[3])) {
                modes::ErrorPrint(m_pKUSys, tag, "ムービー項目の初期化に失敗しました");
                std::fclose(f);
                return 0;
            }
        }
    }
    std::fclose(f);
    m_pKUSys->RemoveFile("tmp/", kScript, 0);
    return 1;
}
