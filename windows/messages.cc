#include "app/messages.h"

#include <windows.h>

namespace {

// The system's formatter stops at 1024 bytes; the text, its CR LF and the
// terminator must fit together.
constexpr int kMessageCapacity = 1024;
constexpr int kLongestText = kMessageCapacity - 3;

// A console would read 8-bit text in its own code page, which is seldom the
// process's: it gets the characters as UTF-16. Files and pipes get the bytes.
bool WriteText(HANDLE handle, const char* text, DWORD length) {
  DWORD mode;
  DWORD written = 0;
  if (!GetConsoleMode(handle, &mode)) return WriteFile(handle, text, length, &written, nullptr);
  wchar_t wide[kMessageCapacity];  // a byte never gives more than one unit
  int units =
      MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), wide, kMessageCapacity);
  return units > 0 && WriteConsoleW(handle, wide, static_cast<DWORD>(units), &written, nullptr);
}

}  // namespace

bool WriteMessage(void* handle, const char* format, va_list arguments, bool add_line_break) {
  char text[kMessageCapacity];
  int length = wvsprintfA(text, format, arguments);
  // The formatter reports a cut text differently on different systems.
  if (length < 0 || length > kMessageCapacity - 1) length = kMessageCapacity - 1;
  if (add_line_break) {
    // A message too long for the buffer is cut, but still ends its line.
    if (length > kLongestText) length = kLongestText;
    text[length++] = '\r';
    text[length++] = '\n';
  }
  text[length] = '\0';
  if (length == 0) return true;
  return WriteText(handle, text, static_cast<DWORD>(length));
}
