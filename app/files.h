#pragma once
// Moving the bytes in and out: the whole source into memory, the formatted
// text to a new file or to standard output. The steps that read and write are
// each platform's (windows/files.cc, unix/files.cc); what the capture goes
// through between them is the same for both (app/files.cc).

#include <stdint.h>

#include "app/job.h"

// The largest source the program takes: its formatted text must fit the
// program's 32-bit sizes whatever the source holds.
extern const uint64_t kLargestSource;

// Reads the source whole, prepares its text (decoded, what Windows PowerShell
// did to it undone), allocates the output buffer and opens the destination,
// last, so that no failure before leaves a file behind. 0, or 3 after printing
// the message; what was acquired stays in the job for ReleaseJob.
uint32_t OpenFiles(FormatJob* job);
// Replaces the output buffer by one large enough for any text the source can
// give. 0, or 3 after printing the message.
uint32_t GrowOutputBuffer(FormatJob* job);

// Shared steps that the platforms' readers call: 3 after the message.
uint32_t ReportTooLarge(uint64_t size);
uint32_t ReportEmptyCapture(const FormatJob* job);
// A source buffer of `size` bytes in the job; 0, or 3 after the message.
uint32_t AllocateSource(FormatJob* job, uint32_t size);
// Reads source_size bytes from `handle` into a new source buffer; a file that
// ends early is reported, not taken. 0, or 3 after the message.
uint32_t ReadSizedSource(FormatJob* job, void* handle);

// What each platform supplies.
// The number of characters that a path has, as the system counts them for its
// length limit.
uint32_t PathCharacters(const char* path);
// Whole pages for the two large buffers; null on failure, the reason left for
// DescribeLastError.
uint8_t* AllocatePages(uint32_t size);
// Gives the pages back and resets the pointer; nothing where it is null.
void FreePages(uint8_t** buffer);
// The reason the last call failed, "<code> - <description>", for a message.
struct Description {
  char text[766];
};
Description DescribeLastError();
// Reads at most `request` bytes (more than 0) into `buffer`, storing how many
// came (0 at the end); false on failure, the reason left for DescribeLastError.
bool ReadSome(void* handle, uint8_t* buffer, uint32_t request, uint32_t* got);
// Closes a file that the run opened and resets the handle; nothing where it is null.
void CloseFile(void** handle);
// Removes a file that the run made.
void RemoveFile(const char* path);
// Reads the whole source into source_buffer; sets source_size and
// source_length. 0, or 3 after the message.
uint32_t ReadSource(FormatJob* job);
// Creates the destination, never over an existing file, or takes standard
// output for "-". 0, or 3 after the message.
uint32_t OpenDestination(FormatJob* job);
// Writes output_length bytes (more than 0). 0, or 3 after the message.
uint32_t WriteOutput(FormatJob* job);
