#include "app/command_line.h"

#include <string.h>

#include "app/files.h"
#include "app/messages.h"

namespace {

constexpr uint32_t kNameSearchLimit = 1024;
constexpr uint32_t kOptionNameLength = 19;
constexpr uint32_t kDelimiterSetLength = 10;
const char kQuoteSet[kDelimiterSetLength] = "\"";
const char kBlankSet[kDelimiterSetLength] = " \t";

// Copies the option name behind the dash, up to a blank or the end, at most
// kOptionNameLength bytes; returns the position behind the copied part.
const char* CopyOptionName(const char* p, char* name) {
  uint32_t n = 0;
  while (n < kOptionNameLength && *p != '\0' && !IsBlank(*p)) name[n++] = *p++;
  name[n] = '\0';
  return p;
}

// "-lines=<length>": a decimal length of a packet's text, 1 to 65535 bytes.
bool ParseCutLength(const char* digits, uint32_t* length) {
  uint32_t value = 0;
  const char* p = digits;
  for (; *p >= '0' && *p <= '9' && p - digits < 5; ++p) value = value * 10 + (*p - '0');
  if (p == digits || *p != '\0' || value == 0 || value > 65535) return false;
  *length = value;
  return true;
}

// Stores the kind of capture that an option names; false after printing the
// message where the option names none, or a kind was already named.
bool ParseKindOption(FormatJob* job, const char* name, bool* known) {
  CaptureKind kind = CaptureKind::kAsItShows;
  uint32_t cut_length = kNoCut;
  if (strcmp(name, "pieces") == 0) kind = CaptureKind::kPieces;
  if (strcmp(name, "lines") == 0) kind = CaptureKind::kLines;
  if (strncmp(name, "lines=", 6) == 0) {
    if (!ParseCutLength(name + 6, &cut_length)) {
      PrintError("Invalid length in option \"-%s\" (1 to 65535 bytes)", name);
      return false;
    }
    kind = CaptureKind::kCutLines;
  }
  *known = kind != CaptureKind::kAsItShows;
  if (!*known) return true;
  if (job->kind != CaptureKind::kAsItShows) {
    PrintError("Only one of \"-pieces\", \"-lines\" and \"-lines=<length>\" can be given");
    return false;
  }
  job->kind = kind;
  job->cut_length = cut_length;
  return true;
}

// Reads one "-name" option at text; returns the position behind it and its
// blanks, or null after printing the message.
const char* ParseOption(FormatJob* job, const char* text) {
  char name[kOptionNameLength + 1];
  const char* after = CopyOptionName(text + 1, name);
  if (name[0] == '\0') {
    PrintError("No option: \"%s\"", text + 1);
    return nullptr;
  }
  if (*after != '\0' && !IsBlank(*after)) {
    PrintError("Option is too long: \"%s%s\"", name, after);
    return nullptr;
  }
  after = SkipBlanks(after);
  bool known = strcmp(name, "raw") == 0;
  if (known) job->raw = true;
  else if (!ParseKindOption(job, name, &known)) return nullptr;
  if (!known) {
    PrintError("Invalid option \"-%s\"", name);
    return nullptr;
  }
  return after;
}

// A path token: extracted whole, not empty, and not longer than the system takes.
bool IsPath(const char* rest, const char* path) {
  return rest != nullptr && path[0] != '\0' && PathCharacters(path) <= kPathCharacters;
}

}  // namespace

const char* FindChar(const char* text, uint32_t max_length, char c) {
  if (!text || max_length == 0) return nullptr;
  for (uint32_t i = 0; i < max_length && text[i] != '\0'; ++i)
    if (text[i] == c) return text + i;
  return nullptr;
}

const char* SkipProgramName(const char* command_line) {
  const char* name = command_line;
  char closing = ' ';
  if (*name == '"') {
    ++name;
    closing = '"';
  }
  const char* found = FindChar(name, kNameSearchLimit, closing);
  if (!found) return name + strlen(name);
  return SkipBlanks(found + 1);
}

const char* ExtractToken(const char* text, char* destination, uint32_t capacity) {
  if (destination && capacity > 0) destination[0] = '\0';
  if (*text == '\0') return nullptr;
  const char* delimiters = kBlankSet;
  bool quoted = *text == '"';
  if (quoted) {
    ++text;
    delimiters = kQuoteSet;
    if (*text == '\0') return nullptr;
  }
  uint32_t stored = 0;
  bool cut = false;
  for (; *text != '\0' && !FindChar(delimiters, kDelimiterSetLength, *text); ++text) {
    if (!destination) continue;
    if (stored + 1 < capacity)
      destination[stored++] = *text;
    else
      cut = true;
  }
  if (destination && capacity > 0) destination[stored] = '\0';
  if (cut) return nullptr;
  if (*text == '\0') return quoted ? nullptr : text;
  return quoted ? text + 1 : text;
}

uint32_t ParseCommandLine(FormatJob* job, const char* text) {
  while (*text == '-') {
    text = ParseOption(job, text);
    if (!text) return ExitCommandLine;
  }
  text = ExtractToken(text, job->source_path, kPathCapacity);
  if (!IsPath(text, job->source_path)) {
    PrintError("Invalid source file specification");
    return ExitCommandLine;
  }
  text = SkipBlanks(text);
  if (*text == '\0') {
    PrintError("No destination file specification");
    return ExitCommandLine;
  }
  text = ExtractToken(text, job->dest_path, kPathCapacity);
  if (!IsPath(text, job->dest_path)) {
    PrintError("Invalid destination file specification");
    return ExitCommandLine;
  }
  text = SkipBlanks(text);
  if (*text != '\0') {
    PrintError("Invalid rest of command line: \"%s\"", text);
    return ExitCommandLine;
  }
  return ExitSuccess;
}
