#pragma once
// Fastboot captures made up on the spot, for the benchmarks and the whole-program
// measurement: nothing has to be shipped or downloaded.

#include <stddef.h>
#include <stdint.h>

#include <string>

// A bootloader log of about `size` bytes (lines of varied length, ended by CR LF
// or LF, now and then an empty one), cut into chunks of `chunk` bytes (60 unless
// given; 252 for bootloaders that send responses of 256 bytes) and printed the way
// a Windows fastboot host prints them: each chunk behind "(bootloader) " and
// ended by CR LF, every LF of the chunk shown as CR LF; the tool's own lines
// before and its status lines after.
std::string MakeRealisticCapture(size_t size, uint32_t seed, size_t chunk = 60);

// The same session as a Linux or macOS host prints it: every CR LF of the
// Windows capture an LF.
std::string LinuxTwin(const std::string& windows_capture);

// The same log sent a line per message, as bootloaders that print their log a
// line at a time send it: a line longer than `payload` bytes fills a message
// and goes on in the next (59 for 64-byte packets with a NUL). Windows host.
std::string MakeLinesCapture(size_t size, uint32_t seed, size_t payload = 59);

// About `size` bytes of a flashing session's status lines and nothing else.
std::string MakeStatusCapture(size_t size, uint32_t seed);

// A capture as Windows PowerShell 5.1 redirects it to a file, still in 8 bits:
// every line (ended by CR, LF or CR LF) rewritten with CR LF, the first line
// wrapped in PowerShell's error record, and with a `width` (W) every line longer
// than that word-wrapped.
std::string PowerShellForm(const std::string& capture, uint32_t width = 0);

// The realistic capture in PowerShell's form, of about `size` bytes in 8 bits
// (its UTF-16 takes twice as many); with a `width`, of 252-byte chunks split there.
std::string MakePowerShellCapture(size_t size, uint32_t seed, uint32_t width = 0);

// Bytes as UTF-16LE behind its byte order mark, each byte one character.
std::string Utf16Le(const std::string& bytes);
