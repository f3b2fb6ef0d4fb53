#pragma once
// Every line the program prints goes through these: the usage text to standard
// output, everything else to standard error. Each adds CR LF.

#include <stdarg.h>

// Formats with the system's 8-bit formatter (%s, %u) and writes the message,
// with CR LF added when add_line_break is set; a message too long for the
// 1024-byte buffer is cut and still ends with CR LF. False when the write failed.
bool WriteMessage(void* handle, const char* format, va_list arguments, bool add_line_break);
bool PrintOut(const char* format, ...);
bool PrintError(const char* format, ...);
