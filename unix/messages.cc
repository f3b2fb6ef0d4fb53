// Messages on Unix: formatted by the C library, each line ended by LF.
#include "app/messages.h"

#include <stdio.h>
#include <unistd.h>

#include "unix/descriptors.h"

void* StdOutputHandle = HandleOf(STDOUT_FILENO);
void* StdErrorHandle = HandleOf(STDERR_FILENO);

namespace {

constexpr int kMessageCapacity = 1024;

// A reader that left takes nothing more; the message is lost, as on Windows.
bool WriteAll(int descriptor, const char* text, size_t length) {
  while (length > 0) {
    ssize_t written = write(descriptor, text, length);
    if (written <= 0) return false;
    text += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

bool WriteMessage(void* handle, const char* format, va_list arguments, bool add_line_break) {
  char text[kMessageCapacity];
  int length = vsnprintf(text, sizeof text, format, arguments);
  if (length < 0) length = 0;
  // A message too long for the buffer is cut, but still ends its line.
  int longest = kMessageCapacity - 1 - (add_line_break ? 1 : 0);
  if (length > longest) length = longest;
  if (add_line_break) text[length++] = '\n';
  return WriteAll(DescriptorOf(handle), text, static_cast<size_t>(length));
}
