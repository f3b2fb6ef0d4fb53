// The standard handles through the real exe: where they come from, standard
// output on pipes whose reader leaves or does not block, failing writes, and
// standard error on a console whose code page is not the process's.
#include <gtest/gtest.h>

#include "tests/e2e_support.h"

namespace {

// Reads the pipe slowly until the writer ends or `leave_after` bytes have come.
std::string Read(HANDLE pipe, size_t leave_after) {
  std::string got;
  char buffer[4096];
  for (DWORD n = 0; got.size() < leave_after && ReadFile(pipe, buffer, sizeof buffer, &n, nullptr);
       Sleep(2))
    got.append(buffer, n);
  return got;
}

enum Reader { kReadsAll, kLeavesHalfWay, kLeavesTheBlockedWriter, kNone };

// "bootweave in.txt -" with standard output on a pipe of 4 KiB, or on `out`.
RunResult RunToStandardOutput(const std::string& dir, size_t size, Reader reader, bool nowait,
                              HANDLE out = nullptr) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE pipe = nullptr;
  if (!out) CreatePipe(&pipe, &out, &sa, 4096);
  SetHandleInformation(pipe, HANDLE_FLAG_INHERIT, 0);
  DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;  // as some Unix-like shells hand pipes out
  if (nowait) SetNamedPipeHandleState(out, &mode, nullptr, nullptr);
  HANDLE err = CreateCaptureFile(dir + "\\stderr");
  HANDLE child = Launch(ExePath(), "bootweave in.txt -", dir, true, out, err);
  CloseHandle(out);
  RunResult r;
  if (reader == kLeavesTheBlockedWriter) {
    Read(pipe, 10);
    // The writer is blocked on the full pipe when what waits in it stops changing.
    for (DWORD last = 0, now = 0, still = 0; still < 20; Sleep(5), last = now) {
      PeekNamedPipe(pipe, nullptr, 0, nullptr, &now, nullptr);
      still = now == last ? still + 1 : 0;
    }
  }
  size_t leave_after = reader == kReadsAll ? size + 1 : reader == kLeavesHalfWay ? size / 2 : 0;
  if (pipe) r.out = Read(pipe, leave_after);
  CloseHandle(pipe);
  r.exit_code = WaitExit(child);
  CloseHandle(err);
  r.err = ReadBytes(dir + "\\stderr");
  return r;
}

// A reader that goes away does not fail the run, not even while the writer is
// blocked on the full pipe; a slow reader of a non-blocking pipe gets every byte.
// Any other failure to write is one: here a handle that may only read.
TEST(StandardOutput, PipesGetEveryByteOrLeaveWithoutHarm) {
  std::string dir = MakeTempDir(), capture, log;
  for (int i = 0; i < 4000; ++i) {  // 248,000 bytes: many times the pipe's size
    std::string line = std::to_string(100000 + i) + std::string(54, 'a' + i % 26);
    capture += "(bootloader) " + line + "\r\r\n";
    log += line + "\r\n";
  }
  WriteBytes(dir + "\\in.txt", capture);
  const struct { Reader reader; bool nowait; } cases[] = {
      {kReadsAll, false}, {kReadsAll, true}, {kLeavesHalfWay, true},
      {kLeavesTheBlockedWriter, false}, {kNone, false}};
  for (const auto& c : cases) {
    RunResult r = RunToStandardOutput(dir, log.size(), c.reader, c.nowait);
    EXPECT_EQ(r.exit_code, 0u) << c.reader << c.nowait;
    EXPECT_EQ(r.err, "") << c.reader << c.nowait;
    EXPECT_TRUE(c.reader != kReadsAll || r.out == log) << c.reader << c.nowait << " " << r.out.size();
  }
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE read_only = CreateFileW(Wide(dir + "\\in.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                 &sa, OPEN_EXISTING, 0, nullptr);
  RunResult r = RunToStandardOutput(dir, 0, kNone, false, read_only);
  EXPECT_EQ(r.exit_code, 3u);
  EXPECT_TRUE(Matches(r.err, "Cannot write 1024 bytes to destination file (5 - <error>)\r\n"))
      << r.err;
}

// Wine gives a process started with CREATE_NO_WINDOW a console without a window;
// this process attaches to it, and bootweave inherits it as its standard handles.
// The console's code page is 850, the exe's UTF-8: the characters must arrive all
// the same. A console is also a source without a size.
TEST(Console, MessagesShowTheirCharactersInAnyCodePage) {
  std::string dir = MakeTempDir();
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE input, keep_open;  // find waits on this pipe, holding the console
  CreatePipe(&input, &keep_open, &sa, 0);
  HANDLE host = Launch("C:\\windows\\system32\\find.exe", "find x", "", true, nullptr, nullptr,
                       CREATE_NO_WINDOW, input);
  ASSERT_NE(nullptr, host);
  HANDLE saved_out = GetStdHandle(STD_OUTPUT_HANDLE), saved_err = GetStdHandle(STD_ERROR_HANDLE);
  FreeConsole();
  bool attached = false;
  // find starts in its own time, seconds under load: waited for while it runs, a minute at most.
  for (int i = 0; i < 12000 && !(attached = AttachConsole(GetProcessId(host))); ++i)
    if (WaitForSingleObject(host, 5) != WAIT_TIMEOUT) break;
  HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  SetConsoleOutputCP(850);
  const struct { std::string arguments; std::wstring shown; } cases[] = {
      {"\"é Ж 中.txt\" out.txt", L"Cannot open \"é Ж 中.txt\" (2 - "},
      {"CON out.txt", L"Cannot get file size (1 - "}};
  for (const auto& c : cases) {
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    GetConsoleScreenBufferInfo(console, &info);
    uint32_t code = WaitExit(Launch(ExePath(), "bootweave " + c.arguments, dir, false, nullptr, nullptr));
    std::wstring shown(c.shown.size(), L' ');
    DWORD n = 0;
    ReadConsoleOutputCharacterW(console, &shown[0], DWORD(shown.size()), info.dwCursorPosition, &n);
    EXPECT_EQ(code, 3u) << c.arguments;
    EXPECT_EQ(shown, c.shown) << c.arguments;
  }
  FreeConsole();
  SetStdHandle(STD_OUTPUT_HANDLE, saved_out);
  SetStdHandle(STD_ERROR_HANDLE, saved_err);
  TerminateProcess(host, 0);
  WaitExit(host);
  for (HANDLE h : {input, keep_open, console}) CloseHandle(h);
  EXPECT_TRUE(attached);
  EXPECT_FALSE(FileExists(dir + "\\out.txt"));
}

// From the start-up information (an invalid error handle, or one handle for
// output and error), or else this process's, here none at all.
TEST(Startup, StandardHandles) {
  enum Handles { kInvalidError, kShared, kNone };
  const struct { const char* line; Handles handles; uint32_t code; std::string out, file; } cases[] = {
      {"bootweave in.txt", kInvalidError, 1, "", "<missing>"},
      {"bootweave in.txt -", kInvalidError, 0, "hello\r\n", "<missing>"},
      {"bootweave in.txt", kShared, 1, "No destination file specification\r\n", "<missing>"},
      {"bootweave", kNone, 99, "", "<missing>"},
      {"bootweave in.txt out.txt", kNone, 0, "", "hello\r\n"},
  };
  const DWORD kinds[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  for (const auto& c : cases) {
    std::string dir = MakeTempDir();
    WriteBytes(dir + "\\in.txt", "(bootloader) hello\r\nOKAY [  0.001s]\r\n");
    HANDLE out = CreateCaptureFile(dir + "\\stdout"), saved[3];
    for (int i = 0; i < 3; i++) saved[i] = GetStdHandle(kinds[i]);
    for (int i = 0; i < 3 && c.handles == kNone; i++) SetStdHandle(kinds[i], nullptr);
    HANDLE err = c.handles == kShared ? out : INVALID_HANDLE_VALUE;
    uint32_t code = WaitExit(Launch(ExePath(), c.line, dir, c.handles != kNone, out, err));
    for (int i = 0; i < 3; i++) SetStdHandle(kinds[i], saved[i]);
    CloseHandle(out);
    EXPECT_EQ(c.code, code) << c.line;
    EXPECT_EQ(c.out, ReadBytes(dir + "\\stdout")) << c.line;
    EXPECT_EQ(c.file, ReadBytes(dir + "\\out.txt")) << c.line;
  }
}

}  // namespace
