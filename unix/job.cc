#include "app/job.h"

#include <unistd.h>

#include "app/files.h"
#include "app/messages.h"
#include "unix/descriptors.h"

namespace {

void CloseDescriptor(void** handle) {
  if (!*handle) return;
  close(DescriptorOf(*handle));
  *handle = nullptr;
}

}  // namespace

// Standard input and output stay open: they are the process's, not the run's.
void ReleaseJob(FormatJob* job) {
  FreePages(&job->output_buffer);
  if (job->dest_handle != StdOutputHandle) CloseDescriptor(&job->dest_handle);
  job->dest_handle = nullptr;
  if (job->dest_created && job->result != ExitSuccess) unlink(job->dest_path);
  job->dest_created = false;
  FreePages(&job->source_buffer);
  CloseDescriptor(&job->source_handle);
}
