// The Unix program's entry: the arguments the shell split, the job, the exit code.
#include <fcntl.h>
#include <signal.h>
#include <string.h>

#include "app/job.h"
#include "app/run_job.h"
#include "app/usage.h"
#include "unix/arguments.h"

namespace {

// No arguments show the usage text, as on Windows (99); asked for with
// "--help", it is no failure.
uint32_t RunProgram(FormatJob* job, int count, char** arguments) {
  if (count == 0) {
    PrintUsage();
    return Finish(job, ExitUsage);
  }
  if (count == 1 && strcmp(arguments[0], "--help") == 0) {
    PrintUsage();
    return Finish(job, ExitSuccess);
  }
  uint32_t code = ParseArguments(job, count, arguments);
  if (code != ExitSuccess) return Finish(job, code);
  return RunJob(job);
}

// A standard stream that the caller closed would be the next file opened: the
// destination would take the messages. It gets /dev/null instead.
void OpenClosedStandardStreams() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor)
    if (fcntl(descriptor, F_GETFD) < 0) open("/dev/null", O_RDWR);
}

}  // namespace

int main(int argc, char** argv) {
  // A reader that left and a file-size limit are reported by the writes
  // themselves (EPIPE, EFBIG), so that the run can tell and clean up.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  OpenClosedStandardStreams();
  FormatJob job;
  InitJob(&job);
  uint32_t code = RunProgram(&job, argc - 1, argv + 1);
  ReleaseJob(&job);
  return static_cast<int>(code);
}
