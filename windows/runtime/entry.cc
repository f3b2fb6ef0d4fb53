#include "windows/runtime/entry.h"

#include <windows.h>

#include "windows/driver.h"
#include "app/job.h"
#include "app/messages.h"
#include "windows/runtime/cleanup.h"
#include "windows/runtime/environment.h"
#include "windows/runtime/std_handles.h"

static const uint32_t kProgramNameSearchLimit = 1024;

// The first `ch` among at most `limit` characters of `text`, stopping at NUL.
static const WideChar* FindCharW(const WideChar* text, uint32_t limit, WideChar ch) {
  for (uint32_t i = 0; i < limit && text[i] != 0; i++) {
    if (text[i] == ch) return text + i;
  }
  return nullptr;
}

const WideChar* SkipProgramNameW(const WideChar* command_line) {
  if (command_line == nullptr) return nullptr;
  const WideChar* name = command_line;
  WideChar closing = u' ';
  if (*name == u'"') {
    name++;
    closing = u'"';
  }
  const WideChar* end = FindCharW(name, kProgramNameSearchLimit, closing);
  if (end == nullptr) return name + lstrlenW(reinterpret_cast<const wchar_t*>(name));
  const WideChar* tail = end + 1;
  while (IsBlankW(*tail, nullptr)) tail++;
  return tail;
}

void CloseStdHandles() {
  if (StdErrorHandle == StdOutputHandle) StdErrorHandle = nullptr;
  if (StdOutputHandle != nullptr) {
    CloseHandle(StdOutputHandle);
    StdOutputHandle = nullptr;
  }
  if (StdErrorHandle != nullptr) {
    CloseHandle(StdErrorHandle);
    StdErrorHandle = nullptr;
  }
}

static uint32_t RunJob() {
  FormatJob job;
  InitJob(&job);
  uint32_t code = RunFormatter(&job);
  ReleaseJob(&job);
  return code;
}

uint32_t RunApplication(const WideChar*) {
  // A path on an empty drive fails with its message instead of waiting on a
  // "No disk" dialog that a console user may never see.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  uint32_t code = ExitStartup;
  if (!GetStdHandles(nullptr, &StdOutputHandle, &StdErrorHandle)) {
    // Nowhere to print to, and nothing to close.
    StdOutputHandle = nullptr;
    StdErrorHandle = nullptr;
  } else {
    if (InitLibrary()) {
      code = RunJob();
    } else {
      PrintError("Cannot initialize application");
    }
    CloseStdHandles();
  }
  RunCleanup();
  return code;
}

extern "C" void ProcessEntry() {
  const WideChar* tail = SkipProgramNameW(reinterpret_cast<const WideChar*>(GetCommandLineW()));
  ExitProcess(RunApplication(tail));
}
