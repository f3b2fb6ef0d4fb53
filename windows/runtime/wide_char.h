#pragma once
// Wide text is a sequence of 16-bit code units on every build. wchar_t is 32 bits
// on the Linux host, so the library uses char16_t and casts to the system's wide
// type only at the Windows calls, where both are 16 bits.

typedef char16_t WideChar;
