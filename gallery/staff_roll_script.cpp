// The staff roll's data script and the per-frame dispatch of its commands.
#include <cstdio>
#include <new>

#include "adv/script_token.h"
#include "engine/kusystem.h"
#include "gallery/data_script.h"
#include "gallery/staff_roll_mode_data.h"
#include "modes/mode_common.h"

namespace {

constexpr int kMaxTokens = 10;

// Numbers past the range of their field stop at its ends rather than wrap
// (adv::ScriptFloat holds fractions the same way).
int ToInt(const char* t) { return adv::ScriptInt(t); }

// First pass: how many objects and steps the script sets, so the tables are made once.
int CountRecords(KUSYSTEM* sys, const char* tag, FILE* f, int* objs, int* procs) {
    char line[gallery::kLineSize];
    char tok[1][gallery::kTokenSize];
    int r;
    while ((r = gallery::ReadDataLine(sys, tag, f, line)) == 1) {
        if (gallery::SplitTokens(line, tok, 1) < 1)
            continue;
        if (gallery::EqualNoCase(tok[0], "#OBJ_SET"))
            ++*objs;
        else if (gallery::EqualNoCase(tok[0], "#SET_PROC"))
            ++*procs;
    }
    return r;
}

// The operator among a step's first nine tokens and where it stands; 0 when there is none.
int FindOperator(char (*tok)[gallery::kTokenSize], int n, int* at) {
    for (int i = 0; i < 9 && i < n; ++i) {
        const int op = STAFF_ROLL_PROC_DATA::OperatorCode(tok[i]);
        if (op) {
            *at = i;
            return op;
        }
    }
    return 0;
}

} // namespace

int STAFF_ROLL_MODE_DATA::ReadScriptData(const char* name) {
    const char* tag = "STAFF_ROLL_MODE_DATA::ReadScriptData";
    if (!m_pKUSys) {
        modes::ErrorPrint(nullptr, tag, "初期化されていません");
        return 0;
    }
    if (!name) {
        modes::ErrorPrint(m_pKUSys, tag, "ファイルパスが不正です");
        return 0;
    }
    FILE* f = gallery::OpenDataScript(m_pKUSys, tag, name);
    if (!f)
        return 0;
    char line[gallery::kLineSize];
    char tok[kMaxTokens][gallery::kTokenSize];
    int objs = 0, procs = 0;
    int r = CountRecords(m_pKUSys, tag, f, &objs, &procs);
    if (r < 0) {
        std::fclose(f);
        return 0;
    }
    delete[] m_pDrawObj;
    delete[] m_pProc;
    m_pDrawObj = objs ? new STAFF_ROLL_DRAW_OBJ[objs] : nullptr;
    m_pProc = procs ? new STAFF_ROLL_PROC_DATA[procs] : nullptr;
    m_nDrawObjNum = 0;
    m_nProcNum = 0;
    std::rewind(f);
    while ((r = gallery::ReadDataLine(m_pKUSys, tag, f, line)) == 1) {
        for (auto& t : tok)
            t[0] = '\0';
        int n = gallery::SplitTokens(line, tok, kMaxTokens);
        if (n < 1)
            continue;
        if (gallery::EqualNoCase(tok[0], "#SCROLL_SPEED_1SEC")) {
            m_fScrollSpeed = adv::ScriptFloat(tok[1]);
        } else if (gallery::EqualNoCase(tok[0], "#OBJ_SET")) {
            // The file cannot grow between the passes, but the count is the bound.
            if (m_nDrawObjNum >= objs)
                continue;
            KURECT src{ToInt(tok[2]), ToInt(tok[3]), ToInt(tok[4]), ToInt(tok[5])};
            const float x = adv::ScriptFloat(tok[6]);
            const float y = adv::ScriptFloat(tok[7]);
            if (m_pDrawObj[m_nDrawObjNum].Initialize(m_pKUSprite, m_pKUSys, tok[1], x, y, &src))
                ++m_nDrawObjNum;
        } else if (gallery::EqualNoCase(tok[0], "#SET_PROC")) {
            int at = 0;
            const int op = FindOperator(tok, n, &at);
            if (!op) {
                modes::ErrorPrint(m_pKUSys, tag, "オペレーターが見つかりません");
                std::fclose(f);
                return 0;
            }
            if (m_nProcNum >= procs)
                continue;
            if (!m_pProc[m_nProcNum].Initialize(m_pKUSys, tok[1], adv::ScriptFloat(tok[at + 1]), op, tok, kMaxTokens)) {
                modes::ErrorPrint(m_pKUSys, tag, "処理データの初期化に失敗しました");
                std::fclose(f);
                return 0;
            }
            ++m_nProcNum;
        }
    }
    std::fclose(f);
    if (r < 0)
        return 0;
    m_pKUSys->RemoveFile("tmp/", name, 0);
    return 1;
}

int STAFF_ROLL_MODE_DATA::DistributionScriptProc() {
    const char* tag = "STAFF_ROLL_MODE_DATA::DistributionScriptProc";
    if (!m_pKUSys) {
        modes::ErrorPrint(nullptr, tag, "初期化されていません");
        return 0;
    }
    static const char* const kNames[] = {"BG_CHANGE",           "BG_FADE_OUT", "BG_FADE_IN",
                                         "SCROLL_SPEED_CHANGE", "SCROLL_STOP", "STAFF_ROLL_STOP_WAIT_END"};
    for (int i = 0; i < m_nProcNum; ++i) {
        STAFF_ROLL_PROC_DATA* p = &m_pProc[i];
        if (p->m_bDone || (!p->m_bRunning && !p->Holds(m_fBaseY)))
            continue;
        int which = -1;
        for (int k = 0; k < 6; ++k) {
            if (gallery::EqualNoCase(p->m_szName, kNames[k])) {
                which = k;
                break;
            }
        }
        if (which < 0) {
            modes::ErrorPrint(m_pKUSys, tag, "定義されていない命令です");
            return 0;
        }
        const bool final = which == 5;
        if (final && p->m_nStep == 0) {
            for (int j = 0; j < m_nProcNum; ++j) {
                if (j != i)
                    m_pProc[j].m_bDone = 1;
            }
            m_fBgAlpha = 0.0f;
            m_fBgInAlpha = 0.0f;
        }
        char name[gallery::kTokenSize];
        gallery::CopyText(name, sizeof(name), p->m_szName);
        int r = 0;
        switch (which) {
            case 0: r = BG_CHANGE_Proc(p); break;
            case 1: r = BG_FADE_OUT_Proc(p); break;
            case 2: r = BG_FADE_IN_Proc(p); break;
            case 3: r = SCROLL_SPEED_CHANGE_Proc(p); break;
            case 4: r = SCROLL_STOP_Proc(p); break;
            default: r = STAFF_ROLL_STOP_WAIT_END_Proc(p); break;
        }
        if (r == 0) {
            char text[gallery::kTokenSize + 64];
            std::snprintf(text, sizeof(text), "%s命令でエラーが発生しました", name);
            modes::ErrorPrint(m_pKUSys, tag, text);
            p->Clear();
            return 0;
        }
        if (final && p->m_bDone) {
            if (m_dwStateTime == 0)
                m_dwStateTime = static_cast<uint32_t>(m_pKUSys->GetTime());
            m_nState = 3;
        }
    }
    return 1;
}
