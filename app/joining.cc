#include "app/joining.h"

namespace {

// A learnt line start is a mark that a continued line seldom begins with (a
// timestamp's '[', a level's '<'): not a letter, digit or blank, as getvar's
// values all begin with letters; shared by nine in ten of the lines known to
// begin, and seen often enough to tell.
constexpr uint32_t kFewestLineStarts = 8;

bool IsMark(uint32_t byte) {
  return byte > ' ' && byte < 127 && !((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z') &&
         !(byte >= '0' && byte <= '9');
}

uint32_t LearnLineStart(const MessageSurvey& survey) {
  if (survey.line_starts < kFewestLineStarts) return kNoLineStart;
  uint32_t best = 0;
  for (uint32_t kind = 1; kind < kLineStartKinds; ++kind)
    if (survey.starts[kind] > survey.starts[best]) best = kind;
  if (!IsMark(best) || uint64_t{survey.starts[best]} * 10 < uint64_t{survey.line_starts} * 9)
    return kNoLineStart;
  return best;
}

}  // namespace

// A log in pieces carries its line breaks in about one message of every line's
// length over the pieces' (one in four for lines four times as long); a line per
// message carries none, but for a stray one now and then, and a single message
// that ends in a line break of its own is no sign of pieces. Lines cut at the
// packet size show as several messages of the greatest length, a packet's; a
// single one is more likely a value that the bootloader itself cut off there.
Joining ChooseJoining(const MessageSurvey& survey, CaptureKind kind, uint32_t cut_length) {
  Joining joining;
  joining.lf_host = survey.bare_lf > survey.cr_lf;
  uint32_t broken = survey.broken + survey.trailing;
  if (broken < 2) broken = survey.broken;
  joining.pieces = uint64_t{broken} * 8 >= survey.messages;
  bool cut = !joining.pieces && survey.longest_count >= 2 && FillsPacket(survey.longest);
  joining.cut_length = cut ? survey.longest : kNoCut;
  if (kind != CaptureKind::kAsItShows) {
    joining.pieces = kind == CaptureKind::kPieces;
    joining.cut_length = kind == CaptureKind::kCutLines ? cut_length : kNoCut;
  }
  joining.line_start = joining.cut_length != kNoCut ? LearnLineStart(survey) : kNoLineStart;
  return joining;
}

bool SameJoining(const Joining& a, const Joining& b) {
  return a.lf_host == b.lf_host && a.pieces == b.pieces && a.cut_length == b.cut_length &&
         a.line_start == b.line_start;
}
