#include "runtime/entry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "runtime/std_handles.h"

namespace {

TEST(SkipProgramNameW, FindsTheFirstArgument) {
  struct Case {
    const wchar_t* line;
    const wchar_t* tail;
  } const cases[] = {
      {L"\"C:\\Program Files\\bw.exe\"  -raw a b", L"-raw a b"},
      {L"bw.exe\tsource.log", L""},
      {L"bw.exe\t-raw a b", L"a b"},
      {L"\"C:\\bw.exe -raw a b", L""},
      {L"bw.exe \t \t a", L"a"},
      {L"bw.exe", L""},
      {L"bw.exe   ", L""},
      {L"\"bw.exe\"a b", L"a b"},
      {L"", L""},
  };
  for (const Case& c : cases) {
    const wchar_t* tail = SkipProgramNameW(c.line);
    EXPECT_STREQ(c.tail, tail) << testing::PrintToString(std::wstring(c.line));
    EXPECT_EQ(0, tail[lstrlenW(tail)]);
  }
}

// The closing character at `index` from the name's start, then " x".
TEST(SkipProgramNameW, LooksAt1024CharactersOfTheName) {
  struct Case {
    bool quoted;
    size_t index;
    const wchar_t* tail;
  } const cases[] = {
      {false, 1023, L"x"},
      {false, 1024, L""},
      {true, 1023, L"x"},
      {true, 1024, L""},
  };
  for (const Case& c : cases) {
    std::wstring line = c.quoted ? L"\"" : L"";
    line += std::wstring(c.index, L'n');
    line += c.quoted ? L"\" x" : L" x";
    EXPECT_STREQ(c.tail, SkipProgramNameW(line.c_str())) << c.quoted << " " << c.index;
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
