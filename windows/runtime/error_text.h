#pragma once
// Error descriptions: one line of wide text, the code, " - " and the system's
// text for it, e.g. "2 - The system cannot find the file specified". A code with
// any of its upper 16 bits set shows in hexadecimal, "0x80070005 - ...".

#include <stdint.h>
#include <windows.h>

#include "windows/runtime/wide_char.h"

// The buffer the application describes into, in characters.
constexpr uint32_t kErrorTextCapacity = 256;
constexpr uint32_t kErrorTextFallbackCount = 5;

// A describer stores its text for code into buffer (capacity characters,
// terminator included) and returns the number of characters stored, 0 when it
// has no text for code.
typedef uint32_t (*ErrorDescriber)(WideChar* buffer, uint32_t capacity, uint32_t code);
typedef uint32_t (*ErrorDescriberEx)(WideChar* buffer, uint32_t capacity, uint32_t code,
                                     void* module);

// The two replaceable describers, initialised to the library's own: slot 0
// (get_error_text), which the application calls, and slot 1 (get_error_text_ex).
struct ErrorTextSlotTable {
  ErrorDescriber get_error_text;
  ErrorDescriberEx get_error_text_ex;
};
extern ErrorTextSlotTable ErrorTextSlots;

// Asked before the system's message tables; empty unless registered.
extern ErrorDescriber ErrorTextHook;
// Asked in order when the system has no text; the empty places are skipped.
extern ErrorDescriber ErrorTextFallbacks[kErrorTextFallbackCount];

// The system's message-table call, FormatMessageW unless a test puts another in
// its place.
extern decltype(&FormatMessageW) FormatMessageProc;

// Describes code into buffer, bounded by capacity and always terminated; returns
// the number of characters stored before the terminator. When nothing has a text,
// the text is "*** no error description ***". The thread's last-error value is
// left as it was found.
uint32_t GetErrorText(WideChar* buffer, uint32_t capacity, uint32_t code);
// The same, taking the text from module's message table when module is not null.
uint32_t GetErrorTextEx(WideChar* buffer, uint32_t capacity, uint32_t code, void* module);
