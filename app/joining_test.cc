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
