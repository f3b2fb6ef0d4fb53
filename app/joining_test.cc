#include "app/joining.h"

#include <gtest/gtest.h>

namespace {

// Surveys of real shapes of output, and the bounds the README gives: a log in
// pieces where one message in eight holds a line break; lines cut at a packet's
// size where at least two messages of the greatest length fill one.
TEST(ChooseJoining, KindAndPacketFromTheWholeCapture) {
  const struct { const char* name; MessageSurvey survey; Joining joining; } rows[] = {
      // messages, broken, longest, longest_count, bare_lf, cr_lf
      {"one in eight messages holds a line break", {8, 1, 60, 7, 0, 8}, {false, true, kNoCut}},
      {"one in nine", {9, 1, 30, 1, 0, 9}, {false, false, kNoCut}},
      {"Pixel 4 dmesg: ten messages of 59", {75, 0, 59, 10, 75, 0}, {true, false, 59}},
      {"getvar all: one value cut off at 59", {60, 0, 59, 1, 0, 60}, {false, false, kNoCut}},
      {"Motorola unlock data: lines of 36", {6, 0, 36, 4, 0, 6}, {false, false, kNoCut}},
      {"two of 58", {9, 0, 58, 2, 0, 9}, {false, false, kNoCut}},
      {"two of 60", {9, 0, 60, 2, 0, 9}, {false, false, 60}},
      {"two of 61", {9, 0, 61, 2, 0, 9}, {false, false, kNoCut}},
      {"two of 250", {9, 0, 250, 2, 0, 9}, {false, false, kNoCut}},
      {"two of 251", {9, 0, 251, 2, 0, 9}, {false, false, 251}},
      {"two of 252", {9, 0, 252, 2, 0, 9}, {false, false, 252}},
      {"two of 253", {9, 0, 253, 2, 0, 9}, {false, false, kNoCut}},
      {"as many LF as CR LF", {9, 0, 9, 1, 4, 4}, {false, false, kNoCut}},
      {"one LF more", {9, 0, 9, 1, 5, 4}, {true, false, kNoCut}},
  };
  for (const auto& row : rows) {
    Joining joining = ChooseJoining(row.survey);
    EXPECT_TRUE(SameJoining(joining, row.joining))
        << row.name << ": " << joining.lf_host << joining.pieces << " " << joining.cut_length;
  }
  Joining a = {true, false, 59};
  for (Joining b : {Joining{false, false, 59}, Joining{true, true, 59}, Joining{true, false, 60}})
    EXPECT_FALSE(SameJoining(a, b));
}

}  // namespace
