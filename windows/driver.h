#pragma once
// The application's spine: one run from the command line to the exit code.

#include <stdint.h>

#include "app/job.h"

// Reads the process's own command line, runs the job and returns its exit code
// (also stored in job->result). The caller runs InitJob before and ReleaseJob after.
uint32_t RunFormatter(FormatJob* job);
