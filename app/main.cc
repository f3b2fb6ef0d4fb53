// Interim process entry until the runtime library supplies its own.
#include <windows.h>

#include "app/driver.h"
#include "runtime/std_handles.h"

int wmain() {
  StdOutputHandle = GetStdHandle(STD_OUTPUT_HANDLE);
  StdErrorHandle = GetStdHandle(STD_ERROR_HANDLE);
  FormatJob job;
  InitJob(&job);
  uint32_t code = RunFormatter(&job);
  ReleaseJob(&job);
  ExitProcess(code);
}
