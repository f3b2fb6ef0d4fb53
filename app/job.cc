#include "app/job.h"

void InitJob(FormatJob* job) {
  job->source_path[0] = '\0';
  job->dest_path[0] = '\0';
  job->raw = false;
  job->source_handle = nullptr;
  job->dest_handle = nullptr;
  job->source_buffer = nullptr;
  job->source_size = 0;
  job->source_length = 0;
  job->output_buffer = nullptr;
  job->output_capacity = 0;
  job->output_length = 0;
  job->result = kNoResult;
}
