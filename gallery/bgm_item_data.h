#pragma once
#include "engine/kugraphic2.h"

class KUSYSTEM;
class KUSPRITE2;

// One row of the music room: a track (1-14) or the movie row (0), with its
// display text built into a texture-text slot of its own.
class BGM_ITEM_DATA {
public:
    static constexpr int kTextSize = 512;
    static constexpr int kFileSize = 260;

    BGM_ITEM_DATA();
    ~BGM_ITEM_DATA();
    BGM_ITEM_DATA(const BGM_ITEM_DATA&) = delete;
    BGM_ITEM_DATA& operator=(const BGM_ITEM_DATA&) = delete;

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, int index, const char* dispText, const char* fileName);
    void Release();
    // 1 when set and (x, y) lies in the row (right and bottom excluded).
    int HitCheck(int x, int y) const;

    KUSPRITE2* pKUSprite;
    KUSYSTEM* pKUSys;
    int bInit;
    int nIndex;
    int nTextSlot;
    float fPosX, fPosY;
    KURECT rcDraw;
    KURECT rcHit;
    KURECT rcText;
    char szDispText[kTextSize];
    char szFileName[kFileSize];
};
