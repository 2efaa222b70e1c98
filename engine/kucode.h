#pragma once
#include <cstdio>

// Scrambled text ("KUCODE" files) and the line reader every script reader uses.
//
// File layout: a header line "KUCODE <mode>" and then the body, every byte
// stored as its complement. In "NLINE-NO-ENCODE" mode each CR LF pair of the
// plain text is stored plain, so the file can be read line by line.
//
// Header trap: KUEncode ends the header with LF alone (its output is fixed
// byte for byte), and the line reader only stops at CR LF, so the first body
// line of such a file is read together with the header and skipped. Game data
// is written by tools/kucode with a CR LF header instead.

// Mode flag bit for KUEncode: set keeps CR LF pairs plain ("NLINE-NO-ENCODE").
constexpr int kKuCodeNoEncode = 1;

// Plain file -> scrambled file. 0 done, -1 a file cannot be opened, read or
// written whole (what was written stays).
int KUEncode(const char* source, const char* dest, int modeFlags);
// Scrambled file (LF or CR LF header) -> plain file. 0 done, -1 failure
// (a read or write error included).
int KUDecode(const char* source, const char* dest);
// Reads bytes up to and including the next CR LF into buffer (zeroed first),
// at most size - 1 of them so that a NUL always follows. 0 a line was read or
// the buffer was filled; -1 end of file first, or no file.
int CodeFileReadOneLine(FILE* file, char* buffer, int size);
// 1 for a header line (first word "KUCODE"; out untouched); else 0 with the
// unscrambled line, without its CR LF, NUL-terminated in out (same size as
// maximum).
int KUDecodeOneLine(const char* line, int maximum, char* out);
