// Start-up through the real exe: where the standard handles come from.
#include <gtest/gtest.h>

#include "tests/e2e_support.h"

namespace {

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
