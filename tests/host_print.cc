// The message writer and standard handle slots for the host build of the pure
// code: messages are formatted the same way and written nowhere.
#include <stdio.h>

#include "app/messages.h"
#include "runtime/std_handles.h"

void* StdOutputHandle = nullptr;
void* StdErrorHandle = nullptr;

bool WriteMessage(void*, const char* format, va_list arguments, bool) {
  char text[1024];
  vsnprintf(text, sizeof text, format, arguments);
  return true;
}
