// Renders the sample game's music to WAV files for the media script to encode.
//   mkmusic <output folder>   writes <folder>/BGM01.wav ... BGM14_sh.wav
#include <cstdio>
#include <string>

#include "tools/media/song.h"
#include "tools/media/wav_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkmusic <output folder>\n");
        return 2;
    }
    for (const music::Song& song : music::SampleSongs()) {
        music::Rendered tune;
        std::string error;
        if (!music::RenderSong(song, &tune, &error)) {
            std::fprintf(stderr, "mkmusic: %s\n", error.c_str());
            return 1;
        }
        const std::string path = std::string(argv[1]) + "/" + song.name + ".wav";
        if (!music::WriteWav(path, tune.audio)) {
            std::fprintf(stderr, "mkmusic: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
