#include "app/powershell_wrap.h"

#include <emmintrin.h>  // SSE2, which every x86-64 processor has
#include <string.h>

#include "app/blanks.h"

namespace {

constexpr uint8_t CR = 13;
constexpr uint8_t LF = 10;
const char kPrefix[] = "(bootloader) ";

bool IsBlankByte(uint8_t b) { return IsBlank(static_cast<char>(b)); }

// The text is UTF-8 here: every byte but a continuation byte starts a character,
// and a character of four bytes (lead byte F0 and up) took two UTF-16 units.
uint32_t ScalarUnits(const uint8_t* p, const uint8_t* end) {
  uint32_t units = 0;
  for (; p < end; ++p) units += (*p & 0xC0) != 0x80 ? 1u + (*p >= 0xF0) : 0u;
  return units;
}

// The bits set in a 16-bit mask (the exe links no library that has a popcount).
uint32_t BitsSet(unsigned mask) {
  mask = mask - (mask >> 1 & 0x5555);
  mask = (mask & 0x3333) + (mask >> 2 & 0x3333);
  mask = (mask + (mask >> 4)) & 0x0F0F;
  return (mask + (mask >> 8)) & 0x1F;
}

uint32_t CountUnits(const uint8_t* p, const uint8_t* end) {
  uint32_t units = 0;
  for (; end - p >= 16; p += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    unsigned high = static_cast<unsigned>(_mm_movemask_epi8(v));
    units += 16;
    if (!high) continue;
    // As signed bytes, continuation bytes are -128 to -65 and lead bytes of four -16 to -1.
    unsigned follow = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(v, _mm_set1_epi8(-64))));
    unsigned four = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(v, _mm_set1_epi8(-17))));
    units += BitsSet(four & high) - BitsSet(follow);
  }
  return units + ScalarUnits(p, end);
}

// The line feeds among the 64 bytes (or the fewer before end) at p, a bit each.
uint64_t FeedMask(const uint8_t* p, const uint8_t* end) {
  uint64_t mask = 0;
  if (end - p >= 64) {
    const __m128i feed = _mm_set1_epi8(LF);
    for (int i = 0; i < 4; ++i) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
      mask |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(v, feed)))) << (16 * i);
    }
    return mask;
  }
  for (int i = 0; i < 64 && p + i < end; ++i) mask |= uint64_t(p[i] == LF) << i;
  return mask;
}

// The next line feed, or end.
const uint8_t* NextFeed(LineScanner* scanner) {
  while (!scanner->feeds) {
    if (scanner->end - scanner->block <= 64) return scanner->end;
    scanner->block += 64;
    scanner->feeds = FeedMask(scanner->block, scanner->end);
  }
  const uint8_t* feed = scanner->block + __builtin_ctzll(scanner->feeds);
  scanner->feeds &= scanner->feeds - 1;
  return feed;
}

TextLine LineEndingAt(const uint8_t* p, const uint8_t* feed, const uint8_t* limit) {
  if (feed == limit) return {p, limit, limit};
  const uint8_t* end = feed > p && feed[-1] == CR ? feed - 1 : feed;
  return {p, end, feed + 1};
}

uint32_t Bytes(const TextLine& line) { return static_cast<uint32_t>(line.end - line.begin); }
uint32_t Units(const TextLine& line) { return CountUnits(line.begin, line.end); }
bool EndsInBlank(const TextLine& line) { return line.end > line.begin && IsBlankByte(line.end[-1]); }
bool EndsInCrLf(const TextLine& line) { return line.next - line.end == 2; }

// Neither empty nor a chunk's line: only such a line can be the rest of a split.
bool IsPlain(const TextLine& line) {
  size_t length = sizeof kPrefix - 1;
  return line.end > line.begin && !(Bytes(line) >= length && memcmp(line.begin, kPrefix, length) == 0);
}

// The units of the line's first word and the blank behind it; a token goes on
// into the next piece where the line holds no blank, and then counts no less than it.
uint32_t FirstToken(const TextLine& line) {
  const uint8_t* blank = line.begin;
  while (blank < line.end && !IsBlankByte(*blank)) ++blank;
  return ScalarUnits(line.begin, blank) + (blank < line.end);
}

// Where the line's last blank is, or null.
const uint8_t* LastBlank(const TextLine& line) {
  for (const uint8_t* p = line.end; p > line.begin;)
    if (IsBlankByte(*--p)) return p;
  return nullptr;
}

// Whether the line `a` (not ending in a blank) ends inside a word that, with b's
// first token, fits a line of `width`: a word wrap would have moved the word to
// the next line, so only a hard cut splits there. Not where a holds no blank.
bool EndsInsideShortWord(const TextLine& a, const TextLine& b, uint32_t width) {
  const uint8_t* blank = LastBlank(a);
  return blank && ScalarUnits(blank + 1, a.end) + FirstToken(b) <= width;
}

// Counts for MeasureWrap, per line length: lines of that length that end inside
// a short word before a plain line (only a hard cut splits there), and those
// before an empty line, a chunk's line or the end (no split ends there); lines
// ending in a blank, by their length plus the next line's first token (a word
// wrap splits there when the sum passes W), and by their own length.
struct Evidence {
  uint32_t hard_cut[kWidestWrap + 1];
  uint32_t unsplit[kWidestWrap + 1];
  uint32_t blank_sum[kWidestWrap + 2];
  uint32_t blank_length[kWidestWrap + 1];
};

void NoteLast(Evidence* evidence, const TextLine& a) {
  uint32_t units = Units(a);
  if (units <= kWidestWrap) evidence->unsplit[units]++;
}

void Note(Evidence* evidence, const TextLine& a, const TextLine& b) {
  if (!IsPlain(b)) return NoteLast(evidence, a);
  uint32_t units = Units(a);
  if (!EndsInCrLf(a) || units > kWidestWrap) return;
  if (EndsInBlank(a)) {
    uint32_t sum = units + FirstToken(b);
    evidence->blank_sum[sum > kWidestWrap ? kWidestWrap + 1 : sum]++;
    evidence->blank_length[units]++;
    return;
  }
  if (EndsInsideShortWord(a, b, units)) evidence->hard_cut[units]++;
}

// A line whose bytes are fewer than a number of units has fewer units too: only
// a line as long in bytes as the longest so far can be the longest, or count as
// one of W; only one ending in a blank before a plain line is a word wrap's.
// So most lines are passed over after a look at their length and last byte.
bool WorthNoting(const TextLine& a, const TextLine& b, uint32_t longest) {
  return Bytes(a) >= longest || (EndsInBlank(a) && IsPlain(b));
}

}  // namespace

// For the few lines read on their own.
TextLine LineAt(const uint8_t* p, const uint8_t* limit) {
  const uint8_t* feed = p;
  while (feed < limit && *feed != LF) ++feed;
  return LineEndingAt(p, feed, limit);
}

bool IsCodeLine(const TextLine& line) {
  return line.end - line.begin >= 2 && line.begin[0] == '+' && line.begin[1] == ' ';
}

LineScanner ScanLines(const uint8_t* p, const uint8_t* end) { return {p, end, FeedMask(p, end)}; }

TextLine NextLine(LineScanner* scanner, const uint8_t* p) {
  return LineEndingAt(p, NextFeed(scanner), scanner->end);
}

Wrap MeasureWrap(const uint8_t* text, const uint8_t* end) {
  // Static, not on the stack: the exe links no stack probe (no C runtime), so a
  // frame may not pass the guard page's 4 KiB, and the table takes 64 KiB. One
  // thread, one call at a time.
  static Evidence evidence;
  memset(&evidence, 0, sizeof evidence);
  // Each pair of lines a, b is noted once the line c behind it is known: before
  // a code line, b may be a record's location line and a its first line.
  LineScanner lines = ScanLines(text, end);
  TextLine a = NextLine(&lines, text), b = a;
  uint32_t longest = Units(a), longest_lines = 1;
  for (bool pair = false; b.next < end; pair = true) {
    TextLine c = NextLine(&lines, b.next);
    if (Bytes(c) >= longest) {
      uint32_t units = Units(c);
      if (units > longest) longest = units, longest_lines = 0;
      longest_lines += units == longest;
    }
    if (pair && WorthNoting(a, b, longest) && !IsCodeLine(c)) Note(&evidence, a, b);
    if (pair) a = b;
    b = c;
  }
  if (b.begin != a.begin && WorthNoting(a, b, longest)) Note(&evidence, a, b);
  NoteLast(&evidence, b);
  if (longest > kWidestWrap) return {0, false};
  uint32_t word_wrap = 0;
  for (uint32_t sum = longest + 1; sum <= kWidestWrap + 1; ++sum) word_wrap += evidence.blank_sum[sum];
  word_wrap -= evidence.blank_length[longest];
  // One line of W cut inside a short word is as likely the longest line of a
  // text that nothing split, unless two more lines show the width and nothing
  // speaks for a word wrap.
  uint32_t hard_cut = evidence.hard_cut[longest];
  bool shown = hard_cut >= 2 || (word_wrap == 0 && longest_lines >= hard_cut + 2);
  return {longest, hard_cut >= 1 && shown && hard_cut > word_wrap && 2 * hard_cut > evidence.unsplit[longest]};
}

bool JoinsNext(const TextLine& a, const TextLine& b, Wrap wrap) {
  uint32_t width = wrap.width, bytes = Bytes(a);
  if (width == 0 || !EndsInCrLf(a) || b.end == b.begin) return false;
  if (wrap.hard_cut) return bytes >= width && Units(a) == width;
  if (EndsInBlank(a)) return Units(a) + FirstToken(b) > width;
  if (bytes < width || Units(a) != width) return false;
  // Inside a token longer than W, which fills the line to exactly W.
  return !EndsInsideShortWord(a, b, width);
}
