// The source's text (decoded by its mark, what Windows PowerShell did undone) and
// ReformatLog on it, on any bytes, in both modes, at a capacity chosen by the input.
// Input: one byte of choices, two of capacity, then the source.
//   choice bit 0: raw; bits 1-2: capacity the text's size, the worst case, the
//   text's own length nudged by the capacity bytes, or the capacity bytes alone;
//   bits 3-4: the source as it is, or behind the mark of UTF-16LE, UTF-16BE or UTF-8;
//   bit 5: the source is fastboot's output, made of the pieces below, as Windows
//   PowerShell 5.1 writes it at the width the capacity bytes give (bit 6: with a
//   word wrap, else a hard cut; bit 7: a location line long enough to be split).
// Checks: the text agrees with the plain model of its decoding, and where it
// holds no error record is that decoding; a PowerShell capture whose lines all
// end unlike a split gives back the output's text, line breaks aside (the record
// found however it was split, nothing lost or added); nothing written past the capacity
// (the output is allocated at exactly that size); the output is the leading part of
// the whole text, cut at most two bytes short of the capacity; the whole text is
// never longer than the worst case allows; in normal mode CR and LF only come as CR
// LF pairs, never at the start and never twice in a row.

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

#include "app/reformat.h"
#include "tests/models/powershell_model.h"
#include "tests/models/text_model.h"

namespace {

void Fail(const char* what) {
  fprintf(stderr, "reformat_fuzzer: %s\n", what);
  abort();
}

std::string Run(const std::string& source, bool raw, uint32_t capacity);

uint32_t ChooseCapacity(uint8_t choice, uint16_t wanted, const std::string& source, bool raw) {
  uint64_t worst = WorstCaseOutputSize(source.size());
  switch (choice >> 1 & 3) {
    case 0: return static_cast<uint32_t>(source.size());
    case 1: return static_cast<uint32_t>(worst);
    case 2: {
      int64_t full = static_cast<int64_t>(Run(source, raw, static_cast<uint32_t>(worst)).size());
      int64_t nudged = full + static_cast<int8_t>(wanted & 0xFF) % 8;
      return static_cast<uint32_t>(nudged < 0 ? 0 : nudged);
    }
    default: return static_cast<uint32_t>(wanted % (worst + 17));
  }
}

// Runs ReformatLog with the source and the output in allocations of their exact
// sizes, so that AddressSanitizer sees any access outside them.
std::string Run(const std::string& source, bool raw, uint32_t capacity) {
  std::unique_ptr<uint8_t[]> in(new uint8_t[source.size()]);
  memcpy(in.get(), source.data(), source.size());
  std::unique_ptr<uint8_t[]> out(new uint8_t[capacity]);
  FormatJob job;
  InitJob(&job);
  job.raw = raw;
  job.source_buffer = in.get();
  job.source_length = static_cast<uint32_t>(source.size());
  job.output_buffer = out.get();
  job.output_capacity = capacity;
  ReformatLog(&job);
  if (job.output_length > capacity) Fail("output_length beyond the capacity");
  return std::string(reinterpret_cast<char*>(out.get()), job.output_length);
}

void CheckLineBreaks(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    if (text[i] == '\n' && !(i > 0 && text[i - 1] == '\r')) Fail("LF outside a CR LF pair");
    if (text[i] == '\r' && !pair) Fail("CR outside a CR LF pair");
    if (pair && i == 0) Fail("CR LF at the start");
    if (pair && i >= 2 && text[i - 2] == '\r' && text[i - 1] == '\n') Fail("CR LF twice in a row");
  }
}

std::string WithoutLineBreaks(std::string text) {
  size_t kept = 0;
  for (char c : text)
    if (c != '\r' && c != '\n') text[kept++] = c;
  text.resize(kept);
  return text;
}

// Fastboot's output, one piece a byte.
std::string OutputOf(const uint8_t* data, size_t size) {
  static const char* const kPieces[16] = {
      "(bootloader) ", "\r\n", "\r\r\n", "\n", " ", "\t", "ab", "cde ", "fghijklm",
      "журнал ", "日志", "0123456789abcdef", "OKAY [  0.010s]", "Finished. Total time:", "+ ",
      "                                                  "};
  std::string output;
  for (size_t i = 0; i < size; ++i) output += kPieces[data[i] % 16];
  return output;
}

// The output as PowerShell writes it; empty where a line of it ends like a
// split, where no line reaches the width (the program only knows the width by
// the longest line), or where the first line is longer than any of fastboot's.
std::string PowerShellSource(const std::string& output, uint8_t choice, uint16_t wanted) {
  PowerShellWay way = {50 + wanted % 200u, (choice & 0x40) != 0};
  if (choice & 0x80) way.location = "At C:\\Users\\someone\\Documents\\platform-tools\\grab-oem-log.ps1:14 char:5";
  std::vector<std::string> lines = ReadLinesModel(output);
  if (lines.empty() || UnitsModel(lines[0]) > 400) return "";
  std::string capture = PowerShellModel(output, way);
  bool reaches = false;
  for (const std::string& line : ReadLinesModel(capture)) reaches |= UnitsModel(line) == way.width;
  return UnambiguousModel(output, way) && reaches ? capture : "";
}

void CheckPowerShell(const uint8_t* data, size_t size, uint8_t choice, uint16_t wanted) {
  std::string output = OutputOf(data, size), capture = PowerShellSource(output, choice, wanted);
  if (capture.empty() || output.find("FullyQualifiedErrorId") != std::string::npos) return;
  static const char* const kMarks[4] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
  int mark = choice >> 3 & 3;
  std::string source = mark == 0 || mark == 3 ? kMarks[mark] + capture : Utf16Model(capture, mark == 2);
  std::string text = PreparedText(source);
  if (WithoutLineBreaks(text) != kMarks[mark % 3 == 0 ? mark : 0] + WithoutLineBreaks(output))
    Fail("a PowerShell capture lost or kept more than its record and line breaks");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  uint8_t choice = data[0];
  uint16_t wanted = static_cast<uint16_t>(data[1] | data[2] << 8);
  static const char* const kMarks[4] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
  if (choice & 0x20) {
    CheckPowerShell(data + 3, size - 3, choice, wanted);
    return 0;
  }
  std::string marked = kMarks[choice >> 3 & 3] + std::string(reinterpret_cast<const char*>(data + 3), size - 3);
  std::string source = PreparedText(marked), decoded = DecodeModel(marked);
  bool record = decoded.find("+ FullyQualifiedErrorId : NativeCommandError") != std::string::npos;
  if (record ? source.size() > decoded.size() : source != decoded) Fail("the text differs from its model");
  bool raw = choice & 1;
  uint32_t capacity = ChooseCapacity(choice, wanted, source, raw);

  std::string text = Run(source, raw, capacity);
  uint32_t worst = static_cast<uint32_t>(WorstCaseOutputSize(source.size()));
  std::string whole = Run(source, raw, worst + 64);
  if (whole.size() > worst) Fail("longer than the worst case");
  if (whole.compare(0, text.size(), text) != 0) Fail("not the leading part of the whole text");
  if (text.size() < whole.size() && text.size() + 2 < capacity) Fail("cut short of the capacity");
  if (!raw) CheckLineBreaks(text);
  return 0;
}
