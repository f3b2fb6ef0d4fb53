#pragma once
// Captures that Windows saves as UTF-16 (Windows PowerShell 5.1's redirections,
// Notepad's "Unicode" saves) become UTF-8 text before the reformatting, which
// reads bytes. A capture without a byte order mark is taken as it is; so is one
// with UTF-8's mark, which lies before the first prefix and is dropped with the
// rest of that text.

#include <stdint.h>

enum SourceEncoding : uint8_t {
  kEncodingBytes,    // no UTF-16 mark
  kEncodingUtf16Le,  // FF FE
  kEncodingUtf16Be,  // FE FF
};

constexpr uint32_t kUtf16MarkLength = 2;

SourceEncoding FindSourceEncoding(const uint8_t* source, uint32_t length);

// How far a decoding came: source bytes read behind the mark, UTF-8 bytes written.
struct Utf16Decoding {
  uint32_t read;
  uint32_t written;
};

// The units behind the mark of a UTF-16 `source` of `length` bytes, decoded to
// UTF-8 at the source's own start, as far as every character's UTF-8 fits
// before the units not yet read (plain text, mostly ASCII, always does; text
// mostly of characters that take three UTF-8 bytes, such as CJK, may not). An
// unpaired surrogate becomes U+FFFD; an odd last byte, half a unit, is dropped.
Utf16Decoding DecodeInPlace(uint8_t* source, uint32_t length, SourceEncoding encoding);
// Whether DecodeInPlace decoded every unit.
bool IsDecoded(uint32_t length, Utf16Decoding done);
// The UTF-8 length of the whole text after DecodeInPlace stopped at `done`:
// 64-bit, since it may outgrow the program's 32-bit sizes.
uint64_t DecodedLength(const uint8_t* source, uint32_t length, SourceEncoding encoding,
                       Utf16Decoding done);
// Puts the whole text into `text` (DecodedLength bytes): what DecodeInPlace
// wrote, then the rest of the units decoded.
void DecodeRest(const uint8_t* source, uint32_t length, SourceEncoding encoding,
                Utf16Decoding done, uint8_t* text);
