#include "runtime/format_w.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kUntouched = 0xDEADBEEF;
constexpr WideChar kCanary = 0xCCCC;
uint32_t counters[2];

// Every variadic argument takes a 64-bit slot on x86-64; the formatter reads each at its width.
uint64_t P(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }
uint64_t N(int64_t value) { return static_cast<uint64_t>(value); }
const uint64_t C0 = P(&counters[0]), C1 = P(&counters[1]);

struct Row {
  const char16_t* format;
  std::vector<uint64_t> args;
  std::u16string expected;  // the whole text; a smaller capacity stores its leading part
  uint32_t capacity = 64, count_a = kUntouched, count_b = kUntouched;
};

const uint64_t kBig = 0x123456789ABCDEF0;
const std::u16string kBigText = u"123456789abcdef0";
const std::vector<Row> kRows = {
    {u"%#08X - ", {0x80070005}, u"0x80070005 - "}, {u"%#08X - ", {0x00010005}, u"0x010005 - "},
    {u"%u - ", {4294967295u}, u"4294967295 - "}, {u"%d", {0x80000000}, u"-2147483648"},
    {u"%5d", {N(-42)}, u"  -42"}, {u"%-5d", {N(-42)}, u"-42  "}, {u"%05d", {N(-42)}, u"-0042"},
    {u"% 5d", {N(-42)}, u"-  42"}, {u"% 5d", {42}, u"   42"}, {u"%+5d", {42}, u"  +42"},
    {u"%-05d", {N(-3)}, u"-3   "}, {u"%0 5d", {N(-1)}, u"-   1"}, {u"% 05d", {N(-1)}, u"-0001"},
    {u"%#x", {0}, u"0x0"}, {u"%#5x", {0x1F}, u" 0x1f"}, {u"%#05x", {0x1F}, u"0x01f"},
    {u"%#o", {0}, u"00"}, {u"%#b", {5}, u"0b101"}, {u"%#y", {5}, u"0y101"},
    {u"%#u", {10}, u"0n10"}, {u"%#d", {N(-5)}, u"-0n5"}, {u"%+#x", {255}, u"+0xff"},
    {u"%#.1x", {0xABC}, u"0xc"}, {u"%.2d", {12345}, u"45"}, {u"%.8x", {0x12}, u"12"},
    {u"%.0d", {0}, u""}, {u"%5.0d", {7}, u""}, {u"%+.2d", {N(-12345)}, u"-45"},
    {u"%x", {kBig}, u"9abcdef0"}, {u"%lx", {kBig}, u"9abcdef0"}, {u"%I32x", {kBig}, u"9abcdef0"},
    {u"%llx", {kBig}, kBigText}, {u"%I64x", {kBig}, kBigText}, {u"%Ix", {kBig}, kBigText},
    {u"%zx", {kBig}, kBigText}, {u"%hd", {0xFFFF}, u"-1"}, {u"%hx", {0x12345}, u"2345"},
    {u"%I3x", {1}, u"%I3x"}, {u"%I6x", {1}, u"%I6x"}, {u"%hhd", {1}, u"%hhd"},
    {u"%L", {1}, u"%L"}, {u"%w", {1}, u"%w"}, {u"%p", {0x1234}, u"1234"},
    {u"%#p", {0x1234}, u"0x1234"}, {u"%#P", {0xABC}, u"0xABC"}, {u"%+8p", {0x1234}, u"+0001234"},
    {u"%+3p", {0x123456}, u"+56"}, {u"%+8.6p", {0x1234}, u"   +1234"}, {u"%+c", {'A'}, u"+A"},
    {u"%+s", {P(u"abc")}, u"+abc"}, {u"%5.0c", {'A'}, u"     "}, {u"%s", {0}, u"(null)"},
    {u"%S", {0}, u"(null)"}, {u"%.3s", {0}, u"(nu"}, {u"%S", {P("caf\xE9!")}, u"caf\u00E9!"},
    {u"%5s", {P(u"")}, u""}, {u"%-5s", {P(u"")}, u""}, {u"%010s", {P(u"abc")}, u"0000000abc"},
    {u"%*.*s", {6, 2, P(u"hello")}, u"    he"}, {u"%*q%d", {7, 9}, u"%*q7"},
    {u"%5%", {}, u"%5%"}, {u"ab%", {}, u"ab%"}, {u"ab%ncd%n", {C0, C1}, u"abcd", 64, 2, 4},
    {u"%5n", {C0}, u"%5n"}, {u"%*d", {0xFFFFFFFF, 1}, std::u16string(63, u' ')},
    {u"abcdef", {}, u"", 1}, {u"abcdef", {}, u"abc", 4}, {u"%-10d", {42}, u"42  ", 5},
    {u"%#010x", {0x1F}, u"0x", 3}, {u"ab%n", {C0}, u"ab", 3},
    // A count directive stores only while nothing has been cut.
    {u"ab%nc%nd", {C0, C1}, u"abcd", 4, 2},
    // 'h' with an unsigned letter prints the 16-bit value itself.
    {u"%hx", {0x8000}, u"8000"}, {u"%hu", {0x8000}, u"32768"}, {u"%ho", {0xFFFF}, u"177777"},
    {u"%hd", {0x8000}, u"-32768"},
    {u"%lld", {0x8000000000000000}, u"-9223372036854775808"},
    {u"%I64b", {~0ull}, std::u16string(64, u'1')}, {u"%*d|%-*d|", {3, 1, 3, 2}, u"  1|2  |"},
    {u"%.*s", {0xFFFFFFFF, P(u"abc")}, u"abc"}, {u"%.s%d", {5}, u"%.s5"},
    {u"%C%c", {0x1E9, 0x263A}, u"\u00E9\u263A"}, {u"%%%d", {3}, u"%3"},
    {u"%i|%5i", {N(-7), 42}, u"-7|   42"}, {u"%p", {0x123456789AB}, u"123456789ab"},
    {u"%+1p", {0x1234}, u"+1234"},
};

// Each row at its capacity and every smaller one: the leading part, its count, the terminator,
// and nothing touched past the capacity. The buffer and the format are where the caller puts
// them: on Windows also above 4 GiB, where a pointer cut to 32 bits would show.
void CheckRows(WideChar* buffer, WideChar* format_copy) {
  for (const Row& row : kRows) {
    uint64_t a[4] = {};
    std::copy(row.args.begin(), row.args.end(), a);
    std::u16string format(row.format);
    std::copy(format.begin(), format.end() + 1, format_copy);
    for (uint32_t capacity = row.capacity; capacity >= 1; --capacity) {
      std::fill(buffer, buffer + 80, kCanary);
      counters[0] = counters[1] = kUntouched;
      uint32_t result = FormatW(buffer, capacity, format_copy, a[0], a[1], a[2], a[3]);
      size_t want = std::min<size_t>(row.expected.size(), capacity - 1);
      SCOPED_TRACE(testing::PrintToString(std::u16string(row.format)) + " capacity " +
                   std::to_string(capacity));
      ASSERT_EQ(result, want);
      EXPECT_EQ(std::u16string(buffer, result), row.expected.substr(0, want));
      EXPECT_EQ(buffer[result], 0);
      for (uint32_t i = capacity; i < 80; ++i) ASSERT_EQ(buffer[i], kCanary);
      if (capacity == row.capacity) {
        EXPECT_EQ(counters[0], row.count_a);
        EXPECT_EQ(counters[1], row.count_b);
      }
    }
  }
}

TEST(FormatWTest, EdgeCasesAtEveryCapacity) {
  WideChar buffer[80], format[32];
  CheckRows(buffer, format);
}

#ifdef _WIN32
TEST(FormatWTest, EdgeCasesAboveFourGigabytes) {
  void* high = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN, PAGE_READWRITE);
  ASSERT_GT(reinterpret_cast<uintptr_t>(high), 0xFFFFFFFFu);
  CheckRows(static_cast<WideChar*>(high), static_cast<WideChar*>(high) + 1024);
  VirtualFree(high, 0, MEM_RELEASE);
}
#endif

TEST(FormatWTest, BrokenPreconditionsStoreNothingOutside) {
  WideChar buffer[4] = {kCanary, kCanary, kCanary, kCanary};
  EXPECT_EQ(FormatW(nullptr, 4, u"abc"), 0u);
  EXPECT_EQ(FormatW(buffer, 0, u"abc"), 0u);
  EXPECT_EQ(buffer[0], kCanary);
  EXPECT_EQ(FormatW(buffer, 2, nullptr), 0u);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[1], kCanary);
  EXPECT_EQ(FormatW(buffer, 4, u"a%nb", static_cast<uint32_t*>(nullptr)), 2u);
  EXPECT_EQ(std::u16string(buffer), u"ab");
}

TEST(FormatWTest, DigitProducersAndBoundedLengths) {
  WideChar out[70];
  auto digits = [&out](uint32_t n) {
    EXPECT_EQ(out[n], 0);
    return std::u16string(out, n);
  };
  EXPECT_EQ(digits(UInt32ToDigitsW(out, 70, 0, 10)), u"0");
  EXPECT_EQ(digits(UInt32ToDigitsW(out, 70, 35, 36)), u"z");
  EXPECT_EQ(digits(UInt32ToDigitsW(out, 3, 12345, 10)), u"12");
  EXPECT_EQ(digits(UInt32ToDigitsW(out, 70, 7, 1)), u"");  // a base outside 2 to 36
  EXPECT_EQ(digits(UInt64ToDigitsW(out, 70, ~0ull, 36)), u"3w5e11264sgsf");
  const char narrow[3] = {'a', 'b', 'c'};  // no terminator: reading past it would fault
  const WideChar wide[3] = {u'a', 0, u'c'};
  EXPECT_EQ(BoundedLengthA(narrow, 3), 3u);
  EXPECT_EQ(BoundedLengthA("ab", 10), 2u);
  EXPECT_EQ(BoundedLengthW(wide, 3), 1u);
  EXPECT_EQ(BoundedLengthW(wide + 2, 1), 1u);
  EXPECT_EQ(BoundedLengthW(wide, 0), 0u);
}

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
TEST(FormatWDeathTest, BoundedLengthOfNullTraps) {
  EXPECT_DEATH(BoundedLengthW(nullptr, 4), "");
  EXPECT_DEATH(BoundedLengthA(nullptr, 4), "");
}
#endif

}  // namespace
