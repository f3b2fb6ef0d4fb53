#include "app/command_line.h"

#include <string.h>

#include "app/files.h"
#include "app/message_texts.h"
#include "app/messages.h"

namespace {

constexpr uint32_t kNameSearchLimit = 1024;
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

// Reads one "-name" option at text; returns the position behind it and its
// blanks, or null after printing the message.
const char* ParseOption(FormatJob* job, const char* text) {
  char name[kOptionNameLength + 1];
  const char* after = CopyOptionName(text + 1, name);
  if (name[0] == '\0') {
    PrintError(kNoOptionText, text + 1);
    return nullptr;
  }
  if (*after != '\0' && !IsBlank(*after)) {
    PrintError(kOptionTooLongText, name, after);
    return nullptr;
  }
  if (!ApplyOption(job, name)) return nullptr;
  return SkipBlanks(after);
}

// Byte for byte, as case-sensitive as a string comparison, and without one:
// the Windows program links no C library.
bool SameText(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return *a == *b;
}

bool SetRaw(FormatJob* job, const char*) {
  job->raw = true;
  return true;
}

// The kind of capture, named once at most.
bool SetKind(FormatJob* job, CaptureKind kind, uint32_t cut_length) {
  if (job->kind != CaptureKind::kAsItShows) {
    PrintError(kOneKindText);
    return false;
  }
  job->kind = kind;
  job->cut_length = cut_length;
  return true;
}

bool SetPieces(FormatJob* job, const char*) { return SetKind(job, CaptureKind::kPieces, kNoCut); }
bool SetLines(FormatJob* job, const char*) { return SetKind(job, CaptureKind::kLines, kNoCut); }

// "-lines=<length>": a decimal length of a packet's text, 1 to 65535 bytes.
bool SetCutLines(FormatJob* job, const char* digits) {
  uint32_t value = 0;
  const char* p = digits;
  for (; *p >= '0' && *p <= '9' && p - digits < 5; ++p) value = value * 10 + (*p - '0');
  if (p == digits || *p != '\0' || value == 0 || value > 65535) {
    PrintError(kInvalidLengthText, digits);
    return false;
  }
  return SetKind(job, CaptureKind::kCutLines, value);
}

// Every option both programs take: a new one is a row here and a line in the
// usage text. An option with a value is written "-name=value".
const struct {
  const char* name;
  bool takes_value;
  bool (*apply)(FormatJob* job, const char* value);
} kOptions[] = {
    {"raw", false, SetRaw},
    {"pieces", false, SetPieces},
    {"lines", false, SetLines},
    {"lines", true, SetCutLines},
};

// The value behind "name=" at the start of text, or null.
const char* ValueOf(const char* text, const char* name) {
  while (*name != '\0' && *text == *name) ++text, ++name;
  return *name == '\0' && *text == '=' ? text + 1 : nullptr;
}

// A path token: extracted whole, not empty, and not longer than the system takes.
bool IsPath(const char* rest, const char* path) {
  return rest != nullptr && path[0] != '\0' && PathCharacters(path) <= kPathCharacters;
}

}  // namespace

bool ApplyOption(FormatJob* job, const char* name) {
  for (const auto& option : kOptions) {
    const char* value = option.takes_value ? ValueOf(name, option.name) : nullptr;
    if (option.takes_value ? value != nullptr : SameText(name, option.name))
      return option.apply(job, value);
  }
  PrintError(kInvalidOptionText, name);
  return false;
}

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
    PrintError(kInvalidSourceText);
    return ExitCommandLine;
  }
  text = SkipBlanks(text);
  if (*text == '\0') {
    PrintError(kNoDestinationText);
    return ExitCommandLine;
  }
  text = ExtractToken(text, job->dest_path, kPathCapacity);
  if (!IsPath(text, job->dest_path)) {
    PrintError(kInvalidDestinationText);
    return ExitCommandLine;
  }
  text = SkipBlanks(text);
  if (*text != '\0') {
    PrintError(kInvalidRestText, text);
    return ExitCommandLine;
  }
  return ExitSuccess;
}
