// The command line in-process, where AddressSanitizer watches the option and
// path buffers; the messages themselves are checked through the real exe.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Repeat(const std::string& piece, int count) {
  std::string text;
  while (count-- > 0) text += piece;
  return text;
}

// Paths are counted in characters (UTF-16 units), held in up to three bytes each.
TEST(ParseCommandLine, OptionsAndPaths) {
  const std::string cjk = Repeat("\xE4\xB8\xAD", 259), emoji = Repeat("\xF0\x9F\x98\x80", 129);
  const struct { std::string text; uint32_t code; std::string source = "", dest = ""; } cases[] = {
      {"-raw  -raw in.txt -", 0, "in.txt", "-"},
      {"\"-\" -raw", 0, "-", "-raw"},  // a quoted dash is a path, a later dash-word too
      {"\"a b\"\"c d\"", 0, "a b", "c d"},  // the next token starts behind the quote
      {"-abcdefghijklmnopqrs a b", 1}, {"-abcdefghijklmnopqrst a b", 1},  // 19 and 20
      {cjk + " " + cjk, 0, cjk, cjk},                                      // 777 bytes each
      {emoji + "\xC3\xA9 x", 0, emoji + "\xC3\xA9", "x"},                  // 259 units
      {emoji + "\xF0\x9F\x98\x80 x", 1}, {cjk + "\xE4\xB8\xAD x", 1},     // 260 units
  };
  for (const auto& c : cases) {
    FormatJob job;
    InitJob(&job);
    EXPECT_EQ(ParseCommandLine(&job, c.text.c_str()), c.code) << c.text.substr(0, 40);
    EXPECT_EQ(job.raw, c.text.rfind("-raw ", 0) == 0) << c.text.substr(0, 40);
    EXPECT_TRUE(c.code != 0 || (job.source_path == c.source && job.dest_path == c.dest))
        << c.text.substr(0, 40);
  }
}

}  // namespace
