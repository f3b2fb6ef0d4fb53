#include "app/usage.h"

#include "app/messages.h"
#include "app/version.h"

const char kProgramName[] = "bootweave";
const char kWebPageAddress[] = "https://bootweave.org/";
const uint32_t kVersion[4] = {BW_VERSION_MAJOR, BW_VERSION_MINOR, BW_VERSION_PATCH, BW_VERSION_TWEAK};

namespace {

// One text for both programs, in each platform's line break; the Unix program
// also reads standard input, and says so.
#if BW_CRLF_TEXT
#define BW_NL "\r\n"
#define BW_STDIN_LINES ""
#define BW_BREAK "CR-LF"
#else
#define BW_NL "\n"
#define BW_BREAK "LF"
#define BW_STDIN_LINES                                                   \
  BW_NL "If a dash is specified as a source file, standard input (stdin)" \
  BW_NL "is read to its end, as is a named pipe."
#endif

const char kUsageFormat[] =
    BW_NL
    "%s %u.%u.%u.%u - turns a fastboot log capture into the bootloader's plain log" BW_NL
    "%s" BW_NL
    BW_NL
    "Arguments: [<options>] <src file> <dst file>" BW_NL
    BW_NL
    "Options:" BW_NL
    BW_NL
    "-raw - just remove fastboot prefixes, not replacing CR-CR-LF with " BW_BREAK "," BW_NL
    "not removing consequtive line breaks." BW_NL
    BW_NL
    "If a dash ('-') is specified as a destination file, standard output" BW_NL
    "(stdout) is used." BW_STDIN_LINES BW_NL;

}  // namespace

void PrintUsage() {
  PrintOut(kUsageFormat, kProgramName, kVersion[0], kVersion[1], kVersion[2], kVersion[3],
           kWebPageAddress);
}
