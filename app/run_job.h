#pragma once
// One run from the parsed command line to the exit code, the same on every
// platform: read and prepare the capture, reformat it, write the log.

#include <stdint.h>

#include "app/job.h"

// Runs a job whose paths and options are set; returns its exit code and stores
// it in job->result. The caller runs ReleaseJob afterwards.
uint32_t RunJob(FormatJob* job);
// Stores code as the job's result and returns it.
uint32_t Finish(FormatJob* job, uint32_t code);
