// Start-up and shutdown through the real exe: where the standard handles come
// from, a shared output and error handle, and the refusal of an old Windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/e2e_support.h"

namespace {

const char kCapture[] = "(bootloader) hello\r\nOKAY [  0.001s]\r\nFinished. Total time: 0.001s\r\n";
const char kFormatted[] = "hello\r\n";
const char kUsageStart[] = "\r\nbootweave ";

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

enum ErrorHandle { kOwnFile, kInvalid, kSameAsOutput };

TEST(Startup, HandlesFromTheStartUpInformation) {
  struct Case {
    const char* command_line;
    ErrorHandle error;
    uint32_t code;
    std::string out;  // with kSameAsOutput, everything written
    std::string err;
  } const cases[] = {
      {"bootweave in.txt", kInvalid, 1, "", ""},
      {"bootweave in.txt -", kInvalid, 0, kFormatted, ""},
      {"bootweave in.txt", kOwnFile, 1, "", "No destination file specification\r\n"},
      {"bootweave in.txt", kSameAsOutput, 1, "No destination file specification\r\n", ""},
      {"bootweave in.txt -", kSameAsOutput, 0, kFormatted, ""},
      {"bootweave no_such.txt -", kSameAsOutput, 3, "Cannot open \"no_such.txt\" (2 - ", ""},
  };
  for (const Case& c : cases) {
    std::string dir = MakeTempDir();
    WriteBytes(dir + "\\in.txt", kCapture);
    HANDLE out = CreateCaptureFile(dir + "\\stdout");
    HANDLE err = c.error == kOwnFile ? CreateCaptureFile(dir + "\\stderr")
                                     : c.error == kInvalid ? INVALID_HANDLE_VALUE : out;
    EXPECT_EQ(c.code, StartExe(ExePath(), c.command_line, dir, true, out, err)) << c.command_line;
    CloseHandle(out);
    if (c.error == kOwnFile) CloseHandle(err);
    EXPECT_TRUE(StartsWith(ReadBytes(dir + "\\stdout"), c.out)) << c.command_line;
    if (c.error == kOwnFile) {
      EXPECT_EQ(c.err, ReadBytes(dir + "\\stderr")) << c.command_line;
    }
  }
}

// The parent's own standard handles, which the child takes when the start-up
// information passes none, are replaced for one start.
uint32_t StartWithSystemHandles(const std::string& command_line, const std::string& dir,
                                HANDLE out, HANDLE err) {
  HANDLE saved[3] = {GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE),
                     GetStdHandle(STD_ERROR_HANDLE)};
  SetStdHandle(STD_INPUT_HANDLE, nullptr);
  SetStdHandle(STD_OUTPUT_HANDLE, out);
  SetStdHandle(STD_ERROR_HANDLE, err);
  uint32_t code = StartExe(ExePath(), command_line, dir, false, nullptr, nullptr);
  SetStdHandle(STD_INPUT_HANDLE, saved[0]);
  SetStdHandle(STD_OUTPUT_HANDLE, saved[1]);
  SetStdHandle(STD_ERROR_HANDLE, saved[2]);
  return code;
}

TEST(Startup, WithoutStandardHandlesTheRunStillWorks) {
  std::string dir = MakeTempDir();
  WriteBytes(dir + "\\in.txt", kCapture);
  EXPECT_EQ(99u, StartWithSystemHandles("bootweave", dir, nullptr, nullptr));
  EXPECT_EQ(0u, StartWithSystemHandles("bootweave in.txt out.txt", dir, nullptr, nullptr));
  EXPECT_EQ(kFormatted, ReadBytes(dir + "\\out.txt"));
}

TEST(Startup, WindowsOlderThan5IsRefused) {
  struct Case {
    const char* version;
    uint32_t code;
    const char* out;
    const char* err;
  } const cases[] = {
      {"nt40", 9999, "", "Cannot initialize application\r\n"},
      {"win2k", 99, kUsageStart, ""},
  };
  for (const Case& c : cases) {
    RunResult r = RunAsWindowsVersion(c.version, "");
    EXPECT_EQ(c.code, r.exit_code) << c.version;
    EXPECT_TRUE(StartsWith(r.out, c.out)) << c.version;
    EXPECT_EQ(c.err, r.err) << c.version;
  }
}

}  // namespace
