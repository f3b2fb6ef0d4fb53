#include "app/error_message.h"

#include <windows.h>

// Interim description: "<code> - <system text>" from the system's 8-bit
// message table, its trailing full stop and line break trimmed.
void DescribeError(uint32_t code, char* text, uint32_t capacity) {
  if (!text || capacity == 0) return;
  int n = wsprintfA(text, "%u - ", code);
  if (static_cast<uint32_t>(n) + 1 >= capacity) {
    text[capacity - 1] = '\0';
    return;
  }
  DWORD got = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | 0xFF,
                             nullptr, code, 0, text + n, capacity - n, nullptr);
  while (got > 1 && (text[n + got - 1] == '.' || text[n + got - 1] == ' ' ||
                     text[n + got - 1] == '\r' || text[n + got - 1] == '\n'))
    --got;
  text[n + got] = '\0';
}
