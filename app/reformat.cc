#include "app/reformat.h"

#include <emmintrin.h>  // SSE2, which every x86-64 processor has
#include <string.h>

#include <initializer_list>

#include "app/host_lines.h"
#include "app/joining.h"

// Text before the first prefix is fastboot's, and so is every line of its own
// (app/host_lines.h) that stands behind a message: from there up to the next
// prefix. Such lines end a command; a capture may hold several, each with
// messages of its own kind, and each command's log begins a line of its own.
// The lines behind the last prefix are scanned for fastboot's once; in front
// of every other prefix, only a message that holds a line break is looked at,
// and only where the line behind its first break, or the last line in front of
// the prefix, may be fastboot's.
//
// Within a command, each prefix begins a message, and the line break that
// fastboot put in front of it (CR LF, or LF on Linux and macOS) goes with it
// where the message before goes on in the next one (app/joining.h). Which the
// messages do is told by the whole command: a pass copies its text with the
// joining that its first messages call for, and surveys all messages
// meanwhile; where the survey calls for another joining, the pass is made once
// more with it. A pass that meets the end of a command stops there, and the
// command is passed over again up to its end.

namespace {

// What a message's end does goes into the block loops themselves: a call there
// makes them set aside and reload the values they keep in registers, for every
// message, and most messages need no call at all.
#define BW_IN_BLOCKS __attribute__((always_inline)) inline

constexpr uint8_t CR = 13;
constexpr uint8_t LF = 10;
constexpr uint32_t kPrefixLength = sizeof kBootloaderPrefix - 1;

bool IsLineBreak(uint8_t b) { return b == CR || b == LF; }

// Where a command's text ends in front of fastboot's lines that begin at
// `at`: the line break in front of them is fastboot's, whichever the host's.
const uint8_t* CommandEnd(const uint8_t* at, const uint8_t* from) {
  if (at - from >= 2 && at[-2] == CR && at[-1] == LF) return at - 2;
  return at - from >= 1 && at[-1] == LF ? at - 1 : at;
}

uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  memcpy(&v, p, sizeof v);
  return v;
}

// Whether "(bootloader) " starts at p and lies wholly before end.
bool IsPrefixAt(const uint8_t* p, const uint8_t* end) {
  const uint8_t* prefix = reinterpret_cast<const uint8_t*>(kBootloaderPrefix);
  return end - p >= kPrefixLength && Load64(p) == Load64(prefix) &&
         Load64(p + kPrefixLength - 8) == Load64(prefix + kPrefixLength - 8);
}

// The first byte in [p, end) equal to a, b or c, or end. Pass the same value
// more than once to look for fewer bytes.
const uint8_t* FindAnyOf(const uint8_t* p, const uint8_t* end, uint8_t a, uint8_t b, uint8_t c) {
  const __m128i va = _mm_set1_epi8(static_cast<char>(a));
  const __m128i vb = _mm_set1_epi8(static_cast<char>(b));
  const __m128i vc = _mm_set1_epi8(static_cast<char>(c));
  for (; end - p >= 16; p += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)),
                               _mm_cmpeq_epi8(v, vc));
    int mask = _mm_movemask_epi8(hit);
    if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
  }
  for (; p < end; ++p)
    if (*p == a || *p == b || *p == c) return p;
  return end;
}

// The last byte in [begin, end) equal to c, or null.
const uint8_t* FindLastByte(const uint8_t* begin, const uint8_t* end, uint8_t c) {
  const __m128i vc = _mm_set1_epi8(static_cast<char>(c));
  for (; end - begin >= 16; end -= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
    int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(v, vc));
    if (mask) return end - 16 + (31 - __builtin_clz(static_cast<unsigned>(mask)));
  }
  while (end > begin)
    if (*--end == c) return end;
  return nullptr;
}

// The next prefix at or after p that starts before limit, or limit.
const uint8_t* FindPrefix(const uint8_t* p, const uint8_t* limit, const uint8_t* end) {
  for (;; ++p) {
    p = FindAnyOf(p, limit, '(', '(', '(');
    if (p == limit || IsPrefixAt(p, end)) return p;
  }
}

// The last prefix starting at or after begin, or null.
const uint8_t* FindLastPrefix(const uint8_t* begin, const uint8_t* end) {
  for (const uint8_t* stop = end;;) {
    const uint8_t* p = FindLastByte(begin, stop, '(');
    if (!p || IsPrefixAt(p, end)) return p;
    stop = p;
  }
}

void NotePrefixBreak(MessageSurvey* survey, const uint8_t* at, const uint8_t* start) {
  if (at - start < 1 || at[-1] != LF) return;
  if (at - start >= 2 && at[-2] == CR)
    ++survey->cr_lf;
  else
    ++survey->bare_lf;
}

struct Output {
  uint8_t* data;
  uint32_t capacity;
  uint32_t length;
};

uint32_t FreeBytes(const Output& out) { return out.capacity - out.length; }

// An ordinary byte needs two free bytes: the buffer's last byte is only ever
// filled by a CR LF pair. Once one has no room, nothing more fits.
void AppendBytes(Output* out, const uint8_t* bytes, uint32_t count) {
  uint32_t free_bytes = FreeBytes(*out);
  uint32_t room = free_bytes >= 2 ? free_bytes - 1 : 0;
  if (count > room) count = room;
  memcpy(out->data + out->length, bytes, count);
  out->length += count;
}

bool EndsWithLineBreak(const Output& out) {
  return out.length >= 2 && out.data[out.length - 2] == CR && out.data[out.length - 1] == LF;
}

void AppendLineBreakIfRoom(Output* out) {
  if (FreeBytes(*out) < 2) return;
  out->data[out->length++] = CR;
  out->data[out->length++] = LF;
}

// A run of line breaks becomes one CR LF, never at the very start and never
// twice in a row; so runs that only a prefix separates act as one run.
void AppendRunBreak(Output* out) {
  if (out->length == 0 || EndsWithLineBreak(*out)) return;
  AppendLineBreakIfRoom(out);
}

// One pass over a command's text.
struct Pass {
  Output out;
  Joining joining;
  MessageSurvey survey;
  bool raw;
  CaptureKind kind;            // what the user said of the capture
  uint32_t cut_length;         // with CaptureKind::kCutLines
  const uint8_t* start;        // the source's first byte
  const uint8_t* end;          // behind its last
  uint32_t base;               // the output's length where the command begins
  const uint8_t* message;      // where the current message begins
  const uint8_t* first_break;  // its first line break seen so far, or end
  const uint8_t* next_command;   // the prefix behind fastboot's lines, once met
  const uint8_t* command_limit;  // where the command's text ends then
  const uint8_t* host_lines;     // and where fastboot's lines begin
};

// The length of the line break that fastboot put in front of a prefix at `at`,
// within [from, at).
uint32_t HostBreakLength(const Pass& pass, const uint8_t* from, const uint8_t* at) {
  if (pass.joining.lf_host) return at - from >= 1 && at[-1] == LF ? 1 : 0;
  return at - from >= 2 && at[-2] == CR && at[-1] == LF ? 2 : 0;
}

void NoteBreak(Pass* pass, const uint8_t* p) {
  pass->first_break = p < pass->first_break ? p : pass->first_break;
}

// The bytes that may begin one of fastboot's lines ("OKAY [", "FAILED (",
// "Finished", "finished", "< waiting"), and the last two bytes that may end
// the last one in front of a message ("0.052s", "0.012s]", "device >"): a
// byte's bits for the last place, and four places higher for the one before
// it, so that one AND of two looks tells, without a branch to mispredict.
constexpr uint8_t kMayBegin = 1, kLastS = 2, kLastBracket = 4, kLastAngle = 8;
struct HostSigns {
  uint8_t of[256];
};
constexpr HostSigns MakeHostSigns() {
  HostSigns signs = {};
  for (uint8_t b : {'O', 'F', 'f', '<'}) signs.of[b] |= kMayBegin;
  signs.of[uint8_t{'s'}] |= kLastS | kLastBracket << 4;
  signs.of[uint8_t{']'}] |= kLastBracket;
  signs.of[uint8_t{'>'}] |= kLastAngle;
  signs.of[uint8_t{' '}] |= kLastAngle << 4;
  for (uint8_t b = '0'; b <= '9'; ++b) signs.of[b] |= kLastS << 4;
  return signs;
}
constexpr HostSigns kHostSigns = MakeHostSigns();

// Whether fastboot's lines may stand in the text [first, at) of a message that
// holds a line break at `first`, behind which the next line begins at
// `second_line`: where that line may be one, or the last line in front of the
// prefix (or in front of the label that it stands behind) may end one. In a
// line per message, every such message is looked at.
bool MayHoldHostLines(const Pass& pass, const uint8_t* first, const uint8_t* second_line,
                      const uint8_t* host_break, const uint8_t* at) {
  if (!pass.joining.pieces) return true;
  bool may_begin = kHostSigns.of[*second_line] & kMayBegin;
  const uint8_t* line_end = host_break;
  if (host_break == at) {
    line_end = FindLastByte(first, at, LF);
    if (!line_end) return may_begin;
    while (line_end > first && IsLineBreak(line_end[-1])) --line_end;
  }
  if (line_end - first < 2) return may_begin;
  unsigned last = kHostSigns.of[line_end[-1]], before = kHostSigns.of[line_end[-2]];
  return may_begin | ((last << 4 & before) != 0);
}

// EndMessage for a message without a line break of its own.
BW_IN_BLOCKS bool EndPlainMessage(Pass* pass, const uint8_t* host_break, const uint8_t* at) {
  MessageSurvey* survey = &pass->survey;
  const Joining& joining = pass->joining;
  uint32_t length = static_cast<uint32_t>(host_break - pass->message);
  ++survey->messages;
  NotePlainMessage(survey, length);
  // Behind a whole line, the next message begins one.
  if (at && survey->line_starts < kLineStartSample && !FillsPacket(length))
    NoteLineStart(survey, LineStartKind(at + kPrefixLength, pass->end));
  if (joining.pieces) return true;
  if (length != joining.cut_length) return false;
  return joining.line_start == kNoLineStart || !at ||
         LineStartKind(at + kPrefixLength, pass->end) != joining.line_start;
}

// Where fastboot's own lines stand in front of the prefix at `at`, behind a
// message that holds a line break at `first`, the command ends in front of
// them: notes where (pass->next_command), and gives the message's new end.
// Apart from EndMessage, which is asked of every message, so that it stays
// small.
__attribute__((noinline)) const uint8_t* EndCommandIfHostLines(Pass* pass, const uint8_t* first,
                                                               const uint8_t* host_break,
                                                               const uint8_t* at) {
  const uint8_t* host_lines = FindHostLines(first, at);
  if (!host_lines) return host_break;
  pass->next_command = at;
  pass->host_lines = host_lines;
  return pass->command_limit = CommandEnd(host_lines, pass->message);
}

// EndMessage for a message that holds a line break at `first`: a log in
// pieces' piece, a line with a stray line break, or a message that fastboot's
// own lines follow.
inline bool EndBrokenMessage(Pass* pass, const uint8_t* first, const uint8_t* host_break,
                             const uint8_t* at) {
  const uint8_t* second_line = first;
  while (second_line < host_break && IsLineBreak(*second_line)) ++second_line;
  if (second_line < host_break && at &&
      MayHoldHostLines(*pass, first, second_line, host_break, at)) {
    host_break = EndCommandIfHostLines(pass, first, host_break, at);
    if (second_line > host_break) second_line = host_break;
    if (first >= host_break) return EndPlainMessage(pass, host_break, nullptr);
  }
  MessageSurvey* survey = &pass->survey;
  ++survey->messages;
  ++(second_line == host_break ? survey->trailing : survey->broken);
  // A message that ends in a line break of its own ends its line itself.
  return pass->joining.pieces || IsLineBreak(host_break[-1]);
}

// Ends the current message at `host_break`, where fastboot's line break (if
// any) in front of the prefix at `at` begins (null behind the last message):
// notes it in the survey, and says whether it goes on in the next. Where
// fastboot's own lines stand in front of the prefix, the command ends in front
// of them.
BW_IN_BLOCKS bool EndMessage(Pass* pass, const uint8_t* host_break, const uint8_t* at) {
  const uint8_t* first = pass->first_break;
  // Most messages hold no line break of their own: told so first, the
  // compiler lays that path out straight.
  if (__builtin_expect(first >= host_break, true)) return EndPlainMessage(pass, host_break, at);
  return EndBrokenMessage(pass, first, host_break, at);
}

// The next message begins behind the prefix at `at`.
const uint8_t* StartMessage(Pass* pass, const uint8_t* at) {
  pass->first_break = pass->end;
  pass->message = at + kPrefixLength;
  return pass->message;
}

// A prefix with no line break in front of it: the text on both sides joins.
const uint8_t* SkipBarePrefix(Pass* pass, const uint8_t* at, const uint8_t* limit) {
  EndMessage(pass, at, at);
  return pass->next_command ? limit : StartMessage(pass, at);
}

// The run of line breaks [p, q) (q: where they end, or limit), and the prefix
// right behind it if there is one. fastboot's line break in front of the
// prefix, when it is the whole run and the message goes on, is no run at all.
BW_IN_BLOCKS const uint8_t* EndRun(Pass* pass, const uint8_t* p, const uint8_t* q,
                                   const uint8_t* limit) {
  if (!(q < limit && IsPrefixAt(q, pass->end))) {
    NoteBreak(pass, p);
    AppendRunBreak(&pass->out);
    return q;
  }
  NotePrefixBreak(&pass->survey, q, pass->start);
  const uint8_t* host_break = q - HostBreakLength(*pass, p, q);
  if (host_break > p) NoteBreak(pass, p);
  bool goes_on = EndMessage(pass, host_break, q);
  if (pass->next_command) return limit;
  if (!goes_on || host_break > p) AppendRunBreak(&pass->out);
  return StartMessage(pass, q);
}

const uint8_t* ConsumeRun(Pass* pass, const uint8_t* p, const uint8_t* limit) {
  const uint8_t* q = p;
  while (q < limit && IsLineBreak(*q)) ++q;
  return EndRun(pass, p, q, limit);
}

// One step of normal mode at p, byte by byte: the ordinary bytes up to the next
// '(', CR or LF, then that byte with what it starts.
const uint8_t* NormalStep(Pass* pass, const uint8_t* p, const uint8_t* limit) {
  const uint8_t* stop = FindAnyOf(p, limit, '(', CR, LF);
  AppendBytes(&pass->out, p, static_cast<uint32_t>(stop - p));
  p = stop;
  if (p == limit) return p;
  if (*p != '(') return ConsumeRun(pass, p, limit);
  if (IsPrefixAt(p, pass->end)) return SkipBarePrefix(pass, p, limit);
  AppendBytes(&pass->out, p, 1);
  return p + 1;
}

// Raw mode's prefix at `at`: ends the message before it, and says how many
// bytes in front of it go with it (fastboot's line break, where the message
// goes on in the next).
BW_IN_BLOCKS uint32_t EndRawMessage(Pass* pass, const uint8_t* at) {
  NotePrefixBreak(&pass->survey, at, pass->start);
  uint32_t host_break = HostBreakLength(*pass, pass->message, at);
  bool goes_on = EndMessage(pass, at - host_break, at);
  StartMessage(pass, at);
  return goes_on ? host_break : 0;
}

// One step of raw mode at p: the bytes up to the next prefix, without the line
// break that goes with it, and the prefix.
const uint8_t* RawStep(Pass* pass, const uint8_t* p, const uint8_t* limit) {
  const uint8_t* at = FindPrefix(p, limit, pass->end);
  const uint8_t* line_break = FindAnyOf(p, at, CR, LF, LF);
  if (line_break < at) NoteBreak(pass, line_break);
  const uint8_t* segment_end = at < limit ? at - EndRawMessage(pass, at) : at;
  if (pass->next_command) return limit;
  if (segment_end < p)  // block copies took (part of) the line break that goes with the prefix
    pass->out.length -= static_cast<uint32_t>(p - segment_end);
  else
    AppendBytes(&pass->out, p, static_cast<uint32_t>(segment_end - p));
  return at == limit ? limit : at + kPrefixLength;
}

// The block copies: 16 bytes at a time, each block stored whole, the output
// growing only by its bytes before the first byte that needs a look ('(' before
// 'b', where a prefix may start, and in normal mode CR and LF). They go on
// while the source has 17 bytes before limit (a block and the byte behind it)
// and the output 17 free bytes, so that every store stays inside the buffer
// and every ordinary byte still finds the two free bytes it needs; the steps
// above do the rest.
struct Stops {
  unsigned open;    // '(' followed by 'b'
  unsigned breaks;  // CR or LF
};

Stops LoadBlock(const uint8_t* p, uint8_t* to) {
  __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), v);
  __m128i open = _mm_and_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('(')),
                               _mm_cmpeq_epi8(next, _mm_set1_epi8('b')));
  __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(CR)),
                                _mm_cmpeq_epi8(v, _mm_set1_epi8(LF)));
  return {static_cast<unsigned>(_mm_movemask_epi8(open)),
          static_cast<unsigned>(_mm_movemask_epi8(breaks))};
}

// The blocks keep the output's length and the message's first line break in
// locals, which the compiler holds in registers: through the pass record, each
// block would wait for the last one's store.
bool BlocksFit(const Output& out, uint32_t length, const uint8_t* p, const uint8_t* limit) {
  return limit - p >= 17 && out.capacity - length >= 17;
}

const uint8_t* NormalBlocks(Pass* pass, const uint8_t* p, const uint8_t* limit) {
  Output* out = &pass->out;
  uint32_t length = out->length;
  while (BlocksFit(*out, length, p, limit)) {
    Stops stops = LoadBlock(p, out->data + length);
    unsigned any = stops.open | stops.breaks;
    if (!any) {
      p += 16;
      length += 16;
      continue;
    }
    unsigned n = __builtin_ctz(any);
    p += n;
    length += n;
    if (stops.open >> n & 1) {
      if (IsPrefixAt(p, pass->end)) {
        p = SkipBarePrefix(pass, p, limit);
      } else {
        length += 1;  // an ordinary '(' (already stored)
        p += 1;
      }
      continue;
    }
    // A run of line breaks, its length within the block read off the mask.
    unsigned run = __builtin_ctz(~(stops.breaks >> n));
    out->length = length;
    p = run < 16 - n ? EndRun(pass, p, p + run, limit) : ConsumeRun(pass, p, limit);
    length = out->length;
  }
  out->length = length;
  return p;
}

// Raw mode's blocks start at the beginning of a segment; the bytes before a
// prefix are all in the output then, so the line break in front of it is
// taken back where it goes with the prefix.
const uint8_t* RawBlocks(Pass* pass, const uint8_t* p, const uint8_t* limit) {
  Output* out = &pass->out;
  uint32_t length = out->length;
  const uint8_t* first_break = pass->first_break;
  while (BlocksFit(*out, length, p, limit)) {
    Stops stops = LoadBlock(p, out->data + length);
    // The first line break in front of the block's first '(', without a
    // branch: a block without one gives an index of 16, and a place 2^40 bytes
    // on, behind every buffer (their lengths fit in 32 bits). Told apart by a
    // branch, most blocks would jump away and back; most have no '(' either,
    // and so run straight through.
    unsigned breaks = stops.breaks & (stops.open - 1) & ~stops.open;
    unsigned index = __builtin_ctz(breaks | 1u << 16);
    uintptr_t at = reinterpret_cast<uintptr_t>(p) + index + (uintptr_t{index >> 4} << 40);
    uintptr_t known = reinterpret_cast<uintptr_t>(first_break);
    first_break = reinterpret_cast<const uint8_t*>(at < known ? at : known);
    if (__builtin_expect(!stops.open, 1)) {
      p += 16;
      length += 16;
      continue;
    }
    unsigned n = __builtin_ctz(stops.open);
    p += n;
    length += n;
    if (IsPrefixAt(p, pass->end)) {
      pass->first_break = first_break;
      length -= EndRawMessage(pass, p);
      if (pass->next_command) {
        p = limit;
        break;
      }
      first_break = pass->first_break;
      p += kPrefixLength;
    } else {
      length += 1;
      p += 1;
    }
  }
  out->length = length;
  pass->first_break = first_break;
  return p;
}

// The command's text [begin, limit) into the output behind what earlier
// commands left there, its prefixes removed; in normal mode every run of line
// breaks turned into CR LF. The first prefix stands in front of begin. Where
// fastboot's lines end the text, their line break in front is already left out
// of it (`limit_is_status`); else the last message's ends it.
void MakePass(Pass* pass, const Joining& joining, const uint8_t* first, const uint8_t* limit,
              bool limit_is_status) {
  pass->out.length = pass->base;
  pass->joining = joining;
  pass->survey = MessageSurvey{};
  pass->next_command = nullptr;
  NotePrefixBreak(&pass->survey, first, pass->start);
  const uint8_t* p = StartMessage(pass, first);
  while (p < limit) {
    if (pass->raw) {
      p = RawBlocks(pass, p, limit);
      if (p < limit) p = RawStep(pass, p, limit);
    } else {
      p = NormalBlocks(pass, p, limit);
      if (p < limit) p = NormalStep(pass, p, limit);
    }
  }
  if (pass->next_command) return;
  uint32_t host_break = limit_is_status ? 0 : HostBreakLength(*pass, pass->message, limit);
  EndMessage(pass, limit - host_break, nullptr);  // the last one
}

Joining Choose(const Pass& pass) { return ChooseJoining(pass.survey, pass.kind, pass.cut_length); }

// The joining guessed from the first 64 messages, so that the pass over the
// whole text is rarely made twice: two passes over them, the first taking
// fastboot's line break for CR LF.
Joining GuessJoining(Pass* pass, const uint8_t* first, const uint8_t* limit, bool limit_is_status) {
  const uint8_t* sample_end = first;
  for (int i = 0; i < 64 && sample_end < limit; ++i)
    sample_end = FindPrefix(sample_end + kPrefixLength, limit, pass->end);
  Joining joining = {false, true, kNoCut, kNoLineStart};
  for (int round = 0; round < 2; ++round) {
    MakePass(pass, joining, first, sample_end, limit_is_status && sample_end == limit);
    joining = Choose(*pass);
  }
  return joining;
}

// One command, from its first prefix up to `limit` or to fastboot's lines in
// front of a later prefix, into the output; returns where the next command's
// first prefix stands, or limit. A wrong guess of the line break, then of the
// kind: three passes at most, as the survey does not depend on the kind; and
// one more up to the command's end where a pass met fastboot's lines.
const uint8_t* FormatCommand(Pass* pass, const uint8_t* first, const uint8_t* limit,
                             bool limit_is_status) {
  const uint8_t* next = limit;
  Joining joining = GuessJoining(pass, first, limit, limit_is_status);
  for (int round = 0;;) {
    MakePass(pass, joining, first, limit, limit_is_status);
    Joining chosen = Choose(*pass);
    if (pass->next_command) {
      next = pass->next_command;
      limit = pass->command_limit;
      limit_is_status = true;
    } else if (SameJoining(chosen, joining) || ++round == 3) {
      return next;
    }
    joining = chosen;
  }
}

// A command's log begins a line of its own: in normal mode behind CR LF, in
// raw mode behind the line break that ended the command before, as it came.
void StartCommand(Pass* pass, const uint8_t* line_break, const uint8_t* line_break_end) {
  Output* out = &pass->out;
  if (out->length > 0 && !pass->raw) AppendRunBreak(out);
  if (out->length > 0 && pass->raw && !IsLineBreak(out->data[out->length - 1]))
    AppendBytes(out, line_break, static_cast<uint32_t>(line_break_end - line_break));
  pass->base = out->length;
}

}  // namespace

const uint8_t* FindBytes(const uint8_t* buffer, uint32_t length, const uint8_t* pattern,
                         uint32_t pattern_length) {
  if (length < pattern_length) return nullptr;
  const uint8_t* last = buffer + (length - pattern_length);  // the last possible start
  for (const uint8_t* p = buffer; p <= last; ++p) {
    p = FindAnyOf(p, last + 1, pattern[0], pattern[0], pattern[0]);
    if (p > last) return nullptr;
    if (memcmp(p, pattern, pattern_length) == 0) return p;
  }
  return nullptr;
}

const uint8_t* FindFirstPrefix(const uint8_t* text, uint32_t length) {
  const uint8_t* end = text + length;
  const uint8_t* first = FindPrefix(text, end, end);
  return first == end ? nullptr : first;
}

void ReformatLog(FormatJob* job) {
  Pass pass = {};
  pass.out = {job->output_buffer, job->output_capacity, 0};
  pass.raw = job->raw;
  pass.kind = job->kind;
  pass.cut_length = job->cut_length;
  pass.start = job->source_buffer;
  pass.end = job->source_buffer + job->source_length;
  const uint8_t* first = FindPrefix(pass.start, pass.end, pass.end);
  if (first != pass.end) {
    const uint8_t* tail = FindLastPrefix(first, pass.end) + kPrefixLength;
    const uint8_t* host_lines = FindHostLines(tail, pass.end);
    const uint8_t* limit = host_lines ? CommandEnd(host_lines, tail) : pass.end;
    while (first < limit) {
      StartCommand(&pass, pass.command_limit, pass.host_lines);
      first = FormatCommand(&pass, first, limit, host_lines != nullptr);
    }
  }
  Output* out = &pass.out;
  if (!job->raw && out->length > 0 && out->data[out->length - 1] != LF) AppendLineBreakIfRoom(out);
  job->output_length = out->length;
}
