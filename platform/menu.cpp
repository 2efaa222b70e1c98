#include "platform/menu.h"

#include <algorithm>

#include "platform/gdi_dc.h"
#include "platform/gdi_text.h"
#include "platform/sjis.h"

namespace plat {

void MenuModel::AddItem(int id, const std::string& caption, bool checked) {
    if (tops_.empty())
        tops_.push_back(Top{});
    tops_.back().items.push_back(Item{id, caption, checked});
}

bool MenuModel::SetChecked(int id, bool checked) {
    for (auto& t : tops_) {
        for (auto& i : t.items) {
            if (i.id == id) {
                i.checked = checked;
                return true;
            }
        }
    }
    return false;
}

const MenuModel::Item* MenuModel::FindItem(int id) const {
    for (const auto& t : tops_) {
        for (const auto& i : t.items) {
            if (i.id == id)
                return &i;
        }
    }
    return nullptr;
}

bool MenuModel::IsChecked(int id) const {
    const Item* i = FindItem(id);
    return i && i->checked;
}

char MenuModel::Mnemonic(const std::string& caption) {
    for (size_t i = 0; i < caption.size(); i += SjisCharLength(caption, i)) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            char c = caption[i + 1];
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            return c;
        }
    }
    return 0;
}

std::string MenuModel::DisplayText(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size();) {
        size_t n = SjisCharLength(caption, i);
        if (!(n == 1 && caption[i] == '&'))
            out.append(caption, i, n);
        i += n;
    }
    return out;
}

void FillRect(Surface* s, int x, int y, int w, int h, uint32_t argb) {
    int x0 = std::max(0, x), y0 = std::max(0, y);
    int x1 = std::min(s->width, x + w), y1 = std::min(s->height, y + h);
    for (int yy = y0; yy < y1; ++yy) {
        uint32_t* row = s->Row(yy);
        for (int xx = x0; xx < x1; ++xx)
            row[xx] = argb;
    }
}

void FrameRect(Surface* s, int x, int y, int w, int h, uint32_t argb) {
    FillRect(s, x, y, w, 1, argb);
    FillRect(s, x, y + h - 1, w, 1, argb);
    FillRect(s, x, y, 1, h, argb);
    FillRect(s, x + w - 1, y, 1, h, argb);
}

int UiTextWidth(const std::string& sjis, int height) {
    int w = SurfaceTextWidth(sjis, height);
    if (w >= 0)
        return w;
    int n = 0;
    for (size_t i = 0; i < sjis.size(); i += SjisCharLength(sjis, i))
        n += static_cast<int>(SjisCharLength(sjis, i));
    return n * height / 2;
}

int DrawUiText(Surface* s, int x, int y, const std::string& sjis, uint32_t argb, int height) {
    TextStyle style;
    style.height = height;
    style.color = ArgbToColorRef(argb);
    int adv = SurfaceTextOut(s, x, y, sjis, style);
    return adv >= 0 ? adv : UiTextWidth(sjis, height);
}

namespace menu_draw {

namespace {
constexpr uint32_t kBarColour = 0xFFE8E8E8u;
constexpr uint32_t kTextColour = 0xFF000000u;
constexpr uint32_t kHiColour = 0xFF3366CCu;
constexpr uint32_t kHiText = 0xFFFFFFFFu;
constexpr uint32_t kBorder = 0xFF808080u;

void DrawCheck(Surface* s, int x, int y, uint32_t c) {
    // A small tick: two strokes.
    for (int i = 0; i < 3; ++i)
        FillRect(s, x + i, y + 4 + i, 1, 2, c);
    for (int i = 0; i < 6; ++i)
        FillRect(s, x + 3 + i, y + 6 - i, 1, 2, c);
}
} // namespace

std::vector<int> TopPositions(const MenuModel& menu) {
    std::vector<int> xs;
    int x = 4;
    for (const auto& t : menu.tops()) {
        xs.push_back(x);
        x += UiTextWidth(MenuModel::DisplayText(t.caption), kTextHeight) + 2 * kPadX;
    }
    xs.push_back(x);
    return xs;
}

int TopIndexAt(const MenuModel& menu, int x) {
    std::vector<int> xs = TopPositions(menu);
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        if (x >= xs[i] && x < xs[i + 1])
            return static_cast<int>(i);
    }
    return -1;
}

void DropDownRect(const MenuModel& menu, int top, int barHeight, int* x, int* y, int* w, int* h) {
    std::vector<int> xs = TopPositions(menu);
    const auto& items = menu.tops()[static_cast<size_t>(top)].items;
    int width = 120;
    for (const auto& i : items) {
        width = std::max(width, UiTextWidth(MenuModel::DisplayText(i.caption), kTextHeight) + kCheckWidth + 3 * kPadX);
    }
    *x = xs[static_cast<size_t>(top)];
    *y = barHeight;
    *w = width;
    *h = static_cast<int>(items.size()) * kItemHeight + 4;
}

void DrawBar(Surface* canvas, const MenuModel& menu, int barHeight, int openTop) {
    FillRect(canvas, 0, 0, canvas->width, barHeight, kBarColour);
    FillRect(canvas, 0, barHeight - 1, canvas->width, 1, kBorder);
    std::vector<int> xs = TopPositions(menu);
    int ty = (barHeight - kTextHeight) / 2;
    for (size_t i = 0; i < menu.tops().size(); ++i) {
        bool hi = static_cast<int>(i) == openTop;
        if (hi)
            FillRect(canvas, xs[i], 1, xs[i + 1] - xs[i], barHeight - 2, kHiColour);
        DrawUiText(canvas, xs[i] + kPadX, ty, MenuModel::DisplayText(menu.tops()[i].caption),
                   hi ? kHiText : kTextColour, kTextHeight);
    }
}

void DrawDropDown(Surface* canvas, const MenuModel& menu, int top, int barHeight, int selected) {
    if (top < 0 || top >= static_cast<int>(menu.tops().size()))
        return;
    int x, y, w, h;
    DropDownRect(menu, top, barHeight, &x, &y, &w, &h);
    FillRect(canvas, x, y, w, h, 0xFFF4F4F4u);
    FrameRect(canvas, x, y, w, h, kBorder);
    const auto& items = menu.tops()[static_cast<size_t>(top)].items;
    for (size_t i = 0; i < items.size(); ++i) {
        int iy = y + 2 + static_cast<int>(i) * kItemHeight;
        bool hi = static_cast<int>(i) == selected;
        if (hi)
            FillRect(canvas, x + 2, iy, w - 4, kItemHeight, kHiColour);
        uint32_t c = hi ? kHiText : kTextColour;
        if (items[i].checked)
            DrawCheck(canvas, x + kPadX - 2, iy + 5, c);
        DrawUiText(canvas, x + kPadX + kCheckWidth, iy + (kItemHeight - kTextHeight) / 2,
                   MenuModel::DisplayText(items[i].caption), c, kTextHeight);
    }
}

} // namespace menu_draw
} // namespace plat
