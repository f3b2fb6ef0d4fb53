#include "windows/runtime/format_w.h"

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
// Conversions of a kind share a row, apart by '|'; a malformed one takes no argument.
const std::vector<Row> kRows = {
    {u"%#08X - ", {0x80070005}, u"0x80070005 - "}, {u"%#08X - ", {0x00010005}, u"0x010005 - "},
    {u"%u - ", {4294967295u}, u"4294967295 - "}, {u"%d|%i|%5i", {0x80000000, N(-7), 42}, u"-2147483648|-7|   42"},
    {u"%5d|%-5d|%05d|% 5d", {N(-42), N(-42), N(-42), N(-42)}, u"  -42|-42  |-0042|-  42"},
    {u"% 5d|%+5d|%-05d|%0 5d", {42, 42, N(-3), N(-1)}, u"   42|  +42|-3   |-   1"},
    {u"% 05d|%#x|%#5x|%#05x", {N(-1), 0, 0x1F, 0x1F}, u"-0001|0x0| 0x1f|0x01f"},
    {u"%#o|%#b|%#y|%#u", {0, 5, 5, 10}, u"00|0b101|0y101|0n10"},
    {u"%#d|%+#x|%#.1x|%.2d", {N(-5), 255, 0xABC, 12345}, u"-0n5|+0xff|0xc|45"},
    {u"%.8x|%.0d|%5.0d|%+.2d", {0x12, 0, 7, N(-12345)}, u"12|||-45"},
    {u"%x|%lx|%I32x|%llx", {kBig, kBig, kBig, kBig}, u"9abcdef0|9abcdef0|9abcdef0|" + kBigText},
    {u"%I64x|%Ix|%zx|%hd", {kBig, kBig, kBig, 0xFFFF}, kBigText + u"|" + kBigText + u"|" + kBigText + u"|-1"},
    {u"%hx|%I3x|%I6x|%hhd|%L|%w", {0x12345}, u"2345|%I3x|%I6x|%hhd|%L|%w"},
    {u"%p|%#p|%#P|%+8p", {0x1234, 0x1234, 0xABC, 0x1234}, u"1234|0x1234|0xABC|+0001234"},
    {u"%+3p|%+8.6p|%+1p|%p", {0x123456, 0x1234, 0x1234, 0x123456789AB}, u"+56|   +1234|+1234|123456789ab"},
    {u"%+c|%+s|%5.0c|%s", {'A', P(u"abc"), 'A', 0}, u"+A|+abc|     |(null)"},
    {u"%S|%.3s|%S|%5s", {0, 0, P("caf\xE9!"), P(u"")}, u"(null)|(nu|caf\u00E9!|"},
    {u"%-5s|%010s|%*.*s", {P(u""), P(u"abc"), 6, 2, P(u"hello")}, u"|0000000abc|    he"},
    {u"%*q%d|%5%|%5n", {7, 9}, u"%*q7|%5%|%5n"}, {u"ab%", {}, u"ab%"},
    {u"ab%ncd%n", {C0, C1}, u"abcd", 64, 2, 4}, {u"%*d", {0xFFFFFFFF, 1}, std::u16string(63, u' ')},
    {u"abcdef", {}, u"", 1}, {u"abcdef", {}, u"abc", 4}, {u"%-10d", {42}, u"42  ", 5},
    {u"%#010x", {0x1F}, u"0x", 3}, {u"ab%n", {C0}, u"ab", 3},
    // A count directive stores only while nothing has been cut.
    {u"ab%nc%nd", {C0, C1}, u"abcd", 4, 2},
    // 'h' with an unsigned letter prints the 16-bit value itself.
    {u"%hx|%hu|%ho|%hd", {0x8000, 0x8000, 0xFFFF, 0x8000}, u"8000|32768|177777|-32768"},
    {u"%lld|%I64b", {0x8000000000000000, ~0ull}, u"-9223372036854775808|" + std::u16string(64, u'1')},
    {u"%lld|%d|%I64i|%hd", {0, 0, 0, 0}, u"0|0|0|0"},  // zero, at the sign's edge
    {u"%*d|%-*d|", {3, 1, 3, 2}, u"  1|2  |"}, {u"%.*s|%.s%d", {0xFFFFFFFF, P(u"abc"), 5}, u"abc|%.s5"},
    {u"%C%c|%%%d", {0x1E9, 0x263A, 3}, u"\u00E9\u263A|%3"},
};

// Each row at its capacity and every smaller one: the leading part, its count, the terminator,
// and nothing touched past the capacity. On Windows the buffer and the format lie above 4 GiB,
// where a pointer cut to 32 bits would show.
TEST(FormatWTest, EdgeCasesAtEveryCapacity) {
#ifdef _WIN32
  auto* buffer = static_cast<WideChar*>(
      VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN, PAGE_READWRITE));
  ASSERT_GT(reinterpret_cast<uintptr_t>(buffer), 0xFFFFFFFFu);
#else
  WideChar buffer[128];
#endif
  WideChar* format = buffer + 80;
  for (const Row& row : kRows) {
    uint64_t a[6] = {};
    std::copy(row.args.begin(), row.args.end(), a);
    std::copy(row.format, row.format + std::u16string(row.format).size() + 1, format);
    for (uint32_t capacity = row.capacity; capacity >= 1; --capacity) {
      std::fill(buffer, buffer + 80, kCanary);
      counters[0] = counters[1] = kUntouched;
      uint32_t result = FormatW(buffer, capacity, format, a[0], a[1], a[2], a[3], a[4], a[5]);
      size_t want = std::min<size_t>(row.expected.size(), capacity - 1);
      SCOPED_TRACE(testing::PrintToString(std::u16string(row.format)) + " capacity " +
                   std::to_string(capacity));
      ASSERT_EQ(result, want);
      EXPECT_EQ(std::u16string(buffer, result), row.expected.substr(0, want));
      EXPECT_EQ(buffer[result], 0);
      ASSERT_EQ(std::count(buffer + capacity, buffer + 80, kCanary), 80 - capacity);
      if (capacity == row.capacity) {
        EXPECT_EQ(counters[0], row.count_a);
        EXPECT_EQ(counters[1], row.count_b);
      }
    }
  }
}

TEST(FormatWTest, DigitProducers) {
  WideChar out[70];
  auto digits = [&out](uint32_t n) { return out[n] == 0 ? std::u16string(out, n) : u"<open>"; };
  EXPECT_EQ(digits(UInt32ToDigitsW(out, 70, 0, 10)), u"0");
  EXPECT_EQ(digits(UInt32ToDigitsW(out, 70, 35, 36)), u"z");
  EXPECT_EQ(digits(UInt32ToDigitsW(out, 3, 123, 10)), u"12");
  EXPECT_EQ(digits(UInt32ToDigitsW(out, 70, 7, 1)), u"");  // a base outside 2 to 36
  EXPECT_EQ(digits(UInt64ToDigitsW(out, 70, ~0ull, 36)), u"3w5e11264sgsf");
  out[0] = u'x';  // no room, not even for the terminator: nothing written
  EXPECT_EQ(UInt32ToDigitsW(out, 0, 5, 10), 0u);
  EXPECT_EQ(out[0], u'x');
}


}  // namespace
