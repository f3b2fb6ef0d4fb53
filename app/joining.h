#pragma once
// How the messages of a capture join up into the bootloader's log. fastboot
// prints every message that the bootloader sends on a line of its own behind
// "(bootloader) ", and ends it with a line break of its own: CR LF on Windows,
// LF on Linux and macOS. Whether that line break is one of the log's depends on
// what the bootloader sends:
// - a log in pieces, cut anywhere, the log's own line breaks inside them: every
//   message goes on in the next;
// - a line per message: every message ends a line of the log, except one that a
//   line too long for a packet filled completely, which goes on in the next.

#include <stdint.h>

// What a pass over the messages saw of them.
struct MessageSurvey {
  uint32_t messages;
  uint32_t broken;         // messages whose own text holds a line break
  uint32_t longest;        // the greatest length of a message without line breaks
  uint32_t longest_count;  // how many messages without line breaks have it
  uint32_t bare_lf;        // prefixes behind an LF that no CR precedes
  uint32_t cr_lf;          // prefixes behind CR LF
};

constexpr uint32_t kNoCut = 0xFFFFFFFF;

struct Joining {
  bool lf_host;         // fastboot ended each message with LF, not CR LF
  bool pieces;          // a log in pieces: every message goes on in the next
  uint32_t cut_length;  // else a message of this length without line breaks goes on
};

// Notes a message of `length` bytes that holds no line break. Inline: it is
// called for every message.
inline void NotePlainMessage(MessageSurvey* survey, uint32_t length) {
  if (length > survey->longest) {
    survey->longest = length;
    survey->longest_count = 0;
  }
  if (length == survey->longest) ++survey->longest_count;
}

// The joining that the whole capture's messages call for.
Joining ChooseJoining(const MessageSurvey& survey);

bool SameJoining(const Joining& a, const Joining& b);
