#include "app/powershell_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/models/powershell_model.h"
#include "tests/models/reformat_model.h"
#include "tests/models/text_model.h"

namespace {

std::string Log(const std::string& capture, bool raw) {
  return ReformatModel(capture, raw, capture.size() * 2 + 2);
}

// Captures of random logs as Windows PowerShell 5.1 writes them: consoles of 80 to 160
// columns, word wrap and hard cut, location lines in several languages (one split), in
// UTF-16, in UTF-8 with its mark (Out-File -Encoding utf8) and without, now and then
// appended to (>>). The log comes out as from the same output captured by cmd, both modes.
TEST(PowerShellCapture, LogsAsFromCmd) {
  std::mt19937 random(17);
  int rounds = 0, first_split = 0, body_split = 0, appended = 0;
  while (rounds < 600) {
    PowerShellWay way = {std::vector<uint32_t>{79, 99, 119, 159}[random() % 4], random() % 2 == 0,
                         kLocationLines[random() % 6]};
    if (random() % 3 == 0) way.name = "fastboot";
    // A CategoryInfo line that does not say what is expected: the first line is told by the way.
    if (random() % 4 == 0) way.exception = "ParentContainsErrorRecordException";
    std::vector<std::string> log = RandomLogModel(random, way.width);
    std::string output = ChunkedLogModel(log, random() % 2 ? "\r\n" : "\n", random() % 2 ? 60 : 252,
                                        random() % 4 == 0);
    bool split = false;
    for (const std::string& line : ReadLinesModel(output)) split |= UnitsModel(line) > way.width;
    if (!UnambiguousModel(output, way) || (!way.word_wrap && split && CutsInsideWordsModel(output, way) < 2)) continue;
    ++rounds;
    std::string capture = PowerShellModel(output, way), cmd = output, unsplit = UnsplitModel(output);
    if (random() % 5 == 0) {  // >>: a second run, in another way
      PowerShellWay second = way;
      second.location = "At line:2 char:1";
      std::string more = ChunkedLogModel(RandomLogModel(random, way.width), "\n", 60, false);
      if (!UnambiguousModel(more, second)) continue;
      capture += PowerShellModel(more, second), cmd += more, unsplit += UnsplitModel(more);
      ++appended;
    }
    std::vector<std::string> lines = ReadLinesModel(output);
    first_split += SplitLineModel(way.name + " : " + lines[0], way.width, way.word_wrap).size() > 1;
    body_split += UnitsModel(lines[lines.size() / 2]) > way.width;
    int encoding = random() % 4;
    std::string source = encoding < 2   ? Utf16Model(capture, encoding)
                         : encoding == 2 ? "\xEF\xBB\xBF" + capture
                                         : capture;
    std::string text = PreparedText(source);
    ASSERT_TRUE(Log(text, false) == Log(cmd, false) && Log(text, true) == Log(unsplit, true))
        << way.width << (way.word_wrap ? " word wrap\n" : " hard cut\n") << capture.substr(0, 800);
  }
  EXPECT_GT(first_split, 150);
  EXPECT_GT(body_split, 60);
  EXPECT_GT(appended, 100);
}

// The widest console taken: lines of up to kWidestWrap units are joined (here
// a first token fills a line of W exactly, its blank included), a capture with
// a longer line is taken as unsplit. There a word wrap's split outweighs a line
// of W ending in a short word, where a hard cut would have split it.
TEST(PowerShellCapture, WidestConsole) {
  const PowerShellWay ways[] = {{4096, true}, {4096, false}, {4097, true}};
  for (const PowerShellWay& way : ways) {
    std::string output = "(bootloader) x\r\n(bootloader) " + std::string(way.width - 14, 'a') + " " +
                         std::string(9, 'b') + "\r\nOKAY [  0.010s]\r\n";
    std::string text = PreparedText(PowerShellModel(output, way));
    EXPECT_EQ(Log(text, false) == Log(output, false), way.width == 4096) << way.width << way.word_wrap;
  }
  std::string output = "(bootloader) x\r\n(bootloader) dump: " + std::string(9000, 'f') + "\r\n(bootloader) " +
                       std::string(4000, 'a') + " " + std::string(200, 'b') + "\r\n(bootloader) " +
                       std::string(4080, 'w') + " ok\r\nOKAY [  0.010s]\r\n";
  EXPECT_EQ(Log(PreparedText(PowerShellModel(output, {4096, true})), false), Log(output, false));
}

// Records whose lines look like splits where there are none, and the other way
// round: a first line of exactly W before the location line; one ending in a
// blank at W - 1 (at 90 columns), which a word wrap would glue onto the
// location line; a later run (>>) whose script path is split behind a first line
// of W - 1; a first line whose last piece ends a token, exactly W long. Each with
// a word wrap and a hard cut, the CategoryInfo line broken behind its target as
// real records break it, or word-wrapped. The record goes whole, and the log is
// cmd's.
TEST(PowerShellCapture, RecordsFoundByWhatTheirCategoryInfoSays) {
  const std::string rest = "(bootloader) [ 0.012] clock: ok\r\n(bootloader) [ 0.019] ddr: done\r\nOKAY [  0.010s]\r\n";
  // "fastboot.exe : " and the prefix take 28 units of the first line; 日志 and ж one each, 😀 two.
  auto first = [](uint32_t units, char last) {
    return "(bootloader) 日志😀" + std::string(units - 36, 'x') + "ж😀" + last;
  };
  const struct { const char* name; uint32_t width; std::string first_line; bool appended; } rows[] = {
      {"first line of W", 79, first(79, 'y'), false},
      {"first line ending in a blank at W - 1", 89, first(87, 'y') + " ", false},
      {"a later run's script path split behind a first line of W - 1", 79, first(78, 'y'), true},
      {"first line whose last piece ends a token, of W", 79, "(bootloader) 😀" + std::string(2 * 79 - 30, 't'), false},
  };
  for (const auto& row : rows) {
    for (bool word_wrap : {true, false}) {
      for (bool behind_target : {true, false}) {
        PowerShellWay way = {row.width, word_wrap};
        way.info_behind_target = behind_target;
        std::string output = row.first_line + "\r\n" + rest, capture = PowerShellModel(output, way);
        std::string cmd = output;
        if (row.appended) {
          PowerShellWay second = way;
          second.location = kLocationLines[5];
          capture += PowerShellModel(output, second), cmd += output;
        }
        std::string text = PreparedText(capture);
        EXPECT_EQ(Log(text, false), Log(cmd, false))
            << row.name << (word_wrap ? ", word wrap" : ", hard cut") << (behind_target ? ", behind" : "") << "\n" << capture;
      }
    }
  }
}

// A hard cut whose width shows in two more lines (pieces of tokens longer than
// W, the first in the record's first line) and whose way in one line only, cut
// inside a short word: nothing speaks for a word wrap, so the cut is joined. Where
// nothing shows the width, the longest line ending in a word is no cut; nor are
// lines of W in front of empty messages, which no cut goes on in.
TEST(PowerShellCapture, HardCutShownOnce) {
  std::string shown = "(bootloader) dump: " + std::string(100, 'f') + "\r\n(bootloader) key: " +
                      std::string(100, 'e') + "\r\n(bootloader) " + std::string(60, 'a') + " partition table ok\r\n" +
                      "(bootloader) end\r\nOKAY [  0.010s]\r\n";
  std::string unsplit = "(bootloader) a\r\n(bootloader) " + std::string(49, 'l') + " ends in a word\nnext\r\nOKAY [  0.010s]\r\n";
  std::string full = "(bootloader) " + std::string(63, 'a') + " ok\r\n(bootloader) \r\n",
              before_empty = "(bootloader) start\r\n" + full + full + "(bootloader) end\r\nOKAY [  0.010s]\r\n";
  for (const std::string& output : {shown, unsplit, before_empty}) {
    std::string text = PreparedText(PowerShellModel(output, {79, false}));
    EXPECT_TRUE(Log(text, false) == Log(output, false) && Log(text, true) == Log(UnsplitModel(output), true)) << output;
  }
}

// The first record is looked for among the first 48 lines only (a run's first
// line is its record's, behind a few lines of the user's own, here empty ones
// ended by LF among them): a capture whose error id stands further down holds
// no record and is kept as it is.
TEST(PowerShellCapture, FirstRecordAtTheStart) {
  std::string output = "(bootloader) hello\r\n(bootloader) world\r\nOKAY [  0.010s]\r\n";
  std::string capture = PowerShellModel(output, {79, true});
  std::vector<std::string> lines = ReadLinesModel(capture);
  size_t error_id = 0;
  while (lines[error_id].find("FullyQualifiedErrorId") == std::string::npos) ++error_id;
  for (size_t user_lines : {47 - error_id, 48 - error_id}) {
    std::string notes;
    for (size_t i = 0; i < user_lines; ++i) notes += i % 2 ? "\n" : "note " + std::to_string(i) + "\r\n";
    std::string text = PreparedText(notes + capture);
    EXPECT_EQ(text == notes + capture, user_lines + error_id == 48) << user_lines;
    EXPECT_EQ(text == notes + UnsplitModel(output), user_lines + error_id == 47) << user_lines;
  }
}

// A record without its closing blank line keeps the line behind it.
TEST(PowerShellCapture, RecordWithoutItsBlankLine) {
  std::string output = "< waiting for any device >\r\n(bootloader) hello\r\nOKAY [  0.010s]\r\n";
  std::string capture = PowerShellModel(output, {79, true});
  capture.erase(capture.find(" \r\n(bootloader) hello"), 3);
  EXPECT_EQ(Log(PreparedText(capture), false), Log(output, false)) << capture;
}

}  // namespace
