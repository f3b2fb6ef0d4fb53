#include "app/job.h"

#include <windows.h>

#include "app/files.h"
#include "windows/runtime/std_handles.h"

namespace {

void CloseFile(void** handle) {
  if (!*handle) return;
  CloseHandle(*handle);
  *handle = nullptr;
}

}  // namespace

void ReleaseJob(FormatJob* job) {
  FreePages(&job->output_buffer);
  // Standard output belongs to the start-up frame, which closes it once.
  if (job->dest_handle != StdOutputHandle) CloseFile(&job->dest_handle);
  job->dest_handle = nullptr;
  if (job->dest_created && job->result != ExitSuccess) DeleteFileA(job->dest_path);
  job->dest_created = false;
  FreePages(&job->source_buffer);
  CloseFile(&job->source_handle);
}
