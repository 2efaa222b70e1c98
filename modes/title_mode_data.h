#pragma once
#include <cstdint>

#include "engine/kugraphic2.h"
#include "modes/title_obj_data.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;

// The title screen: day or night background, an intro in which the logo,
// two bars and the menu slide and fade in, then a menu of new game, load,
// options, the picture gallery, the music room and quit; it closes by itself 90 s after the menu appeared.
class TITLE_MODE_DATA {
public:
    static constexpr int kSlotFade = 0;
    static constexpr int kSlotMaterial = 5;
    static constexpr int kSlotDay = 6;
    static constexpr int kSlotNight = 7;
    static constexpr int kSeHover = 9;
    static constexpr int kSePush = 10;
    static constexpr int kObjCount = 10;
    static constexpr uint32_t kIdleMs = 90000;

    // Results of MainProc.
    static constexpr int kResultNewGame = 1;
    static constexpr int kResultLoad = 2;
    static constexpr int kResultConfig = 3;
    static constexpr int kResultGallery = 4;
    static constexpr int kResultMusicRoom = 5;
    static constexpr int kResultQuit = 6;
    static constexpr int kResultIdle = 7;

    TITLE_MODE_DATA();
    ~TITLE_MODE_DATA();
    TITLE_MODE_DATA(const TITLE_MODE_DATA&) = delete;
    TITLE_MODE_DATA& operator=(const TITLE_MODE_DATA&) = delete;

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd);
    void Release();
    int TitleModeDataLoad();
    int TitleModeDataUnload();
    int MainProc();
    int DrawProc();
    int CursorMoveProc();

    // Background slot for a local date and time: day (6) or night (7).
    static int ChooseBackground(int month, int hour, int minute);
    // Hit rectangle of a menu item (1 to 6); false for any other item.
    static bool ItemRect(int item, KURECT* rc);

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    int m_nPhase;
    uint32_t m_dwPhaseStart;
    int m_nBGSlot;
    float m_fFade;
    int m_nSelect;
    TITLE_OBJ_DATA m_Obj[kObjCount];

private:
    // MainProc's phases; each returns MainProc's result.
    int OpeningProc(uint32_t now, float t);
    int MenuProc(uint32_t now, int click);
    int ClosingProc(uint32_t now, float t);
    int SkipToMenuProc(uint32_t now);
    void PlaceAllAtRest();
    int DrawObj(int slot, float x, float y, const KURECT& src, float alpha);
};
