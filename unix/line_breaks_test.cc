#include "unix/line_breaks.h"

#include <gtest/gtest.h>

#include <string>

TEST(DropCarriageReturns, PairsBecomeLfAloneCrStays) {
  const struct { const char* name; std::string text, expected; } rows[] = {
      {"empty", "", ""},
      {"pair", "a\r\nb\r\n", "a\nb\n"},
      {"CR alone inside", "a\rb\r\n", "a\rb\n"},
      {"CR last", "a\r", "a\r"},
      {"CR CR LF", "a\r\r\n", "a\r\n"},
      {"no break", "abc", "abc"},
      {"LF alone", "a\nb", "a\nb"},
  };
  for (const auto& row : rows) {
    std::string text = row.text;
    uint32_t length = DropCarriageReturns(reinterpret_cast<uint8_t*>(&text[0]), uint32_t(text.size()));
    EXPECT_EQ(text.substr(0, length), row.expected) << row.name;
  }
}
