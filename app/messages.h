#pragma once
// Every line the program prints goes through these: the usage text to standard
// output, everything else to standard error. Each adds the platform's line
// break: CR LF on Windows, LF elsewhere.

#include <stdarg.h>

// The program's standard output and standard error as its platform holds them
// (windows/runtime/std_handles.h, unix/messages.cc); null while not held.
extern void* StdOutputHandle;
extern void* StdErrorHandle;

// Formats (%s, %u) and writes the message, with the line break added when
// add_line_break is set; a message too long for the 1024-byte buffer is cut and
// still ends with its line break. False when the write failed.
bool WriteMessage(void* handle, const char* format, va_list arguments, bool add_line_break);
bool PrintOut(const char* format, ...);
bool PrintError(const char* format, ...);
