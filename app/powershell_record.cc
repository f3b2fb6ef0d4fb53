#include "app/powershell_record.h"

#include <string.h>

#include "app/blanks.h"
#include "app/reformat.h"

namespace {

const char kErrorId[] = "+ FullyQualifiedErrorId : NativeCommandError";
// The CategoryInfo line and its continuations, and the lines of the code with the
// tildes under it: more of either means no record.
constexpr uint32_t kMostInfoLines = 8;
constexpr uint32_t kMostCodeLines = 4;

const uint8_t* SkipLineBlanks(const uint8_t* p, const uint8_t* end) {
  while (p < end && IsBlank(static_cast<char>(*p))) ++p;
  return p;
}

TextLine LineOf(const uint8_t* text, const WrittenLine& line) {
  const uint8_t* end = text + line.end;
  return {text + line.begin, end, end + 2};
}

bool IsLedByBlank(const uint8_t* text, const WrittenLine& line) {
  return line.end > line.begin && IsBlank(static_cast<char>(text[line.begin]));
}

// The first " : " in the line, the end of the name as typed; or null.
const uint8_t* FindNameEnd(const uint8_t* text, const WrittenLine& line) {
  return FindBytes(text + line.begin, line.end - line.begin,
                   reinterpret_cast<const uint8_t*>(" : "), 3);
}

// The first piece of the line whose last piece is the k-th recent line.
uint32_t FirstPiece(const uint8_t* text, const RecentLines& recent, uint32_t k, Wrap wrap) {
  while (k + 1 < recent.count && JoinsNext(LineOf(text, RecentLine(recent, k + 1)),
                                           LineOf(text, RecentLine(recent, k)), wrap))
    ++k;
  return k;
}

// The first line and the location line above the code (the k-th recent line)
// as pieces joined the given way.
RecordStart ParseRecord(const uint8_t* text, const RecentLines& recent, uint32_t k, Wrap way) {
  RecordStart none = {false, 0, 0, 0};
  uint32_t last = FirstPiece(text, recent, k, way) + 1;
  const WrittenLine& location = RecentLine(recent, k);
  if (last >= recent.count || location.end == location.begin) return none;
  uint32_t first = FirstPiece(text, recent, last, way);
  const uint8_t* name_end = FindNameEnd(text, RecentLine(recent, first));
  if (!name_end) return none;
  return {true, first, last, static_cast<uint32_t>(name_end - text) + 3};
}

}  // namespace

bool IsErrorIdLine(const TextLine& line) {
  const uint8_t* p = SkipLineBlanks(line.begin, line.end);
  size_t length = sizeof kErrorId - 1;
  if (size_t(line.end - p) < length || memcmp(p, kErrorId, length) != 0) return false;
  return SkipLineBlanks(p + length, line.end) == line.end;
}

const uint8_t* FindErrorIdLine(const uint8_t* text, const uint8_t* end) {
  const uint8_t* pattern = reinterpret_cast<const uint8_t*>(kErrorId);
  for (const uint8_t* p = text;;) {
    const uint8_t* at = FindBytes(p, static_cast<uint32_t>(end - p), pattern, sizeof kErrorId - 1);
    if (!at) return nullptr;
    const uint8_t* start = at;
    while (start > text && start[-1] != '\n') --start;
    if (IsErrorIdLine(LineAt(start, end))) return start;
    p = at + 1;
  }
}

bool IsBlankLine(const TextLine& line) {
  return line.end > line.begin && SkipLineBlanks(line.begin, line.end) == line.end;
}

void AddRecentLine(RecentLines* recent, const WrittenLine& line) {
  recent->lines[recent->next] = line;
  recent->next = (recent->next + 1) % kRecentLines;
  if (recent->count < kRecentLines) recent->count++;
}

const WrittenLine& RecentLine(const RecentLines& recent, uint32_t k) {
  return recent.lines[(recent.next + kRecentLines - 1 - k) % kRecentLines];
}

// Back from the error id: the CategoryInfo lines (led by blanks), the code and
// its tildes (led by "+ "), the location line, and the first line. Where little
// else was split, the wrap found for the whole capture may be the wrong way: the
// other way is tried too, and where both give a record, the one whose location
// line has fewer pieces is taken (a location line is short unless a script's
// path makes it long, and a wrong way joins the first line's end onto it).
RecordStart FindRecordStart(const uint8_t* text, const RecentLines& recent, Wrap wrap) {
  uint32_t k = 0;
  while (k < recent.count && k < kMostInfoLines && IsLedByBlank(text, RecentLine(recent, k))) ++k;
  uint32_t code = k;
  while (k < recent.count && k - code < kMostCodeLines && IsCodeLine(LineOf(text, RecentLine(recent, k))))
    ++k;
  if (k == code) return {false, 0, 0, 0};
  RecordStart found = ParseRecord(text, recent, k, wrap);
  RecordStart other = ParseRecord(text, recent, k, {wrap.width, !wrap.hard_cut});
  return other.found && (!found.found || other.last < found.last) ? other : found;
}
