// Whole runs through the real exe: the text that reaches the destination.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e_support.h"

namespace {

std::string Chunked(const std::string& log, size_t chunk_size) {
  std::string capture = "< waiting for any device >\r\n";
  for (size_t at = 0; at < log.size(); at += chunk_size) {
    std::string shown;
    for (char c : log.substr(at, chunk_size)) shown += c == '\n' ? std::string("\r\n") : std::string(1, c);
    capture += "(bootloader) " + shown + "\r\n";
  }
  return capture + "OKAY [  0.031s]\r\nFinished. Total time: 0.034s\r\n";
}

TEST(Reformat, LongLogComesBackWholeInBothModes) {
  std::string log;
  for (int i = 0; i < 300; ++i) log += "[" + std::to_string(i * 7) + "] line " + std::string(i % 90, 'x') + "\r\n";
  std::string capture = Chunked(log, 60);
  std::string dir = MakeTempDir();
  WriteBytes(dir + "\\in.txt", capture);
  RunResult r = RunBootweave("bootweave in.txt -", dir);
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_EQ(r.err, "");
  EXPECT_GT(r.out.size(), 2048u);  // several chunks of 1024 bytes and a rest
  EXPECT_EQ(r.out, log);
  r = RunBootweave("bootweave -raw in.txt out.txt", dir);
  EXPECT_EQ(r.exit_code, 0u);
  // Raw: the log's CR LF arrives as CR CR LF and stays so; the CR LF behind
  // each chunk goes with the next prefix.
  std::string expected;
  for (char c : log) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(ReadBytes(dir + "\\out.txt"), expected);
}

// Single LF bytes that each become CR LF make the text longer than the source:
// all of it is written all the same.
TEST(Reformat, TextLongerThanTheSourceIsWrittenWhole) {
  std::string capture = "(bootloader) ";
  std::string log;
  for (int i = 0; i < 3000; ++i) {
    capture += "a\n";
    log += "a\r\n";
  }
  std::string dir = MakeTempDir();
  WriteBytes(dir + "\\in.txt", capture);
  RunResult r = RunBootweave("bootweave in.txt out.txt", dir);
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadBytes(dir + "\\out.txt"), log);
}

TEST(Reformat, BundledSamplesGiveTheirLogs) {
  std::string samples = SourcePath("samples");
  for (const char* name : {"boot_capture", "chunks252_capture", "linux_capture"}) {
    RunResult r = RunBootweave("bootweave \"" + samples + "\\" + name + ".txt\" -", "");
    EXPECT_EQ(r.exit_code, 0u) << name;
    EXPECT_EQ(r.err, "") << name;
    EXPECT_EQ(r.out, ReadBytes(samples + "\\" + name + ".log")) << name;
  }
}

}  // namespace
