// The exe's own memory and string primitives, compiled here under other names.
#include <gtest/gtest.h>

#include <string>

#define memset bw_memset
#define memcpy bw_memcpy
#define memmove bw_memmove
#define memcmp bw_memcmp
#define strlen bw_strlen
#include "windows/runtime/crt.cc"

namespace {

// Every overlap both ways, and none, for a few sizes (memmove copies forward
// through memcpy where that is safe).
TEST(Crt, AgreesWithTheStringOperations) {
  const std::string text = "0123456789abcdefghij";
  for (size_t size : {0, 1, 7, 20}) {
    for (size_t to = 0; to + size <= text.size(); ++to) {
      for (size_t from = 0; from + size <= text.size(); ++from) {
        std::string moved = text, expected = text;
        EXPECT_EQ(bw_memmove(&moved[to], &moved[from], size), &moved[to]);
        EXPECT_EQ(moved, expected.replace(to, size, text, from, size)) << size << " from " << from << " to " << to;
        EXPECT_EQ(bw_memcmp(&text[to], &text[from], size) == 0, text.compare(to, size, text, from, size) == 0);
      }
    }
    EXPECT_EQ(bw_strlen(&text[text.size() - size]), size);
  }
}

}  // namespace
