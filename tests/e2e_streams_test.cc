// Standard output through the real exe: on pipes whose reader leaves or does
// not block, and on a handle that may only read.
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
  HANDLE child = Launch(ExePath(), "bootweave in.txt -", dir, out, err);
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

}  // namespace
