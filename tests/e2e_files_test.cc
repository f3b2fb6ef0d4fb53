// Source and destination through the real exe: what is read, what is created,
// and what each failure says.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e_support.h"

namespace {

const std::string kCapture = "(bootloader) hello\r\r\n(bootloader) world\r\nOKAY [  0.010s]\r\n";
const std::string kLog = "hello\r\nworld\r\n";

TEST(Files, FailuresNameTheErrorAndCreateNothing) {
  std::string dir = MakeTempDir();
  WriteBytes(dir + "\\empty.txt", "");
  WriteBytes(dir + "\\in.txt", kCapture);
  WriteBytes(dir + "\\exists.txt", "keep me");
  struct {
    std::string arguments;
    std::string prefix;
    uint32_t error;
    std::string must_not_exist;
  } cases[] = {
      {"missing.txt out1.txt", "Cannot open \"missing.txt\" ", ERROR_FILE_NOT_FOUND, "out1.txt"},
      {"empty.txt out2.txt", "Cannot allocate source buffer of 0 bytes ", ERROR_INVALID_PARAMETER,
       "out2.txt"},
      {"in.txt exists.txt", "Cannot create \"exists.txt\" ", ERROR_FILE_EXISTS, ""},
      {"in.txt nofolder\\out.txt", "Cannot create \"nofolder\\out.txt\" ", ERROR_PATH_NOT_FOUND,
       "nofolder"},
  };
  for (const auto& c : cases) {
    RunResult r = RunBootweave("bootweave " + c.arguments, dir);
    EXPECT_EQ(r.exit_code, 3u) << c.arguments;
    EXPECT_EQ(r.out, "") << c.arguments;
    EXPECT_TRUE(IsMessageWithDescription(r.err, c.prefix, c.error)) << c.arguments << ": " << r.err;
    if (!c.must_not_exist.empty()) {
      EXPECT_FALSE(FileExists(dir + "\\" + c.must_not_exist));
    }
  }
  EXPECT_EQ(ReadBytes(dir + "\\exists.txt"), "keep me");
}

TEST(Files, WritesToANewFileOrStandardOutput) {
  std::string dir = MakeTempDir();
  WriteBytes(dir + "\\in.txt", kCapture);
  WriteBytes(dir + "\\nolog.txt", "OKAY [  0.010s]\r\n");
  struct {
    std::string arguments;
    std::string out;
    std::string file;
    std::string contents;
  } cases[] = {
      {"in.txt out.txt", "", "out.txt", kLog},
      {"in.txt -", kLog, "", ""},
      {"in.txt \"-\"", kLog, "", ""},
      {"in.txt --", "", "--", kLog},
      {"in.txt -x", "", "-x", kLog},
      {"\"in.txt\" \"with blank.txt\"", "", "with blank.txt", kLog},
      {"nolog.txt empty_out.txt", "", "empty_out.txt", ""},  // created, and stays empty
  };
  for (const auto& c : cases) {
    RunResult r = RunBootweave("bootweave " + c.arguments, dir);
    EXPECT_EQ(r.exit_code, 0u) << c.arguments;
    EXPECT_EQ(r.err, "") << c.arguments;
    EXPECT_EQ(r.out, c.out) << c.arguments;
    if (!c.file.empty()) {
      EXPECT_EQ(ReadBytes(dir + "\\" + c.file), c.contents) << c.arguments;
    }
  }
}

TEST(Files, ClosedPipeOnStandardOutputIsNoFailure) {
  std::string dir = MakeTempDir();
  std::string capture;
  for (int i = 0; i < 100; ++i) capture += "(bootloader) " + std::string(60, 'a' + i % 26) + "\r\n";
  WriteBytes(dir + "\\in.txt", capture);
  RunResult r = RunWithClosedStdoutPipe("bootweave in.txt -", dir);
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_EQ(r.err, "");
}

// Sparse files that claim 3 and 4 GiB: refused before anything is read or created,
// not taken for the low 32 bits of their size.
TEST(Files, SourcesTooLargeForThe32BitSizesAreRefused) {
  std::string dir = MakeTempDir();
  struct {
    uint64_t size;
    std::string err;
  } cases[] = {
      {4294967296ull + 10,
       "Source file of 4294967306 bytes is too large (at most 2863311529 bytes)\r\n"},
      {2863311530ull, "Source file of 2863311530 bytes is too large (at most 2863311529 bytes)\r\n"},
  };
  for (const auto& c : cases) {
    std::string path = dir + "\\big.txt";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(c.size);
    ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
    RunResult r = RunBootweave("bootweave big.txt out.txt", dir);
    EXPECT_EQ(r.exit_code, 3u);
    EXPECT_EQ(r.err, c.err);
    EXPECT_FALSE(FileExists(dir + "\\out.txt"));
    DeleteFileA(path.c_str());
  }
}

// The build mounts a small tmpfs for this test where it may (as root).
TEST(Files, FullDiskFailsTheWrite) {
  std::string disk = FullDiskDir();
  if (disk.empty()) GTEST_SKIP() << "no small disk mounted (needs root)";
  std::string dir = MakeTempDir();
  std::string capture;
  for (int i = 0; i < 2000; ++i) capture += "(bootloader) " + std::string(60, 'a' + i % 26) + "\r\n";
  WriteBytes(dir + "\\in.txt", capture);
  std::string out = disk + "\\out.txt";
  DeleteFileA(out.c_str());
  RunResult r = RunBootweave("bootweave in.txt \"" + out + "\"", dir);
  DeleteFileA(out.c_str());
  EXPECT_EQ(r.exit_code, 3u);
  EXPECT_TRUE(IsMessageWithDescription(r.err, "Cannot write 1024 bytes to destination file ",
                                       ERROR_DISK_FULL))
      << r.err;
}

}  // namespace
