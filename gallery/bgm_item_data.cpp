#include "gallery/bgm_item_data.h"

#include <cstring>

#include "game/game_settings.h"
#include "engine/kusprite2.h"
#include "gallery/data_script.h"
#include "modes/mode_common.h"

BGM_ITEM_DATA::BGM_ITEM_DATA() : pKUSprite(nullptr), pKUSys(nullptr), bInit(0), nTextSlot(-1) { Release(); }

BGM_ITEM_DATA::~BGM_ITEM_DATA() { Release(); }

int BGM_ITEM_DATA::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, int index, const char* dispText, const char* fileName) {
    Release();
    const char* tag = "BGM_ITEM_DATA::Initialize";
    const char* fault = nullptr;
    if (!sys)
        fault = "KUSYSTEMクラスポインタの引数が不正です";
    else if (!sprite)
        fault = "KUSPRITE2クラスポインタの引数が不正です";
    else if (!dispText)
        fault = "表示文字列が指定されていません";
    else if (!fileName)
        fault = "ファイル名が指定されていません";
    else if (index < 0 || index > 14)
        fault = "項目数が不正です";
    if (fault) {
        modes::ErrorPrint(sys, tag, fault);
        return 0;
    }
    pKUSys = sys;
    pKUSprite = sprite;
    gallery::CopyText(szDispText, kTextSize, dispText);
    gallery::CopyText(szFileName, kFileSize, fileName);
    nIndex = index;
    nTextSlot = index + 6;
    if (index == 0) {
        fPosX = 404.0f;
        fPosY = 372.0f;
        rcDraw = KURECT{0, 40, 392, 80};
    } else {
        fPosX = index <= 7 ? 4.0f : 404.0f;
        fPosY = static_cast<float>(52 + 40 * ((index - 1) % 7));
        rcDraw = KURECT{0, 0, 392, 40};
    }
    const int x = static_cast<int>(fPosX), y = static_cast<int>(fPosY);
    rcHit = KURECT{x, y, x + 392, y + 40};
    rcText = KURECT{x + 36, y + 14, x + 386, y + 32};
    if (sprite->SetTextureTextData(static_cast<uint32_t>(nTextSlot), szDispText, 16, 400, g_dwAntiAliasLevel, 17, 0) <
        0) {
        modes::ErrorPrint(sys, tag, "テキストのデータのセットに失敗しました");
        return 0;
    }
    bInit = 1;
    return 1;
}

void BGM_ITEM_DATA::Release() {
    if (pKUSprite && nTextSlot >= 0)
        pKUSprite->ReleaseTextureTextData(static_cast<uint32_t>(nTextSlot));
    bInit = 0;
    nIndex = -1;
    nTextSlot = -1;
    fPosX = fPosY = 0.0f;
    rcDraw = rcHit = rcText = KURECT{0, 0, 0, 0};
    std::memset(szDispText, 0, sizeof(szDispText));
    std::memset(szFileName, 0, sizeof(szFileName));
    pKUSprite = nullptr;
    pKUSys = nullptr;
}

int BGM_ITEM_DATA::HitCheck(int x, int y) const { return bInit && modes::RectHit(rcHit, x, y) ? 1 : 0; }
