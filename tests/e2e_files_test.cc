// Source and destination through the real exe: what is read, what is created,
// and what each failure says. Names are in the scripts Windows users name files in.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e_support.h"

namespace {

const std::string kCapture = "(bootloader) hello\r\r\n(bootloader) world\r\nOKAY [  0.010s]\r\n";
const std::string kLog = "hello\r\nworld\r\n";

std::string Repeat(const std::string& piece, int count) {
  std::string text;
  while (count-- > 0) text += piece;
  return text;
}

// Nothing is created when the source fails; the message names the path byte for
// byte (UTF-8 in a file) and ends with the system's error.
TEST(Files, FailuresNameTheErrorAndCreateNothing) {
  std::string dir = MakeTempDir();
  WriteBytes(dir + "\\empty.txt", "");
  WriteBytes(dir + "\\in.txt", kCapture);
  WriteBytes(dir + "\\существует.txt", "keep me");
  std::string pipe = "\\\\.\\pipe\\bw_" + std::to_string(GetCurrentProcessId());
  HANDLE server = CreateNamedPipeW(Wide(pipe).c_str(), PIPE_ACCESS_OUTBOUND, 0, 1, 4096, 4096, 0,
                                   nullptr);
  const struct {
    std::string arguments, prefix;
    uint32_t error;
    std::string must_not_exist;
  } cases[] = {
      {"журнал.txt out1.txt", "Cannot open \"журнал.txt\" ", 2, "out1.txt"},
      {"empty.txt out2.txt", "Cannot allocate source buffer of 0 bytes ", 87, "out2.txt"},
      {"in.txt существует.txt", "Cannot create \"существует.txt\" ", 80, ""},
      {"in.txt nofolder\\日志.txt", "Cannot create \"nofolder\\日志.txt\" ", 3, "nofolder"},
      // Devices and pipes have no size to read: refused, not read short.
      {"NUL out3.txt", "Cannot get file size ", 1, "out3.txt"},
      {pipe + " out4.txt", "Cannot get file size ", 1, "out4.txt"},
  };
  for (const auto& c : cases) {
    RunResult r = RunBootweave("bootweave " + c.arguments, dir);
    EXPECT_EQ(r.exit_code, 3u) << c.arguments;
    EXPECT_EQ(r.out, "") << c.arguments;
    EXPECT_TRUE(IsMessageWithDescription(r.err, c.prefix, c.error)) << c.arguments << ": " << r.err;
    EXPECT_TRUE(c.must_not_exist.empty() || !FileExists(dir + "\\" + c.must_not_exist));
  }
  CloseHandle(server);
  EXPECT_EQ(ReadBytes(dir + "\\существует.txt"), "keep me");
}

TEST(Files, WritesToANewFileOrStandardOutput) {
  std::string dir = MakeTempDir();
  WriteBytes(dir + "\\in.txt", kCapture);
  WriteBytes(dir + "\\nolog.txt", "OKAY [  0.010s]\r\n");
  WriteBytes(dir + "\\one.txt", "(bootloader) x");
  // Look-alikes: each name opens its own file, never the other through a best fit.
  WriteBytes(dir + "\\ｃａｐ.txt", "(bootloader) fullwidth\r\n");
  WriteBytes(dir + "\\cap.txt", "(bootloader) plain\r\n");
  struct Case {
    std::string arguments, out, file, contents;
  };
  std::vector<Case> cases = {
      {"in.txt -", kLog, "", ""},
      {"in.txt \"-\"", kLog, "", ""},
      {"in.txt --", "", "--", kLog},
      {"in.txt \u00AD-", "", "\u00AD-", kLog},  // a soft hyphen makes it a file's name
      {"\"in.txt\" \"with blank.txt\"", "", "with blank.txt", kLog},
      {"nolog.txt empty_out.txt", "", "empty_out.txt", ""},  // created, and stays empty
      {"-raw one.txt -", "x", "", ""},
      {"ｃａｐ.txt -", "fullwidth\r\n", "", ""},
      {"cap.txt -", "plain\r\n", "", ""},
  };
  for (std::string name : {"журнал", "καταγραφή", "日志", "dziennik_żółć", "log 😀"}) {
    WriteBytes(dir + "\\" + name + ".txt", kCapture);
    cases.push_back({"\"" + name + ".txt\" \"" + name + ".log\"", "", name + ".log", kLog});
    cases.push_back({"\"" + name + ".txt\" -", kLog, "", ""});
  }
  for (const auto& c : cases) {
    RunResult r = RunBootweave("bootweave " + c.arguments, dir);
    EXPECT_EQ(r.exit_code, 0u) << c.arguments;
    EXPECT_EQ(r.err, "") << c.arguments;
    EXPECT_EQ(r.out, c.out) << c.arguments;
    EXPECT_TRUE(c.file.empty() || ReadBytes(dir + "\\" + c.file) == c.contents) << c.arguments;
  }
}

// A path has at most 259 characters, however many bytes they take: nested
// folders, as Linux limits one name to 255 bytes.
TEST(Files, PathsUpTo259Characters) {
  std::string dir = MakeTempDir(), folder = Repeat("д", 100);
  CreateDirectoryW(Wide(dir + "\\" + folder).c_str(), nullptr);
  CreateDirectoryW(Wide(dir + "\\" + folder + "\\" + folder).c_str(), nullptr);
  std::string deep = folder + "\\" + folder + "\\" + Repeat("ж", 57);  // 259 characters
  std::string new_deep = folder + "\\" + folder + "\\" + Repeat("ё", 57);
  WriteBytes(dir + "\\" + deep, kCapture);
  WriteBytes(dir + "\\in.txt", kCapture);
  const struct { std::string arguments, err; uint32_t code; } cases[] = {
      {deep + " -", "", 0},
      {deep + "ж -", "Invalid source file specification\r\n", 1},
      {"in.txt " + new_deep, "", 0},
      {"in.txt " + new_deep + "ё", "Invalid destination file specification\r\n", 1},
  };
  for (const auto& c : cases) {
    RunResult r = RunBootweave("bootweave " + c.arguments, dir);
    EXPECT_EQ(r.exit_code, c.code) << c.arguments.size();
    EXPECT_EQ(r.err, c.err) << c.arguments.size();
  }
  EXPECT_EQ(ReadBytes(dir + "\\" + new_deep), kLog);
}

// Sparse files that claim 3 and 4 GiB: refused before anything is read or created,
// not taken for the low 32 bits of their size.
TEST(Files, SourcesTooLargeForThe32BitSizesAreRefused) {
  std::string dir = MakeTempDir();
  for (uint64_t size : {4294967296ull + 10, 2863311530ull}) {
    HANDLE h = CreateFileW(Wide(dir + "\\big.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h));
    CloseHandle(h);
    RunResult r = RunBootweave("bootweave big.txt out.txt", dir);
    EXPECT_EQ(r.exit_code, 3u);
    EXPECT_EQ(r.err, "Source file of " + std::to_string(size) +
                         " bytes is too large (at most 2863311529 bytes)\r\n");
    EXPECT_FALSE(FileExists(dir + "\\out.txt"));
  }
}

// The source is read in pieces of at most 8 MiB, and a source that ends early is
// reported, not taken as it is.
TEST(Files, LargeSourcesComeBackWholeAndShortReadsAreReported) {
  std::string dir = MakeTempDir(), capture, log;
  for (int i = 0; capture.size() < (20u << 20); ++i) {
    std::string line = "[" + std::to_string(i) + "] " + std::string(i % 97, 'a' + i % 26);
    capture += "(bootloader) " + line + "\r\r\n";
    log += line + "\r\n";
  }
  WriteBytes(dir + "\\big.txt", capture);
  RunResult r = RunBootweave("bootweave big.txt big.log", dir);
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_TRUE(ReadBytes(dir + "\\big.log") == log);
  // A sysfs file reports 4096 bytes and holds a few.
  std::string sysfs = "Z:\\sys\\devices\\system\\cpu\\online";
  if (!FileExists(sysfs)) GTEST_SKIP() << "no sysfs here for a short read";
  r = RunBootweave("bootweave " + sysfs + " out.txt", dir);
  EXPECT_EQ(r.exit_code, 3u);
  EXPECT_EQ(r.err.find("Read only "), 0u) << r.err;
  EXPECT_NE(r.err.find(" bytes from source file of 4096\r\n"), std::string::npos) << r.err;
  EXPECT_FALSE(FileExists(dir + "\\out.txt"));
}

// The build mounts a small tmpfs for this test where it may (as root).
TEST(Files, FullDiskFailsTheWrite) {
  std::string disk = FullDiskDir();
  if (disk.empty()) GTEST_SKIP() << "no small disk mounted (needs root)";
  std::string dir = MakeTempDir();
  WriteBytes(dir + "\\in.txt", Repeat("(bootloader) " + std::string(60, 'a') + "\r\n", 2000));
  RunResult r = RunBootweave("bootweave in.txt \"" + disk + "\\out.txt\"", dir);
  DeleteFileW(Wide(disk + "\\out.txt").c_str());
  EXPECT_EQ(r.exit_code, 3u);
  EXPECT_TRUE(IsMessageWithDescription(r.err, "Cannot write 1024 bytes to destination file ", 112))
      << r.err;
}

}  // namespace
