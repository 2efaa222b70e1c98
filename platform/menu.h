#pragma once
#include <string>
#include <vector>

#include "platform/surface.h"

namespace plat {

// A menu bar as data: top entries with their drop-down items. Captions are
// Shift-JIS with "&" before the mnemonic letter, as in "ファイル(&F)".
class MenuModel {
public:
    struct Item {
        int id = 0;
        std::string caption;
        bool checked = false;
    };
    struct Top {
        std::string caption;
        std::vector<Item> items;
    };

    void AddTop(const std::string& caption) { tops_.push_back(Top{caption, {}}); }
    // Adds to the last top entry.
    void AddItem(int id, const std::string& caption, bool checked = false);

    const std::vector<Top>& tops() const { return tops_; }
    // False when no item has this id.
    bool SetChecked(int id, bool checked);
    bool IsChecked(int id) const;
    const Item* FindItem(int id) const;

    // Mnemonic letter of a caption (upper case), 0 when it has none.
    static char Mnemonic(const std::string& caption);
    // Caption without the "&" marker.
    static std::string DisplayText(const std::string& caption);

private:
    std::vector<Top> tops_;
};

// Layout and drawing of the bar and a drop-down onto a canvas. Sizes are
// fixed so that pictures are the same on every machine.
namespace menu_draw {
constexpr int kTextHeight = 12;
constexpr int kItemHeight = 20;
constexpr int kPadX = 8;
constexpr int kCheckWidth = 16;

// x of each top entry and the end of the last one.
std::vector<int> TopPositions(const MenuModel& menu);
int TopIndexAt(const MenuModel& menu, int x);
// Rectangle of the drop-down of top entry `top` below a strip of height barHeight.
void DropDownRect(const MenuModel& menu, int top, int barHeight, int* x, int* y, int* w, int* h);
// Draws the strip at (0, 0) with width w and height barHeight; `openTop` is
// highlighted (-1 none).
void DrawBar(Surface* canvas, const MenuModel& menu, int barHeight, int openTop);
void DrawDropDown(Surface* canvas, const MenuModel& menu, int top, int barHeight, int selected);
} // namespace menu_draw

// Small drawing helpers shared by the menu and the dialogs.
void FillRect(Surface* s, int x, int y, int w, int h, uint32_t argb);
void FrameRect(Surface* s, int x, int y, int w, int h, uint32_t argb);
// Text at (x, y); returns the advance. Without a Japanese font nothing is
// drawn and an estimate is returned, so layouts still work.
int DrawUiText(Surface* s, int x, int y, const std::string& sjis, uint32_t argb, int height);
int UiTextWidth(const std::string& sjis, int height);

} // namespace plat
