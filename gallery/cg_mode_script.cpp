#include <cstdio>
#include <cstring>
#include <string>

#include "game/game_settings.h"
#include "engine/combine_file.h"
#include "engine/kucode.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "game/game_global_data.h"
#include "gallery/cg_mode_data.h"
#include "modes/mode_common.h"
#include "platform/debug_out.h"
#include "platform/sjis.h"
#include "platform/files.h"

namespace {

constexpr int kLineSize = 512;
constexpr const char* kArchive = "dat/Scenario.dat";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Splits a line into up to `count` blank-separated tokens (locale-free).
int Tokens(const char* line, std::string* out, int count) {
    int n = 0;
    const char* p = line;
    while (n < count) {
        while (*p && IsBlank(*p))
            ++p;
        if (!*p)
            break;
        const char* start = p;
        while (*p && !IsBlank(*p))
            ++p;
        out[n++].assign(start, static_cast<size_t>(p - start));
    }
    return n;
}

// The gallery data script, extracted and opened for one operation; the copy
// is closed and deleted when the reader goes.
class ScriptReader {
public:
    ScriptReader(KUSYSTEM* sys, const char* member, const char* tag) : m_sys(sys), m_member(member), m_file(nullptr) {
        // -3: no new copy could be written; the one already in tmp/ is read.
        const int div = FileDiv(kArchive, "tmp/", member);
        if (div == -2 || div == 0 || div == -1) {
            char text[600];
            if (div == -2)
                std::snprintf(text, sizeof text, "指定ファイルは非結合ファイルです");
            else if (div == 0)
                std::snprintf(text, sizeof text, "%s内に%sが見つかりません", kArchive, member);
            else
                std::snprintf(text, sizeof text, "呼び出したFileDivが失敗しました");
            modes::ErrorPrint(sys, tag, text);
            return;
        }
        const std::string path = std::string("tmp/") + member;
        m_file = plat::OpenFile(path, "rb");
        if (!m_file) {
            modes::ErrorPrint(sys, tag, "ファイルオープンに失敗しました");
            Remove();
        }
    }
    ~ScriptReader() {
        if (m_file) {
            std::fclose(m_file);
            Remove();
        }
    }
    ScriptReader(const ScriptReader&) = delete;
    ScriptReader& operator=(const ScriptReader&) = delete;

    bool Open() const { return m_file != nullptr; }

    // Finds the first line whose key equals `key` (prefix: only its first
    // characters, as many as key has) and returns up to two further tokens.
    bool Find(const char* key, bool prefix, std::string* a, std::string* b) {
        if (!m_file)
            return false;
        std::rewind(m_file);
        char raw[kLineSize];
        char line[kLineSize];
        const size_t keyLen = std::strlen(key);
        while (CodeFileReadOneLine(m_file, raw, kLineSize) == 0) {
            if (KUDecodeOneLine(raw, kLineSize, line) == 1)
                continue;
            std::string tok[3];
            if (Tokens(line, tok, 3) == 0)
                continue;
            std::string_view first = tok[0];
            if (prefix && first.size() > keyLen)
                first = first.substr(0, keyLen);
            if (!plat::SjisEqualNoCase(first, key))
                continue;
            if (a)
                *a = tok[1];
            if (b)
                *b = tok[2];
            return true;
        }
        return false;
    }

private:
    void Remove() {
        if (m_sys)
            m_sys->RemoveFile("tmp/", m_member, 0);
        else
            std::remove((std::string("tmp/") + m_member).c_str());
    }
    KUSYSTEM* m_sys;
    const char* m_member;
    FILE* m_file;
};

bool Episode(int e) { return e >= 1 && e <= CG_MODE_DATA::kEpisodes; }

void DebugError(const char* tag, const char* text) {
    const std::string line = std::string("Error: <") + tag + "> " + text + "\n";
    plat::DebugOut(line.c_str());
}

} // namespace

int CG_MODE_DATA::SceneUnlocked(const GAME_GLOBAL_DATA* g, int episode, int scene) {
    if (!g || !Episode(episode) || scene < 1 || scene > 32)
        return 0;
    return (g->m_dwEventFlag[episode - 1] >> (scene - 1)) & 1u ? 1 : 0;
}

int CG_MODE_DATA::CGUnlocked(const GAME_GLOBAL_DATA* g, int episode, int scene, int page, int cell) {
    if (!g || !Episode(episode) || scene < 1 || scene > GAME_GLOBAL_DATA::kScenes || page < 1 || cell < 1 ||
        cell > kCGCells)
        return 0;
    const long bit = static_cast<long>(page - 1) * kCGCells + (cell - 1);
    if (bit >= 32L * GAME_GLOBAL_DATA::kCgWords)
        return 0;
    return (g->m_dwCgFlag[episode - 1][scene - 1][bit / 32] >> (bit % 32)) & 1u ? 1 : 0;
}

int CG_MODE_DATA::EpisodesListed() const {
    const int top = m_pGlobalData ? m_pGlobalData->m_nTopEpisode : 0;
    if (top < 0)
        return 1;
    // Any number may come from the cross-play file: compared without adding.
    return top < kEpisodes ? top + 1 : kEpisodes;
}

int CG_MODE_DATA::GetEpisodeTitle(int episode) {
    static const char* const kTag = "CG_MODE_DATA::GetEpisodeTitle";
    if (!m_bInit) {
        Log("GetEpisodeTitle", "初期化されていません");
        return 0;
    }
    m_szNextTitle[0] = '\0';
    m_fNextTitleChars = 0.0f;
    m_rcNextTitle = KURECT{0, 0, 0, 0};
    if (!Episode(episode)) {
        DebugError(kTag, "エピソード数が不正です");
        return 0;
    }
    ScriptReader script(m_pKUSys, m_szScriptName, kTag);
    if (!script.Open())
        return 0;
    char key[32];
    std::snprintf(key, sizeof key, "EPISODE%02d", episode);
    std::string title;
    if (!script.Find(key, false, &title, nullptr) || title.empty())
        return 1;
    game::CopyFixed(m_szNextTitle, title.c_str());
    const int n = static_cast<int>(std::strlen(m_szNextTitle)) / 2;
    m_rcNextTitle = KURECT{456 - 9 * n, 71, 792, 96};
    BuildTitleText(kTextTitle + 1, m_szNextTitle);
    return 1;
}

int CG_MODE_DATA::BuildTitleText(int slot, const char* title) {
    if (!m_pKUSprite)
        return 0;
    m_pKUSprite->ReleaseTextureTextData(static_cast<uint32_t>(slot));
    return m_pKUSprite->SetTextureTextData(static_cast<uint32_t>(slot), title, 18, 400, g_dwAntiAliasLevel, 17, 0) >= 0
               ? 1
               : 0;
}

int CG_MODE_DATA::SetDataEpisodeScene(int episode, int scenePage) {
    static const char* const kTag = "CG_MODE_DATA::SetDataEpisodeScene";
    if (!m_bInit) {
        Log("SetDataEpisodeScene", "初期化されていません");
        return 0;
    }
    for (CG_SELECT_ITEM_DATA& c : m_nextSceneItem)
        c.ClearContent();
    if (!Episode(episode)) {
        DebugError(kTag, "エピソード数が不正です");
        return 0;
    }
    ScriptReader script(m_pKUSys, m_szScriptName, kTag);
    if (!script.Open())
        return 0;
    if (scenePage < 1 || scenePage > kCountLimit)
        return 1;
    for (int c = 1; c <= kSceneCells; ++c) {
        const int k = (scenePage - 1) * kSceneCells + c;
        char key[48];
        std::snprintf(key, sizeof key, "EPISODE%02d-SCENE%02d", episode, k);
        std::string name;
        if (!script.Find(key, false, &name, nullptr))
            break;
        const int one = 1, zero = 0, select = SceneUnlocked(m_pGlobalData, episode, k);
        const KURECT draw{(c - 1) * 136, (scenePage - 1) * 104, c * 136, scenePage * 104};
        const bool none = plat::SjisEqualNoCase(name, "NULL");
        m_nextSceneItem[c - 1].SetData(&one, &select, &zero, nullptr, nullptr, &draw, nullptr,
                                       none ? "" : name.c_str());
    }
    return 1;
}

int CG_MODE_DATA::SetDataSceneCG(int episode, int scene, int page) {
    static const char* const kTag = "CG_MODE_DATA::SetDataSceneCG";
    if (!m_bInit) {
        Log("SetDataSceneCG", "初期化されていません");
        return 0;
    }
    for (CG_SELECT_ITEM_DATA& c : m_nextCGItem)
        c.ClearContent();
    if (!Episode(episode)) {
        DebugError(kTag, "エピソード数が不正です");
        return 0;
    }
    if (scene <= 0) {
        DebugError(kTag, "シーン数が不正です");
        return 0;
    }
    ScriptReader script(m_pKUSys, m_szScriptName, kTag);
    if (!script.Open())
        return 0;
    if (page < 1 || page > kCountLimit || scene > kCountLimit)
        return 1;
    for (int n = 1; n <= kCGCells; ++n) {
        const int x = (n - 1) % 5 + 1, y = (n - 1) / 5 + 1;
        char key[64];
        std::snprintf(key, sizeof key, "EPISODE%02d-SCENE%02d-PAGE%02d-X%02d-Y%02d", episode, scene, page, x, y);
        std::string file, flag;
        if (!script.Find(key, false, &file, &flag))
            break;
        const int one = 1, select = CGUnlocked(m_pGlobalData, episode, scene, page, n);
        const int full = plat::SjisEqualNoCase(flag, "FULL") ? 1 : 0;
        const KURECT draw{(x - 1) * 136, ((page - 1) * 3 + y - 1) * 104, x * 136, ((page - 1) * 3 + y) * 104};
        m_nextCGItem[n - 1].SetData(&one, &select, &full, nullptr, nullptr, &draw, nullptr, file.c_str());
    }
    return 1;
}

int CG_MODE_DATA::GetMaxScenePage(int episode) {
    static const char* const kTag = "CG_MODE_DATA::GetMaxScenePage";
    if (!Episode(episode)) {
        DebugError(kTag, "エピソード数が不正です");
        return 0;
    }
    ScriptReader script(m_pKUSys, m_szScriptName, kTag);
    if (!script.Open())
        return 0;
    int s = 1;
    for (; s <= kCountLimit; ++s) {
        char key[48];
        std::snprintf(key, sizeof key, "EPISODE%02d-SCENE%02d", episode, s);
        if (!script.Find(key, false, nullptr, nullptr))
            break;
    }
    const int scenes = s - 1;
    m_nScenePage = m_nNextScenePage = scenes >= 1 ? 1 : 0;
    m_nScenePageMax = scenes >= 1 ? (scenes - 1) / kSceneCells + 1 : 0;
    return 1;
}

int CG_MODE_DATA::GetMaxCGPage(int episode, int scene) {
    static const char* const kTag = "CG_MODE_DATA::GetMaxCGPage";
    if (!Episode(episode)) {
        DebugError(kTag, "エピソード数が不正です");
        return 0;
    }
    ScriptReader script(m_pKUSys, m_szScriptName, kTag);
    if (!script.Open())
        return 0;
    int p = 1;
    for (; p <= kCountLimit && scene >= 1 && scene <= kCountLimit; ++p) {
        char key[48];
        std::snprintf(key, sizeof key, "EPISODE%02d-SCENE%02d-PAGE%02d", episode, scene, p);
        if (!script.Find(key, true, nullptr, nullptr))
            break;
    }
    const int pages = scene >= 1 && scene <= kCountLimit ? p - 1 : 0;
    m_nCGPage = m_nNextCGPage = pages >= 1 ? 1 : 0;
    m_nCGPageMax = pages;
    return 1;
}

int CG_MODE_DATA::StepCG(int dir, int episode, int scene, int page, int cell, int* outPage, int* outCell,
                         const char* op) {
    const std::string tag = std::string("CG_MODE_DATA::") + op;
    if (!m_bInit) {
        Log(op, "初期化されていません");
        return 0;
    }
    if (!Episode(episode)) {
        DebugError(tag.c_str(), "エピソード数が不正です");
        return 0;
    }
    if (scene <= 0) {
        DebugError(tag.c_str(), "シーン数が不正です");
        return 0;
    }
    if (cell <= 0) {
        DebugError(tag.c_str(), "CGナンバーが不正です");
        return 0;
    }
    int p = page, s = cell;
    bool found = false;
    // Bounded by the page count: at most that many pages of fifteen cells.
    for (int guard = 0; guard <= (kCountLimit + 1) * kCGCells; ++guard) {
        s += dir;
        if (s > kCGCells) {
            ++p;
            s = 1;
        } else if (s < 1) {
            --p;
            s = kCGCells;
        }
        if (p > m_nCGPageMax || p < 1)
            break;
        if (CGUnlocked(m_pGlobalData, episode, scene, p, s)) {
            found = true;
            break;
        }
    }
    if (outPage)
        *outPage = found ? p : 0;
    if (outCell)
        *outCell = found ? s : 0;
    m_szNextViewFile[0] = '\0';
    if (!found)
        return 0;
    ScriptReader script(m_pKUSys, m_szScriptName, tag.c_str());
    if (!script.Open())
        return 0;
    {
        char key[64];
        std::snprintf(key, sizeof key, "EPISODE%02d-SCENE%02d-PAGE%02d-X%02d-Y%02d", episode, scene, p, (s - 1) % 5 + 1,
                      (s - 1) / 5 + 1);
        std::string file;
        if (script.Find(key, false, &file, nullptr))
            game::CopyFixed(m_szNextViewFile, file.c_str());
    }
    return 1;
}

int CG_MODE_DATA::IsSelectNextCG(int episode, int scene, int page, int cell, int* outPage, int* outCell) {
    return StepCG(1, episode, scene, page, cell, outPage, outCell, "IsSelectNextCG");
}

int CG_MODE_DATA::IsSelectBackCG(int episode, int scene, int page, int cell, int* outPage, int* outCell) {
    return StepCG(-1, episode, scene, page, cell, outPage, outCell, "IsSelectBackCG");
}
