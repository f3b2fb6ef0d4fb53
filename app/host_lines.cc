#include "app/host_lines.h"

#include <string.h>

#include <initializer_list>

namespace {

constexpr uint8_t CR = 13;
constexpr uint8_t LF = 10;

bool IsLineBreak(uint8_t b) { return b == CR || b == LF; }
bool IsDigit(uint8_t b) { return b >= '0' && b <= '9'; }

bool StartsWith(const uint8_t* p, const uint8_t* end, const char* text) {
  size_t length = strlen(text);
  return static_cast<size_t>(end - p) >= length && memcmp(p, text, length) == 0;
}

const uint8_t* LineEnd(const uint8_t* p, const uint8_t* end) {
  while (p < end && !IsLineBreak(*p)) ++p;
  return p;
}

// "%7.3fs" and the like: blanks, then digits and points, then "s" where the
// host prints seconds. Hosts have printed the time at various widths.
bool IsSeconds(const uint8_t* p, const uint8_t* end, bool unit_required) {
  while (p < end && *p == ' ') ++p;
  const uint8_t* digits = p;
  while (p < end && (IsDigit(*p) || *p == '.')) ++p;
  if (p == digits) return false;
  if (p < end && *p == 's') ++p;
  else if (unit_required) return false;
  return p == end;
}

// "OKAY [%7.3fs]" and "FAILED (%s)".
bool IsStatus(const uint8_t* line, const uint8_t* line_end) {
  if (StartsWith(line, line_end, "OKAY ["))
    return line_end[-1] == ']' && IsSeconds(line + 6, line_end - 1, false);
  return StartsWith(line, line_end, "FAILED (") && line_end[-1] == ')';
}

// A command's label ("%-50s ", "Sending 'boot_a' (12288 KB)") with the status
// behind it on the same line.
bool IsLabelWithStatus(const uint8_t* line, const uint8_t* line_end) {
  constexpr long kLabelColumns = 50;
  if (line_end - line <= kLabelColumns + 1 || *line == ' ') return false;
  for (const uint8_t* p = line + kLabelColumns + 1; p < line_end; ++p)
    if ((*p == 'O' || *p == 'F') && p[-1] == ' ' && IsStatus(p, line_end)) return true;
  return false;
}

bool IsFinished(const uint8_t* line, const uint8_t* line_end) {
  for (const char* text : {"Finished. Total time:", "finished. total time:"})
    if (StartsWith(line, line_end, text)) return IsSeconds(line + strlen(text), line_end, true);
  return false;
}

bool IsWaiting(const uint8_t* line, const uint8_t* line_end) {
  return StartsWith(line, line_end, "< waiting for ") && line_end[-1] == '>' && line_end[-2] == ' ';
}

bool IsGetvarName(uint8_t b) {
  return IsDigit(b) || ((b | 0x20) >= 'a' && (b | 0x20) <= 'z') || b == '_' || b == '-' ||
         b == '.' || b == ':';
}

// "%s: %s" of getvar, which the "Finished" line follows. The name may hold
// colons itself ("partition-type:system: ext4").
bool IsGetvar(const uint8_t* line, const uint8_t* line_end, const uint8_t* end) {
  const uint8_t* p = line;
  while (p < line_end && IsGetvarName(*p)) ++p;
  if (p == line || p[-1] != ':' || (p < line_end && *p != ' ')) return false;
  const uint8_t* next = line_end;
  if (next < end && *next == CR) ++next;
  if (next < end && *next == LF) ++next;
  return next > line_end && IsFinished(next, LineEnd(next, end));
}

}  // namespace

bool IsHostLine(const uint8_t* line, const uint8_t* line_end, const uint8_t* end) {
  if (line == line_end) return false;
  switch (*line) {
    case 'O':
      if (IsStatus(line, line_end)) return true;
      break;
    case 'F':
      if (IsStatus(line, line_end) || IsFinished(line, line_end)) return true;
      break;
    case 'f':
      if (IsFinished(line, line_end) || StartsWith(line, line_end, "fastboot: error: ")) return true;
      break;
    case '<':
      return IsWaiting(line, line_end);
  }
  return IsLabelWithStatus(line, line_end) || IsGetvar(line, line_end, end);
}

const uint8_t* FindHostLines(const uint8_t* from, const uint8_t* to) {
  for (const uint8_t* p = from;;) {
    p = LineEnd(p, to);
    while (p < to && IsLineBreak(*p)) ++p;
    if (p == to) return nullptr;
    const uint8_t* line_end = LineEnd(p, to);
    if (IsHostLine(p, line_end, to)) return p;
    p = line_end;
  }
}
