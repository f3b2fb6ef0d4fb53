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

void SetRaw(FormatJob* job) { job->raw = true; }

// Every option both programs take: a new one is a row here and a line in the
// usage text.
const struct {
  const char* name;
  void (*apply)(FormatJob* job);
} kOptions[] = {
    {"raw", SetRaw},
};

// A path token: extracted whole, not empty, and not longer than the system takes.
bool IsPath(const char* rest, const char* path) {
  return rest != nullptr && path[0] != '\0' && PathCharacters(path) <= kPathCharacters;
}

}  // namespace

bool ApplyOption(FormatJob* job, const char* name) {
  for (const auto& option : kOptions) {
    if (!SameText(name, option.name)) continue;
    option.apply(job);
    return true;
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
