#pragma once
// Turns a fastboot capture into the bootloader's plain log.

#include <stdint.h>

#include "app/job.h"

// What fastboot prints in front of every message of the bootloader's.
constexpr char kBootloaderPrefix[] = "(bootloader) ";

// The first occurrence of the pattern (of at least one byte) lying wholly inside
// the first `length` bytes of `buffer`, or null.
const uint8_t* FindBytes(const uint8_t* buffer, uint32_t length, const uint8_t* pattern,
                         uint32_t pattern_length);

// The first "(bootloader) " in the text, or null.
const uint8_t* FindFirstPrefix(const uint8_t* text, uint32_t length);

// Transforms job->source_buffer (source_length bytes) into job->output_buffer,
// never past output_capacity, and stores the result's length in output_length.
void ReformatLog(FormatJob* job);

// The largest length the text formatted from `source_length` bytes can have,
// so that ReformatLog never runs short of room in a buffer of that size. Every
// CR LF of a run follows an ordinary byte of its own and replaces at least one
// break byte, so at most half the source turns into pairs; the final CR LF
// adds two.
constexpr uint64_t WorstCaseOutputSize(uint64_t source_length) {
  return source_length + source_length / 2 + 2;
}
