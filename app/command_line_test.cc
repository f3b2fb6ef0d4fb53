// The command line in-process, where AddressSanitizer watches every buffer; the
// messages themselves are checked through the real exe.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Repeat(const std::string& piece, int count) {
  std::string text;
  while (count-- > 0) text += piece;
  return text;
}

TEST(SkipProgramName, WhereTheArgumentsBegin) {
  const std::string name(1023, 'n');
  const struct { std::string line, rest; } cases[] = {
      {"\"C:\\Program Files\\bw.exe\"  -raw a b", "-raw a b"},
      {"bw.exe\ta b", "b"},  // a tab does not end an unquoted name
      {"\"bw.exe a b", ""},   // no closing quote
      {"bw.exe \t  a", "a"}, {"\"bw\"a", "a"},
      {name + " a", "a"}, {name + "n a", ""},  // the space at index 1023 ends it, at 1024 not
      {"\"" + name + "\" a", "a"}, {"\"" + name + "n\" a", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SkipProgramName(c.line.c_str()), c.rest) << c.line;
}

// Paths are counted in characters (UTF-16 units), held in up to three bytes each.
TEST(ParseCommandLine, OptionsAndPaths) {
  const std::string cjk259 = Repeat("\xE4\xB8\xAD", 259), emoji129 = Repeat("\xF0\x9F\x98\x80", 129);
  const struct {
    std::string text;
    uint32_t code;
    bool raw;
    std::string source, dest;
  } cases[] = {
      {"-raw  -raw in.txt -", 0, true, "in.txt", "-"},
      {"\"-\" -raw", 0, false, "-", "-raw"},  // a quoted dash is a path, a later dash-word too
      {"\"a b\"\"c d\"", 0, false, "a b", "c d"},  // the next token starts behind the quote
      {"a\"b\tc  ", 0, false, "a\"b", "c"},        // a quote inside a token is ordinary
      {"-abcdefghijklmnopqrs a b", 1, false, "", ""},   // 19 characters: compared
      {"-abcdefghijklmnopqrst a b", 1, false, "", ""},  // 20: too long
      {"- a b", 1, false, "", ""},
      {cjk259 + " " + cjk259, 0, false, cjk259, cjk259},  // 777 bytes each
      {emoji129 + "\xC3\xA9 x", 0, false, emoji129 + "\xC3\xA9", "x"},  // 259 units
      {emoji129 + "\xF0\x9F\x98\x80 x", 1, false, "", ""},             // 260 units
      {cjk259 + "\xE4\xB8\xAD out", 1, false, "", ""},     // 260 characters, 780 bytes
      {"in " + std::string(260, 'p'), 1, false, "in", ""},
      {"in \"out", 1, false, "in", ""},
  };
  for (const auto& c : cases) {
    FormatJob job;
    InitJob(&job);
    EXPECT_EQ(ParseCommandLine(&job, c.text.c_str()), c.code) << c.text.substr(0, 40);
    EXPECT_EQ(job.raw, c.raw) << c.text.substr(0, 40);
    if (c.code == 0 || !c.source.empty()) {
      EXPECT_EQ(job.source_path, c.source) << c.text.substr(0, 40);
    }
    if (c.code == 0) {
      EXPECT_EQ(job.dest_path, c.dest) << c.text.substr(0, 40);
    }
  }
}

}  // namespace
