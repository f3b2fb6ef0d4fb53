#pragma once
// The program's name, version and usage text.

#include <stdint.h>

extern const char kProgramName[];
extern const char kWebPageAddress[];
extern const uint32_t kVersion[4];

// Prints the usage text on standard output.
void PrintUsage();
