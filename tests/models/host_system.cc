// What the pure code takes from the system, for the host build (its tests, the fuzzers, the
// benchmarks): the standard handle slots, a message writer that formats the same way and
// writes nowhere, and path lengths in bytes.
#include <stdio.h>
#include <string.h>

#include "app/files.h"
#include "app/messages.h"
#include "windows/runtime/std_handles.h"

void* StdOutputHandle = nullptr;
void* StdErrorHandle = nullptr;

bool WriteMessage(void*, const char* format, va_list arguments, bool) {
  char text[1024];
  vsnprintf(text, sizeof text, format, arguments);
  return true;
}

uint32_t PathCharacters(const char* path) { return static_cast<uint32_t>(strlen(path)); }
