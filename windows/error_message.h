#pragma once
// The description of a system error code as 8-bit message text:
// "<code> - <system text>", always terminated within `capacity` bytes.

#include <stdint.h>

#include "windows/runtime/error_text.h"

// Room for any description of the library's buffer, in UTF-8 too.
constexpr uint32_t kErrorMessageCapacity = 3 * (kErrorTextCapacity - 1) + 1;

void DescribeError(uint32_t code, char* text, uint32_t capacity);
