#include "app/error_block.h"

#include <string.h>

#include "app/reformat.h"

namespace {

// One line: its text [begin, end) and where the next begins, behind CR LF, CR or LF.
struct Line {
  const uint8_t* begin;
  const uint8_t* end;
  const uint8_t* next;
};

Line LineAt(const uint8_t* p, const uint8_t* limit) {
  Line line = {p, p, p};
  while (line.end < limit && *line.end != '\r' && *line.end != '\n') ++line.end;
  line.next = line.end;
  if (line.next < limit && *line.next == '\r') ++line.next;
  if (line.next < limit && *line.next == '\n') ++line.next;
  return line;
}

const uint8_t* SkipLineBlanks(const uint8_t* p, const uint8_t* end) {
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  return p;
}

// The position behind `text` where the line holds it after its leading blanks, or null.
const uint8_t* AfterText(const Line& line, const char* text) {
  const uint8_t* p = SkipLineBlanks(line.begin, line.end);
  size_t length = strlen(text);
  if (size_t(line.end - p) < length || memcmp(p, text, length) != 0) return nullptr;
  return p + length;
}

bool IsErrorId(const Line& line) {
  const uint8_t* rest = AfterText(line, "+ FullyQualifiedErrorId : NativeCommandError");
  return rest && SkipLineBlanks(rest, line.end) == line.end;
}

bool IsBlankLine(const Line& line) {
  return line.end > line.begin && SkipLineBlanks(line.begin, line.end) == line.end;
}

// The end of the block that starts with the location line at p, or null.
const uint8_t* ErrorBlockEnd(const uint8_t* p, const uint8_t* end) {
  Line location = LineAt(p, end);
  if (location.end == location.begin) return nullptr;
  Line line = LineAt(location.next, end);  // the code that the error was raised in
  if (!AfterText(line, "+ ") || IsErrorId(line)) return nullptr;
  for (uint32_t n = 2; !IsErrorId(line = LineAt(line.next, end)); ++n) {
    if (n == kErrorBlockLines) return nullptr;
  }
  Line blank = LineAt(line.next, end);
  return IsBlankLine(blank) ? blank.next : line.next;
}

}  // namespace

bool CutErrorBlock(uint8_t* text, uint32_t length) {
  const uint8_t* end = text + length;
  uint8_t* first = const_cast<uint8_t*>(FindFirstPrefix(text, length));
  if (!first) return false;
  const uint8_t* block = LineAt(first, end).next;
  const uint8_t* block_end = ErrorBlockEnd(block, end);
  if (!block_end) return false;
  size_t shift = static_cast<size_t>(block_end - block);
  memmove(first + shift, first, static_cast<size_t>(block - first));
  memset(text, ' ', static_cast<size_t>(first - text) + shift);
  return true;
}
