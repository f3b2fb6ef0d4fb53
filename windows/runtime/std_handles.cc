#include "windows/runtime/std_handles.h"

#include <windows.h>

void* StdOutputHandle = nullptr;
void* StdErrorHandle = nullptr;
void* LibStdOutput = nullptr;
void* LibStdError = nullptr;

static HANDLE ValidOrNull(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

bool GetStdHandles(void** input_slot, void** output_slot, void** error_slot) {
  STARTUPINFOW startup;
  GetStartupInfoW(&startup);  // fills the whole record, cb included
  HANDLE input, output, error;
  if (startup.dwFlags & STARTF_USESTDHANDLES) {
    input = ValidOrNull(startup.hStdInput);
    output = ValidOrNull(startup.hStdOutput);
    error = ValidOrNull(startup.hStdError);
  } else {
    input = GetStdHandle(STD_INPUT_HANDLE);
    output = GetStdHandle(STD_OUTPUT_HANDLE);
    error = GetStdHandle(STD_ERROR_HANDLE);
    if (input == INVALID_HANDLE_VALUE || output == INVALID_HANDLE_VALUE ||
        error == INVALID_HANDLE_VALUE) {
      return false;
    }
  }
  if (input_slot != nullptr) *input_slot = input;
  if (output_slot != nullptr) *output_slot = output;
  if (error_slot != nullptr) *error_slot = error;
  LibStdOutput = output;
  LibStdError = error;
  return true;
}
