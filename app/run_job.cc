#include "app/run_job.h"

#include "app/files.h"
#include "app/message_texts.h"
#include "app/messages.h"
#include "app/reformat.h"

namespace {

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
  PrintError(kNothingToJoinText, kBootloaderPrefix, job->source_path);
}

}  // namespace

uint32_t Finish(FormatJob* job, uint32_t code) {
  job->result = code;
  return code;
}

uint32_t RunJob(FormatJob* job) {
  uint32_t code = OpenFiles(job);
  if (code != ExitSuccess) return Finish(job, code);
  code = FormatWithRoom(job);
  if (code != ExitSuccess) return Finish(job, code);
  if (job->output_length == 0) {
    ReportNothingToJoin(job);
    return Finish(job, ExitSuccess);
  }
  return Finish(job, WriteOutput(job));
}
