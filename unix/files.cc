// Files on Linux and macOS: POSIX calls only. Standard input, a pipe and a
// redirected file are all sources; the destination is made exclusively.
#include "app/files.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/message_texts.h"
#include "app/messages.h"
#include "unix/descriptors.h"
#include "unix/line_breaks.h"

namespace {

constexpr char kTerminalText[] =
    "The source \"%s\" is a terminal: pipe a capture in (fastboot oem log 2>&1 | bootweave - "
    "log.txt) or name a capture file";
// A stream's buffer starts here and doubles; requests stay below what every
// system takes in one read or write.
constexpr uint32_t kFirstStreamCapacity = 64 << 10;
constexpr uint32_t kLargestRequest = 1 << 30;

bool IsDash(const char* path) { return path[0] == '-' && path[1] == '\0'; }

Description Describe(int error) {
  Description d;
  snprintf(d.text, sizeof d.text, "%d - %s", error, strerror(error));
  return d;
}

uint32_t Smaller(uint64_t a, uint32_t b) { return a < b ? static_cast<uint32_t>(a) : b; }

// Most of a run's time on Linux goes to first touches of the buffers' fresh
// pages: large pages take a 512th of them. The advice may take in the page the
// buffer begins in; where the system has no such advice, nothing changes.
void AdviseLargePages(void* buffer, size_t size) {
#ifdef MADV_HUGEPAGE
  uintptr_t page_start = reinterpret_cast<uintptr_t>(buffer) & ~uintptr_t{4095};
  if (buffer) madvise(reinterpret_cast<void*>(page_start), size, MADV_HUGEPAGE);
#else
  (void)buffer, (void)size;
#endif
}

// A file's bytes from where its descriptor stands (a redirected standard input
// may have been read from already) to the end it had when the run looked.
uint32_t ReadSized(FormatJob* job, int descriptor, uint64_t size) {
  if (size > kLargestSource) return ReportTooLarge(size);
  job->source_size = static_cast<uint32_t>(size);
  return ReadSizedSource(job, HandleOf(descriptor));
}

// Room for more of a stream: the buffer doubles, up to one byte over the
// limit, so that a stream too large shows as such.
uint32_t GrowSource(FormatJob* job) {
  uint64_t wanted = job->source_size ? 2ull * job->source_size : kFirstStreamCapacity;
  uint32_t capacity = static_cast<uint32_t>(wanted < kLargestSource + 1 ? wanted : kLargestSource + 1);
  void* grown = realloc(job->source_buffer, capacity);
  if (!grown) {
    PrintError(kCannotAllocateSourceText, capacity, DescribeLastError().text);
    return ExitFiles;
  }
  job->source_buffer = static_cast<uint8_t*>(grown);
  job->source_size = capacity;
  AdviseLargePages(grown, capacity);
  return ExitSuccess;
}

// A pipe, a socket or a device has no size: read to its end.
uint32_t ReadStream(FormatJob* job, int descriptor) {
  for (;;) {
    if (job->source_length == job->source_size) {
      if (job->source_length > kLargestSource) return ReportTooLarge(job->source_length);
      if (GrowSource(job) != ExitSuccess) return ExitFiles;
    }
    uint32_t request = job->source_size - job->source_length, got = 0;
    if (!ReadSome(HandleOf(descriptor), job->source_buffer + job->source_length, request, &got)) {
      PrintError(kCannotReadText, request, DescribeLastError().text);
      return ExitFiles;
    }
    if (got == 0) break;
    job->source_length += got;
  }
  job->source_size = job->source_length;
  return ExitSuccess;
}

// A terminal would wait for a capture typed by hand: the user hears how to
// give one instead. A folder opens on Linux, but holds no capture.
uint32_t ReadOpenSource(FormatJob* job, int descriptor) {
  struct stat status;
  if (fstat(descriptor, &status) != 0) {
    PrintError(kCannotGetSizeText, DescribeLastError().text);
    return ExitFiles;
  }
  if (isatty(descriptor)) {
    PrintError(kTerminalText, job->source_path);
    return ExitFiles;
  }
  if (S_ISDIR(status.st_mode)) {
    PrintError(kCannotOpenText, job->source_path, Describe(EISDIR).text);
    return ExitFiles;
  }
  // Files of the kernel's pseudo file systems say they hold 0 bytes and are read
  // as streams, as is a file that a shell's script has read to its end.
  off_t at = lseek(descriptor, 0, SEEK_CUR);
  if (S_ISREG(status.st_mode) && at < status.st_size)
    return ReadSized(job, descriptor, static_cast<uint64_t>(status.st_size - at));
  return ReadStream(job, descriptor);
}

// A full pipe of a non-blocking standard output takes more once it has room.
bool WaitForRoom(int descriptor) {
  struct pollfd room = {descriptor, POLLOUT, 0};
  return poll(&room, 1, -1) > 0;
}

}  // namespace

uint32_t PathCharacters(const char* path) { return static_cast<uint32_t>(strlen(path)); }

uint8_t* AllocatePages(uint32_t size) {
  void* buffer = malloc(size);
  AdviseLargePages(buffer, size);
  return static_cast<uint8_t*>(buffer);
}

void FreePages(uint8_t** buffer) {
  free(*buffer);
  *buffer = nullptr;
}

Description DescribeLastError() { return Describe(errno); }

// The program handles no signal, so no call is interrupted by one (EINTR).
bool ReadSome(void* handle, uint8_t* buffer, uint32_t request, uint32_t* got) {
  ssize_t taken = read(DescriptorOf(handle), buffer, Smaller(request, kLargestRequest));
  if (taken < 0) return false;
  *got = static_cast<uint32_t>(taken);
  return true;
}

void CloseFile(void** handle) {
  if (!*handle) return;
  close(DescriptorOf(*handle));
  *handle = nullptr;
}

void RemoveFile(const char* path) { unlink(path); }

uint32_t ReadSource(FormatJob* job) {
  int descriptor = STDIN_FILENO;
  if (!IsDash(job->source_path)) {
    descriptor = open(job->source_path, O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
      PrintError(kCannotOpenText, job->source_path, DescribeLastError().text);
      return ExitFiles;
    }
    job->source_handle = HandleOf(descriptor);
  }
  if (ReadOpenSource(job, descriptor) != ExitSuccess) return ExitFiles;
  if (job->source_length == 0) return ReportEmptyCapture(job);
  return ExitSuccess;
}

// An existing destination is never overwritten: the creation fails instead.
uint32_t OpenDestination(FormatJob* job) {
  if (IsDash(job->dest_path)) {
    job->dest_handle = StdOutputHandle;
    return ExitSuccess;
  }
  int descriptor = open(job->dest_path, O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    PrintError(kCannotCreateText, job->dest_path, DescribeLastError().text);
    return ExitFiles;
  }
  job->dest_handle = HandleOf(descriptor);
  job->dest_created = true;
  return ExitSuccess;
}

// A reader of standard output that left early (EPIPE, with SIGPIPE ignored) ends
// the writing without a failure; a file, also on standard output, takes every
// byte or the run fails.
uint32_t WriteOutput(FormatJob* job) {
  if (!job->raw) job->output_length = DropCarriageReturns(job->output_buffer, job->output_length);
  int descriptor = DescriptorOf(job->dest_handle);
  const uint8_t* p = job->output_buffer;
  uint32_t to_go = job->output_length;
  while (to_go > 0) {
    uint32_t request = Smaller(to_go, kLargestRequest);
    ssize_t written = write(descriptor, p, request);
    if (written < 0 && errno == EAGAIN && WaitForRoom(descriptor)) continue;
    if (written < 0 && errno == EPIPE && job->dest_handle == StdOutputHandle) return ExitSuccess;
    if (written < 0) {
      PrintError(kCannotWriteText, request, DescribeLastError().text);
      return ExitFiles;
    }
    if (written == 0) {
      PrintError(kWrittenOnlyText, job->output_length - to_go, job->output_length);
      return ExitFiles;
    }
    p += written;
    to_go -= static_cast<uint32_t>(written);
  }
  return ExitSuccess;
}
