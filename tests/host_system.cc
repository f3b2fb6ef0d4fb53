// What the pure code takes from the system, for the host build: the standard
// handle slots, a message writer that formats the same way and writes nowhere,
// and path lengths counted as UTF-8 converts to UTF-16.
#include <stdio.h>

#include "app/files.h"
#include "app/messages.h"
#include "runtime/std_handles.h"

void* StdOutputHandle = nullptr;
void* StdErrorHandle = nullptr;

bool WriteMessage(void*, const char* format, va_list arguments, bool) {
  char text[1024];
  vsnprintf(text, sizeof text, format, arguments);
  return true;
}

// Every byte but a continuation byte starts a unit; a four-byte sequence is two.
uint32_t PathCharacters(const char* path) {
  uint32_t units = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(path); *p; ++p)
    units += (*p & 0xC0) != 0x80 ? 1 + (*p >= 0xF0) : 0;
  return units;
}
