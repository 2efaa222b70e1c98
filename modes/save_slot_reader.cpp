#include <cstring>

#include "adv/adv_data.h"
#include "engine/kusystem.h"
#include "scene/animation_data.h"
#include "scene/draw_order_data.h"
#include "scene/graphic_data.h"
#include "scene/message_data.h"
#include "scene/sound_data.h"
#include "scene/textarea_data.h"
#include "modes/save_slot_format.h"
#include "modes/save_slot_parts.h"
#include "platform/sjis.h"

namespace saveslot {

namespace {

// Reads records line by line; the first value that cannot be restored
// safely marks the whole file bad.
class SlotParser {
public:
    SlotParser(KUSYSTEM* sys, std::string_view data, const SlotLimits& limits)
        : m_sys(sys), m_reader(data), m_limits(limits) {}

    bool ok() const { return m_ok; }
    void Fail() { m_ok = false; }

    void Line() {
        m_line.Split(m_reader.Next());
        if (m_line.Oversized())
            m_ok = false;
    }
    int32_t Int(int k) {
        int32_t v = 0;
        if (!ParseInt(m_line.Token(k), &v))
            m_ok = false;
        return v;
    }
    uint32_t Uint(int k) { return static_cast<uint32_t>(Int(k)); }
    float Float(int k) {
        float v = 0.0f;
        if (!ParseFloat(m_line.Token(k), &v))
            m_ok = false;
        return v;
    }
    int32_t Ranged(int k, int32_t low, int32_t high) {
        const int32_t v = Int(k);
        if (v < low || v > high)
            m_ok = false;
        return v;
    }
    // A text that must fit a field of `size` bytes with its terminator.
    std::string Text(int k, size_t size) {
        const std::string_view t = m_line.Token(k);
        if (IsNullText(t))
            return std::string();
        if (t.size() >= size)
            m_ok = false;
        return std::string(t.substr(0, size - 1));
    }
    // Backslash and "n" back to line breaks.
    std::string Escaped(int k) {
        std::string stored = Text(k, kTokenSize);
        if (stored.empty())
            return stored;
        char buf[TEXTAREA_DATA::kTextSize];
        if (!m_sys->StrConvert(stored.c_str(), static_cast<int>(stored.size() + 1), buf, sizeof(buf),
                               StrConvertForm::kScript)) {
            m_ok = false;
            return std::string();
        }
        return buf;
    }
    KURECT Rect(int k) { return KURECT{Int(k), Int(k + 1), Int(k + 2), Int(k + 3)}; }
    // A slot number: -1 for none, else below `count` when that is known.
    int32_t Slot(int k, uint32_t count) {
        const int32_t v = Int(k);
        if (v < -1 || (count != 0 && v >= 0 && static_cast<uint32_t>(v) >= count))
            m_ok = false;
        return v;
    }

    // A picture's renderer slot: -1 for none, else one a script can bind. The
    // slots below the scripts' pool hold the game's own pictures (the fade,
    // the windows) and the mosaic works on its own two.
    int32_t PictureSlot(int k) {
        const int32_t v = Slot(k, m_limits.graphicSlots);
        if (v != -1 && (v < GRAPHIC_DATA::kFirstPoolSlot ||
                        (v >= GRAPHIC_DATA::kFirstWorkSlot && v <= GRAPHIC_DATA::kLastWorkSlot)))
            m_ok = false;
        return v;
    }

    // Reads on to the line whose first token is the marker; false at the end.
    bool Seek(const char* marker) {
        while (!m_reader.AtEnd()) {
            TokenLine t;
            t.Split(m_reader.Next());
            if (t.Count() > 0 && plat::SjisEqualNoCase(t.Token(0), marker))
                return true;
        }
        m_ok = false;
        return false;
    }

    void Message(MessageImage* m) {
        Line();
        m->name = Text(0, MESSAGE_DATA::kNameSize);
        m->text = Escaped(1);
        m->voice = Text(2, MESSAGE_DATA::kVoiceSize);
        m->fontSize = Int(3);
        m->color = Int(4);
    }

    void TextArea(TextAreaImage* t) {
        Line();
        t->text = Escaped(0);
        t->fontSet = Int(1);
        t->slot = Slot(2, m_limits.textSlots);
        t->show = Int(3);
        t->area = Rect(4);
        Line();
        t->alpha = Float(0);
        t->dispNum = Float(1);
        t->fontSize = Int(2);
        t->weight = Int(3);
        t->antiAlias = Int(4);
        t->pitchAndFamily = Int(5);
        t->style = Int(6);
        Line();
        t->priority = Int(0);
        t->load = Int(1);
        t->color = Int(2);
        t->shadowColor = Int(3);
    }

    void Picture(PictureImage* p) {
        constexpr int32_t kMaxFrames = static_cast<int32_t>(ANIMATION_DATA::kMaxFrames);
        Line();
        p->file = Text(0, GRAPHIC_DATA::kFileSize);
        p->slot = PictureSlot(1);
        p->show = Int(2);
        p->x = Float(3);
        p->y = Float(4);
        p->scaleX = Float(5);
        p->scaleY = Float(6);
        p->alpha = Float(7);
        Line();
        p->priority = Int(0);
        p->stepState = Int(1);
        p->frameCount = Ranged(2, 0, kMaxFrames);
        p->colorKey = Int(3);
        p->load = Int(4);
        Line();
        p->aniRun = Int(0);
        p->aniType = Int(1);
        p->aniFrames = Ranged(2, 0, kMaxFrames);
        p->aniNow = Int(3);
        p->aniLast = Int(4);
        p->aniRandom = Int(5);
        p->aniRange = Int(6);
        p->aniDir = Int(7);
        if (!m_ok)
            return;
        // The two counts are one value in every file we write; a time
        // beyond the time table is dropped, a missing one is 0.
        p->rects.resize(static_cast<size_t>(p->frameCount));
        p->times.assign(static_cast<size_t>(p->aniFrames), 0);
        for (int32_t j = 0; j < p->frameCount && m_ok; ++j) {
            Line();
            p->rects[j] = Rect(0);
            const uint32_t time = Uint(4);
            if (j < p->aniFrames)
                p->times[j] = time;
        }
    }

    void Object(ObjectImage* o) {
        Picture(&o->picture);
        Line();
        o->created = Int(0);
        o->fadeTime = Int(1);
        o->stepStart = Int(2);
        o->run = Int(3);
        o->vecX = Float(4);
        o->vecY = Float(5);
        Line();
        o->repeat = Int(0);
        o->repeatAcross = Int(1);
        o->nowProc = Int(2);
        o->cellWidth = Int(3);
        o->cellHeight = Int(4);
        for (OBJECT_PROC_DATA& p : o->proc) {
            Line();
            p.fX = Float(0);
            p.fY = Float(1);
            p.dwTime = Uint(2);
            p.nType = Int(3);
            p.nA = Int(4);
            p.nB = Int(5);
            p.fX2 = Float(6);
            p.fY2 = Float(7);
        }
    }

    KUSYSTEM* m_sys;
    LineReader m_reader;
    TokenLine m_line;
    SlotLimits m_limits;
    bool m_ok = true;
};

uint32_t Count(const void* items, uint32_t count) { return items ? count : 0; }

// Runs `record` once per element of a section, between its markers.
template <typename Record>
bool ReadSection(SlotParser& p, int section, uint32_t count, Record record) {
    if (!p.Seek(StartMarker(section)))
        return false;
    for (uint32_t i = 0; i < count && p.ok(); ++i)
        record(i);
    return p.ok() && p.Seek(EndMarker(section));
}

// The date, the place in the scenario, the scores, the flags and the running commands.
void ReadScenarioState(SlotParser& p, SlotImage& s) {
    p.Line(); // the date
    p.Line();
    s.episode = p.Int(0);
    s.scene = p.Int(1);
    p.Line();
    s.scriptName = p.Text(0, ADV_DATA::kNameSize);
    p.Line();
    s.reserved = p.Int(0);
    // Lines read so far: a count below 0 would count every line of the
    // script as read and record it so in the cross-play data.
    s.line = p.Ranged(1, 0, INT32_MAX);
    for (auto& exam : s.scores) {
        p.Line();
        for (int k = 0; k < 5; ++k)
            exam[k] = p.Int(k);
    }
    p.Line();
    s.readingOn = p.Int(0);
    s.reservedA = p.Int(1);
    s.end = p.Int(2);
    s.selectOpen = p.Int(3);
    s.reservedC = p.Int(4);
    s.reservedB = p.Int(5);
    s.antiAlias = p.Int(6);
    s.fade = p.Float(7);
    for (CommandImage& c : s.commands) {
        p.Line();
        c.command = p.Text(0, SCRIPT_COMMAND_DATA::kTextSize);
        for (int k = 0; k < SCRIPT_COMMAND_DATA::kArgCount; ++k)
            c.args[k] = p.Text(1 + k, SCRIPT_COMMAND_DATA::kTextSize);
        c.exclusive = p.Int(11);
        c.phase = p.Int(12);
        c.startTime = p.Int(13);
        c.line = p.Int(14);
    }
}

// Music, the message window and its history, the controller bar and the open choice windows.
void ReadWindows(SlotParser& p, SlotImage& s) {
    p.Line();
    s.bgmName = p.Text(0, MAIN_SCR::kNameSize);
    s.bgmFlag = p.Int(1);
    s.windowShown = p.Int(2);
    s.autoSkipList = p.Int(3);
    s.autoSkipLine = p.Int(4);
    p.Line();
    s.msgVisible = p.Int(0);
    s.msgAlpha = p.Float(1);
    s.msgName = p.Rect(2);
    s.msgText = p.Rect(6);
    p.Message(&s.current);
    for (MessageImage& m : s.history)
        p.Message(&m);
    p.Line();
    s.barVisible = p.Int(0);
    s.barAlpha = p.Float(1);
    p.Line();
    s.choiceInit = p.Ranged(0, 0, 1);
    s.choiceActive = p.Ranged(1, 0, 1);
    s.choicePhase = p.Ranged(2, 0, 3);
    s.choiceCount = p.Ranged(3, 0, 2);
    // A set is made with one or two windows and cleared without any.
    if (s.choiceInit != (s.choiceCount > 0 ? 1 : 0) || s.choiceActive != s.choiceInit)
        p.Fail();
    for (int i = 0; i < s.choiceCount && p.ok(); ++i)
        p.TextArea(&s.choices[i]);
}

// The per-item tables, each sized by the running scenario's own tables.
bool ReadItemTables(SlotParser& p, const ADV_DATA& adv, SlotImage& s) {
    const uint32_t graphics = Count(adv.m_pGraphic, adv.m_dwGraphicNum);
    const uint32_t objects = Count(adv.m_pObject, adv.m_dwObjectNum);
    const uint32_t textAreas = Count(adv.m_pTextArea, adv.m_dwTextAreaNum);
    s.graphicShown.assign(adv.m_dwGraphicNum, 0);
    s.objectShown.assign(adv.m_dwObjectNum, 0);
    s.pictures.resize(graphics);
    s.sounds.resize(Count(adv.m_pSound, adv.m_dwSoundNum));
    s.vars.resize(Count(adv.m_pVar, adv.m_dwVarNum));
    s.textAreas.resize(textAreas);
    s.objects.resize(objects);
    s.drawOrder.resize(Count(adv.m_pDrawOrder, adv.m_dwDrawOrderNum));
    const int32_t kindCounts[4] = {static_cast<int32_t>(s.drawOrder.size()), static_cast<int32_t>(graphics),
                                   static_cast<int32_t>(textAreas), static_cast<int32_t>(objects)};
    return ReadSection(p, kGraphicShown, adv.m_dwGraphicNum,
                       [&](uint32_t i) {
                           p.Line();
                           s.graphicShown[i] = p.Int(0);
                       }) &&
           ReadSection(p, kObjectShown, adv.m_dwObjectNum,
                       [&](uint32_t i) {
                           p.Line();
                           s.objectShown[i] = p.Int(0);
                       }) &&
           ReadSection(p, kGraphicData, graphics, [&](uint32_t i) { p.Picture(&s.pictures[i]); }) &&
           ReadSection(p, kSoundData, static_cast<uint32_t>(s.sounds.size()),
                       [&](uint32_t i) {
                           SoundImage& snd = s.sounds[i];
                           p.Line();
                           snd.file = p.Text(0, SOUND_DATA::kFileSize);
                           snd.slot = p.Slot(1, 0);
                           snd.type = p.Ranged(2, 0, static_cast<int32_t>(SOUND_DATA::kTypeNone));
                           snd.loop = p.Int(3);
                           snd.extra = p.Int(4);
                           snd.load = p.Int(5);
                           snd.play = p.Int(6);
                           snd.loaded = p.Int(7);
                       }) &&
           ReadSection(p, kVarData, static_cast<uint32_t>(s.vars.size()),
                       [&](uint32_t i) {
                           p.Line();
                           s.vars[i] = p.Int(0);
                       }) &&
           ReadSection(p, kTextData, textAreas, [&](uint32_t i) { p.TextArea(&s.textAreas[i]); }) &&
           ReadSection(p, kObjectData, objects, [&](uint32_t i) { p.Object(&s.objects[i]); }) &&
           ReadSection(p, kDrawOrder, static_cast<uint32_t>(s.drawOrder.size()), [&](uint32_t i) {
               DrawOrderImage& d = s.drawOrder[i];
               p.Line();
               d.kind = p.Ranged(0, static_cast<int32_t>(DRAW_ORDER_DATA::kEmpty),
                                 static_cast<int32_t>(DRAW_ORDER_DATA::kObject));
               // An entry names an item of its kind, or none.
               d.index = p.Ranged(1, -1, kindCounts[p.ok() ? d.kind : 0] - 1);
               d.priority = p.Int(2);
           });
}

} // namespace

bool ParseSlotText(KUSYSTEM* sys, std::string_view data, const ADV_DATA& adv, const SlotLimits& limits,
                   SlotImage* image) {
    SlotParser p(sys, data, limits);
    SlotImage& s = *image;
    ReadScenarioState(p, s);
    ReadWindows(p, s);
    if (!p.ok())
        return false;
    return ReadItemTables(p, adv, s);
}

} // namespace saveslot
