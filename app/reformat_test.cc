#include "app/reformat.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <random>
#include <string>

#include "fuzz/reformat_model.h"

namespace {

#define P "(bootloader) "
#define O "OKAY ["
#define F "Finished. Total time:"

// On Windows the buffers lie above 4 GiB, where a pointer cut to 32 bits would
// show; on the host AddressSanitizer watches their bounds.
uint8_t* Allocate(size_t size) {
#ifdef _WIN32
  void* p = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN, PAGE_READWRITE);
  EXPECT_GT(reinterpret_cast<uintptr_t>(p), 0xFFFFFFFFu);
  return static_cast<uint8_t*>(p);
#else
  return new uint8_t[size];
#endif
}

void Free(uint8_t* p) {
#ifdef _WIN32
  VirtualFree(p, 0, MEM_RELEASE);
#else
  delete[] p;
#endif
}

// Runs the transformation with the given capacity (the source's size unless
// given) and checks that nothing past the capacity was touched.
std::string Reformat(const std::string& source, bool raw, int64_t capacity = -1) {
  uint32_t room = static_cast<uint32_t>(capacity < 0 ? source.size() : capacity);
  uint8_t* in = Allocate(source.size() + 1);
  uint8_t* out = Allocate(room + 16);
  std::copy(source.begin(), source.end(), in);
  std::fill(out, out + room + 16, 0xA5);
  FormatJob job;
  InitJob(&job);
  job.raw = raw;
  job.source_buffer = in;
  job.source_length = static_cast<uint32_t>(source.size());
  job.output_buffer = out;
  job.output_capacity = room;
  ReformatLog(&job);
  EXPECT_LE(job.output_length, room);
  EXPECT_EQ(std::count(out + room, out + room + 16, 0xA5), 16) << "written past the capacity";
  std::string text(out, out + job.output_length);
  Free(in);
  Free(out);
  return text;
}

// The rules that the model below also follows, pinned on their own.
TEST(ReformatLog, Rules) {
  const struct { std::string source, normal, raw; } rows[] = {
      {"< waiting >\r\n" P "hello wo\r\n" P "rld\r\r\n" P "next\r\r\n" P "\r\r\n" P "end\r\n" O "  0.010s]\r\n"
       F " 0.020s\r\n", "hello world\r\nnext\r\nend\r\n", "hello world\rnext\r\rend"},
      {P "a\r\r\n" P "b\r\n", "a\r\nb\r\n", "a\rb\r\n"},  // a first line of one byte keeps its break
      {P "x\r\n" O " 1]\r\n" P "y\r\n", "x\r\n" O " 1]y\r\n", "x\r\n" O " 1]y\r\n"},
      {P "v:0.5\n" P "board\n", "v:0.5\r\nboard\r\n", "v:0.5\nboard\n"},
      {P "\r\n\r\nabc\r\n", "abc\r\n", "\r\n\r\nabc\r\n"},
      {O " 1]\r\n(bootloader)x\r\n" P "log\r\n(bootload", "log\r\n(bootload\r\n", "log\r\n(bootload"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Reformat(row.source, false), row.normal) << row.source;
    EXPECT_EQ(Reformat(row.source, true), row.raw) << row.source;
  }
}

TEST(FindBytes, Boundaries) {
  const struct { std::string buffer; uint32_t length; std::string pattern; int at; } cases[] = {
      {"abc", 3, "abc", 0}, {"abc", 2, "abc", -1}, {"xxab", 4, "ab", 2}, {"xxab", 3, "ab", -1},
      {"aab", 3, "ab", 1},  {"ab", 2, "abc", -1},  {"", 0, "a", -1},      {"xab", 3, "a", 1},
      {"ab", 2, "", 0},     {"((bootloader) x", 15, P, 1}};
  for (const auto& c : cases) {
    auto bytes = [](const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); };
    const uint8_t* found = FindBytes(bytes(c.buffer), c.length, bytes(c.pattern),
                                     static_cast<uint32_t>(c.pattern.size()));
    EXPECT_EQ(found ? found - bytes(c.buffer) : -1, c.at) << c.buffer << " / " << c.pattern;
  }
}

// Random captures against the plain model of the rules, at random capacities
// (mostly near the text's own length, where the edge cases are), in both modes;
// a buffer of the worst-case size always holds the whole text.
TEST(ReformatLog, AgreesWithTheModel) {
  const char* pieces[] = {P, O, F, "\r", "\n", "\r\n", "\r\r\n", "(", "(bootloader)", "(boot",
                          "OKAY", "Finished.", "x", "[    0.012] clock: cpu0 (big) @ 1804800 kHz",
                          "0123456789abcdef0123456789abcdef", "\r\n\r\n\r\r\n\n\n\r\r\n\r\n\r\n"};
  std::mt19937 random(5);
  for (int round = 0; round < 4000; ++round) {
    std::string source;
    for (int i = random() % 40; i > 0; --i) {
      std::string piece = pieces[random() % (sizeof pieces / sizeof *pieces)];
      source += random() % 4 ? piece : piece.substr(random() % (piece.size() + 1));
    }
    for (bool raw : {false, true}) {
      int64_t worst = static_cast<int64_t>(WorstCaseOutputSize(source.size()));
      int64_t around = int64_t(ReformatModel(source, raw, worst).size()) + 3 - int64_t(random() % 7);
      int64_t capacity = random() % 2 ? std::max<int64_t>(around, 0) : int64_t(random() % (worst + 8));
      EXPECT_EQ(Reformat(source, raw, capacity), ReformatModel(source, raw, capacity))
          << round << (raw ? " raw" : "") << " capacity " << capacity;
      EXPECT_EQ(Reformat(source, raw, worst), ReformatModel(source, raw, worst + 64)) << round;
    }
  }
}

}  // namespace
