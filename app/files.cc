#include "app/files.h"

#include <windows.h>

#include "app/error_message.h"
#include "app/messages.h"
#include "app/reformat.h"
#include "runtime/std_handles.h"

const uint64_t kLargestSource = 2863311529u;
static_assert(WorstCaseOutputSize(kLargestSource) <= 0xFFFFFFFFu &&
                  WorstCaseOutputSize(kLargestSource + 1) > 0xFFFFFFFFu,
              "the largest source's text must just fit 32 bits");

namespace {

constexpr DWORD kChunkSize = 1024;
// Writing to a pipe whose reader has gone: Windows' own pipes say 232, pipes
// that the system maps from elsewhere may say 233.
constexpr DWORD kPipeClosing = ERROR_NO_DATA;
constexpr DWORD kPipeNotConnected = ERROR_PIPE_NOT_CONNECTED;

// The error description of the failing call, taken right after it.
struct Description {
  char text[kErrorMessageCapacity];
};

Description DescribeLastError() {
  Description d;
  DescribeError(GetLastError(), d.text, sizeof d.text);
  return d;
}

uint8_t* AllocatePages(uint32_t size) {
  return static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

void FreePages(uint8_t** buffer) {
  if (!*buffer) return;
  VirtualFree(*buffer, 0, MEM_RELEASE);
  *buffer = nullptr;
}

void CloseFile(void** handle) {
  if (!*handle) return;
  CloseHandle(*handle);
  *handle = nullptr;
}

// 64-bit decimal text, for sizes that wsprintf's %u cannot take.
void Uint64ToText(uint64_t value, char (&text)[24]) {
  char digits[24];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value);
  for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
  text[n] = '\0';
}

// The whole size: a source of 4 GiB or more must not be taken for its low 32 bits.
uint32_t GetSourceSize(FormatJob* job) {
  DWORD high = 0;
  SetLastError(NO_ERROR);
  DWORD low = GetFileSize(job->source_handle, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    PrintError("Cannot get file size (%s)", DescribeLastError().text);
    return ExitFiles;
  }
  uint64_t size = (static_cast<uint64_t>(high) << 32) | low;
  if (size > kLargestSource) {
    char text[24];
    Uint64ToText(size, text);
    PrintError("Source file of %s bytes is too large (at most %u bytes)", text,
               static_cast<uint32_t>(kLargestSource));
    return ExitFiles;
  }
  job->source_size = static_cast<uint32_t>(size);
  return ExitSuccess;
}

uint32_t ReadSource(FormatJob* job) {
  job->source_handle = CreateFileA(job->source_path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
  if (job->source_handle == INVALID_HANDLE_VALUE) {
    job->source_handle = nullptr;
    PrintError("Cannot open \"%s\" (%s)", job->source_path, DescribeLastError().text);
    return ExitFiles;
  }
  if (GetSourceSize(job) != ExitSuccess) return ExitFiles;
  job->source_buffer = AllocatePages(job->source_size);
  if (!job->source_buffer) {
    PrintError("Cannot allocate source buffer of %u bytes (%s)", job->source_size,
               DescribeLastError().text);
    return ExitFiles;
  }
  DWORD read = 0;
  if (!ReadFile(job->source_handle, job->source_buffer, job->source_size, &read, nullptr)) {
    PrintError("Cannot read %u bytes from source file (%s)", job->source_size,
               DescribeLastError().text);
    return ExitFiles;
  }
  if (read != job->source_size) {
    PrintError("Read only %u bytes from source file of %u", static_cast<uint32_t>(read),
               job->source_size);
    return ExitFiles;
  }
  job->source_length = read;
  return ExitSuccess;
}

// An existing destination is never overwritten: the creation fails instead.
uint32_t OpenDestination(FormatJob* job) {
  if (lstrcmpA(job->dest_path, "-") == 0) {
    job->dest_handle = StdOutputHandle;
    return ExitSuccess;
  }
  job->dest_handle = CreateFileA(job->dest_path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (job->dest_handle == INVALID_HANDLE_VALUE) {
    job->dest_handle = nullptr;
    PrintError("Cannot create \"%s\" (%s)", job->dest_path, DescribeLastError().text);
    return ExitFiles;
  }
  return ExitSuccess;
}

uint32_t AllocateOutput(FormatJob* job, uint32_t capacity) {
  job->output_capacity = capacity;
  job->output_buffer = AllocatePages(capacity);
  if (!job->output_buffer) {
    PrintError("Cannot allocate destination buffer of %u bytes (%s)", capacity,
               DescribeLastError().text);
    return ExitFiles;
  }
  return ExitSuccess;
}

bool IsClosedPipe(FormatJob* job, DWORD error) {
  return job->dest_handle == StdOutputHandle &&
         (error == kPipeClosing || error == kPipeNotConnected);
}

}  // namespace

uint32_t OpenFiles(FormatJob* job) {
  if (ReadSource(job) != ExitSuccess) return ExitFiles;
  if (OpenDestination(job) != ExitSuccess) return ExitFiles;
  return AllocateOutput(job, job->source_size);
}

uint32_t GrowOutputBuffer(FormatJob* job) {
  FreePages(&job->output_buffer);
  job->output_capacity = 0;
  return AllocateOutput(job, static_cast<uint32_t>(WorstCaseOutputSize(job->source_length)));
}

uint32_t WriteOutput(FormatJob* job) {
  const uint8_t* p = job->output_buffer;
  uint32_t to_go = job->output_length;
  while (to_go > 0) {
    DWORD chunk = to_go < kChunkSize ? to_go : kChunkSize;
    DWORD written = 0;
    if (!WriteFile(job->dest_handle, p, chunk, &written, nullptr)) {
      DWORD error = GetLastError();
      // A reader that went away does not make the run fail.
      if (!IsClosedPipe(job, error)) {
        char text[kErrorMessageCapacity];
        DescribeError(error, text, sizeof text);
        PrintError("Cannot write %u bytes to destination file (%s)", static_cast<uint32_t>(chunk),
                   text);
        return ExitFiles;
      }
    } else if (job->dest_handle != StdOutputHandle && written != chunk) {
      PrintError("Written only %u bytes to destination file of %u", static_cast<uint32_t>(written),
                 static_cast<uint32_t>(chunk));
      return ExitFiles;
    }
    p += chunk;
    to_go -= chunk;
  }
  return ExitSuccess;
}

void ReleaseJob(FormatJob* job) {
  FreePages(&job->output_buffer);
  // Standard output belongs to the start-up frame, which closes it once.
  if (job->dest_handle != StdOutputHandle) CloseFile(&job->dest_handle);
  job->dest_handle = nullptr;
  FreePages(&job->source_buffer);
  CloseFile(&job->source_handle);
}
