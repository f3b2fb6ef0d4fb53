#pragma once
// Moving the bytes in and out: the whole source into memory, the formatted
// text to a new file or to standard output.

#include <stdint.h>

#include "app/job.h"

// The largest source the program takes: its formatted text must fit the
// program's 32-bit sizes whatever the source holds.
extern const uint64_t kLargestSource;

// The number of characters (UTF-16 units) that a path has in the process's code
// page, as the system counts them for its length limit; a byte that does not
// convert counts as one.
uint32_t PathCharacters(const char* path);

// The decimal text of `value` in `text`; the result points at its first digit.
const char* Uint64ToText(uint64_t value, char (&text)[24]);

// Gives pages from the page allocator back and resets the pointer; nothing
// where it is null.
void FreePages(uint8_t** buffer);

// Reads the source whole, prepares its text (decoded, what Windows PowerShell
// did to it undone), allocates the output buffer and opens the destination,
// last, so that no failure before leaves a file behind. 0, or 3 after printing
// the message; what was acquired stays in the job for ReleaseJob.
uint32_t OpenFiles(FormatJob* job);
// Replaces the output buffer by one large enough for any text the source can
// give. 0, or 3 after printing the message.
uint32_t GrowOutputBuffer(FormatJob* job);
// Writes output_length bytes (more than 0) in chunks of 1024 bytes.
// 0, or 3 after printing the message.
uint32_t WriteOutput(FormatJob* job);
