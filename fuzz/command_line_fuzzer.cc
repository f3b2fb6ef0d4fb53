// The command-line tokenizer and parser on any text.
// Input: one byte for a token buffer's capacity (0 to 255; 255 means no buffer),
// one for FindChar's limit, then the command line (up to its first zero byte).
// The text lives in an allocation that ends at its terminator, and the token
// buffer in one of exactly its capacity, so AddressSanitizer sees any read past
// the terminator and any store past a buffer.
// Checks: every outcome of ParseCommandLine is 0 or 1, with both paths
// terminated inside the job and nothing else of the job touched but `raw`;
// every position returned lies inside the text; tokens are terminated.

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>

#include "app/command_line.h"

namespace {

void Fail(const char* what) {
  fprintf(stderr, "command_line_fuzzer: %s\n", what);
  abort();
}

void CheckInside(const char* p, const char* text, const char* terminator, const char* what) {
  if (p && (p < text || p > terminator)) Fail(what);
}

bool Terminated(const char* buffer, uint32_t capacity) {
  return memchr(buffer, '\0', capacity) != nullptr;
}

void CheckParse(const char* text) {
  FormatJob job;
  memset(&job, 0, sizeof job);  // so that the comparison below sees defined bytes
  InitJob(&job);
  FormatJob before = job;
  uint32_t code = ParseCommandLine(&job, text);
  if (code != ExitSuccess && code != ExitCommandLine) Fail("outcome other than 0 or 1");
  if (!Terminated(job.source_path, kPathCapacity) || !Terminated(job.dest_path, kPathCapacity))
    Fail("path not terminated");
  if (code == ExitSuccess && (job.source_path[0] == '\0' || job.dest_path[0] == '\0'))
    Fail("success with an empty path");
  job.raw = before.raw;
  memcpy(job.source_path, before.source_path, kPathCapacity);
  memcpy(job.dest_path, before.dest_path, kPathCapacity);
  if (memcmp(&job, &before, sizeof job) != 0) Fail("parse touched more of the job than its paths");
}

void CheckToken(const char* text, const char* terminator, uint8_t capacity_byte) {
  if (capacity_byte == 255) {
    CheckInside(ExtractToken(text, nullptr, 0), text, terminator, "token end outside the text");
    return;
  }
  uint32_t capacity = capacity_byte;
  std::unique_ptr<char[]> token(new char[capacity ? capacity : 1]);
  const char* behind = ExtractToken(text, capacity ? token.get() : nullptr, capacity);
  CheckInside(behind, text, terminator, "token end outside the text");
  if (capacity && !Terminated(token.get(), capacity)) Fail("token not terminated");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const char* line = reinterpret_cast<const char*>(data + 2);
  size_t length = strnlen(line, size - 2);
  std::unique_ptr<char[]> text(new char[length + 1]);
  memcpy(text.get(), line, length);
  text[length] = '\0';
  const char* terminator = text.get() + length;

  const char* arguments = SkipProgramName(text.get());
  CheckInside(arguments, text.get(), terminator, "arguments outside the text");
  const char* blanks_skipped = SkipBlanks(arguments);
  CheckInside(blanks_skipped, text.get(), terminator, "blanks skipped past the text");
  CheckParse(blanks_skipped);
  CheckParse(text.get());
  CheckToken(text.get(), terminator, data[0]);
  CheckToken(blanks_skipped, terminator, data[0]);

  uint32_t limit = data[1] * 8u;
  char wanted = length ? text[length / 2] : ' ';
  const char* found = FindChar(text.get(), limit, wanted);
  CheckInside(found, text.get(), terminator, "FindChar outside the text");
  if (found && (*found != wanted || found - text.get() >= static_cast<ptrdiff_t>(limit)))
    Fail("FindChar found something else or beyond its limit");
  return 0;
}
