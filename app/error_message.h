#pragma once
// The description of a system error code as 8-bit message text:
// "<code> - <system text>", always terminated within `capacity` bytes.

#include <stdint.h>

constexpr uint32_t kErrorMessageCapacity = 256;

void DescribeError(uint32_t code, char* text, uint32_t capacity);
