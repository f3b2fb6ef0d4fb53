#include "app/decimal_text.h"

#include <gtest/gtest.h>

#include <string.h>

TEST(Uint64ToText, TheLongestSizeIntoABufferWithoutNul) {
  char text[24];
  memset(text, 'x', sizeof text);  // a missing terminator shows
  EXPECT_STREQ(Uint64ToText(UINT64_MAX, text), "18446744073709551615");
}
