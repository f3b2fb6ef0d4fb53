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
    "-pieces - the bootloader sent its log in pieces cut anywhere: every" BW_NL
    "message goes on in the next." BW_NL
    "-lines - the bootloader sent a line per message: each message ends a line." BW_NL
    "-lines=<length> - a line per message, lines too long for a packet cut" BW_NL
    "at <length> bytes: a message of that length goes on in the next." BW_NL
    "Without these, the kind of each command's messages is told from the capture." BW_NL
    BW_NL
    "If a dash ('-') is specified as a destination file, standard output" BW_NL
    "(stdout) is used." BW_STDIN_LINES BW_NL;

}  // namespace

void PrintUsage() {
  PrintOut(kUsageFormat, kProgramName, kVersion[0], kVersion[1], kVersion[2], kVersion[3],
           kWebPageAddress);
}
