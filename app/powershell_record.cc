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

// What the CategoryInfo line says of the record's first line (its own text
// behind "<name> : "): the whole text where it has at most 40 UTF-16 units, else
// its first 15, "..." and its last 15. Compared without blanks, as a narrow
// console breaks the CategoryInfo line behind the text, ending the piece with a
// blank and leading the rest with blanks.
constexpr uint32_t kWholeTarget = 40;
constexpr uint32_t kTargetEnds = 15;
constexpr uint32_t kTargetBytes = 256;  // the CategoryInfo line of 40 units of 4 bytes, blanks left out

struct Target {
  uint8_t bytes[kTargetBytes];
  uint32_t length;
};

void AddByte(Target* target, uint8_t b) {
  if (!IsBlank(static_cast<char>(b)) && target->length < kTargetBytes) target->bytes[target->length++] = b;
}

// Reads the target, blanks left out, out of the CategoryInfo lines (the first
// info_lines recent ones); false where it cannot be read.
bool ReadTarget(const uint8_t* text, const RecentLines& recent, uint32_t info_lines, Target* target) {
  // "+ CategoryInfo : <category>: (<target>:String) [], RemoteException"
  static const char kBefore[] = "+CategoryInfo:", kAfter[] = ":String)[],RemoteException";
  Target all = {{}, 0};
  for (uint32_t k = info_lines; k-- > 0;) {
    const WrittenLine& piece = RecentLine(recent, k);
    for (uint32_t i = piece.begin; i < piece.end; ++i) AddByte(&all, text[i]);
  }
  const uint8_t* begin = FindBytes(all.bytes, all.length, reinterpret_cast<const uint8_t*>(kBefore), sizeof kBefore - 1);
  uint32_t after = sizeof kAfter - 1;
  if (!begin || all.length == kTargetBytes || all.length < after ||
      memcmp(all.bytes + all.length - after, kAfter, after) != 0)
    return false;
  const uint8_t* end = all.bytes + all.length - after;
  while (begin < end && *begin != '(') ++begin;  // behind the category's name
  if (++begin > end) return false;
  target->length = static_cast<uint32_t>(end - begin);
  memcpy(target->bytes, begin, target->length);
  return true;
}

// A text in pieces: the own text of a candidate first line.
struct Pieces {
  const uint8_t* text;
  WrittenLine at[kRecentLines];
  uint32_t count;
};

uint32_t UnitsOfByte(uint8_t b) { return (b & 0xC0) == 0x80 ? 0 : 1u + (b >= 0xF0); }

// Whether the text in pieces makes the target: all of it where it has at most
// 40 units, else the characters within its first 15 units, "...", and those
// within its last 15.
bool MakesTarget(const Pieces& own, const Target& target) {
  uint32_t units = 0;
  for (uint32_t i = 0; i < own.count; ++i)
    for (uint32_t b = own.at[i].begin; b < own.at[i].end; ++b) units += UnitsOfByte(own.text[b]);
  bool whole = units <= kWholeTarget, keep = false, dots = false;
  Target made = {{}, 0};
  uint32_t seen = 0;  // the units of the characters before this one
  for (uint32_t i = 0; i < own.count; ++i) {
    for (uint32_t b = own.at[i].begin; b < own.at[i].end; ++b) {
      uint8_t byte = own.text[b];
      uint32_t size = UnitsOfByte(byte);
      if (size) {  // a character begins
        bool tail = seen + kTargetEnds >= units;
        if (!whole && tail && !dots) {
          for (const char* dot = "..."; *dot; ++dot) AddByte(&made, static_cast<uint8_t>(*dot));
          dots = true;
        }
        keep = whole || seen + size <= kTargetEnds || tail;
        seen += size;
      }
      if (keep) AddByte(&made, byte);
    }
  }
  return made.length == target.length && memcmp(made.bytes, target.bytes, made.length) == 0;
}

// The first line as the pieces first..last (the k-th recent line counted from
// the last written), its own text behind the name in the first.
bool OwnTextMakesTarget(const uint8_t* text, const RecentLines& recent, uint32_t first, uint32_t last,
                        const uint8_t* name_end, const Target& target) {
  Pieces own = {text, {}, 0};
  own.at[own.count++] = {static_cast<uint32_t>(name_end - text) + 3, RecentLine(recent, first).end, false};
  for (uint32_t k = first; k-- > last;) own.at[own.count++] = RecentLine(recent, k);
  return MakesTarget(own, target);
}

// The first line whose own text makes the CategoryInfo's target, the location
// line in the pieces between it and the code (the k-th recent line on): the
// fewest pieces for the location line, then for the first line.
RecordStart MatchTarget(const uint8_t* text, const RecentLines& recent, uint32_t k, const Target& target) {
  for (uint32_t last = k + 1; last < recent.count; ++last) {
    for (uint32_t first = last; first < recent.count; ++first) {
      const uint8_t* name_end = FindNameEnd(text, RecentLine(recent, first));
      if (name_end && OwnTextMakesTarget(text, recent, first, last, name_end, target))
        return {true, first, last, static_cast<uint32_t>(name_end - text) + 3};
    }
  }
  return {false, 0, 0, 0};
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
// its tildes (led by "+ "), the location line, and the first line. Where the
// first line ends is told by what the CategoryInfo line says of it, whatever the
// width and the way. Where that cannot be read, the pieces are joined by the wrap
// found for the whole capture, which may be the wrong way where little else was
// split: the other way is tried too, and where both give a record, the one whose
// location line has fewer pieces is taken (a location line is short unless a
// script's path makes it long, and a wrong way joins the first line's end onto it).
RecordStart FindRecordStart(const uint8_t* text, const RecentLines& recent, Wrap wrap) {
  uint32_t k = 0;
  while (k < recent.count && k < kMostInfoLines && IsLedByBlank(text, RecentLine(recent, k))) ++k;
  uint32_t code = k;
  while (k < recent.count && k - code < kMostCodeLines && IsCodeLine(LineOf(text, RecentLine(recent, k))))
    ++k;
  if (k == code) return {false, 0, 0, 0};
  Target target;
  if (ReadTarget(text, recent, code, &target)) {
    RecordStart matched = MatchTarget(text, recent, k, target);
    if (matched.found) return matched;
  }
  RecordStart found = ParseRecord(text, recent, k, wrap);
  RecordStart other = ParseRecord(text, recent, k, {wrap.width, !wrap.hard_cut});
  return other.found && (!found.found || other.last < found.last) ? other : found;
}
