#include "unix/line_breaks.h"

#include <string.h>

uint32_t DropCarriageReturns(uint8_t* text, uint32_t length) {
  const uint8_t* end = text + length;
  const uint8_t* in = text;
  uint8_t* out = text;
  for (;;) {
    const uint8_t* cr = static_cast<const uint8_t*>(memchr(in, '\r', static_cast<size_t>(end - in)));
    if (!cr) break;
    bool pair = cr + 1 < end && cr[1] == '\n';
    size_t keep = static_cast<size_t>(cr - in) + (pair ? 0 : 1);
    memmove(out, in, keep);
    out += keep;
    in = cr + 1;
  }
  memmove(out, in, static_cast<size_t>(end - in));
  out += end - in;
  return static_cast<uint32_t>(out - text);
}
