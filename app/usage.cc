#include "app/usage.h"

#include "app/messages.h"
#include "app/version.h"

const char kProgramName[] = "bootweave";
const char kWebPageAddress[] = "https://bootweave.org/";
const uint32_t kVersion[4] = {BW_VERSION_MAJOR, BW_VERSION_MINOR, BW_VERSION_PATCH, BW_VERSION_TWEAK};

namespace {

const char kUsageFormat[] =
    "\r\n"
    "%s %u.%u.%u.%u - turns a fastboot log capture into the bootloader's plain log\r\n"
    "%s\r\n"
    "\r\n"
    "Arguments: [<options>] <src file> <dst file>\r\n"
    "\r\n"
    "Options:\r\n"
    "\r\n"
    "-raw - just remove fastboot prefixes, not replacing CR-CR-LF with CR-LF,\r\n"
    "not removing consequtive line breaks.\r\n"
    "\r\n"
    "-pieces - the bootloader sent its log in pieces cut anywhere: every\r\n"
    "message goes on in the next.\r\n"
    "-lines - the bootloader sent a line per message: each message ends a line.\r\n"
    "-lines=<length> - a line per message, lines too long for a packet cut\r\n"
    "at <length> bytes: a message of that length goes on in the next.\r\n"
    "Without these, the kind of each command's messages is told from the capture.\r\n"
    "\r\n"
    "If a dash ('-') is specified as a destination file, standard output\r\n"
    "(stdout) is used.\r\n";

}  // namespace

void PrintUsage() {
  PrintOut(kUsageFormat, kProgramName, kVersion[0], kVersion[1], kVersion[2], kVersion[3],
           kWebPageAddress);
}
