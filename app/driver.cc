#include "app/driver.h"

#include <windows.h>

#include "app/command_line.h"
#include "app/files.h"
#include "app/messages.h"
#include "app/reformat.h"
#include "app/usage.h"

namespace {

uint32_t Finish(FormatJob* job, uint32_t code) {
  job->result = code;
  return code;
}

// Text that needs more room than the source's size (many single CR or LF bytes
// each becoming CR LF) must not be cut: when the first pass may have run short,
// it runs once more in a buffer sized for the worst case. A pass that ended with
// two bytes to spare never ran short.
uint32_t FormatWithRoom(FormatJob* job) {
  ReformatLog(job);
  if (job->output_length + 2 <= job->output_capacity) return ExitSuccess;
  if (GrowOutputBuffer(job) != ExitSuccess) return ExitFiles;
  ReformatLog(job);
  return ExitSuccess;
}

// An empty log is no failure, but a source without a single prefix was most
// likely captured without standard error, or comes from a host that prints the
// bootloader's text plain: the user hears which.
void ReportNothingToJoin(const FormatJob* job) {
  if (FindFirstPrefix(job->source_buffer, job->source_length)) return;
  PrintError("Nothing to join: no \"%s\" in \"%s\", the log is empty (capture standard error "
             "too, 2>&1; a host that prints the bootloader's text without the prefix needs no "
             "joining)", MarkerTable[0].text, job->source_path);
}

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
  code = OpenFiles(job);
  if (code != ExitSuccess) return Finish(job, code);
  code = FormatWithRoom(job);
  if (code != ExitSuccess) return Finish(job, code);
  if (job->output_length == 0) {
    ReportNothingToJoin(job);
    return Finish(job, ExitSuccess);
  }
  return Finish(job, WriteOutput(job));
}
