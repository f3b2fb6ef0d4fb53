#include "windows/runtime/error_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

// The system's wording differs between Windows versions and Wine, so these tests
// look at the shape of a description and at the library's own texts only.
namespace {

constexpr WideChar kCanary = 0xCCCC;
const std::u16string kNoText = u"*** no error description ***";

// Through slot 0, as the application calls it; every call must leave the last error as found.
std::u16string Describe(uint32_t code, uint32_t capacity = kErrorTextCapacity) {
  WideChar buffer[kErrorTextCapacity + 8];
  std::fill(std::begin(buffer), std::end(buffer), kCanary);
  SetLastError(4242);
  uint32_t n = ErrorTextSlots.get_error_text(buffer, capacity, code);
  EXPECT_EQ(GetLastError(), 4242u) << code << " capacity " << capacity;
  EXPECT_TRUE(n < capacity && buffer[n] == 0) << "terminated within the capacity";
  EXPECT_EQ(std::count(buffer + capacity, std::end(buffer), kCanary), ptrdiff_t(kErrorTextCapacity + 8 - capacity));
  return std::u16string(buffer, n);
}

// The text behind `prefix`, which the description must start with.
std::u16string After(uint32_t code, const std::u16string& prefix) {
  std::u16string text = Describe(code);
  return text.compare(0, prefix.size(), prefix) == 0 ? text.substr(prefix.size()) : u"<" + text + u">";
}

// Each description is "<prefix><text>", its text on one line and trimmed; an
// internet code has a text only while the internet library is loaded; a text too
// long for the room is cut.
TEST(ErrorTextTest, PrefixAndTextByCode) {
  const std::u16string file_not_found = After(2, u"2 - ");
  EXPECT_EQ(Describe(12002), u"12002 - " + kNoText);
  EXPECT_EQ(GetModuleHandleA("wininet.dll"), nullptr);  // never loaded for a description
  HMODULE internet = LoadLibraryW(L"wininet.dll");
  const struct { uint32_t code; std::u16string prefix, text; } rows[] = {  // text "": not kNoText
      {2, u"2 - ", u""}, {0x80070005, u"0x80070005 - ", After(5, u"5 - ")}, {12002, u"12002 - ", u""},
      {0x80072EE2, u"0x80072EE2 - ", u""}, {0x80070002, u"0x80070002 - ", file_not_found},
      {0x00010005, u"0x010005 - ", kNoText}, {0xDEAD, u"57005 - ", kNoText},
  };
  for (const auto& row : rows) {
    std::u16string text = After(row.code, row.prefix);
    ASSERT_FALSE(text.empty()) << row.code;
    EXPECT_EQ(text.find_first_of(u"\r\n"), std::u16string::npos) << row.code;
    EXPECT_EQ(std::u16string(u" \t.").find(text.back()), std::u16string::npos) << row.code;
    EXPECT_TRUE(row.text.empty() ? text != kNoText : text == row.text) << row.code;
  }
  WideChar buffer[1024] = {kCanary};
  EXPECT_EQ(GetErrorTextEx(nullptr, 16, 2, nullptr) + GetErrorTextEx(buffer, 0, 2, nullptr), 0u);  // no room
  EXPECT_EQ(buffer[0], kCanary);
  EXPECT_EQ(std::u16string(buffer, GetErrorTextEx(buffer, kErrorTextCapacity, 12002, internet)), Describe(12002));
  FreeLibrary(internet);
  // A module's text longer than a console line (this program's own table) stays on one line.
  std::u16string own(buffer, GetErrorTextEx(buffer, 1024, 0x7E57, GetModuleHandleW(nullptr)));
  EXPECT_TRUE(own.size() > 300 && own.find_first_of(u"\r\n") == std::u16string::npos) << own.size();
  // A system text longer than the room is cut, never replaced.
  for (uint32_t capacity = 1; capacity < file_not_found.size() + 6; ++capacity) {
    std::u16string cut = Describe(2, capacity);  // its leading part, trimmed again
    EXPECT_EQ(cut, (u"2 - " + file_not_found).substr(0, cut.size())) << capacity;
    EXPECT_TRUE(capacity <= 5 || cut.size() > 4) << capacity;  // past the prefix, some text
  }
}

// The hook's text is trimmed like the system's, a fallback's (here in the fifth and last
// place) is not; neither replaces a text that comes before it. A count beyond the room is cut.
TEST(ErrorTextTest, HookBeforeAndFallbacksAfterTheSystem) {
  const std::u16string system_text = Describe(2);
  ErrorTextHook = [](WideChar* buffer, uint32_t capacity, uint32_t code) -> uint32_t {
    if (code != 42) return 0;
    EXPECT_EQ(capacity, 251u);  // behind "42 - "
    return uint32_t(std::u16string(u"from the hook.\r\n ").copy(buffer, 17));
  };
  ErrorTextFallbacks[4] = [](WideChar* buffer, uint32_t capacity, uint32_t code) -> uint32_t {
    return code == 0xBEEF ? capacity : uint32_t(std::u16string(u"from a fallback.").copy(buffer, code == 0xDEAE ? 1 : 16));
  };
  EXPECT_EQ(Describe(42), u"42 - from the hook");
  EXPECT_EQ(Describe(0xDEAD), u"57005 - from a fallback.");
  EXPECT_EQ(Describe(0xDEAE), u"57006 - f");  // one character is a text
  EXPECT_EQ(Describe(2), system_text);
  EXPECT_EQ(Describe(0xBEEF, 12).size(), 11u);
  ErrorTextHook = nullptr;
  ErrorTextFallbacks[4] = nullptr;
}

// Without message tables in the user's language (1815, 15100), the system's own
// fallback language (0) is asked; any other failure is final, also a text too
// long for the room (122) whose whole copy cannot be had either.
TEST(ErrorTextTest, LanguageFallback) {
  static DWORD first_error;
  const std::u16string system_text = After(5, u"5 - ");
  FormatMessageProc = [](DWORD flags, LPCVOID source, DWORD id, DWORD language, LPWSTR buffer,
                         DWORD size, va_list* arguments) -> DWORD {
    if (language == 0) return FormatMessageW(flags, source, id, 0, buffer, size, arguments);
    EXPECT_EQ(language, DWORD(LANG_USER_DEFAULT));  // the user's own language first
    SetLastError(first_error);
    return 0;
  };
  for (DWORD error : {1815u, 15100u, 317u, 122u}) {
    first_error = error;
    EXPECT_EQ(After(5, u"5 - "), error == 317 || error == 122 ? kNoText : system_text) << error;
  }
  FormatMessageProc = FormatMessageW;
}

}  // namespace
