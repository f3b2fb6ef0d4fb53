#pragma once
// The job record: one per run, owned by the start-up frame, on its stack.

#include <stdint.h>

#include "app/joining.h"

// The process exit status.
enum ExitCode : uint32_t {
  ExitSuccess = 0,
  ExitCommandLine = 1,
  ExitFiles = 3,
  ExitUsage = 99,
  ExitStartup = 9999,
};

// A path has at most 259 characters (UTF-16 units, as the system counts them).
// In UTF-8, the process's code page on current Windows, each takes at most three
// bytes; the buffers hold the longest such path and its terminator.
constexpr uint32_t kPathCharacters = 259;
constexpr uint32_t kPathCapacity = 3 * kPathCharacters + 1;
// What `result` holds until the run stores its code.
constexpr uint32_t kNoResult = 99999;

struct FormatJob {
  char source_path[kPathCapacity];
  char dest_path[kPathCapacity];  // exactly "-" means standard output
  bool raw;
  CaptureKind kind;     // what the user said of the capture
  uint32_t cut_length;  // with CaptureKind::kCutLines
  void* source_handle;  // zero when none
  void* dest_handle;    // a file, or StdOutputHandle; zero when none
  uint8_t* source_buffer;  // the source's text: a UTF-16 source's in UTF-8
  uint32_t source_size;    // the source file's size
  uint32_t source_length;  // the text's length
  bool dest_created;       // the destination is a file that this run made
  uint8_t* output_buffer;
  uint32_t output_capacity;
  uint32_t output_length;
  uint32_t result;
};

inline void InitJob(FormatJob* job) {
  job->source_path[0] = '\0';
  job->dest_path[0] = '\0';
  job->raw = false;
  job->kind = CaptureKind::kAsItShows;
  job->cut_length = kNoCut;
  job->source_handle = nullptr;
  job->dest_handle = nullptr;
  job->source_buffer = nullptr;
  job->source_size = 0;
  job->source_length = 0;
  job->dest_created = false;
  job->output_buffer = nullptr;
  job->output_capacity = 0;
  job->output_length = 0;
  job->result = kNoResult;
}

// Frees the buffers and closes the files that the run acquired; standard output
// belongs to the start-up frame and stays open. A destination file that the run
// made is removed unless the run succeeded: a log cut short would pass for a
// whole one, and the file would stand in the way of the next run.
void ReleaseJob(FormatJob* job);
