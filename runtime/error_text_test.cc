#include "runtime/error_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// The system's wording differs between Windows versions and Wine, so these tests
// look at the shape of a description and at the library's own texts only.
namespace {

constexpr WideChar kCanary = 0xCCCC;
const std::u16string kNoText = u"*** no error description ***";

std::u16string Describe(uint32_t code, uint32_t capacity = kErrorTextCapacity) {
  WideChar buffer[kErrorTextCapacity + 8];
  for (WideChar& c : buffer) c = kCanary;
  uint32_t n = ErrorTextSlots.get_error_text(buffer, capacity, code);
  EXPECT_LT(n, capacity);
  EXPECT_EQ(buffer[n], 0);
  for (uint32_t i = capacity; i < kErrorTextCapacity + 8; ++i) EXPECT_EQ(buffer[i], kCanary);
  return std::u16string(buffer, n);
}

std::u16string After(const std::u16string& text, const std::u16string& prefix) {
  EXPECT_EQ(text.substr(0, prefix.size()), prefix);
  return text.substr(prefix.size());
}

uint32_t HookText(WideChar* buffer, uint32_t capacity, uint32_t code) {
  if (code != 42) return 0;
  const std::u16string text = u"from the hook.\r\n ";
  EXPECT_EQ(capacity, kErrorTextCapacity - 5);  // behind "42 - "
  text.copy(buffer, text.size());
  return static_cast<uint32_t>(text.size());
}

uint32_t FallbackText(WideChar* buffer, uint32_t, uint32_t) {
  const std::u16string text = u"from a fallback.";
  text.copy(buffer, text.size());
  return static_cast<uint32_t>(text.size());
}

class ErrorTextTest : public testing::Test {
 protected:
  void TearDown() override {
    ErrorTextHook = nullptr;
    for (ErrorDescriber& fallback : ErrorTextFallbacks) fallback = nullptr;
  }
};

// Each description is "<prefix><text>", its text on one line and trimmed.
TEST_F(ErrorTextTest, PrefixAndTextByCode) {
  const std::u16string file_not_found = After(Describe(2), u"2 - ");
  struct Row {
    uint32_t code;
    std::u16string prefix;
    std::u16string text;  // empty: any text but the fixed one
  };
  const Row rows[] = {
      {2, u"2 - ", u""},
      {0x80070002, u"0x80070002 - ", file_not_found},  // an HRESULT wrapping error 2
      {0x80070005, u"0x80070005 - ", u""},
      {0x00010005, u"0x010005 - ", kNoText},
      {0xDEAD, u"57005 - ", kNoText},
  };
  for (const Row& row : rows) {
    std::u16string text = After(Describe(row.code), row.prefix);
    ASSERT_FALSE(text.empty()) << row.code;
    EXPECT_EQ(text.find_first_of(u"\r\n"), std::u16string::npos) << row.code;
    EXPECT_EQ(std::u16string(u" \t").find(text.back()), std::u16string::npos) << row.code;
    if (row.text.empty()) {
      EXPECT_NE(text, kNoText) << row.code;
      EXPECT_NE(text.back(), u'.') << row.code;
    } else {
      EXPECT_EQ(text, row.text) << row.code;
    }
  }
}

TEST_F(ErrorTextTest, InternetCodesNeedTheLoadedLibrary) {
  ASSERT_EQ(GetModuleHandleA("wininet.dll"), nullptr);
  EXPECT_EQ(Describe(12002), u"12002 - " + kNoText);
  EXPECT_EQ(GetModuleHandleA("wininet.dll"), nullptr);
  HMODULE internet = LoadLibraryW(L"wininet.dll");
  ASSERT_NE(internet, nullptr);
  EXPECT_NE(After(Describe(12002), u"12002 - "), kNoText);
  EXPECT_NE(After(Describe(0x80072EE2), u"0x80072EE2 - "), kNoText);
  WideChar buffer[kErrorTextCapacity];
  uint32_t n = GetErrorTextEx(buffer, kErrorTextCapacity, 12002, internet);
  EXPECT_EQ(std::u16string(buffer, n), Describe(12002));
  FreeLibrary(internet);
}

// The hook's text is trimmed like the system's, a fallback's is not; neither
// replaces a text that comes before it.
TEST_F(ErrorTextTest, HookBeforeAndFallbacksAfterTheSystem) {
  const std::u16string system_text = Describe(2);
  ErrorTextHook = HookText;
  ErrorTextFallbacks[2] = FallbackText;
  EXPECT_EQ(Describe(42), u"42 - from the hook");
  EXPECT_EQ(Describe(0xDEAD), u"57005 - from a fallback.");
  EXPECT_EQ(Describe(2), system_text);
}

// A system text longer than the room is cut, never replaced: every capacity gives
// the leading part of the whole description.
TEST_F(ErrorTextTest, CutAtEveryCapacity) {
  const std::u16string whole = Describe(2);
  for (uint32_t capacity = 1; capacity <= whole.size() + 1; ++capacity) {
    std::u16string cut = Describe(2, capacity);
    EXPECT_EQ(cut, whole.substr(0, cut.size())) << capacity;
    if (capacity > 5) {
      EXPECT_GT(cut.size(), 4u) << capacity;
    }
  }
}

TEST_F(ErrorTextTest, LastErrorIsLeftAsFound) {
  for (uint32_t code : {2u, 0xDEADu, 12002u, 0x80070002u}) {
    for (uint32_t capacity : {kErrorTextCapacity, 8u}) {
      SetLastError(4242);
      Describe(code, capacity);
      EXPECT_EQ(GetLastError(), 4242u) << code << " " << capacity;
    }
  }
}

}  // namespace
