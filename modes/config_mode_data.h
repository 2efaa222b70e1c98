#pragma once
#include <cstdint>

#include "engine/kugraphic2.h"
#include "scene/message_window.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;
class ADV_DATA;

// The options screen: nine settings as rows of picture cells applied at
// once, portrait areas that play voice samples, a back button and, with a
// game open, a return-to-title button guarded by a Yes/No dialog.
class CONFIG_MODE_DATA {
public:
    static constexpr int kSlotFade = 0;
    static constexpr int kSlotWindow = 2;
    static constexpr int kSlotMaterial = 17;
    static constexpr int kSlotBG = 18;
    static constexpr int kSeHover = 21;
    static constexpr int kSePush = 22;
    static constexpr int kSeEnd = 23;
    static constexpr int kSeWindowHover = 3;
    static constexpr int kSeWindowPush = 4;

    // Item numbers beyond the sixteen cells.
    static constexpr int kItemSEBase = 17;
    static constexpr int kItemVoiceBase = 28;
    static constexpr int kItemBGMBase = 39;
    static constexpr int kItemYes = 50;
    static constexpr int kItemNo = 51;
    static constexpr int kItemBack = 52;
    static constexpr int kItemTitle = 53;

    // Results of MainProc.
    static constexpr int kResultBack = 1;
    static constexpr int kResultTitle = 2;

    // The working copy of the settings.
    struct EnvData {
        int fullScreen;
        int bpp;
        int messageSpeed;
        int autoSkip;
        int autoSkipSpeed;
        int antiAlias;
        int seVolume;
        int voiceVolume;
        int bgmVolume;
    };

    // The texture-text slot the question is set in: the message window's
    // message text slot.
    static constexpr uint32_t kTextSlot = MESSAGE_WINDOW::kMessageTextSlot;

    CONFIG_MODE_DATA();
    ~CONFIG_MODE_DATA();
    CONFIG_MODE_DATA(const CONFIG_MODE_DATA&) = delete;
    CONFIG_MODE_DATA& operator=(const CONFIG_MODE_DATA&) = delete;

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, ADV_DATA* adv);
    void Release();
    int ConfigModeDataLoad();
    int ConfigModeDataUnload();
    int GetEnvData();
    int MainProc();
    int DrawProc();
    int CursorMoveProc();

    // Hit rectangle of an item (1..16, volume cells, 52, 53; 50/51 from the
    // dialog's position); false for no such item.
    bool ItemRect(int item, KURECT* rc) const;
    // Arrow-key target item from an item in the current phase, 0 none.
    int MoveTargetItem(int current, int vk) const;

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    ADV_DATA* m_pAdvData;
    int m_nPhase;
    uint32_t m_dwPhaseStart;
    MESSAGE_WINDOW m_MsgWnd; // the return-to-title dialog
    float m_fFade;
    int m_nHover;
    EnvData m_Env;

private:
    // MainProc's phases; each returns MainProc's result.
    int OpeningProc(uint32_t now, float t);
    int MenuProc(uint32_t now);
    int QuestionProc(uint32_t now, float t);
    int ClosingProc(uint32_t now, float t);
    int HitItem(int x, int y) const;
    bool IsSelected(int item) const;
    void ClickItem(int item, uint32_t now);
    void SetAntiAlias(int level);
    void CommitAntiAlias();
    int SetDialogText();
    int DrawDialog(int click);
    int DrawCell(int item, float alpha);
    int DrawRect(int slot, float x, float y, const KURECT& src, float alpha);
};
