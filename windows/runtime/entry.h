#pragma once
// The process's beginning and end: the image's entry point and the start-up
// frame that runs one job between obtaining and closing the standard handles.

#include <stdint.h>

#include "windows/runtime/wide_char.h"

// The image's entry point: runs the frame on the wide command line's tail and
// ends the process with its code.
extern "C" [[noreturn]] void ProcessEntry();

// Where the first argument of the wide command line begins, or its NUL when
// there is none: after the program's name (quoted, or ended by a space, within
// 1024 characters) and the blanks behind it.
const WideChar* SkipProgramNameW(const WideChar* command_line);

// Obtains the standard handles, initialises the library, runs one job, closes
// what it holds and returns the exit code (9999 when start-up failed). The
// tail is not read: the job takes the command line from the system.
uint32_t RunApplication(const WideChar* command_tail);

// Closes StdOutputHandle and StdErrorHandle where held, a shared one once, and
// clears both.
void CloseStdHandles();
