#pragma once
// Windows PowerShell 5.1 writes a redirected line longer than its width W (the
// console buffer's width less one, fixed for the whole file) as several lines of
// at most W UTF-16 units. With the regional formats of the western European
// languages it wraps at words: a token is a word with the one blank or tab behind
// it, tokens are packed greedily, and a token longer than W fills the line up to
// exactly W, character by character. With any other it cuts every W units. The
// pieces carry no mark; what tells them is their length and where they end.

#include <stdint.h>

// One line: its text [begin, end) without the line break, and where the next
// starts (behind its LF; end at the end of the text).
struct TextLine {
  const uint8_t* begin;
  const uint8_t* end;
  const uint8_t* next;
};

TextLine LineAt(const uint8_t* p, const uint8_t* limit);
// Led by "+ ", as the code in an error record.
bool IsCodeLine(const TextLine& line);

// Lines one after another, their line feeds found 64 bytes at a time: most
// lines of a capture are short, and a search of its own for each would cost more.
struct LineScanner {
  const uint8_t* block;  // the 64 bytes whose line feeds `feeds` holds
  const uint8_t* end;
  uint64_t feeds;
};
LineScanner ScanLines(const uint8_t* p, const uint8_t* end);
// The line that starts at p: the start of the scan, or the `next` of the line
// that the scanner gave last.
TextLine NextLine(LineScanner* scanner, const uint8_t* p);

// How a capture was split. A width of 0: nothing is joined.
struct Wrap {
  uint32_t width;
  bool hard_cut;
};

// Lines longer than this are no console's: such a capture is taken as unsplit.
constexpr uint32_t kWidestWrap = 4096;

// The width and the way of the lines [text, end): the longest line is W long, as
// a split always leaves a piece of exactly W (a word wrap too, where a token did
// not fit a line of its own). The ways are told apart by the places only one of
// them splits at: a line of W that ends inside a short word (a hard cut), a
// shorter one that ends in a blank where the next word would not have fitted (a
// word wrap). A hard cut must show at least twice (or once, where two more
// lines of W show the width and nothing shows a word wrap), more often than the
// word wrap, and more than half as often as lines of W that no split ends (a
// text whose longest lines are whole chunks has many); otherwise the word wrap
// is taken, which joins only where the text itself shows a split. A record's
// first line before its location line is no evidence: the line before a code
// line ("+ ...") is left out.
Wrap MeasureWrap(const uint8_t* text, const uint8_t* end);

// Whether the line `a` is a piece that PowerShell split off the line that goes on
// in `b`: with a hard cut, a line of W; with a word wrap, one ending in a blank
// where b's first token (its first word and the blank behind it) would not have
// fitted, or one of W inside a token longer than W. So a real line break that
// looks exactly like a split is taken for one. Lines are counted in UTF-16 units
// as PowerShell counted them, but only where their bytes leave a doubt.
bool JoinsNext(const TextLine& a, const TextLine& b, Wrap wrap);
