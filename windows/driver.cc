#include "windows/driver.h"

#include <windows.h>

#include "app/command_line.h"
#include "app/run_job.h"
#include "app/usage.h"

namespace {

// "/?" alone asks for the usage text, as with Windows' own tools; '?' cannot
// stand in a file name, so no path is taken from anyone.
bool IsHelpRequest(const char* arguments) {
  return arguments[0] == '/' && arguments[1] == '?' && *SkipBlanks(arguments + 2) == '\0';
}

}  // namespace

uint32_t RunFormatter(FormatJob* job) {
  const char* arguments = SkipProgramName(GetCommandLineA());
  if (*arguments == '\0' || IsHelpRequest(arguments)) {
    PrintUsage();
    return Finish(job, ExitUsage);
  }
  uint32_t code = ParseCommandLine(job, SkipBlanks(arguments));
  if (code != ExitSuccess) return Finish(job, code);
  return RunJob(job);
}
