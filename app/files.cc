#include "app/files.h"

#include "app/decimal_text.h"
#include "app/message_texts.h"
#include "app/messages.h"
#include "app/powershell_capture.h"
#include "app/reformat.h"
#include "app/text_encoding.h"

const uint64_t kLargestSource = 2863311529u;
static_assert(WorstCaseOutputSize(kLargestSource) <= 0xFFFFFFFFu &&
                  WorstCaseOutputSize(kLargestSource + 1) > 0xFFFFFFFFu,
              "the largest source's text must just fit 32 bits");

// A source, or a UTF-16 source's text in UTF-8, of `size` bytes.
uint32_t ReportTooLarge(uint64_t size) {
  char text[24];
  PrintError(kTooLargeText, Uint64ToText(size, text), static_cast<uint32_t>(kLargestSource));
  return ExitFiles;
}

// The most common capture mistake is to redirect standard output alone, which
// fastboot leaves empty: the user hears where the text went instead.
uint32_t ReportEmptyCapture(const FormatJob* job) {
  PrintError(kEmptyCaptureText, job->source_path);
  return ExitFiles;
}

uint32_t AllocateSource(FormatJob* job, uint32_t size) {
  job->source_buffer = AllocatePages(size);
  if (!job->source_buffer) {
    PrintError(kCannotAllocateSourceText, size, DescribeLastError().text);
    return ExitFiles;
  }
  return ExitSuccess;
}

uint32_t ReadSizedSource(FormatJob* job, void* handle) {
  if (AllocateSource(job, job->source_size) != ExitSuccess) return ExitFiles;
  uint32_t read = 0;
  while (read < job->source_size) {
    uint32_t got = 0;
    if (!ReadSome(handle, job->source_buffer + read, job->source_size - read, &got)) {
      PrintError(kCannotReadText, job->source_size, DescribeLastError().text);
      return ExitFiles;
    }
    if (got == 0) break;  // the file ended early
    read += got;
  }
  if (read != job->source_size) {
    PrintError(kReadOnlyText, read, job->source_size);
    return ExitFiles;
  }
  job->source_length = read;
  return ExitSuccess;
}

namespace {

// A UTF-16 capture becomes UTF-8 text, in its own buffer where that fits (the
// text takes at most as many bytes as its units unless characters of three
// UTF-8 bytes prevail); otherwise in a new buffer of the text's size, which must
// fit the same limit as any source.
uint32_t DecodeSource(FormatJob* job) {
  SourceEncoding encoding = FindSourceEncoding(job->source_buffer, job->source_length);
  if (encoding == kEncodingBytes) return ExitSuccess;
  uint8_t* source = job->source_buffer;
  uint32_t length = job->source_length;
  Utf16Decoding done = DecodeInPlace(source, length, encoding);
  job->source_length = done.written;
  if (IsDecoded(length, done)) return ExitSuccess;
  uint64_t size = DecodedLength(source, length, encoding, done);
  if (size > kLargestSource) return ReportTooLarge(size);
  job->source_buffer = nullptr;
  uint32_t code = AllocateSource(job, static_cast<uint32_t>(size));
  if (code == ExitSuccess) {
    DecodeRest(source, length, encoding, done, job->source_buffer);
    job->source_length = static_cast<uint32_t>(size);
  }
  FreePages(&source);
  return code;
}

// The capture as the reformatting reads it: what Windows did to it undone, its
// encoding first, then Windows PowerShell 5.1's error records and split lines.
// Before the destination is made, so that a failure leaves nothing behind.
uint32_t PrepareCapture(FormatJob* job) {
  if (DecodeSource(job) != ExitSuccess) return ExitFiles;
  job->source_length = UndoPowerShell(job->source_buffer, job->source_length);
  return ExitSuccess;
}

uint32_t AllocateOutput(FormatJob* job, uint32_t capacity) {
  job->output_capacity = capacity;
  if (capacity == 0) return ExitSuccess;  // a UTF-16 source holding only its mark
  job->output_buffer = AllocatePages(capacity);
  if (!job->output_buffer) {
    PrintError(kCannotAllocateDestinationText, capacity, DescribeLastError().text);
    return ExitFiles;
  }
  return ExitSuccess;
}

}  // namespace

uint32_t OpenFiles(FormatJob* job) {
  if (ReadSource(job) != ExitSuccess) return ExitFiles;
  if (PrepareCapture(job) != ExitSuccess) return ExitFiles;
  if (AllocateOutput(job, job->source_length) != ExitSuccess) return ExitFiles;
  return OpenDestination(job);
}

uint32_t GrowOutputBuffer(FormatJob* job) {
  FreePages(&job->output_buffer);
  job->output_capacity = 0;
  return AllocateOutput(job, static_cast<uint32_t>(WorstCaseOutputSize(job->source_length)));
}
