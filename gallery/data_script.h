#pragma once
#include <cstdio>

class KUSYSTEM;

// Reading the gallery modes' data scripts: members of "dat/Scenario.dat",
// scrambled line by line, split into blank-separated tokens.
namespace gallery {

constexpr int kLineSize = 1024;
constexpr int kTokenSize = 512;

// Extracts the member into "tmp/" and opens it; null after the log line
// (under tag) for a missing archive, member or file.
FILE* OpenDataScript(KUSYSTEM* sys, const char* tag, const char* name);
// Next unscrambled line (header skipped) into out: 1 a line, 0 the end of
// the file, -1 a read or unscramble error (logged under tag).
int ReadDataLine(KUSYSTEM* sys, const char* tag, FILE* file, char* out);
// Splits at ASCII blanks into at most max tokens of kTokenSize bytes (longer
// ones are cut); returns the number found.
int SplitTokens(const char* line, char (*tokens)[kTokenSize], int max);
// Case-insensitive for ASCII letters only; Shift-JIS pairs compare exactly
// (their trail bytes include ASCII letter codes).
bool EqualNoCase(const char* a, const char* b);
// Bounded copy that always ends in NUL.
void CopyText(char* dest, int size, const char* src);
// ASCII digits into Shift-JIS full-width digits (other bytes kept), bounded.
void FullWidthDigits(const char* src, char* dest, int size);

} // namespace gallery
