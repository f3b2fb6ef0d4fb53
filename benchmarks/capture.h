#pragma once
// Fastboot captures made up on the spot, for the benchmarks and the whole-program
// measurement: nothing has to be shipped or downloaded.

#include <stddef.h>
#include <stdint.h>

#include <string>

// A bootloader log of about `size` bytes (lines of varied length, ended by CR LF
// or LF, now and then an empty one), cut into 60-byte chunks and printed the way
// a Windows fastboot host prints them: each chunk behind "(bootloader) " and
// ended by CR LF, every LF of the chunk shown as CR LF; the tool's own lines
// before and its status lines after.
std::string MakeRealisticCapture(size_t size, uint32_t seed);

// About `size` bytes of a flashing session's status lines and nothing else.
std::string MakeStatusCapture(size_t size, uint32_t seed);
