#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

TEST(SkipProgramName, WhereTheArgumentsBegin) {
  const std::string long_name(1023, 'n');
  struct {
    std::string line;
    std::string rest;
  } cases[] = {
      {"\"C:\\Program Files\\bw.exe\"  -raw a b", "-raw a b"},
      {"bw.exe\tin.txt", ""},  // a tab does not end an unquoted name
      {"bw.exe\ta b", "b"},
      {"\"bw.exe a b", ""},  // no closing quote
      {"bw.exe", ""},
      {"bw.exe \t  a", "a"},
      {"\"bw\"a", "a"},
      {long_name + " a", "a"},            // the space at index 1023
      {long_name + "n a", ""},            // the space at index 1024 is not looked at
      {"\"" + long_name + "\" a", "a"},   // the quote at index 1023 of the name
      {"\"" + long_name + "n\" a", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(std::string(SkipProgramName(c.line.c_str())), c.rest) << c.line;
}

TEST(ExtractToken, Tokens) {
  struct {
    std::string text;
    uint32_t capacity;
    bool ok;
    std::string token;
    std::string rest;
  } cases[] = {
      {"a.txt b", 260, true, "a.txt", " b"},
      {"\"my file.txt\" b", 260, true, "my file.txt", " b"},
      {"\"a\"\"b\"", 260, true, "a", "\"b\""},  // the next token starts behind the quote
      {"a\"b c", 260, true, "a\"b", " c"},       // a quote inside is ordinary
      {"a\tb", 260, true, "a", "\tb"},
      {"abc", 260, true, "abc", ""},
      {"\"\" b", 260, true, "", " b"},
      {"", 260, false, "", ""},
      {"\"", 260, false, "", ""},
      {"\"abc", 260, false, "abc", ""},
      {"abcd", 5, true, "abcd", ""},
      {"abcde", 5, false, "abcd", ""},  // too long: refused, not cut into another name
      {"\"abcde\"", 5, false, "abcd", ""},
  };
  for (const auto& c : cases) {
    char token[260];
    memset(token, 'x', sizeof token);
    const char* rest = ExtractToken(c.text.c_str(), token, c.capacity);
    EXPECT_EQ(rest != nullptr, c.ok) << c.text;
    EXPECT_EQ(std::string(token), c.token) << c.text;
    if (rest) {
      EXPECT_EQ(std::string(rest), c.rest) << c.text;
    }
  }
}

TEST(ParseCommandLine, Outcomes) {
  const std::string path259(259, 'p'), path260(260, 'p');
  struct {
    std::string text;
    uint32_t code;
    bool raw;
    std::string source;
    std::string dest;
  } cases[] = {
      {"-raw  -raw in.txt -", 0, true, "in.txt", "-"},
      {"\"-\" -raw", 0, false, "-", "-raw"},  // a quoted dash is a path, a later dash-word too
      {path259 + " " + path259, 0, false, path259, path259},
      {path260 + " out", 1, false, path259, ""},
      {"in " + path260, 1, false, "in", path259},
  };
  for (const auto& c : cases) {
    FormatJob job;
    InitJob(&job);
    EXPECT_EQ(ParseCommandLine(&job, c.text.c_str()), c.code) << c.text;
    EXPECT_EQ(job.raw, c.raw) << c.text;
    EXPECT_EQ(std::string(job.source_path), c.source) << c.text;
    EXPECT_EQ(std::string(job.dest_path), c.dest) << c.text;
  }
}

}  // namespace
