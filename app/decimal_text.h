#pragma once
// Sizes as decimal text, for messages that name sizes the 32-bit %u cannot take.

#include <stdint.h>

// The decimal text of `value` in `text`; the result points at its first digit.
const char* Uint64ToText(uint64_t value, char (&text)[24]);
