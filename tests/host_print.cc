// The message printers for the host build of the pure code: formatted the same
// way, written nowhere.
#include <stdio.h>

#include "app/messages.h"

bool WriteMessage(void*, const char* format, va_list arguments, bool) {
  char text[1024];
  vsnprintf(text, sizeof text, format, arguments);
  return true;
}

bool PrintOut(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  bool ok = WriteMessage(nullptr, format, arguments, true);
  va_end(arguments);
  return ok;
}

bool PrintError(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  bool ok = WriteMessage(nullptr, format, arguments, true);
  va_end(arguments);
  return ok;
}
