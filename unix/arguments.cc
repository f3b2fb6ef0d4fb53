#include "unix/arguments.h"

#include <string.h>

#include "app/command_line.h"
#include "app/message_texts.h"
#include "app/messages.h"

namespace {

// A dash alone is a path (standard input or output), not an option.
bool IsOption(const char* argument) { return argument[0] == '-' && argument[1] != '\0'; }

bool ReadOption(FormatJob* job, const char* name) {
  if (strlen(name) > kOptionNameLength) {
    char first[kOptionNameLength + 1];
    memcpy(first, name, kOptionNameLength);
    first[kOptionNameLength] = '\0';
    PrintError(kOptionTooLongText, first, name + kOptionNameLength);
    return false;
  }
  return ApplyOption(job, name);
}

// A path that does not fit the job whole would name another file.
bool CopyPath(char* destination, const char* path) {
  size_t length = strlen(path);
  if (length == 0 || length >= kPathCapacity) return false;
  memcpy(destination, path, length + 1);
  return true;
}

// The arguments left over, one blank between each, as much as a message shows.
void ReportRest(int count, char** arguments) {
  char rest[1024] = "";
  size_t length = 0;
  for (int i = 0; i < count && length + 1 < sizeof rest; ++i) {
    if (i > 0) rest[length++] = ' ';
    size_t piece = strnlen(arguments[i], sizeof rest - 1 - length);
    memcpy(rest + length, arguments[i], piece);
    length += piece;
  }
  rest[length] = '\0';
  PrintError(kInvalidRestText, rest);
}

}  // namespace

uint32_t ParseArguments(FormatJob* job, int count, char** arguments) {
  int i = 0;
  for (; i < count && IsOption(arguments[i]); ++i) {
    if (strcmp(arguments[i], "--") == 0) {
      ++i;
      break;
    }
    if (!ReadOption(job, arguments[i] + 1)) return ExitCommandLine;
  }
  if (i == count || !CopyPath(job->source_path, arguments[i])) {
    PrintError(kInvalidSourceText);
    return ExitCommandLine;
  }
  if (++i == count) {
    PrintError(kNoDestinationText);
    return ExitCommandLine;
  }
  if (!CopyPath(job->dest_path, arguments[i])) {
    PrintError(kInvalidDestinationText);
    return ExitCommandLine;
  }
  if (++i < count) {
    ReportRest(count - i, arguments + i);
    return ExitCommandLine;
  }
  return ExitSuccess;
}
