#include "app/files.h"

#include <windows.h>

#include "app/message_texts.h"
#include "app/messages.h"
#include "windows/error_message.h"
#include "windows/runtime/std_handles.h"

static_assert(sizeof(Description::text) == kErrorMessageCapacity,
              "a description holds any that the library gives");

namespace {

constexpr DWORD kChunkSize = 1024;
// Network redirectors and filter drivers refuse very large read requests
// (error 1450), so the source is read in requests of at most this size.
constexpr DWORD kReadRequest = 8 << 20;
// A non-blocking pipe that took nothing is offered the rest again after this pause.
constexpr DWORD kPipePauseMs = 1;

// The error description of a failing call, taken right after it.
Description Describe(DWORD error) {
  Description d;
  DescribeError(error, d.text, sizeof d.text);
  return d;
}

}  // namespace

Description DescribeLastError() { return Describe(GetLastError()); }

uint8_t* AllocatePages(uint32_t size) {
  return static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

void FreePages(uint8_t** buffer) {
  if (!*buffer) return;
  VirtualFree(*buffer, 0, MEM_RELEASE);
  *buffer = nullptr;
}

bool ReadSome(void* handle, uint8_t* buffer, uint32_t request, uint32_t* got) {
  DWORD taken = 0;
  bool ok = ReadFile(handle, buffer, request < kReadRequest ? request : kReadRequest, &taken, nullptr);
  *got = taken;
  return ok;
}

void CloseFile(void** handle) {
  if (!*handle) return;
  CloseHandle(*handle);
  *handle = nullptr;
}

void RemoveFile(const char* path) { DeleteFileA(path); }

namespace {

// The whole size: a source of 4 GiB or more must not be taken for its low 32 bits.
// Pipes, consoles and devices have no size: one may report just the bytes it
// buffers, which would cut the log silently.
uint32_t GetSourceSize(FormatJob* job) {
  DWORD high = 0;
  DWORD low = INVALID_FILE_SIZE;
  DWORD error = ERROR_INVALID_FUNCTION;
  if (GetFileType(job->source_handle) == FILE_TYPE_DISK) {
    SetLastError(NO_ERROR);
    low = GetFileSize(job->source_handle, &high);
    error = low == INVALID_FILE_SIZE ? GetLastError() : NO_ERROR;
  }
  if (error != NO_ERROR) {
    PrintError(kCannotGetSizeText, Describe(error).text);
    return ExitFiles;
  }
  uint64_t size = (static_cast<uint64_t>(high) << 32) | low;
  if (size > kLargestSource) return ReportTooLarge(size);
  job->source_size = static_cast<uint32_t>(size);
  return ExitSuccess;
}

}  // namespace

uint32_t ReadSource(FormatJob* job) {
  job->source_handle = CreateFileA(job->source_path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
  if (job->source_handle == INVALID_HANDLE_VALUE) {
    job->source_handle = nullptr;
    PrintError(kCannotOpenText, job->source_path, DescribeLastError().text);
    return ExitFiles;
  }
  if (GetSourceSize(job) != ExitSuccess) return ExitFiles;
  if (job->source_size == 0) return ReportEmptyCapture(job);
  return ReadSizedSource(job, job->source_handle);
}

// An existing destination is never overwritten: the creation fails instead.
uint32_t OpenDestination(FormatJob* job) {
  // Exactly one dash, compared as bytes: a locale's comparison ignores some characters.
  if (job->dest_path[0] == '-' && job->dest_path[1] == '\0') {
    job->dest_handle = StdOutputHandle;
    return ExitSuccess;
  }
  job->dest_handle = CreateFileA(job->dest_path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (job->dest_handle == INVALID_HANDLE_VALUE) {
    job->dest_handle = nullptr;
    PrintError(kCannotCreateText, job->dest_path, DescribeLastError().text);
    return ExitFiles;
  }
  job->dest_created = true;
  return ExitSuccess;
}

namespace {

// A reader of standard output that went away: a write that was blocked on the
// full pipe says 109, later ones 232; pipes that the system maps from elsewhere
// may say 233.
bool IsClosedPipe(FormatJob* job, DWORD error) {
  return job->dest_handle == StdOutputHandle && (error == ERROR_BROKEN_PIPE ||
                                                error == ERROR_NO_DATA ||
                                                error == ERROR_PIPE_NOT_CONNECTED);
}

// One chunk. A file takes it whole or says why not. A non-blocking pipe may take
// part of it, or nothing, and report success: it is offered the rest until it has
// taken all.
uint32_t WriteChunk(FormatJob* job, const uint8_t* bytes, DWORD chunk, bool pipe) {
  DWORD taken = 0;
  do {
    DWORD written = 0;
    if (!WriteFile(job->dest_handle, bytes + taken, chunk - taken, &written, nullptr)) {
      DWORD error = GetLastError();
      // A reader that went away does not make the run fail.
      if (IsClosedPipe(job, error)) return ExitSuccess;
      PrintError(kCannotWriteText, static_cast<uint32_t>(chunk),
                 Describe(error).text);
      return ExitFiles;
    }
    if (pipe && written == 0) Sleep(kPipePauseMs);
    taken += written;
  } while (pipe && taken < chunk);
  // A console counts characters, not bytes; any other count is compared, also
  // that of standard output on a file, which a full disk or a size limit cuts.
  DWORD mode;
  if (taken != chunk && !GetConsoleMode(job->dest_handle, &mode)) {
    PrintError(kWrittenOnlyText, static_cast<uint32_t>(taken),
               static_cast<uint32_t>(chunk));
    return ExitFiles;
  }
  return ExitSuccess;
}

}  // namespace

uint32_t PathCharacters(const char* path) {
  int units = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  return units > 0 ? static_cast<uint32_t>(units - 1) : 0;
}

uint32_t WriteOutput(FormatJob* job) {
  bool pipe =
      job->dest_handle == StdOutputHandle && GetFileType(job->dest_handle) == FILE_TYPE_PIPE;
  const uint8_t* p = job->output_buffer;
  uint32_t to_go = job->output_length;
  while (to_go > 0) {
    DWORD chunk = to_go < kChunkSize ? to_go : kChunkSize;
    if (WriteChunk(job, p, chunk, pipe) != ExitSuccess) return ExitFiles;
    p += chunk;
    to_go -= chunk;
  }
  return ExitSuccess;
}
