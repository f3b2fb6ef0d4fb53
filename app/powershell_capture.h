#pragma once
// What Windows PowerShell 5.1 does to a capture that it redirects to a file,
// undone on the text (already decoded from UTF-16): each error record becomes
// the line it wraps again, and the lines split at the console's width are joined
// back. A text without a record is never touched.

#include <stdint.h>

// Works in place, front to back (the text only shrinks); returns the new length.
uint32_t UndoPowerShell(uint8_t* text, uint32_t length);
