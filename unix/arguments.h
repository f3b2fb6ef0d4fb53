#pragma once
// The Unix command line: `bootweave [<options>] <src file> <dst file>`, as the
// shell split it into arguments. The options and messages are the Windows
// program's; "-" names standard input or output, and "--" ends the options.

#include <stdint.h>

#include "app/job.h"

// Reads the arguments behind the program's name into job: 0, or 1 after
// printing the message.
uint32_t ParseArguments(FormatJob* job, int count, char** arguments);
