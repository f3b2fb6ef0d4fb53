#include "app/joining.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Counts {
  uint32_t messages, broken, longest, longest_count, bare_lf, cr_lf, trailing;
};

MessageSurvey Survey(const Counts& c, const std::vector<std::string>& line_starts = {}) {
  MessageSurvey survey = {c.messages, c.broken, c.longest, c.longest_count, c.bare_lf, c.cr_lf, c.trailing, 0, {}};
  for (const std::string& line : line_starts) {
    const uint8_t* text = reinterpret_cast<const uint8_t*>(line.data());
    NoteLineStart(&survey, LineStartKind(text, text + line.size()));
  }
  return survey;
}

// Surveys of real shapes of output, and the bounds the README gives: a log in
// pieces where one message in eight holds a line break; lines cut at a packet's
// size where at least two messages of the greatest length fill one.
TEST(ChooseJoining, KindAndPacketFromTheWholeCapture) {
  const struct { const char* name; Counts counts; bool lf_host, pieces; uint32_t cut; } rows[] = {
      // messages, broken, longest, longest_count, bare_lf, cr_lf, trailing
      {"one in eight messages holds a line break", {8, 1, 60, 7, 0, 8, 0}, false, true, kNoCut},
      {"one in nine", {9, 1, 30, 1, 0, 9, 0}, false, false, kNoCut},
      {"Pixel 4 dmesg: ten messages of 59", {75, 0, 59, 10, 75, 0, 0}, true, false, 59},
      {"getvar all: one value cut off at 59", {60, 0, 59, 1, 0, 60, 0}, false, false, kNoCut},
      {"Motorola unlock data: lines of 36", {6, 0, 36, 4, 0, 6, 0}, false, false, kNoCut},
      {"two of 58", {9, 0, 58, 2, 0, 9, 0}, false, false, kNoCut},
      {"two of 60", {9, 0, 60, 2, 0, 9, 0}, false, false, 60},
      {"two of 61", {9, 0, 61, 2, 0, 9, 0}, false, false, kNoCut},
      {"two of 250", {9, 0, 250, 2, 0, 9, 0}, false, false, kNoCut},
      {"two of 251", {9, 0, 251, 2, 0, 9, 0}, false, false, 251},
      {"two of 252", {9, 0, 252, 2, 0, 9, 0}, false, false, 252},
      {"two of 253", {9, 0, 253, 2, 0, 9, 0}, false, false, kNoCut},
      {"as many LF as CR LF", {9, 0, 9, 1, 4, 4, 0}, false, false, kNoCut},
      {"one LF more", {9, 0, 9, 1, 5, 4, 0}, true, false, kNoCut},
      // MediaTek's usb2jtag: the second of two messages ends in its own LF.
      {"one of two ends in a line break", {2, 0, 15, 1, 2, 0, 1}, true, false, kNoCut},
      {"two of sixteen end in a line break", {16, 0, 15, 1, 0, 16, 2}, false, true, kNoCut},
      {"two of seventeen", {17, 0, 15, 1, 0, 17, 2}, false, false, kNoCut},
  };
  for (const auto& row : rows) {
    Joining joining = ChooseJoining(Survey(row.counts));
    EXPECT_EQ(joining.lf_host, row.lf_host) << row.name;
    EXPECT_EQ(joining.pieces, row.pieces) << row.name;
    EXPECT_EQ(joining.cut_length, row.cut) << row.name;
  }
}

// What the user names wins over the capture's signs; the line break stays the
// capture's.
TEST(ChooseJoining, KindNamedByTheUser) {
  MessageSurvey pieces = Survey({8, 4, 20, 3, 8, 0, 0}), cut = Survey({9, 0, 59, 3, 0, 9, 0});
  const struct { const char* name; const MessageSurvey& survey; CaptureKind kind; uint32_t length;
                 bool pieces; uint32_t cut; } rows[] = {
      {"lines of a log in pieces", pieces, CaptureKind::kLines, kNoCut, false, kNoCut},
      {"pieces of lines cut at 59", cut, CaptureKind::kPieces, kNoCut, true, kNoCut},
      {"lines, nothing cut", cut, CaptureKind::kLines, kNoCut, false, kNoCut},
      {"lines cut at 58", cut, CaptureKind::kCutLines, 58, false, 58},
      {"lines cut at 100 of a log in pieces", pieces, CaptureKind::kCutLines, 100, false, 100},
  };
  for (const auto& row : rows) {
    Joining joining = ChooseJoining(row.survey, row.kind, row.length);
    EXPECT_EQ(joining.pieces, row.pieces) << row.name;
    EXPECT_EQ(joining.cut_length, row.cut) << row.name;
    EXPECT_EQ(joining.lf_host, row.survey.bare_lf > row.survey.cr_lf) << row.name;
  }
}

std::vector<std::string> Repeat(const std::string& line, int count) {
  return std::vector<std::string>(count, line);
}

std::vector<std::string> Plus(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Where lines are cut, the lines known to begin show how lines begin: kernel
// timestamps, "<6>" levels; not getvar's names, which begin with any letter.
TEST(ChooseJoining, LineStartLearntFromWholeLines) {
  const Counts cut = {40, 0, 59, 4, 0, 40, 0};
  const struct { const char* name; std::vector<std::string> starts; const char* learnt; } rows[] = {
      {"kernel timestamps", Repeat("[    0.1", 9), "["},
      {"nine timestamps of ten", Plus(Repeat("[   12.3", 9), {"random text"}), "["},
      {"seventeen of twenty", Plus(Repeat("[   12.3", 17), {"ab", "cd", "ef"}), nullptr},
      {"seven: too few to tell", Repeat("[    0.1", 7), nullptr},
      {"levels", Repeat("<6>[  1.0", 12), "<"},
      {"LK's and the kernel's timestamps", Plus(Repeat("[10] DDR", 6), Repeat("[    0.1", 4)), "["},
      {"getvar values", Repeat("version:0.5", 20), nullptr},
      {"numbers", Repeat("12:00:01", 20), nullptr},
      {"blanks", Repeat("  indented", 20), nullptr},
  };
  for (const auto& row : rows) {
    Joining joining = ChooseJoining(Survey(cut, row.starts));
    if (!row.learnt) {
      EXPECT_EQ(joining.line_start, kNoLineStart) << row.name;
      continue;
    }
    const uint8_t* text = reinterpret_cast<const uint8_t*>(row.learnt);
    EXPECT_EQ(joining.line_start, LineStartKind(text, text + 1)) << row.name;
  }
  // Nothing is learnt where nothing is cut.
  EXPECT_EQ(ChooseJoining(Survey({40, 0, 30, 1, 0, 40, 0}, Repeat("[ 1", 20))).line_start, kNoLineStart);
}

}  // namespace
