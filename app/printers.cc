#include "app/messages.h"

bool PrintOut(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  bool ok = WriteMessage(StdOutputHandle, format, arguments, true);
  va_end(arguments);
  return ok;
}

bool PrintError(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  bool ok = WriteMessage(StdErrorHandle, format, arguments, true);
  va_end(arguments);
  return ok;
}
