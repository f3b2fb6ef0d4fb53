#include "app/job.h"

#include "app/files.h"
#include "app/messages.h"

void ReleaseJob(FormatJob* job) {
  FreePages(&job->output_buffer);
  // Standard output belongs to the process, which closes it once.
  if (job->dest_handle != StdOutputHandle) CloseFile(&job->dest_handle);
  job->dest_handle = nullptr;
  if (job->dest_created && job->result != ExitSuccess) RemoveFile(job->dest_path);
  job->dest_created = false;
  FreePages(&job->source_buffer);
  CloseFile(&job->source_handle);
}
