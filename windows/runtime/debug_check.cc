#include "windows/runtime/debug_check.h"

#ifdef _WIN32
#include <windows.h>
#endif

bool IsDebuggerAttached() {
#ifdef _WIN32
  return IsDebuggerPresent() != 0;
#else
  return false;
#endif
}

void DebugCheck(bool condition) {
  if (!condition && IsDebuggerAttached()) {
    BreakpointTrap();
  }
}

void BreakpointTrap() {
  __asm__ volatile("int3");
}
