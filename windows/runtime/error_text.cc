#include "windows/runtime/error_text.h"

#include <windows.h>

#include "windows/runtime/format_w.h"

ErrorTextSlotTable ErrorTextSlots = {GetErrorText, GetErrorTextEx};
ErrorDescriber ErrorTextHook = nullptr;
ErrorDescriber ErrorTextFallbacks[kErrorTextFallbackCount] = {};
decltype(&FormatMessageW) FormatMessageProc = FormatMessageW;

namespace {

// An HRESULT of this facility wraps a system error in its low 16 bits.
constexpr uint32_t kFacilityWin32 = 7;
// The internet library's codes, which only its own message table describes.
constexpr uint32_t kInternetFirst = 12000;
constexpr uint32_t kInternetCount = 500;
// Ignore inserts (0x200) and a width mask (0xFF) that keeps the text on one line,
// from a module's table (0x800) or from the system's (0x1000).
constexpr DWORD kFromModule = 0xAFF;
constexpr DWORD kFromSystem = 0x12FF;
constexpr DWORD kAllocateBuffer = FORMAT_MESSAGE_ALLOCATE_BUFFER;
constexpr DWORD kUserDefaultLanguage = 0x400;
// Where the system has no message table in the user's language, language 0 asks
// for its own order of fallbacks.
constexpr DWORD kAnyLanguage = 0;

uint32_t Facility(uint32_t code) { return (code >> 16) & 0x1FFF; }

HMODULE ChooseModule(uint32_t code, void* module) {
  if (module != nullptr) return static_cast<HMODULE>(module);
  uint32_t facility = Facility(code);
  bool internet = (code & 0xFFFF) - kInternetFirst < kInternetCount;
  if ((facility == 0 || facility == kFacilityWin32) && internet) {
    // Only when the process has loaded it already; it is never loaded for this.
    return GetModuleHandleA("wininet.dll");
  }
  return nullptr;
}

DWORD SystemMessage(DWORD flags, HMODULE source, DWORD id, LPWSTR out, DWORD size) {
  DWORD length = FormatMessageProc(flags, source, id, kUserDefaultLanguage, out, size, nullptr);
  DWORD error = GetLastError();
  if (length == 0 && (error == ERROR_RESOURCE_LANG_NOT_FOUND || error == ERROR_MUI_FILE_NOT_FOUND))
    length = FormatMessageProc(flags, source, id, kAnyLanguage, out, size, nullptr);
  return length;
}

// A text longer than the room: its leading part, from a copy the system allocates.
uint32_t CutSystemText(WideChar* text, uint32_t room, DWORD flags, HMODULE source, DWORD id) {
  WideChar* whole = nullptr;
  DWORD length =
      SystemMessage(flags | kAllocateBuffer, source, id, reinterpret_cast<LPWSTR>(&whole), 0);
  uint32_t n = 0;
  if (length != 0 && whole != nullptr) {
    n = length < room - 1 ? length : room - 1;
    for (uint32_t i = 0; i < n; ++i) text[i] = whole[i];
  }
  text[n] = 0;
  if (whole != nullptr) LocalFree(whole);
  return n;
}

uint32_t SystemText(WideChar* text, uint32_t room, uint32_t code, void* module) {
  HMODULE source = ChooseModule(code, module);
  DWORD flags = source != nullptr ? kFromModule : kFromSystem;
  DWORD id = Facility(code) == kFacilityWin32 ? (code & 0xFFFF) : code;
  DWORD length = SystemMessage(flags, source, id, reinterpret_cast<LPWSTR>(text), room);
  if (length == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    return CutSystemText(text, room, flags, source, id);
  }
  return length;
}

// A describer's count, held to the room in case it claims more than it could store.
uint32_t Stored(WideChar* text, uint32_t room, uint32_t length) {
  if (length > room - 1) length = room - 1;
  text[length] = 0;
  return length;
}

bool IsTrailing(WideChar c) {
  return c == u'\t' || c == u'\n' || c == u'\r' || c == u' ' || c == u'.';
}

// The system's texts end with a full stop and a line break; the first character stays.
uint32_t TrimEnd(WideChar* text, uint32_t length) {
  while (length > 1 && IsTrailing(text[length - 1])) text[--length] = 0;
  return length;
}

uint32_t Describe(WideChar* text, uint32_t room, uint32_t code, void* module) {
  uint32_t length = 0;
  if (ErrorTextHook != nullptr) length = Stored(text, room, ErrorTextHook(text, room, code));
  if (length == 0) length = SystemText(text, room, code, module);
  if (length != 0) return TrimEnd(text, length);
  for (ErrorDescriber fallback : ErrorTextFallbacks) {
    if (fallback == nullptr) continue;
    length = Stored(text, room, fallback(text, room, code));
    if (length != 0) return length;
  }
  return FormatW(text, room, u"*** no error description ***");
}

}  // namespace

uint32_t GetErrorTextEx(WideChar* buffer, uint32_t capacity, uint32_t code, void* module) {
  DWORD saved = GetLastError();
  uint32_t n = FormatW(buffer, capacity, (code >> 16) != 0 ? u"%#08X - " : u"%u - ", code);
  // A broken buffer has met FormatW's check already; there is nowhere to describe into.
  if (buffer != nullptr && capacity != 0) n += Describe(buffer + n, capacity - n, code, module);
  SetLastError(saved);
  return n;
}

uint32_t GetErrorText(WideChar* buffer, uint32_t capacity, uint32_t code) {
  return GetErrorTextEx(buffer, capacity, code, nullptr);
}
