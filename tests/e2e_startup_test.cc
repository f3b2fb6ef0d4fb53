// Start-up and shutdown through the real exe: where the standard handles come
// from, a shared output and error handle, and the refusal of an old Windows.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e_support.h"

namespace {

const char kCapture[] = "(bootloader) hello\r\nOKAY [  0.001s]\r\nFinished. Total time: 0.001s\r\n";

// Standard output to a file; standard error invalid or the same handle.
TEST(Startup, HandlesFromTheStartUpInformation) {
  const struct {
    const char* command_line;
    bool shared;  // false: INVALID_HANDLE_VALUE as the error handle
    uint32_t code;
    std::string out;
  } cases[] = {
      {"bootweave in.txt", false, 1, ""},
      {"bootweave in.txt -", false, 0, "hello\r\n"},
      {"bootweave in.txt", true, 1, "No destination file specification\r\n"},
  };
  for (const auto& c : cases) {
    std::string dir = MakeTempDir();
    WriteBytes(dir + "\\in.txt", kCapture);
    HANDLE out = CreateCaptureFile(dir + "\\stdout");
    HANDLE err = c.shared ? out : INVALID_HANDLE_VALUE;
    EXPECT_EQ(c.code, WaitExit(Launch(ExePath(), c.command_line, dir, true, out, err)));
    CloseHandle(out);
    EXPECT_EQ(c.out, ReadBytes(dir + "\\stdout")) << c.command_line;
  }
}

// Without start-up handles the child takes this process's, here none, for one start.
TEST(Startup, WithoutStandardHandlesTheRunStillWorks) {
  std::string dir = MakeTempDir();
  WriteBytes(dir + "\\in.txt", kCapture);
  const DWORD kinds[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  HANDLE saved[3];
  for (int i = 0; i < 3; i++) {
    saved[i] = GetStdHandle(kinds[i]);
    SetStdHandle(kinds[i], nullptr);
  }
  uint32_t usage = WaitExit(Launch(ExePath(), "bootweave", dir, false, nullptr, nullptr));
  uint32_t run = WaitExit(Launch(ExePath(), "bootweave in.txt out.txt", dir, false, nullptr, nullptr));
  for (int i = 0; i < 3; i++) SetStdHandle(kinds[i], saved[i]);
  EXPECT_EQ(99u, usage);
  EXPECT_EQ(0u, run);
  EXPECT_EQ("hello\r\n", ReadBytes(dir + "\\out.txt"));
}

TEST(Startup, WindowsOlderThan5IsRefused) {
  RunResult refused = RunAsWindowsVersion("nt40");
  EXPECT_EQ(9999u, refused.exit_code);
  EXPECT_EQ("", refused.out);
  EXPECT_EQ("Cannot initialize application\r\n", refused.err);
  EXPECT_EQ(99u, RunAsWindowsVersion("win2k").exit_code);  // 5.0 runs: the usage text
}

}  // namespace
