#include "app/host_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

// The lines as fastboot's format strings print them ("OKAY [%7.3fs]", "%-50s "
// in front of a status, "%s: %s" in front of "Finished. Total time: %.3fs",
// "< waiting for %s >", "fastboot: error: %s"), against bootloader lines that
// share their words.
TEST(IsHostLine, TheHostsShapesOnly) {
  const std::string label = "Sending 'boot_a' (12288 KB)", padded = label + std::string(50 - label.size(), ' ') + " ";
  const struct { const char* name; std::string line, behind; bool host; } rows[] = {
      {"status", "OKAY [  0.012s]", "", true},
      {"status of a long command", "OKAY [123.456s]", "", true},
      {"status without a unit", "OKAY [ 1]", "", true},
      {"status, no time", "OKAY []", "", false},
      {"status with words", "OKAY [ep1 in] 0x2a bytes", "", false},
      {"status not closed", "OKAY [  0.012s", "", false},
      {"status with a letter in the time", "OKAY [  0.0x2s]", "", false},
      {"failure", "FAILED (remote: 'unknown command')", "", true},
      {"failure not closed", "FAILED (remote: 'unknown command'", "", false},
      {"total time", "Finished. Total time: 0.052s", "", true},
      {"an old host's total time", "finished. total time: 0.052s", "", true},
      {"total time without seconds", "Finished. Total time: 0.052", "", false},
      {"total time in words", "Finished. Total time: short", "", false},
      {"label with its status", padded + "OKAY [  0.345s]", "", true},
      {"long label with its status", std::string(60, 'L') + " FAILED (remote: 'no')", "", true},
      {"status in column 50", std::string(49, 'L') + " OKAY [  0.345s]", "", false},
      {"label with a status glued to it", std::string(55, 'L') + "OKAY [  0.345s]", "", false},
      {"indented status", std::string(55, ' ') + "OKAY [  0.345s]", "", false},
      {"waiting", "< waiting for any device >", "", true},
      {"waiting not closed", "< waiting for any device", "", false},
      {"error", "fastboot: error: Command failed", "", true},
      {"a bootloader's fastboot line", "fastboot: sent OKAY [0.047s]", "", false},
      {"getvar", "all: ", "\nFinished. Total time: 0.052s\n", true},
      {"getvar, CR LF", "all: Done!", "\r\nFinished. Total time: 0.052s\r\n", true},
      {"getvar of a name with colons", "partition-type:system: ext4", "\nfinished. total time: 0.001s", true},
      {"getvar of a name with every kind of byte", "max-download-size_Z.0: 0x20000000", "\nFinished. Total time: 0.001s", true},
      {"getvar, nothing behind", "all: ", "", false},
      {"getvar, a log line behind", "all: ", "\n[    0.1] next\n", false},
      {"getvar, a blank line behind", "all: ", "\n\nFinished. Total time: 0.052s\n", false},
      {"a log line in front of the total time", "[    0.1] x: y", "\nFinished. Total time: 0.052s\n", false},
      {"a name without its blank", "all:x", "\nFinished. Total time: 0.052s\n", false},
      {"empty", "", "\nFinished. Total time: 0.052s\n", false},
  };
  for (const auto& row : rows) {
    std::string text = row.line + row.behind;
    const uint8_t* line = Bytes(text);
    EXPECT_EQ(IsHostLine(line, line + row.line.size(), line + text.size()), row.host) << row.name;
  }
}

// fastboot's lines are found behind a line break only, cut where the text ends.
TEST(FindHostLines, FirstLineBehindABreak) {
  const struct { const char* name; std::string text; long at; } rows[] = {
      {"behind the message", "x\r\nOKAY [  0.012s]\r\n", 3},
      {"behind lines of the log", "a\nb\nc\nFinished. Total time: 0.1s\n", 6},
      {"the first of several", "a\nall: \nFinished. Total time: 0.1s\n", 2},
      {"at the start: the message's own text", "OKAY [  0.012s]\n", -1},
      {"inside a line", "usb: OKAY [  0.012s]\n", -1},
      {"cut short by the text's end", "x\nOKAY [  0.0", -1},
      {"none", "a\nb\n", -1},
  };
  for (const auto& row : rows) {
    const uint8_t* text = Bytes(row.text);
    const uint8_t* found = FindHostLines(text, text + row.text.size());
    EXPECT_EQ(found ? found - text : -1, row.at) << row.name;
  }
}

}  // namespace
