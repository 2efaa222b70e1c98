#pragma once
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "scene/graphic_data.h"
#include "scene/object_data.h"
#include "scene/sound_data.h"
#include "scene/textarea_data.h"
#include "tests/adv/adv_fixture.h"

// Plays a script over the items an initialisation script declares: pictures
// BG and CH, text area TX, objects OB and OB2, sound SE and variable v. The
// renderer has its slot table (its loads are recorded by the fake services).
class CommandTest : public AdvTest {
protected:
    void PlayDeclared(const std::vector<std::string>& lines) {
        Pack({{"Init.spt",
               {"#CREATE_DATA GRAPHIC BG", "#CREATE_DATA GRAPHIC CH", "#CREATE_DATA TEXTAREA TX",
                "#CREATE_DATA OBJECT OB", "#CREATE_DATA OBJECT OB2", "#CREATE_DATA SOUND SE", "#CREATE_DATA VAR v",
                "#FIRST_EXE_SCR s.spt"}},
              {"s.spt", lines}});
        h.sprite.CreateGraphicDataBuffer(84);
        ASSERT_EQ(adv.Initialize("Init.spt", &h.sys, &h.sprite, &h.snd, &global), 1);
        log.Clear();
        fakesvc::Calls().clear();
    }
    // One frame with keys held or released (virtual key, state).
    int Step(uint32_t ms, std::initializer_list<std::pair<int, int>> keys) {
        h.Frame(ms, keys);
        return adv.MainProc();
    }
    // Frames of 16 ms until the script's line `line` has been read.
    void RunToLine(int32_t line, int maxFrames = 400) {
        for (int i = 0; i < maxFrames && adv.m_nLine < line; ++i)
            Frame();
    }
    GRAPHIC_DATA& Pic(const char* id) { return adv.m_pGraphic[adv.IDSearch(ADV_DATA::kKindGraphic, id)]; }
    TEXTAREA_DATA& Area() { return adv.m_pTextArea[0]; }
    OBJECT_DATA& Obj(int i = 0) { return adv.m_pObject[i]; }
    bool Busy() const { return !adv.m_ScriptCommand[0].IsFree(); }
    bool NoErrors() const { return log.all().find("Error:") == std::string::npos; }

    static constexpr int kVkLButton = 1;
    static constexpr int kVkControl = 17;
};
