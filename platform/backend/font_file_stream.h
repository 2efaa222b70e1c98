#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace plat {

// A font file read by FreeType through pread instead of its own mapping of
// the whole file. Every face at every size would map the file again, and the
// pages its glyph look-ups fault in (with read-ahead) stay resident for the
// run: megabytes of a large CJK font per face. Read this way, only the
// tables FreeType copies and the rendered glyphs stay.
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

private:
    FT_StreamRec stream_{};
    int fd_ = -1;
};

} // namespace plat
