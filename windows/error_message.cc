#include "windows/error_message.h"

#include <windows.h>

#include "windows/runtime/error_text.h"

namespace {

int AnsiLength(const wchar_t* wide, int length) {
  return WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
}

}  // namespace

// The library's wide description, through its replaceable slot, in the process's
// code page, like the paths it stands beside in a message.
void DescribeError(uint32_t code, char* text, uint32_t capacity) {
  if (text == nullptr || capacity == 0) return;
  WideChar wide_text[kErrorTextCapacity];
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(wide_text);
  int length = static_cast<int>(
      ErrorTextSlots.get_error_text(wide_text, kErrorTextCapacity, code));
  int room = static_cast<int>(capacity - 1 < 0x7FFFFFFF ? capacity - 1 : 0x7FFFFFFF);
  // Fewer characters until the 8-bit text fits, so that no multi-byte character
  // is cut in two.
  while (length > 0 && AnsiLength(wide, length) > room) --length;
  int stored = length > 0
                   ? WideCharToMultiByte(CP_ACP, 0, wide, length, text, room, nullptr, nullptr)
                   : 0;
  text[stored] = '\0';
}
