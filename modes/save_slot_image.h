#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/kugraphic2.h"
#include "scene/object_data.h"
#include "game/script_command_data.h"

// A save slot file read whole and checked, before any of it reaches the
// adventure. Field names follow the objects they are restored into.
namespace saveslot {

struct MessageImage {
    std::string name, text, voice;
    int32_t fontSize = 0;
    int32_t color = 0;
};

struct TextAreaImage {
    std::string text;
    int32_t fontSet = 0, slot = -1, show = 0;
    KURECT area{0, 0, 0, 0};
    float alpha = 0.0f, dispNum = 0.0f;
    int32_t fontSize = 0, weight = 0, antiAlias = 0, pitchAndFamily = 0, style = 0;
    int32_t priority = 0, load = 0, color = 0, shadowColor = 0;
};

struct PictureImage {
    std::string file;
    int32_t slot = -1, show = 0;
    float x = 0, y = 0, scaleX = 0, scaleY = 0, alpha = 0;
    int32_t priority = 0, stepState = 0, frameCount = 0, colorKey = 0, load = 0;
    int32_t aniRun = 0, aniType = 0, aniFrames = 0, aniNow = 0, aniLast = 0, aniRandom = 0, aniRange = 0, aniDir = 0;
    std::vector<KURECT> rects;
    std::vector<uint32_t> times;
};

struct ObjectImage {
    PictureImage picture;
    int32_t created = 0, fadeTime = 0, stepStart = 0, run = 0;
    float vecX = 0, vecY = 0;
    int32_t repeat = 0, repeatAcross = 0, nowProc = 0, cellWidth = 0, cellHeight = 0;
    OBJECT_PROC_DATA proc[OBJECT_DATA::kProcNum] = {};
};

struct SoundImage {
    std::string file;
    int32_t slot = -1, type = 0, loop = 0, extra = 0, load = 0, play = 0, loaded = 0;
};

struct CommandImage {
    std::string command;
    std::string args[SCRIPT_COMMAND_DATA::kArgCount];
    int32_t exclusive = 0, phase = 0, startTime = 0, line = 0;
};

struct DrawOrderImage {
    int32_t kind = 0, index = -1, priority = 0;
};

struct SlotImage {
    int32_t episode = 0, scene = 0;
    std::string scriptName;
    int32_t reserved = 0, line = 0;
    int32_t scores[4][5] = {};
    int32_t readingOn = 0, reservedA = 0, end = 0, selectOpen = 0, reservedC = 0, reservedB = 0, antiAlias = 0;
    float fade = 0;
    CommandImage commands[6];
    std::string bgmName;
    int32_t bgmFlag = 0, windowShown = 0, autoSkipList = 0, autoSkipLine = 0;
    int32_t msgVisible = 0;
    float msgAlpha = 0;
    KURECT msgName{0, 0, 0, 0}, msgText{0, 0, 0, 0};
    MessageImage current;
    MessageImage history[60];
    int32_t barVisible = 0;
    float barAlpha = 0;
    int32_t choiceInit = 0, choiceActive = 0, choicePhase = 0, choiceCount = 0;
    TextAreaImage choices[2];
    std::vector<int32_t> graphicShown, objectShown;
    std::vector<PictureImage> pictures;
    std::vector<SoundImage> sounds;
    std::vector<int32_t> vars;
    std::vector<TextAreaImage> textAreas;
    std::vector<ObjectImage> objects;
    std::vector<DrawOrderImage> drawOrder;
};

} // namespace saveslot
