#pragma once
// The library's bounded printf-style formatter for wide text. It never stores
// beyond the capacity it is given, always terminates, and cuts silently.
//
// Grammar: %[flags][width][.precision][size]letter, and %% and %n.
//   flags      '-' left-justify, '+' sign on every conversion, '#' base prefix
//              ("0n" d i u, "0" o, "0x" x X p P, "0b" b, "0y" y), ' ' and '0'
//              fill (the later one wins; the sign and prefix go before the fill)
//   width      digits or '*' (an unsigned 32-bit argument)
//   precision  digits or '*'; on integers the most digits kept, the lowest ones;
//              on text the most characters; 0xFFFFFFFF means none
//   size       h 16, l I32 32, ll z I I64 64 bits; none is 32 bits
//   letters    d i u o x X b y (integers), p P (pointers), c (16-bit character),
//              C (8-bit character), s (wide text), S (8-bit text, each byte widened)
// A conversion whose text is empty stores nothing, not even its fill. A malformed
// conversion is stored as plain text, starting with its '%'.

#include <stdarg.h>
#include <stdint.h>

#include "windows/runtime/wide_char.h"

// The position in the variadic arguments, with the number taken so far.
struct ArgCursor {
  va_list args;
  uint32_t taken;
};

// Returns the number of characters stored before the terminator, at most
// capacity - 1. buffer and format must not be null and capacity not 0; if they
// are, nothing is stored outside the buffer and the result is 0.
uint32_t FormatW(WideChar* buffer, uint32_t capacity, const WideChar* format, ...);

// One conversion; format stands right behind the '%'. On a well-formed
// conversion stores the field as far as *remaining allows, moves all four
// in-out values and returns true; on a malformed one changes none and returns false.
bool FormatConversionW(WideChar** out, uint32_t* remaining, const WideChar** format,
                       ArgCursor* cursor);

// value in base (2 to 36, lower-case letters) into out, cut to capacity - 1
// digits, terminated. Returns the number of digits stored.
uint32_t UInt32ToDigitsW(WideChar* out, uint32_t capacity, uint32_t value, uint32_t base);
uint32_t UInt64ToDigitsW(WideChar* out, uint32_t capacity, uint64_t value, uint32_t base);

// The length of NUL-terminated text, reading at most max units; max when no
// terminator is among them. A null text stops at a breakpoint, debugger or not.
uint32_t BoundedLengthA(const char* text, uint32_t max);
uint32_t BoundedLengthW(const WideChar* text, uint32_t max);
