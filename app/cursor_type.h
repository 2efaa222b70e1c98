#pragma once

// The cursor choice from "cursor.txt": 0 the standard arrow, 1 the monochrome
// cursor, 2 the colour cursor. A missing file, one with fewer than four lines
// or an invalid value gives 0 and the file is rewritten with its default. One
// that exists but cannot be read (no permission, not a regular file) gives 0,
// is logged by name and stays as it is. Lines end at LF or CR LF.
int LoadCursorType(const char* path);
