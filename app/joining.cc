#include "app/joining.h"

namespace {

// A message that a packet held to the last byte: fastboot's packets of 64 bytes
// carry "INFO" and 60 bytes, 59 where the bootloader ends its text with a NUL;
// those of 256 bytes 252, or 251.
bool FillsPacket(uint32_t length) {
  return length == 59 || length == 60 || length == 251 || length == 252;
}

}  // namespace

// A log in pieces carries its line breaks in about one message of every line's
// length over the pieces' (one in four for lines four times as long); a line per
// message carries none, but for a stray one now and then. Lines cut at the packet
// size show as several messages of the greatest length, a packet's; a single one
// is more likely a value that the bootloader itself cut off there.
Joining ChooseJoining(const MessageSurvey& survey) {
  Joining joining;
  joining.lf_host = survey.bare_lf > survey.cr_lf;
  joining.pieces = uint64_t{survey.broken} * 8 >= survey.messages;
  bool cut = !joining.pieces && survey.longest_count >= 2 && FillsPacket(survey.longest);
  joining.cut_length = cut ? survey.longest : kNoCut;
  return joining;
}

bool SameJoining(const Joining& a, const Joining& b) {
  return a.lf_host == b.lf_host && a.pieces == b.pieces && a.cut_length == b.cut_length;
}
