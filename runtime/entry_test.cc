#include "runtime/entry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/job.h"
#include "runtime/cleanup.h"
#include "runtime/environment.h"
#include "runtime/memory.h"
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

void* FailingAlloc(uint64_t, uint32_t) { return nullptr; }

// The frame's failure paths, which end before the job reads the command line.
// The frame takes the handles that SetStdHandle gives this process.
class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    STARTUPINFOW startup;
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    if (startup.dwFlags & STARTF_USESTDHANDLES) GTEST_SKIP() << "handles come from the parent";
    for (int i = 0; i < 3; i++) saved_[i] = GetStdHandle(kKinds[i]);
    CleanupRegistry = nullptr;
  }
  void TearDown() override {
    for (int i = 0; i < 3; i++) SetStdHandle(kKinds[i], saved_[i]);
    AllocHook = DefaultAlloc;
  }
  static constexpr DWORD kKinds[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  HANDLE saved_[3];
};

TEST_F(FrameTest, WithoutStandardHandlesTheCodeIs9999) {
  SetStdHandle(STD_ERROR_HANDLE, INVALID_HANDLE_VALUE);
  StdOutputHandle = reinterpret_cast<void*>(1);
  LibStdOutput = reinterpret_cast<void*>(1);
  EXPECT_EQ(uint32_t(ExitStartup), RunApplication(nullptr));
  EXPECT_EQ(nullptr, StdOutputHandle);
  EXPECT_EQ(nullptr, StdErrorHandle);
  EXPECT_EQ(reinterpret_cast<void*>(1), LibStdOutput);  // nothing stored
}

// What is left in the pipe; false when its writers are all still open.
bool ReadToBrokenPipe(HANDLE pipe, std::string* text) {
  for (;;) {
    char buffer[256];
    DWORD got = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &got, nullptr)) {
      return GetLastError() == ERROR_BROKEN_PIPE;
    }
    if (got == 0 || !ReadFile(pipe, buffer, sizeof(buffer), &got, nullptr)) return false;
    text->append(buffer, got);
  }
}

TEST_F(FrameTest, AFailedInitialisationIsReportedAndTheHandlesClosed) {
  HANDLE out_read, out_write, err_read, err_write;
  ASSERT_TRUE(CreatePipe(&out_read, &out_write, nullptr, 0));
  ASSERT_TRUE(CreatePipe(&err_read, &err_write, nullptr, 0));
  SetStdHandle(STD_OUTPUT_HANDLE, out_write);
  SetStdHandle(STD_ERROR_HANDLE, err_write);
  LibInitialized = false;
  AllocHook = FailingAlloc;
  EXPECT_EQ(uint32_t(ExitStartup), RunApplication(nullptr));
  std::string out, err;
  EXPECT_TRUE(ReadToBrokenPipe(out_read, &out));
  EXPECT_TRUE(ReadToBrokenPipe(err_read, &err));
  EXPECT_EQ("", out);
  EXPECT_EQ("Cannot initialize application\r\n", err);
  EXPECT_EQ(nullptr, StdOutputHandle);
  EXPECT_EQ(nullptr, StdErrorHandle);
  EXPECT_EQ(out_write, LibStdOutput);  // the library's copies stay
  CloseHandle(out_read);
  CloseHandle(err_read);
}

}  // namespace
