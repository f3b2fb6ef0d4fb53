#include "app/messages.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

// What WriteMessage writes into a pipe.
static std::string Written(bool add_line_break, const char* format, ...) {
  HANDLE read, write;
  EXPECT_TRUE(CreatePipe(&read, &write, nullptr, 1 << 16));
  va_list arguments;
  va_start(arguments, format);
  EXPECT_TRUE(WriteMessage(write, format, arguments, add_line_break));
  va_end(arguments);
  CloseHandle(write);
  std::string text(4096, '\0');
  DWORD got = 0;
  ReadFile(read, &text[0], 4096, &got, nullptr);
  CloseHandle(read);
  return text.substr(0, got);
}

// The 1024-byte buffer holds 1023 bytes of text, or 1021 and the line break.
TEST(WriteMessage, CutsToTheBufferWithOrWithoutALineBreak) {
  const std::string n(1030, 'n');
  const struct { bool line_break; size_t length, kept; } rows[] = {
      {false, 0, 0}, {false, 1, 1}, {false, 1023, 1023}, {false, 1024, 1023},
      {true, 0, 0},  {true, 1, 1},  {true, 1021, 1021},  {true, 1022, 1021}};
  for (const auto& row : rows) {
    EXPECT_EQ(Written(row.line_break, "%s", n.substr(0, row.length).c_str()),
              n.substr(0, row.kept) + (row.line_break ? "\r\n" : "")) << row.length;
  }
}
