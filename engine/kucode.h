#pragma once
#include <cstdio>

// Scrambled text ("KUCODE" files) and the line reader every script reader uses.

// Mode flag bit for KUEncode: set keeps CR LF pairs plain ("NLINE-NO-ENCODE").
constexpr int kKuCodeNoEncode = 1;

int KUEncode(const char* source, const char* dest, int modeFlags);
int KUDecode(const char* source, const char* dest);
int CodeFileReadOneLine(FILE* file, char* buffer, int size);
int KUDecodeOneLine(const char* line, int maximum, char* out);
