// Writes the logo, title and options pictures and the adventure's window
// pictures of the sample game over the generic ones:  mkscreenpics <out folder>  ->  <out folder>/Img/<name>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <utility>

#include "tools/pictures/character_pictures.h"
#include "tools/pictures/gallery_pictures.h"
#include "tools/pictures/music_room_pictures.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/save_load_pictures.h"
#include "tools/pictures/screen_pictures.h"
#include "tools/pictures/staff_roll_pictures.h"
#include "tools/pictures/story_pictures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkscreenpics <out folder>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/Img";
    mkdir(argv[1], 0755);
    mkdir(dir.c_str(), 0755);
    int count = 0;
    auto pictures = screens::ScreenPictures();
    for (auto& member : screens::GalleryPictures())
        pictures.push_back(std::move(member));
    for (auto& member : screens::MusicRoomPictures())
        pictures.push_back(std::move(member));
    for (auto& p : rollpics::StaffRollPictures())
        pictures.push_back(std::move(p));
    for (auto& p : screens::SaveLoadPictures())
        pictures.push_back(std::move(p));
    for (auto& p : story::StoryPictures())
        pictures.push_back(std::move(p));
    for (auto& p : story::CharacterPictures())
        pictures.push_back(std::move(p));
    for (const auto& [name, bytes] : pictures) {
        std::string path = dir;
        path.append("/").append(name);
        if (!WriteBytes(path, bytes)) {
            std::fprintf(stderr, "mkscreenpics: cannot write %s/%s\n", dir.c_str(), name.c_str());
            return 1;
        }
        ++count;
    }
    if (!screens::CaptionsDrawn())
        std::fprintf(stderr, "mkscreenpics: no Japanese font; pictures drawn without captions\n");
    std::printf("mkscreenpics: %d screen pictures in %s\n", count, dir.c_str());
    return 0;
}
