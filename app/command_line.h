#pragma once
// The 8-bit command line: `bootweave [<options>] <src file> <dst file>`.
// There is no escape character; a double quote starts and ends a token with
// blanks inside.

#include <stdint.h>

#include "app/blanks.h"
#include "app/job.h"

// The longest option name.
constexpr uint32_t kOptionNameLength = 19;

// Sets the option of that name (without its dash) in job; false after printing
// the message when there is no such option. Case-sensitive, as Unix and the
// Windows program's users both know it.
bool ApplyOption(FormatJob* job, const char* name);

// The first byte equal to c among at most max_length bytes of text, stopping at
// its NUL; null when absent.
const char* FindChar(const char* text, uint32_t max_length, char c);
// Where the first argument begins: behind the program's name and the blanks
// after it, or the end of the text when the name does not end within 1024 bytes.
const char* SkipProgramName(const char* command_line);
// Copies one token into destination and returns the position behind it; null
// when the text is at its end, a quoted token lacks its closing quote, or the
// token does not fit into capacity - 1 bytes (a cut path would name another file).
// Always leaves a terminated string in destination.
const char* ExtractToken(const char* text, char* destination, uint32_t capacity);
// 0 with the paths and raw stored in job, or 1 after printing the message.
uint32_t ParseCommandLine(FormatJob* job, const char* text);
