#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>

namespace plat {

// A font file read by FreeType through pread instead of its own mapping of
// the whole file. Every face at every size would map the file again, and the
// pages its glyph look-ups fault in (with read-ahead) stay resident for the
// run: megabytes of a large CJK font per face. Read this way, only the
// tables FreeType copies and the rendered glyphs stay.
//
// The streams of one file share one descriptor: reads are positioned, so no
// stream moves another's place, and a script showing text at a hundred sizes
// holds one open file, not a hundred.
class FontFileStream {
public:
    FontFileStream() = default;
    ~FontFileStream();
    FontFileStream(const FontFileStream&) = delete;
    FontFileStream& operator=(const FontFileStream&) = delete;

    // False when the file cannot be opened.
    bool Open(const std::string& path);
    // For FT_Open_Face (FT_OPEN_STREAM); it must outlive the face.
    FT_Stream stream() { return &stream_; }

    struct SharedFile; // one open descriptor and the streams' count of it

private:
    FT_StreamRec stream_{};
    std::shared_ptr<SharedFile> file_;
};

} // namespace plat
