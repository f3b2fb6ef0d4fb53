#pragma once
// The source's text as the reformatting gets it, twice: through the product's
// steps as the program takes them (decoding in place, then in a buffer of its
// own where that does not fit; undoing what Windows PowerShell did), and the
// decoding written down the plain way, for the tests and the fuzzer to compare.

#include <stdint.h>

#include <string>
#include <vector>

#include "app/job.h"
#include "app/powershell_capture.h"
#include "app/reformat.h"
#include "app/text_encoding.h"

// The product's steps, as files.cc and driver.cc take them.
inline std::string PreparedText(const std::string& source) {
  std::vector<uint8_t> buffer(source.begin(), source.end());
  uint32_t length = static_cast<uint32_t>(source.size());
  SourceEncoding encoding = FindSourceEncoding(buffer.data(), length);
  if (encoding != kEncodingBytes) {
    Utf16Decoding done = DecodeInPlace(buffer.data(), length, encoding);
    if (IsDecoded(length, done)) {
      buffer.resize(done.written);
    } else {
      std::vector<uint8_t> text(DecodedLength(buffer.data(), length, encoding, done));
      DecodeRest(buffer.data(), length, encoding, done, text.data());
      buffer.swap(text);
    }
  }
  buffer.resize(UndoPowerShell(buffer.data(), static_cast<uint32_t>(buffer.size())));
  return std::string(buffer.begin(), buffer.end());
}

// The program's own log of a text as the reformatting gets it.
inline std::string ProgramLog(const std::string& text, bool raw = false) {
  std::vector<uint8_t> in(text.begin(), text.end()), out(WorstCaseOutputSize(text.size()));
  FormatJob job;
  InitJob(&job);
  job.raw = raw;
  job.source_buffer = in.data();
  job.source_length = static_cast<uint32_t>(in.size());
  job.output_buffer = out.data();
  job.output_capacity = static_cast<uint32_t>(out.size());
  ReformatLog(&job);
  return std::string(out.begin(), out.begin() + job.output_length);
}

inline void AppendUtf8Model(uint32_t c, std::string* out) {
  if (c < 0x80) {
    *out += char(c);
  } else if (c < 0x800) {
    *out += char(0xC0 | c >> 6), *out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += char(0xE0 | c >> 12), *out += char(0x80 | (c >> 6 & 0x3F)), *out += char(0x80 | (c & 0x3F));
  } else {
    *out += char(0xF0 | c >> 18), *out += char(0x80 | (c >> 12 & 0x3F));
    *out += char(0x80 | (c >> 6 & 0x3F)), *out += char(0x80 | (c & 0x3F));
  }
}

// A UTF-16 source (by its mark) as UTF-8, one unit at a time; others as they are.
inline std::string DecodeModel(const std::string& source) {
  auto byte = [&](size_t i) { return uint32_t(uint8_t(source[i])); };
  bool le = source.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE;
  bool be = source.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF;
  if (!le && !be) return source;
  std::vector<uint32_t> units;
  for (size_t i = 2; i + 1 < source.size(); i += 2)
    units.push_back(le ? byte(i) | byte(i + 1) << 8 : byte(i) << 8 | byte(i + 1));
  auto in = [](uint32_t u, uint32_t low) { return u >= low && u < low + 0x400; };
  std::string text;
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t c = units[i];
    if (in(c, 0xD800) && i + 1 < units.size() && in(units[i + 1], 0xDC00))
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    else if (in(c, 0xD800) || in(c, 0xDC00))
      c = 0xFFFD;
    AppendUtf8Model(c, &text);
  }
  return text;
}
