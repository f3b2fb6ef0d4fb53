// The exe's own memory and string primitives, compiled here under other names.
#include <gtest/gtest.h>

#include <string>

#define memset bw_memset
#define memcpy bw_memcpy
#define memmove bw_memmove
#define memcmp bw_memcmp
#define strlen bw_strlen
#include "runtime/crt.cc"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

// Every overlap both ways, and none, for a few sizes.
TEST(Crt, AgreesWithTheStringOperations) {
  const std::string text = "0123456789abcdefghij", upper = "ABCDEFGHIJKLMNOPQRST";
  for (size_t size : {0, 1, 7, 20}) {
    for (size_t to = 0; to + size <= text.size(); ++to) {
      for (size_t from = 0; from + size <= text.size(); ++from) {
        std::string moved = text, expected = text;
        EXPECT_EQ(bw_memmove(&moved[to], &moved[from], size), &moved[to]);
        EXPECT_EQ(moved, expected.replace(to, size, text, from, size)) << size << " from " << from << " to " << to;
        EXPECT_EQ(Sign(bw_memcmp(&text[to], &text[from], size)), Sign(text.compare(to, size, text, from, size)));
      }
    }
    const size_t end = text.size() - size;
    std::string stored = text, expected = text;
    EXPECT_EQ(bw_memset(&stored[0], 'x', size), &stored[0]);
    EXPECT_EQ(bw_memcpy(&stored[end], upper.data(), size), &stored[end]);
    EXPECT_EQ(stored, expected.replace(0, size, size, 'x').replace(end, size, upper, 0, size)) << size;
    EXPECT_EQ(bw_strlen(&text[end]), size);
  }
}

}  // namespace
