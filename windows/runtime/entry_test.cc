#include "windows/runtime/entry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "windows/runtime/std_handles.h"

namespace {

// A crash exits with its own code: Wine's debugger may end a crashed run with 0.
const auto crash_exit = SetUnhandledExceptionFilter([](EXCEPTION_POINTERS* e) -> LONG {
  return TerminateProcess(GetCurrentProcess(), e->ExceptionRecord->ExceptionCode); });

TEST(SkipProgramNameW, FindsTheFirstArgument) {
  const std::u16string name(1023, u'n');
  const struct { std::u16string line, tail; } cases[] = {
      {u"\"C:\\Program Files\\bw.exe\"  -raw a b", u"-raw a b"}, {u"bw.exe\t-raw a b", u"a b"},
      {u"\"C:\\bw.exe -raw a b", u""} /* no closing quote */, {u"bw.exe \t \t a", u"a"},
      {u"bw.exe   ", u""}, {u"\"bw.exe\"a b", u"a b"}, {u"", u""},
      {u"\"\" -raw a", u"-raw a"}, {u" -raw a", u"-raw a"},  // an empty name, quoted or not
      // The closing character is looked for among the name's first 1024 characters.
      {name + u" x", u"x"}, {name + u"n x", u""}, {u"\"" + name + u"\" x", u"x"}, {u"\"" + name + u"n\" x", u""},
  };
  for (const auto& c : cases) {
    const WideChar* tail = SkipProgramNameW(c.line.c_str());
    EXPECT_EQ(c.tail, std::u16string(tail)) << c.line.size();
    EXPECT_EQ(c.line.c_str() + c.line.size(), tail + c.tail.size());  // a tail of the line
  }
}

// One handle for output and error is closed once: a second close would set the last error.
TEST(CloseStdHandles, ClosesEachHeldHandleOnce) {
  HANDLE read_end, write_end, other;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, nullptr, 0));
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), write_end, GetCurrentProcess(), &other, 0,
                              FALSE, DUPLICATE_SAME_ACCESS));
  const struct { HANDLE output, error; } cases[] = {{write_end, write_end}, {nullptr, other}, {nullptr, nullptr}};
  for (const auto& c : cases) {
    StdOutputHandle = c.output;
    StdErrorHandle = c.error;
    SetLastError(0);
    CloseStdHandles();
    EXPECT_EQ(0u, GetLastError()) << "a close failed";
    EXPECT_TRUE(StdOutputHandle == nullptr && StdErrorHandle == nullptr);
    DWORD flags;
    for (HANDLE h : {c.output, c.error}) EXPECT_TRUE(!h || !GetHandleInformation(h, &flags));
  }
  CloseHandle(read_end);
}

}  // namespace
