#pragma once
// How the messages of a command join up into the bootloader's log. fastboot
// prints every message that the bootloader sends on a line of its own behind
// "(bootloader) ", and ends it with a line break of its own: CR LF on Windows,
// LF on Linux and macOS. Whether that line break is one of the log's depends on
// what the bootloader sends:
// - a log in pieces, cut anywhere, the log's own line breaks inside them: every
//   message goes on in the next;
// - a line per message: every message ends a line of the log, except one that a
//   line too long for a packet filled completely, which goes on in the next,
//   and one that ends in a line break of its own, which ends its line itself.

#include <stdint.h>

// Lines are told to begin alike by their first byte.
constexpr uint32_t kLineStartKinds = 256;
// The line starts counted, enough to learn them from; the rest of the capture
// need not pay for it.
constexpr uint32_t kLineStartSample = 4096;

// What a pass over a command's messages saw of them.
struct MessageSurvey {
  uint32_t messages;
  uint32_t broken;         // messages whose own text holds a line break inside
  uint32_t longest;        // the greatest length of a message without line breaks
  uint32_t longest_count;  // how many messages without line breaks have it
  uint32_t bare_lf;        // prefixes behind an LF that no CR precedes
  uint32_t cr_lf;          // prefixes behind CR LF
  uint32_t trailing;       // messages whose own line breaks all stand at their end
  uint32_t line_starts;    // messages known to begin a line: behind a whole one
  uint16_t starts[kLineStartKinds];  // those messages by how they begin
};

constexpr uint32_t kNoCut = 0xFFFFFFFF;
constexpr uint32_t kNoLineStart = 0xFFFFFFFF;

// What the user said of the capture, where its signs mislead.
enum class CaptureKind : uint8_t {
  kAsItShows,  // told from the capture
  kPieces,     // a log in pieces
  kLines,      // a line per message, nothing cut
  kCutLines,   // a line per message, long lines cut at a given length
};

struct Joining {
  bool lf_host;         // fastboot ended each message with LF, not CR LF
  bool pieces;          // a log in pieces: every message goes on in the next
  uint32_t cut_length;  // else a message of this length without line breaks goes on,
  uint32_t line_start;  // unless the next begins as the lines begin (or kNoLineStart)
};

// How a line begins, as the survey counts it.
inline uint32_t LineStartKind(const uint8_t* text, const uint8_t* end) {
  return text < end ? text[0] : kNoLineStart;
}

// Notes a message of `length` bytes that holds no line break. Inline: it is
// called for every message.
inline void NotePlainMessage(MessageSurvey* survey, uint32_t length) {
  if (length > survey->longest) {
    survey->longest = length;
    survey->longest_count = 0;
  }
  if (length == survey->longest) ++survey->longest_count;
}

// Notes how a message that begins a line begins.
inline void NoteLineStart(MessageSurvey* survey, uint32_t kind) {
  if (kind == kNoLineStart || survey->line_starts >= kLineStartSample) return;
  ++survey->line_starts;
  ++survey->starts[kind];
}

// Whether a message of the cut length fills a packet: fastboot's packets of 64
// bytes carry "INFO" and 60 bytes, 59 where the bootloader ends its text with a
// NUL; those of 256 bytes 252, or 251.
inline bool FillsPacket(uint32_t length) {
  return length == 59 || length == 60 || length == 251 || length == 252;
}

// The joining that a command's messages call for, or that the user named.
Joining ChooseJoining(const MessageSurvey& survey, CaptureKind kind = CaptureKind::kAsItShows,
                      uint32_t cut_length = kNoCut);

bool SameJoining(const Joining& a, const Joining& b);
