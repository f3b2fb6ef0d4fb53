#include "runtime/entry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "runtime/std_handles.h"

namespace {

TEST(SkipProgramNameW, FindsTheFirstArgument) {
  struct Case {
    const char16_t* line;
    const char16_t* tail;
  } const cases[] = {
      {u"\"C:\\Program Files\\bw.exe\"  -raw a b", u"-raw a b"},
      {u"bw.exe\tsource.log", u""},
      {u"bw.exe\t-raw a b", u"a b"},
      {u"\"C:\\bw.exe -raw a b", u""},
      {u"bw.exe \t \t a", u"a"},
      {u"bw.exe", u""},
      {u"bw.exe   ", u""},
      {u"\"bw.exe\"a b", u"a b"},
      {u"", u""},
  };
  for (const Case& c : cases) {
    const WideChar* tail = SkipProgramNameW(c.line);
    EXPECT_EQ(std::u16string(c.tail), std::u16string(tail)) << testing::PrintToString(c.line);
    EXPECT_EQ(c.line + std::char_traits<char16_t>::length(c.line), tail + std::char_traits<char16_t>::length(tail));
  }
}

// The closing character at `index` from the name's start, then " x".
TEST(SkipProgramNameW, LooksAt1024CharactersOfTheName) {
  struct Case {
    bool quoted;
    size_t index;
    const char16_t* tail;
  } const cases[] = {
      {false, 1023, u"x"},
      {false, 1024, u""},
      {true, 1023, u"x"},
      {true, 1024, u""},
  };
  for (const Case& c : cases) {
    std::u16string line = c.quoted ? u"\"" : u"";
    line += std::u16string(c.index, u'n');
    line += c.quoted ? u"\" x" : u" x";
    EXPECT_EQ(std::u16string(c.tail), SkipProgramNameW(line.c_str())) << c.quoted << " " << c.index;
  }
}

bool IsOpen(HANDLE handle) {
  DWORD flags;
  return GetHandleInformation(handle, &flags) != 0;
}

TEST(CloseStdHandles, ClosesEachHeldHandleOnce) {
  HANDLE read_end, write_end, other;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, nullptr, 0));
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), write_end, GetCurrentProcess(), &other, 0,
                              FALSE, DUPLICATE_SAME_ACCESS));
  struct Case {
    HANDLE output, error;
  } const cases[] = {{write_end, write_end}, {nullptr, other}, {nullptr, nullptr}};
  for (const Case& c : cases) {
    StdOutputHandle = c.output;
    StdErrorHandle = c.error;
    SetLastError(0);
    CloseStdHandles();
    EXPECT_EQ(0u, GetLastError()) << "a close failed";
    EXPECT_EQ(nullptr, StdOutputHandle);
    EXPECT_EQ(nullptr, StdErrorHandle);
    EXPECT_TRUE(c.output == nullptr || !IsOpen(c.output));
    EXPECT_TRUE(c.error == nullptr || !IsOpen(c.error));
  }
  CloseHandle(read_end);
}

TEST(GetStdHandles, FillsOnlyTheGivenSlotsAndAlwaysTheLibraryCopies) {
  void* input = reinterpret_cast<void*>(1);
  void* error = reinterpret_cast<void*>(1);
  LibStdOutput = nullptr;
  LibStdError = reinterpret_cast<void*>(1);
  ASSERT_TRUE(GetStdHandles(&input, nullptr, &error));
  EXPECT_NE(reinterpret_cast<void*>(1), input);
  EXPECT_EQ(LibStdError, error);
  EXPECT_EQ(GetStdHandle(STD_OUTPUT_HANDLE), LibStdOutput);
}

}  // namespace
