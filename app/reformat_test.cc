#include "app/reformat.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/models/session_model.h"

namespace {

const char P[] = "(bootloader) ", O[] = "OKAY [", F[] = "Finished. Total time:";

// Runs the transformation at the given capacity (the source's size unless given),
// checking that nothing past it was touched. On Windows the buffers lie above 4 GiB,
// where a pointer cut to 32 bits shows; on the host the source is an allocation of
// exactly its size, where AddressSanitizer sees a read past it.
std::string Reformat(const std::string& source, bool raw, int64_t capacity = -1) {
  uint32_t room = static_cast<uint32_t>(capacity < 0 ? source.size() : capacity);
#ifdef _WIN32
  static auto* high = static_cast<uint8_t*>(
      VirtualAlloc(nullptr, 1 << 20, MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN, PAGE_READWRITE));
  EXPECT_GT(reinterpret_cast<uintptr_t>(high), 0xFFFFFFFFu);
  uint8_t *in = high, *out = high + (1 << 19);
  std::copy(source.begin(), source.end(), in);
#else
  std::vector<uint8_t> in_storage(source.begin(), source.end()), out_storage(room + 16);
  uint8_t *in = in_storage.data(), *out = out_storage.data();
#endif
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
  return std::string(out, out + job.output_length);
}

// Random captures at random capacities (mostly near the text's own length, where
// the edge cases are), in both modes: the text at a capacity is the leading part
// of the whole text, cut only where the next byte or CR LF found no room, and a
// buffer of the worst-case size always holds the whole text.
TEST(ReformatLog, CapacityCutsOnlyTheEnd) {
  const std::string p = P, c59(59, 'c'), w252(252, 'w');
  const std::string pieces[] = {P, O, F, "\r", "\n", "\r\n", "\r\r\n", "(", "(bootloader)", "(boot",
                                "OKAY", "Finished.", "x", "[    0.012] clock: cpu0 (big) @ 1804800 kHz",
                                "0123456789abcdef0123456789abcdef", "\r\n\r\n\r\r\n\n\n\r\r\n\r\n\r\n",
                                "\r\nOKAY [  0.010s]\r\n", "\nFinished. Total time: 0.020s\n", "\nall: \n",
                                // lines a message each, some filling a packet, behind LF or CR LF
                                "\n" + p + c59, "\r\n" + p + c59, "\n" + p + w252, "\r\n" + p + "ab", "\n" + p + "ab"};
  std::mt19937 random(5);
  for (int round = 0; round < 3000; ++round) {
    std::string source;
    for (int i = random() % 40; i > 0; --i) {
      std::string piece = pieces[random() % (sizeof pieces / sizeof *pieces)];
      source += random() % 4 ? piece : piece.substr(random() % (piece.size() + 1));
    }
    for (bool raw : {false, true}) {
      int64_t worst = static_cast<int64_t>(WorstCaseOutputSize(source.size()));
      std::string whole = Reformat(source, raw, worst);
      EXPECT_EQ(Reformat(source, raw, worst + 64), whole) << round;
      int64_t around = int64_t(whole.size()) + 3 - int64_t(random() % 7);
      int64_t capacity = random() % 2 ? std::max<int64_t>(around, 0) : int64_t(random() % (worst + 8));
      std::string text = Reformat(source, raw, capacity);
      EXPECT_EQ(whole.compare(0, text.size(), text), 0) << round << (raw ? " raw" : "") << " capacity " << capacity;
      if (text.size() < whole.size()) {
        EXPECT_GE(int64_t(text.size()) + 2, capacity) << round << " capacity " << capacity;
      }
    }
  }
}

// The rows of the reformatting's table of edge cases, P, O and F standing for
// the markers. A line of one byte is followed by its line break like any other.
TEST(ReformatLog, EdgeCases) {
  const std::string p = P, o = O, f = F;
  const struct { const char* name; std::string source, normal, raw; } rows[] = {
      {"a log line break in a chunk", p + "abc\r\r\n\r\n" + p + "def\r\n" + o + "  0.010s]\r\n" + f + " 0.020s\r\n",
       "abc\r\ndef\r\n", "abc\r\r\ndef"},
      {"waiting line and empty chunk", "< waiting >\r\n" + p + "hello wo\r\n" + p + "rld\r\r\n" + p + "next line\r\r\n" + p +
       "\r\r\n" + p + "end\r\n" + o + "  0.010s]\r\n" + f + " 0.020s\r\n",
       "hello world\r\nnext line\r\nend\r\n", "hello world\rnext line\r\rend"},
      {"chunk ending in a line break", p + "ab\r\r\n" + p + "c\r\n", "ab\r\nc\r\n", "ab\rc\r\n"},
      {"first line of one byte", p + "a\r\r\n" + p + "b\r\n", "a\r\nb\r\n", "a\rb\r\n"},
      {"a log of one byte", p + "x", "x\r\n", "x"},
      {"LF-only line breaks", p + "a\nb\nc\n", "a\r\nb\r\nc\r\n", "a\nb\nc\n"},
      {"lines behind LF", p + "version:0.5\n" + p + "product:board\n", "version:0.5\r\nproduct:board\r\n",
       "version:0.5\nproduct:board\n"},
      {"no line break before the second prefix", p + "abc" + p + "def\r\n", "abcdef\r\n", "abcdef\r\n"},
      {"two prefixes in a row", p + p + "abc\r\n", "abc\r\n", "abc\r\n"},
      {"a partial marker at the end", p + "abc\r\n(bootload", "abc\r\n(bootload\r\n", "abc\r\n(bootload"},
      {"prefix without its blank", "(bootloader)abc\r\n" + p + "def\r\n", "def\r\n", "def\r\n"},
      {"blank lines first", p + "\r\n\r\nabc\r\n", "abc\r\n", "\r\n\r\nabc\r\n"},
      {"status line first", o + " 1]\r\n" + p + "x\r\n", "x\r\n", "x\r\n"},
      {"no marker", "text without any marker", "", ""},
      {"zero bytes", "", "", ""},
      // Lines a message each, on Windows: each message ends a line. A status line
      // between messages ends a command: it is fastboot's, and the next command's
      // log begins a line.
      {"lines behind CR LF", p + "version:0.5\r\n" + p + "product:board\r\n" + o + " 0.050s]\r\n",
       "version:0.5\r\nproduct:board\r\n", "version:0.5\r\nproduct:board"},
      {"status line before a later prefix", p + "x\r\n" + o + " 1]\r\n" + p + "y\r\n", "x\r\ny\r\n", "x\r\ny\r\n"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Reformat(row.source, false), row.normal) << row.name;
    EXPECT_EQ(Reformat(row.source, true), row.raw) << row.name << ", raw";
  }
}

}  // namespace
