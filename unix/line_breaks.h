#pragma once
// The line break that every Unix tool expects: the formatted log's CR LF pairs
// become LF. A CR standing alone is the log's own and stays.

#include <stdint.h>

// Works in place, front to back; returns the new length.
uint32_t DropCarriageReturns(uint8_t* text, uint32_t length);
