#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

// At most max_length bytes are looked at, and none past the end of the text.
TEST(FindChar, LooksAtMostMaxLengthBytes) {
  const char text[] = "ab\0c";
  const struct { const char* text; uint32_t max_length; char c; const char* found; } rows[] = {
      {text, 1, 'a', text}, {text, 1, 'b', nullptr}, {text, 4, 'b', text + 1},
      {text, 4, 'c', nullptr}, {text, 0, 'a', nullptr}, {nullptr, 4, 'a', nullptr}};
  for (const auto& row : rows) EXPECT_EQ(FindChar(row.text, row.max_length, row.c), row.found) << row.max_length;
}

// The program's name ends at a space (not a tab) or at its closing quote; where
// it does not end within 1024 bytes, nothing behind it is read.
TEST(SkipProgramName, FirstArgumentOrTheEnd) {
  const std::string name(1023, 'n');
  const struct { std::string line; const char* rest; } rows[] = {
      {"bootweave", ""}, {"bootweave\tin.txt o.txt", "o.txt"}, {"bootweave \t a b", "a b"},
      {"\"C:\\Program Files\\bw.exe\"in o", "in o"}, {"\"C:\\bw.exe a b", ""}, {name + " a", "a"}, {name + "n a", ""}};
  for (const auto& row : rows)
    EXPECT_EQ(SkipProgramName(row.line.c_str()), row.line.c_str() + row.line.size() - strlen(row.rest))
        << row.line.substr(row.line.size() > 30 ? row.line.size() - 30 : 0);
}

// A token fills its buffer but for the terminator's byte, or it is cut and
// refused; nothing is written past the buffer (AddressSanitizer on the host).
TEST(ExtractToken, FillsItsBufferOrIsCut) {
  const struct { const char* text; const char* token; bool taken; } rows[] = {
      {"abc d", "abc", true}, {"abcd e", "abc", false}, {"\"a c\" d", "a c", true}, {"\"a cd\"", "a c", false}};
  for (const auto& row : rows) {
    std::vector<char> buffer(4);
    EXPECT_EQ(ExtractToken(row.text, buffer.data(), 4) != nullptr, row.taken) << row.text;
    EXPECT_STREQ(buffer.data(), row.token) << row.text;
  }
}
