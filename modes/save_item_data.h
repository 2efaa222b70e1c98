#pragma once
#include <cstdint>
#include <cstdio>

#include "engine/kugraphic2.h"

class KUSYSTEM;
class KUSPRITE2;

// The local date and time a slot was saved at, as its file's first line
// holds it (the other fields stay 0).
struct SLOT_TIME {
    int32_t wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};

// One of the thirty slots of the save and load screens: its place on the
// screen, its hit test and the caption made from its file's first two lines
// (episode, scene, date and time in full-width characters) in a texture-text
// slot. The save and load entries differ only in the names their log lines
// carry.
class SLOT_ITEM_DATA {
public:
    static constexpr int kSlotCount = 30;
    static constexpr int kCaptionSize = 512;

    explicit SLOT_ITEM_DATA(bool load = false);
    ~SLOT_ITEM_DATA();
    SLOT_ITEM_DATA(const SLOT_ITEM_DATA&) = delete;
    SLOT_ITEM_DATA& operator=(const SLOT_ITEM_DATA&) = delete;

    // 1 ready without data; 0 after the log line (missing object, number
    // outside 1..30).
    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, int number);
    // Back to uninitialised without data; the slot number stays.
    void Clear();
    // Builds and renders the caption into texture-text slot `textSlot`.
    int DataSet(uint32_t textSlot, int episode, int scene, const SLOT_TIME* time);
    int HitCheck(int x, int y) const;

    // Entries of the load screen name themselves so in their log lines.
    void SetLoadEntry(bool load) { m_bLoadEntry = load; }

    KUSPRITE2* m_pKUSprite;
    KUSYSTEM* m_pKUSys;
    int m_bInit;
    int m_nNumber;
    int m_nTextSlot; // -1 none
    int m_bData;
    float m_fX, m_fY;
    KURECT m_rcSrc, m_rcHit, m_rcText;
    int m_nEpisode, m_nScene;
    SLOT_TIME m_Time;
    char m_szCaption[kCaptionSize];
    float m_fAlpha;

private:
    void Error(const char* method, const char* text) const;
    bool m_bLoadEntry;
};

class SAVE_ITEM_DATA : public SLOT_ITEM_DATA {
public:
    SAVE_ITEM_DATA() : SLOT_ITEM_DATA(false) {}
};

class LOAD_ITEM_DATA : public SLOT_ITEM_DATA {
public:
    LOAD_ITEM_DATA() : SLOT_ITEM_DATA(true) {}
};

namespace modes {

// ASCII digits and minus signs made full width (two Shift-JIS bytes each);
// everything else, line breaks and double-byte characters included, is kept.
// Always NUL-terminated within size bytes; a character that does not fit
// whole is left out.
void ToFullWidth(const char* src, char* dest, int size);

// The path of a slot's file, "sav/savNN.sav"; false for a slot outside 1..30.
bool SlotFilePath(int slot, char* path, int size);

// One line of a slot file up to its LF (a CR before it dropped), at most
// size - 1 bytes kept and the rest of a longer line passed over. 1 read,
// 0 end of file before any byte, -1 a read error.
int ReadSlotLine(FILE* f, char* line, int size);

// Exactly `count` decimal integers separated by blanks (more after them are
// ignored); false when fewer are there or one lies outside the int range.
bool ParseSlotInts(const char* line, int32_t* out, int count);

} // namespace modes
