#include "app/powershell_capture.h"

#include <string.h>

#include "app/powershell_record.h"
#include "app/powershell_wrap.h"
#include "app/reformat.h"

namespace {

// How far above the first error id its record may begin: the first line and
// the location line in pieces, the code, the CategoryInfo lines.
constexpr uint32_t kRecordReach = 40;
// The first record stands at the start: fastboot writes nothing to standard
// output, so a run's first line is its record's. A few lines of the user's own
// may stand before it; a capture whose first lines hold no error id holds no
// record, and the rest of it is never searched.
constexpr uint32_t kFirstRecordWithin = kRecordReach + 8;

// Where the first `count` lines of [text, end) end.
const uint8_t* LinesBelow(const uint8_t* text, const uint8_t* end, uint32_t count) {
  const uint8_t* feed = reinterpret_cast<const uint8_t*>("\n");
  for (; count > 0 && text < end; --count) {
    const uint8_t* at = FindBytes(text, static_cast<uint32_t>(end - text), feed, 1);
    text = at ? at + 1 : end;
  }
  return text;
}

const uint8_t* LinesAbove(const uint8_t* text, const uint8_t* line, uint32_t count) {
  while (line > text && count-- > 0) {
    --line;  // onto the line feed that ends the line above
    while (line > text && line[-1] != '\n') --line;
  }
  return line;
}

// The text written so far, at the text's own start: writing never overtakes
// reading. Lines go over in blocks, moved only where a line break or a record
// goes: what is read from `pending` on is still to be written, unchanged.
struct Writer {
  uint8_t* text;
  uint32_t length;
  const uint8_t* pending;
};

// Writes what is pending up to p, and goes on reading at `next`.
void Flush(Writer* out, const uint8_t* p, const uint8_t* next) {
  uint32_t count = static_cast<uint32_t>(p - out->pending);
  if (out->text + out->length != out->pending) memmove(out->text + out->length, out->pending, count);
  out->length += count;
  out->pending = next;
}

void WriteLineBreak(Writer* out) {
  out->text[out->length++] = '\r';
  out->text[out->length++] = '\n';
}

// Where the last joins took out a line break, in the written text: the lines
// above an error id are read back in their pieces with them. Among the last
// kRecentLines pieces lie fewer joins than that.
struct JoinPoints {
  uint32_t at[kRecentLines];
  uint32_t next;
};

// The pieces of the written line [begin, end), the last first, at most `room`
// (one at least): the join points inside it, newest first, cut it.
uint32_t PiecesOf(const JoinPoints& joins, uint32_t begin, uint32_t end, WrittenLine* pieces, uint32_t room) {
  uint32_t count = 0;
  for (uint32_t k = 0; k < kRecentLines && count + 1 < room; ++k) {
    uint32_t point = joins.at[(joins.next + kRecentLines - 1 - k) % kRecentLines];
    if (point <= begin) break;
    if (point >= end) continue;  // a later line's
    pieces[count] = {point, end, true};
    ++count;
    end = point;
  }
  pieces[count] = {begin, end, false};
  return count + 1;
}

// The last pieces written, each a line of the written text or part of one.
RecentLines ReadBack(const Writer& out, const JoinPoints& joins) {
  WrittenLine pieces[kRecentLines];
  uint32_t count = 0;
  for (uint32_t feed = out.length; feed > 0 && count < kRecentLines;) {
    uint32_t end = feed - 1;  // the line feed that ends the line above
    if (end > 0 && out.text[end - 1] == '\r') --end;
    uint32_t begin = end;
    while (begin > 0 && out.text[begin - 1] != '\n') --begin;
    count += PiecesOf(joins, begin, end, pieces + count, kRecentLines - count);
    feed = begin;
  }
  RecentLines recent = {};
  while (count > 0) AddRecentLine(&recent, pieces[--count]);
  return recent;
}

// The record that ends with the error id line at `error_id` becomes its first
// line's own text, joined from its pieces and ended by CR LF; whether there was
// one. The name and " : " that go make room for the line breaks.
bool DropRecord(Writer* out, const uint8_t* error_id, const JoinPoints& joins, Wrap wrap) {
  Flush(out, error_id, error_id);
  RecentLines recent = ReadBack(*out, joins);
  RecordStart start = FindRecordStart(out->text, recent, wrap);
  if (!start.found) return false;
  const WrittenLine& first = RecentLine(recent, start.first);
  out->length = first.begin;
  if (first.joined) WriteLineBreak(out);  // the line above keeps its own
  for (uint32_t k = start.first + 1; k-- > start.last;) {
    const WrittenLine& piece = RecentLine(recent, k);
    uint32_t from = k == start.first ? start.own_text : piece.begin;
    memmove(out->text + out->length, out->text + from, piece.end - from);
    out->length += piece.end - from;
  }
  WriteLineBreak(out);
  return true;
}

// Behind a dropped record: the line holding one blank that ends it.
const uint8_t* SkipRecordEnd(const TextLine& error_id, const uint8_t* end) {
  TextLine next = LineAt(error_id.next, end);
  return IsBlankLine(next) ? next.next : error_id.next;
}

// One pass: most lines are only looked at for their length and last byte; the
// error id lines are found ahead by a search of their own, the first given.
uint32_t JoinLines(uint8_t* text, const uint8_t* end, const uint8_t* error_id, Wrap wrap) {
  Writer out = {text, 0, text};
  JoinPoints joins = {};
  LineScanner lines = ScanLines(text, end);
  TextLine a = NextLine(&lines, text);
  for (;;) {
    bool is_error_id = a.begin == error_id;
    if (is_error_id) {
      if (DropRecord(&out, a.begin, joins, wrap)) {
        const uint8_t* p = SkipRecordEnd(a, end);
        out.pending = p;
        joins = JoinPoints{};  // their places are gone with the record
        if (p >= end) break;
        error_id = FindErrorIdLine(p, end);
        lines = ScanLines(p, end);
        a = NextLine(&lines, p);
        continue;
      }
      error_id = FindErrorIdLine(a.next, end);
    }
    if (a.next >= end) break;
    TextLine b = NextLine(&lines, a.next);
    if (!is_error_id && b.begin != error_id && JoinsNext(a, b, wrap)) {
      Flush(&out, a.end, a.next);
      joins.at[joins.next] = out.length;
      joins.next = (joins.next + 1) % kRecentLines;
    }
    a = b;
  }
  Flush(&out, end, end);
  return out.length;
}

}  // namespace

uint32_t UndoPowerShell(uint8_t* text, uint32_t length) {
  const uint8_t* end = text + length;
  const uint8_t* error_id = FindErrorIdLine(text, LinesBelow(text, end, kFirstRecordWithin));
  if (!error_id) return length;
  // UTF-8's mark (Out-File -Encoding utf8) is no part of the first line's width.
  // The text holds the error id line, so it has the three bytes to look at.
  uint8_t* start = text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF ? text + 3 : text;
  uint8_t* from = const_cast<uint8_t*>(LinesAbove(start, error_id, kRecordReach));
  uint32_t before = static_cast<uint32_t>(from - text);
  return before + JoinLines(from, end, error_id, MeasureWrap(from, end));
}
