// The README's table of messages and what the exe really prints must not drift
// apart: each message that a run can be made to print is matched against the
// table's row with the same exit code.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e_support.h"

namespace {

struct ReadmeRow {
  uint32_t code;
  std::string message;  // with <...> for what a run fills in
};

std::vector<ReadmeRow> ReadmeMessages() {
  std::istringstream readme(ReadBytes(SourcePath("README.md")));
  std::vector<ReadmeRow> rows;
  std::smatch m;
  const std::regex row(R"(^\| (\d+) \| `([^`]+)` \|)");
  for (std::string line; std::getline(readme, line);)
    if (std::regex_search(line, m, row)) rows.push_back({std::stoul(m[1]), m[2]});
  return rows;
}

bool Matches(const std::string& message, const std::string& pattern) {
  std::string re;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '<') {
      i = pattern.find('>', i);
      re += ".+";
    } else {
      if (std::string("\\^$.|?*+()[]{}").find(pattern[i]) != std::string::npos) re += '\\';
      re += pattern[i];
    }
  }
  return std::regex_match(message, std::regex(re));
}

TEST(Readme, EveryMessageARunPrintsIsInTheTable) {
  std::vector<ReadmeRow> rows = ReadmeMessages();
  ASSERT_GE(rows.size(), 18u);
  std::string dir = MakeTempDir();
  WriteBytes(dir + "\\in.txt", "(bootloader) x\r\n");
  WriteBytes(dir + "\\empty.txt", "");
  WriteBytes(dir + "\\exists.txt", "x");
  HANDLE big = CreateFileW(Wide(dir + "\\big.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           0, nullptr);
  LARGE_INTEGER size;
  size.QuadPart = 5000000000ll;
  SetFilePointerEx(big, size, nullptr, FILE_BEGIN);
  SetEndOfFile(big);
  CloseHandle(big);
  const char* runs[] = {
      "- a b",         "-abcdefghijklmnopqrstuvw a b", "-x a b",
      "-raw",          "in.txt",                       "in.txt \"\"",
      "a b c",         "missing.txt out.txt",          "big.txt out.txt",
      "empty.txt out.txt", "in.txt exists.txt",           "NUL out.txt",
  };
  std::vector<RunResult> results;
  for (const char* arguments : runs) results.push_back(RunBootweave(std::string("bootweave ") + arguments, dir));
  results.push_back(RunAsWindowsVersion("nt40"));
  std::string disk = FullDiskDir();
  if (!disk.empty()) {
    std::string capture;
    for (int i = 0; i < 2000; ++i) capture += "(bootloader) " + std::string(60, 'x') + "\r\n";
    WriteBytes(dir + "\\long.txt", capture);
    results.push_back(RunBootweave("bootweave long.txt \"" + disk + "\\readme.txt\"", dir));
    DeleteFileW(Wide(disk + "\\readme.txt").c_str());
  }
  for (const RunResult& r : results) {
    ASSERT_GE(r.err.size(), 2u);
    std::string message = r.err.substr(0, r.err.size() - 2);
    bool found = false;
    for (const ReadmeRow& row : rows) found |= row.code == r.exit_code && Matches(message, row.message);
    EXPECT_TRUE(found) << "not in the README's table: " << r.exit_code << " " << message;
  }
}

}  // namespace
