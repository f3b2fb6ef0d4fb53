// Standard output on pipes and standard error on a console, through the real
// exe: readers that leave, non-blocking pipes, failing writes and a console
// whose code page is not the process's.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e_support.h"

namespace {

// A log of 248,000 bytes: many times the pipe's 4 KiB.
std::string BigCapture(std::string* log) {
  std::string capture;
  for (int i = 0; i < 4000; ++i) {
    std::string line = std::to_string(100000 + i) + std::string(54, 'a' + i % 26);
    capture += "(bootloader) " + line + "\r\r\n";
    *log += line + "\r\n";
  }
  return capture;
}

struct Reader {
  const char* name;
  bool nowait;  // the pipe as some Unix-like shells hand it out
  size_t leave_after;  // bytes read before the reader closes; 0: when the pipe is full
};

// Reads the pipe slowly until the writer ends or `leave_after` bytes have come.
std::string Read(HANDLE pipe, size_t leave_after) {
  std::string got;
  char buffer[4096];
  DWORD n = 0;
  while (got.size() < leave_after && ReadFile(pipe, buffer, sizeof buffer, &n, nullptr)) {
    got.append(buffer, n);
    Sleep(2);
  }
  return got;
}

// Reads a little, then waits until the writer is blocked on the full pipe (what
// is waiting in it stops changing).
void WaitUntilBlocked(HANDLE pipe) {
  Read(pipe, 10);
  DWORD last = 0, now = 0;
  for (int still = 0; still < 20; Sleep(5)) {
    PeekNamedPipe(pipe, nullptr, 0, nullptr, &now, nullptr);
    still = now == last ? still + 1 : 0;
    last = now;
  }
}

RunResult RunIntoPipe(const std::string& dir, const Reader& reader) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE read_end, write_end;
  CreatePipe(&read_end, &write_end, &sa, 4096);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
  if (reader.nowait) SetNamedPipeHandleState(write_end, &mode, nullptr, nullptr);
  HANDLE err = CreateCaptureFile(dir + "\\stderr");
  HANDLE child = Launch(ExePath(), "bootweave in.txt -", dir, true, write_end, err);
  CloseHandle(write_end);
  RunResult r;
  if (reader.leave_after == 0) WaitUntilBlocked(read_end);
  r.out = Read(read_end, reader.leave_after);
  CloseHandle(read_end);
  r.exit_code = WaitExit(child);
  CloseHandle(err);
  r.err = ReadBytes(dir + "\\stderr");
  return r;
}

// A reader that goes away does not fail the run: not before the start, not while
// the writer is blocked on a full pipe, not half-way through a non-blocking pipe.
// A slow reader of a non-blocking pipe gets every byte.
TEST(StandardOutput, PipesGetEveryByteOrLeaveWithoutHarm) {
  std::string dir = MakeTempDir(), log;
  WriteBytes(dir + "\\in.txt", BigCapture(&log));
  const Reader readers[] = {
      {"reads a little, then leaves", false, 1}, {"leaves the blocked writer", false, 0},
      {"non-blocking, leaves half-way", true, log.size() / 2},
      {"non-blocking, reads all", true, log.size() + 1}, {"blocking, reads all", false, log.size() + 1},
  };
  for (const Reader& reader : readers) {
    RunResult r = RunIntoPipe(dir, reader);
    EXPECT_EQ(r.exit_code, 0u) << reader.name;
    EXPECT_EQ(r.err, "") << reader.name;
    EXPECT_TRUE(reader.leave_after < log.size() || r.out == log) << reader.name << " " << r.out.size();
  }
}

// Any other write failure on standard output is one: here a handle that may only read.
TEST(StandardOutput, OtherWriteErrorsFail) {
  std::string dir = MakeTempDir();
  WriteBytes(dir + "\\in.txt", "(bootloader) x\r\n");
  WriteBytes(dir + "\\readonly", "");
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE out = CreateFileW(Wide(dir + "\\readonly").c_str(), GENERIC_READ, FILE_SHARE_READ, &sa,
                           OPEN_EXISTING, 0, nullptr);
  HANDLE err = CreateCaptureFile(dir + "\\stderr");
  EXPECT_EQ(WaitExit(Launch(ExePath(), "bootweave in.txt -", dir, true, out, err)), 3u);
  CloseHandle(out);
  CloseHandle(err);
  std::string message = ReadBytes(dir + "\\stderr");
  EXPECT_TRUE(IsMessageWithDescription(message, "Cannot write 3 bytes to destination file ", 5))
      << message;
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
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = input;
  PROCESS_INFORMATION host = {};
  wchar_t cmd[] = L"find.exe x";
  ASSERT_TRUE(CreateProcessW(nullptr, cmd, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                             nullptr, &si, &host));
  HANDLE saved_out = GetStdHandle(STD_OUTPUT_HANDLE), saved_err = GetStdHandle(STD_ERROR_HANDLE);
  FreeConsole();
  bool attached = false;
  for (int i = 0; i < 400 && !(attached = AttachConsole(host.dwProcessId)); ++i) Sleep(5);
  HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  SetConsoleOutputCP(850);
  const struct { std::string arguments; std::wstring shown; } cases[] = {
      {"\"é Ж 中.txt\" out.txt", L"Cannot open \"é Ж 中.txt\" (2 - "},
      {"CON out.txt", L"Cannot get file size (1 - "},
  };
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
  TerminateProcess(host.hProcess, 0);
  for (HANDLE h : {host.hProcess, host.hThread, input, keep_open, console}) CloseHandle(h);
  EXPECT_TRUE(attached);
  EXPECT_FALSE(FileExists(dir + "\\out.txt"));
}

}  // namespace
