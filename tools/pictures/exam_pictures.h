#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/surface.h"

// The sample game's exam pictures: the three backgrounds with their answer
// sheet, the parts atlas "Test_Mode_Material.dds" and one picture per
// sample question, with Japanese text from the game's own font layer.
namespace screens {

struct ExamQuestion {
    const char* id;
    const char* picture;
    int answer; // 1..4
};

// The questions the sample's question list names, in id order.
const std::vector<ExamQuestion>& ExamQuestions();

// The exam screen as the story shows it: the first desk with question n of
// the list in its frame, 800 x 600.
plat::Surface ExamScreen(int n);

// Members for dat/Img.dat: file name and bytes.
std::vector<std::pair<std::string, std::string>> ExamPictures();

} // namespace screens
