#include "app/reformat.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "fuzz/reformat_model.h"

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
