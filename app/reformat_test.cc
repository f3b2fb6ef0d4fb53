#include "app/reformat.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "fuzz/reformat_model.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

#define P "(bootloader) "
#define O "OKAY ["
#define F "Finished. Total time:"
#define CR "\r"
#define LF "\n"

// Where the buffers are: above 4 GiB when set (Windows), where a pointer cut to
// 32 bits would show.
[[maybe_unused]] bool high_memory = false;

uint8_t* Buffer(std::vector<uint8_t>* storage, size_t size) {
#ifdef _WIN32
  if (high_memory) {
    void* p = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN, PAGE_READWRITE);
    EXPECT_GT(reinterpret_cast<uintptr_t>(p), 0xFFFFFFFFu);
    return static_cast<uint8_t*>(p);  // a few pages per row, left to the process's end
  }
#endif
  storage->resize(size);
  return storage->data();
}

// Runs the transformation with the given capacity (the source's size when 0,
// unless exact) and checks that nothing past the capacity was touched.
std::string Reformat(const std::string& source, bool raw, uint32_t capacity = 0,
                     bool exact = false) {
  if (capacity == 0 && !exact) capacity = static_cast<uint32_t>(source.size());
  std::vector<uint8_t> in_storage, out_storage;
  uint8_t* in = Buffer(&in_storage, source.size() + 1);
  uint8_t* out = Buffer(&out_storage, capacity + 16);
  std::copy(source.begin(), source.end(), in);
  std::fill(out, out + capacity + 16, 0xA5);
  FormatJob job;
  InitJob(&job);
  job.raw = raw;
  job.source_buffer = in;
  job.source_length = static_cast<uint32_t>(source.size());
  job.output_buffer = out;
  job.output_capacity = capacity;
  ReformatLog(&job);
  EXPECT_LE(job.output_length, capacity);
  for (size_t i = capacity; i < capacity + 16; ++i) EXPECT_EQ(out[i], 0xA5) << "canary " << i;
  return std::string(out, out + job.output_length);
}

struct Row {
  const char* name;
  std::string source;
  std::string normal;
  std::string raw;
};

const Row kRows[] = {
    {"status lines end the log", P "abc" CR CR LF CR LF P "def" CR LF O "  0.010s]" CR LF F " 0.020s" CR LF,
     "abc" CR LF "def" CR LF, "abc" CR CR LF "def"},
    {"chunks join across prefixes",
     "< waiting >" CR LF P "hello wo" CR LF P "rld" CR CR LF P "next line" CR CR LF P CR CR LF P
     "end" CR LF O "  0.010s]" CR LF F " 0.020s" CR LF,
     "hello world" CR LF "next line" CR LF "end" CR LF, "hello world" CR "next line" CR CR "end"},
    {"two-byte first line", P "ab" CR CR LF P "c" CR LF, "ab" CR LF "c" CR LF, "ab" CR "c" CR LF},
    {"one-byte first line keeps its break", P "a" CR CR LF P "b" CR LF, "a" CR LF "b" CR LF,
     "a" CR "b" CR LF},
    {"status line before a later prefix is text", P "x" CR LF O " 1]" CR LF P "y" CR LF,
     "x" CR LF O " 1]y" CR LF, "x" CR LF O " 1]y" CR LF},
    {"LF-only breaks inside a chunk", P "a" LF "b" LF "c" LF, "a" CR LF "b" CR LF "c" CR LF,
     "a" LF "b" LF "c" LF},
    {"chunks ended by a plain CR LF", P "version:0.5" CR LF P "product:board" CR LF O " 0.050s]" CR LF,
     "version:0.5product:board" CR LF, "version:0.5product:board"},
    {"LF-only capture", P "version:0.5" LF P "product:board" LF, "version:0.5" CR LF "product:board" CR LF,
     "version:0.5" LF "product:board" LF},
    {"no break before the second prefix", P "abc" P "def" CR LF, "abcdef" CR LF, "abcdef" CR LF},
    {"two prefixes in a row", P P "abc" CR LF, "abc" CR LF, "abc" CR LF},
    {"partial marker at the end", P "abc" CR LF "(bootload", "abc" CR LF "(bootload" CR LF,
     "abc" CR LF "(bootload"},
    {"prefix without its blank", "(bootloader)abc" CR LF P "def" CR LF, "def" CR LF, "def" CR LF},
    {"blank lines first", P CR LF CR LF "abc" CR LF, "abc" CR LF, CR LF CR LF "abc" CR LF},
    {"no marker at all", "text without any marker", "", ""},
    {"nothing", "", "", ""},
    {"status line first, prefix later", O " 1]" CR LF F " 2" CR LF P "log" CR LF, "log" CR LF, "log" CR LF},
    {"text after the last status line is dropped", P "a" CR LF O "x" CR LF "tail" CR LF F "y", "a" CR LF, "a"},
    {"one-byte lines", P "a" LF "b" LF, "a" CR LF "b" CR LF, "a" LF "b" LF},
};

TEST(ReformatLog, Table) {
  for (const Row& row : kRows) {
    EXPECT_EQ(Reformat(row.source, false), row.normal) << row.name;
    EXPECT_EQ(Reformat(row.source, true), row.raw) << row.name << " (raw)";
  }
}

#ifdef _WIN32
TEST(ReformatLog, TableAboveFourGigabytes) {
  high_memory = true;
  for (const Row& row : kRows) EXPECT_EQ(Reformat(row.source, false), row.normal) << row.name;
  high_memory = false;
}
#endif

TEST(FindBytes, Boundaries) {
  struct {
    std::string buffer;
    uint32_t length;
    std::string pattern;
    int at;  // -1: none
  } cases[] = {
      {"abc", 3, "abc", 0},      {"abc", 2, "abc", -1},       {"xxab", 4, "ab", 2},
      {"xxab", 3, "ab", -1},     {"aab", 3, "ab", 1},         {"ab", 2, "abc", -1},
      {"", 0, "a", -1},          {"(bootloader) ", 13, P, 0}, {"((bootloader) x", 15, P, 1},
      {"xab", 3, "a", 1},        {"ab", 2, "", 0},
  };
  for (const auto& c : cases) {
    const uint8_t* buffer = reinterpret_cast<const uint8_t*>(c.buffer.data());
    const uint8_t* found = FindBytes(buffer, c.length,
                                     reinterpret_cast<const uint8_t*>(c.pattern.data()),
                                     static_cast<uint32_t>(c.pattern.size()));
    EXPECT_EQ(found ? found - buffer : -1, c.at) << c.buffer << " / " << c.pattern;
  }
}

// Random captures against the plain model of the rules, at random capacities
// (mostly near the text's own length, where the edge cases are), in both modes;
// a buffer of the worst-case size always holds the whole text.
TEST(ReformatLog, AgreesWithTheModel) {
  const char* pieces[] = {P, O, F, CR, LF, CR LF, CR CR LF, "(", "(bootloader)", "(boot",
                          "OKAY", "Finished.", "x", "[    0.012] clock: cpu0 (big) @ 1804800 kHz",
                          "0123456789abcdef0123456789abcdef",
                          CR LF CR LF CR CR LF LF LF CR CR LF CR LF CR LF};
  const int kPieces = sizeof pieces / sizeof pieces[0];
  std::mt19937 random(5);
  for (int round = 0; round < 4000; ++round) {
    std::string source;
    int count = random() % 40;
    for (int i = 0; i < count; ++i) {
      std::string piece = pieces[random() % kPieces];
      source += random() % 4 ? piece : piece.substr(random() % (piece.size() + 1));
    }
    for (bool raw : {false, true}) {
      int64_t worst = static_cast<int64_t>(WorstCaseOutputSize(source.size()));
      int64_t full = static_cast<int64_t>(ReformatModel(source, raw, worst).size());
      int64_t around = full + 3 - static_cast<int64_t>(random() % 7);
      uint32_t capacity = static_cast<uint32_t>(random() % 2 ? std::max<int64_t>(around, 0)
                                                             : random() % (worst + 8));
      EXPECT_EQ(Reformat(source, raw, capacity, true), ReformatModel(source, raw, capacity))
          << round << (raw ? " raw" : "") << " capacity " << capacity;
      EXPECT_EQ(Reformat(source, raw, static_cast<uint32_t>(worst)),
                ReformatModel(source, raw, worst + 64))
          << round << (raw ? " raw" : "") << " at the worst-case size";
    }
  }
}

}  // namespace
