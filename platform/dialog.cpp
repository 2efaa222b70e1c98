#include "platform/dialog.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>

#include "platform/backend.h"
#include "platform/input_state.h"
#include "platform/menu.h"
#include "platform/sjis.h"
#include "platform/window.h"
#include "platform/window_state.h"
#include "platform/dialog_test_hooks.h"

namespace plat {

class Dialog {
public:
    DialogTemplate t;
    std::vector<bool> checked;
    bool ended = false;
    intptr_t result = 0;
    int pressed = -1; // control index shown pressed
    int focus = -1; // control index with the keyboard focus

    int Index(int id) const {
        for (size_t i = 0; i < t.controls.size(); ++i) {
            if (t.controls[i].id == id)
                return static_cast<int>(i);
        }
        return -1;
    }
};

namespace {

struct QueuedAnswer {
    DialogAnswer answer;
    std::function<void()> whileUp;
};
std::deque<QueuedAnswer> g_answers;
int g_runs = 0;
std::string g_lastCaption;
std::string g_lastTexts;

constexpr int kTitleH = 22;
constexpr int kTextH = 12;
constexpr uint32_t kFace = 0xFFECECECu;
constexpr uint32_t kTitleBg = 0xFF2A4F8Au;
constexpr uint32_t kBorder = 0xFF404040u;
constexpr uint32_t kInk = 0xFF000000u;

void Paint(const Dialog& d, Surface* canvas, int gameTop) {
    int w = d.t.width + 2, h = d.t.height + kTitleH + 2;
    int x0 = (canvas->width - w) / 2;
    int y0 = gameTop + (canvas->height - gameTop - h) / 2;
    FillRect(canvas, x0 + 4, y0 + 4, w, h, 0x80000000u);
    FillRect(canvas, x0, y0, w, h, kFace);
    FrameRect(canvas, x0, y0, w, h, kBorder);
    FillRect(canvas, x0 + 1, y0 + 1, w - 2, kTitleH, kTitleBg);
    DrawUiText(canvas, x0 + 8, y0 + 1 + (kTitleH - kTextH) / 2, d.t.caption, 0xFFFFFFFFu, kTextH);
    int cx = x0 + 1, cy = y0 + 1 + kTitleH;
    for (size_t i = 0; i < d.t.controls.size(); ++i) {
        const DialogControl& c = d.t.controls[i];
        int x = cx + c.x, y = cy + c.y;
        std::string text = MenuModel::DisplayText(c.text);
        switch (c.kind) {
            case DialogControl::kStatic: {
                size_t start = 0;
                int line = 0;
                for (;;) {
                    size_t nl = text.find('\n', start);
                    DrawUiText(canvas, x, y + line * (kTextH + 4), text.substr(start, nl - start), kInk, kTextH);
                    if (nl == std::string::npos)
                        break;
                    start = nl + 1;
                    ++line;
                }
                break;
            }
            case DialogControl::kCheckBox: {
                int by = y + (c.h - 12) / 2;
                FillRect(canvas, x, by, 12, 12, 0xFFFFFFFFu);
                FrameRect(canvas, x, by, 12, 12, kBorder);
                if (d.checked[i])
                    FillRect(canvas, x + 3, by + 3, 6, 6, kInk);
                DrawUiText(canvas, x + 18, y + (c.h - kTextH) / 2, text, kInk, kTextH);
                if (static_cast<int>(i) == d.focus)
                    FrameRect(canvas, x + 16, y, c.w - 16, c.h, 0xFF808080u);
                break;
            }
            case DialogControl::kButton: {
                bool down = static_cast<int>(i) == d.pressed;
                FillRect(canvas, x, y, c.w, c.h, down ? 0xFFC8C8C8u : 0xFFF8F8F8u);
                FrameRect(canvas, x, y, c.w, c.h, kBorder);
                if (c.isDefault)
                    FrameRect(canvas, x - 1, y - 1, c.w + 2, c.h + 2, kInk);
                if (static_cast<int>(i) == d.focus)
                    FrameRect(canvas, x + 3, y + 3, c.w - 6, c.h - 6, 0xFF808080u);
                int tw = UiTextWidth(text, kTextH);
                DrawUiText(canvas, x + (c.w - tw) / 2, y + (c.h - kTextH) / 2, text, kInk, kTextH);
                break;
            }
        }
    }
}

// Control under a canvas point, -1 for none.
int HitTest(const Dialog& d, const Surface& canvas, int gameTop, int px, int py) {
    int w = d.t.width + 2, h = d.t.height + kTitleH + 2;
    int x0 = (canvas.width - w) / 2;
    int y0 = gameTop + (canvas.height - gameTop - h) / 2;
    int cx = x0 + 1, cy = y0 + 1 + kTitleH;
    for (size_t i = 0; i < d.t.controls.size(); ++i) {
        const DialogControl& c = d.t.controls[i];
        if (c.kind == DialogControl::kStatic)
            continue;
        if (px >= cx + c.x && px < cx + c.x + c.w && py >= cy + c.y && py < cy + c.y + c.h)
            return static_cast<int>(i);
    }
    return -1;
}

void Activate(Dialog* d, DialogProc proc, int index) {
    const DialogControl& c = d->t.controls[static_cast<size_t>(index)];
    if (c.kind == DialogControl::kCheckBox) {
        d->checked[static_cast<size_t>(index)] = !d->checked[static_cast<size_t>(index)];
    } else if (c.kind == DialogControl::kButton) {
        proc(d, kDlgCommand, static_cast<uintptr_t>(c.id));
    }
}

int DefaultIndex(const Dialog& d) {
    for (size_t i = 0; i < d.t.controls.size(); ++i) {
        if (d.t.controls[i].kind == DialogControl::kButton && d.t.controls[i].isDefault)
            return static_cast<int>(i);
    }
    for (size_t i = 0; i < d.t.controls.size(); ++i) {
        if (d.t.controls[i].kind == DialogControl::kButton)
            return static_cast<int>(i);
    }
    return -1;
}

void Answer(Dialog* d, DialogProc proc, const DialogAnswer& a) {
    for (int id : a.checks) {
        int i = d->Index(id);
        if (i >= 0)
            d->checked[static_cast<size_t>(i)] = true;
    }
    if (a.button == 0)
        proc(d, kDlgClose, 0);
    else
        proc(d, kDlgCommand, static_cast<uintptr_t>(a.button));
}

void Record(const Dialog& d) {
    g_lastCaption = d.t.caption;
    g_lastTexts.clear();
    for (const auto& c : d.t.controls)
        g_lastTexts += c.text + "\n";
}

} // namespace

void EndDialog(Dialog* d, intptr_t result) {
    if (!d)
        return;
    d->ended = true;
    d->result = result;
}

void SetDialogItemText(Dialog* d, int id, const std::string& text) {
    int i = d ? d->Index(id) : -1;
    if (i >= 0)
        d->t.controls[static_cast<size_t>(i)].text = text;
}

std::string GetDialogItemText(Dialog* d, int id) {
    int i = d ? d->Index(id) : -1;
    return i >= 0 ? d->t.controls[static_cast<size_t>(i)].text : std::string();
}

bool IsDialogButtonChecked(Dialog* d, int id) {
    int i = d ? d->Index(id) : -1;
    return i >= 0 && d->checked[static_cast<size_t>(i)];
}

void CheckDialogButton(Dialog* d, int id, bool checked) {
    int i = d ? d->Index(id) : -1;
    if (i >= 0)
        d->checked[static_cast<size_t>(i)] = checked;
}

namespace {

// Takes the next queued test answer, after what the test runs while the
// dialog is up; false when none waits.
bool PopQueuedAnswer(DialogAnswer* out) {
    if (g_answers.empty())
        return false;
    const QueuedAnswer a = g_answers.front();
    g_answers.pop_front();
    if (a.whileUp)
        a.whileUp();
    *out = a.answer;
    return true;
}

bool TakeQueuedAnswer(Dialog* d, DialogProc proc) {
    DialogAnswer a;
    if (!PopQueuedAnswer(&a))
        return false;
    Answer(d, proc, a);
    return true;
}

// Nobody can be asked: the default button answers, else a close.
void TakeDefaultAnswer(Dialog* d, DialogProc proc) {
    int i = DefaultIndex(*d);
    if (i >= 0)
        Activate(d, proc, i);
    if (!d->ended)
        proc(d, kDlgClose, 0);
}

// Tab and the arrows move the focus to the next control that is not a static.
void MoveFocus(Dialog* d, int vk) {
    int n = static_cast<int>(d->t.controls.size());
    int step = vk == kVkLeft ? n - 1 : 1;
    for (int k = 1; k <= n; ++k) {
        int i = (d->focus + step * k) % n;
        if (i < 0)
            i += n;
        if (d->t.controls[static_cast<size_t>(i)].kind != DialogControl::kStatic) {
            d->focus = i;
            break;
        }
    }
}

void ActivateByMnemonic(Dialog* d, DialogProc proc, int vk) {
    for (size_t i = 0; i < d->t.controls.size(); ++i) {
        const auto& c = d->t.controls[i];
        if (c.kind != DialogControl::kStatic && MenuModel::Mnemonic(c.text) == vk && vk) {
            d->focus = static_cast<int>(i);
            Activate(d, proc, static_cast<int>(i));
            break;
        }
    }
}

void OnDialogKey(Dialog* d, DialogProc proc, int vk) {
    if (vk == kVkReturn) {
        int i = d->focus >= 0 && d->t.controls[static_cast<size_t>(d->focus)].kind == DialogControl::kButton
                    ? d->focus
                    : DefaultIndex(*d);
        if (i >= 0)
            Activate(d, proc, i);
    } else if (vk == kVkEscape) {
        proc(d, kDlgClose, 0);
    } else if (vk == kVkSpace && d->focus >= 0) {
        Activate(d, proc, d->focus);
    } else if (vk == kVkTab || vk == kVkLeft || vk == kVkRight) {
        MoveFocus(d, vk);
    } else {
        ActivateByMnemonic(d, proc, vk);
    }
}

// A button counts as clicked when the left button goes down and up on it.
void OnDialogMouse(Dialog* d, DialogProc proc, WindowHandle owner, int gameTop, const RawInput& in) {
    if (in.vk != kVkLButton)
        return;
    int cw = 0, ch = 0;
    CanvasSize(owner, &cw, &ch);
    Surface canvas;
    canvas.width = cw;
    canvas.height = ch;
    int i = HitTest(*d, canvas, gameTop, in.x, in.y);
    if (in.kind == RawInput::kMouseDown) {
        d->pressed = i;
        return;
    }
    if (i >= 0 && i == d->pressed) {
        d->focus = i;
        Activate(d, proc, i);
    }
    d->pressed = -1;
}

// False when the input changes nothing to show.
bool OnDialogInput(Dialog* d, DialogProc proc, WindowHandle owner, int gameTop, const RawInput& in) {
    switch (in.kind) {
        case RawInput::kKeyDown:
            if (in.repeat)
                return false; // the key that opened the dialog, still held
            OnDialogKey(d, proc, in.vk);
            return true;
        case RawInput::kMouseDown:
        case RawInput::kMouseUp: OnDialogMouse(d, proc, owner, gameTop, in); return true;
        case RawInput::kClose:
        case RawInput::kQuit: proc(d, kDlgClose, 0); return true;
        default: return false;
    }
}

// The modal loop over the window: input, media events and queued answers
// until the dialog procedure ends the dialog.
void RunDialogLoop(Dialog* d, DialogProc proc, WindowHandle owner) {
    SetOverlayPainter(owner, [d](Surface* canvas, int gameTop) { Paint(*d, canvas, gameTop); });
    RedrawWindow(owner);
    int gameTop = MenuStripHeight(owner);
    while (!d->ended) {
        RawInput in;
        if (!PollRawInput(&in)) {
            DispatchAppEvents(owner);
            // A test may queue its answer while the dialog is up. On a
            // headless window nobody is left to answer once the input that
            // waited is read.
            if (!TakeQueuedAnswer(d, proc)) {
                if (!WindowSystemHeadless())
                    WaitWindowEvent(10);
                else if (!WindowEventWaiting())
                    TakeDefaultAnswer(d, proc);
            }
            continue;
        }
        if (OnDialogInput(d, proc, owner, gameTop, in) && !d->ended)
            RedrawWindow(owner);
    }
    SetOverlayPainter(owner, nullptr);
    RedrawWindow(owner);
}

} // namespace

intptr_t RunDialog(WindowHandle owner, const DialogTemplate& tmpl, DialogProc proc) {
    Dialog d;
    d.t = tmpl;
    d.checked.assign(tmpl.controls.size(), false);
    d.focus = DefaultIndex(d);
    ++g_runs;
    proc(&d, kDlgInit, 0);
    if (!d.ended)
        TakeQueuedAnswer(&d, proc);
    if (!d.ended && !owner)
        TakeDefaultAnswer(&d, proc);
    if (!d.ended)
        RunDialogLoop(&d, proc, owner);
    Record(d);
    return d.result;
}

namespace {
intptr_t MessageBoxProc(Dialog* d, uint32_t msg, uintptr_t) {
    if (msg == kDlgCommand || msg == kDlgClose)
        EndDialog(d, 1);
    return 0;
}

// Breaks a text into lines no wider than maxWidth, between characters.
std::string WrapText(const std::string& text, int maxWidth) {
    std::string out, line;
    for (size_t at = 0; at < text.size();) {
        size_t len = std::min(SjisCharLength(text, at), text.size() - at);
        std::string ch = text.substr(at, len);
        at += len;
        if (ch == "\n" || (!line.empty() && UiTextWidth(line + ch, kTextH) > maxWidth)) {
            out += line + "\n";
            line.clear();
            if (ch == "\n")
                continue;
        }
        line += ch;
    }
    return out + line;
}
} // namespace

void MessageBoxOk(WindowHandle owner, const std::string& text, const std::string& caption) {
    // Nobody can answer without a window or on a headless one: the text goes
    // to standard error and "OK" counts as pressed at once.
    if (!owner || WindowSystemHeadless()) {
        ++g_runs;
        g_lastCaption = caption;
        g_lastTexts = text + "\n";
        std::string line = SjisToUtf8(caption) + ": " + SjisToUtf8(text) + "\n";
        fputs(line.c_str(), stderr);
        DialogAnswer a;
        if (PopQueuedAnswer(&a))
            return;
        if (!owner)
            ShowSystemErrorBox(caption, text);
        return;
    }
    constexpr int kMaxTextWidth = 640;
    std::string wrapped = WrapText(text, kMaxTextWidth);
    int lines = 1 + static_cast<int>(std::count(wrapped.begin(), wrapped.end(), '\n'));
    int widest = 0;
    for (size_t start = 0; start <= wrapped.size();) {
        size_t nl = wrapped.find('\n', start);
        widest = std::max(widest, UiTextWidth(wrapped.substr(start, nl - start), kTextH));
        if (nl == std::string::npos)
            break;
        start = nl + 1;
    }
    const int textH = lines * (kTextH + 4);
    DialogTemplate t;
    t.caption = caption;
    int tw = std::max(160, widest + 40);
    t.width = tw;
    t.height = 64 + textH;
    t.controls.push_back({DialogControl::kStatic, -1, wrapped, 20, 16, tw - 40, textH, false});
    t.controls.push_back({DialogControl::kButton, 1, "OK", (tw - 80) / 2, 28 + textH, 80, 24, true});
    RunDialog(owner, t, &MessageBoxProc);
}

void QueueDialogAnswer(const DialogAnswer& answer) { g_answers.push_back({answer, nullptr}); }
void QueueDialogAnswer(const DialogAnswer& answer, std::function<void()> whileUp) {
    g_answers.push_back({answer, std::move(whileUp)});
}
void ClearDialogAnswers() { g_answers.clear(); }
int DialogRunCount() { return g_runs; }
std::string LastDialogCaption() { return g_lastCaption; }
std::string LastDialogTexts() { return g_lastTexts; }

} // namespace plat
