#include "app/decimal_text.h"

// Written from the end of the buffer back.
const char* Uint64ToText(uint64_t value, char (&text)[24]) {
  char* p = text + sizeof text - 1;
  *p = '\0';
  do {
    *--p = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value);
  return p;
}
