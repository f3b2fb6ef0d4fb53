// The command line through the real exe: the usage text, every command-line
// message and its exit code, byte for byte.
#include <gtest/gtest.h>

#include "tests/e2e_support.h"

namespace {

const char kUsage[] =
    "\r\n"
    "bootweave 1.0.0.45 - turns a fastboot log capture into the bootloader's plain log\r\n"
    "https://bootweave.org/\r\n"
    "\r\n"
    "Arguments: [<options>] <src file> <dst file>\r\n"
    "\r\n"
    "Options:\r\n"
    "\r\n"
    "-raw - just remove fastboot prefixes, not replacing CR-CR-LF with CR-LF,\r\n"
    "not removing consequtive line breaks.\r\n"
    "\r\n"
    "If a dash ('-') is specified as a destination file, standard output\r\n"
    "(stdout) is used.\r\n"
    "\r\n";

TEST(CommandLine, MessagesAndExitCodes) {
  const std::string long_name(20, 'x');
  struct {
    std::string line;
    uint32_t code;
    std::string out;
    std::string err;
  } cases[] = {
      {"bootweave", 99, kUsage, ""},
      {"bootweave  \t ", 99, kUsage, ""},
      {"\"C:\\Program Files\\bootweave.exe\"", 99, kUsage, ""},
      {"bootweave\t-raw", 99, kUsage, ""},  // a tab does not end an unquoted name
      {"\"bootweave -raw a b", 99, kUsage, ""},
      {"bootweave /?", 99, kUsage, ""},  // as with Windows' own tools
      {"bootweave /? \t", 99, kUsage, ""},
      {"bootweave -? a b", 1, "", "Invalid option \"-?\"\r\n"},
      {"bootweave -h a b", 1, "", "Invalid option \"-h\"\r\n"},
      {"bootweave - a b", 1, "", "No option: \" a b\"\r\n"},
      {"bootweave -RAW a b", 1, "", "Invalid option \"-RAW\"\r\n"},
      {"bootweave -rawx a b", 1, "", "Invalid option \"-rawx\"\r\n"},
      {"bootweave -abcdefghijklmnopqrs a b", 1, "", "Invalid option \"-abcdefghijklmnopqrs\"\r\n"},
      {"bootweave -abcdefghijklmnopqrstu a b", 1, "",
       "Option is too long: \"abcdefghijklmnopqrstu a b\"\r\n"},
      {"bootweave -raw", 1, "", "Invalid source file specification\r\n"},
      {"bootweave \"in.txt", 1, "", "Invalid source file specification\r\n"},
      {"bootweave \"\" out.txt", 1, "", "Invalid source file specification\r\n"},
      {"bootweave in.txt", 1, "", "No destination file specification\r\n"},
      {"bootweave -raw -raw in.txt  ", 1, "", "No destination file specification\r\n"},
      {"bootweave in.txt \"out.txt", 1, "", "Invalid destination file specification\r\n"},
      {"bootweave in.txt \"\"", 1, "", "Invalid destination file specification\r\n"},
      {"bootweave in.txt out.txt third  fourth", 1, "",
       "Invalid rest of command line: \"third  fourth\"\r\n"},
      {"bootweave " + std::string(260, 'p') + " out.txt", 1, "",
       "Invalid source file specification\r\n"},
      {"bootweave in.txt " + std::string(260, 'p'), 1, "",
       "Invalid destination file specification\r\n"},
  };
  std::string dir = MakeTempDir();
  for (const auto& c : cases) {
    RunResult r = RunBootweave(c.line, dir);
    EXPECT_EQ(r.exit_code, c.code) << c.line;
    EXPECT_EQ(r.out, c.out) << c.line;
    EXPECT_EQ(r.err, c.err) << c.line;
  }
  // A path refused for its length names no file that could be read or created.
  EXPECT_FALSE(FileExists(dir + "\\" + std::string(259, 'p')));
}

// Quoting the rest of a very long command line fills the whole message buffer:
// the text is cut, and the line still ends with CR LF.
TEST(CommandLine, OverlongMessageIsCutAndEndsItsLine) {
  std::string rest(3000, 'r');
  RunResult r = RunBootweave("bootweave in out " + rest, MakeTempDir());
  EXPECT_EQ(r.exit_code, 1u);
  std::string head = "Invalid rest of command line: \"";
  ASSERT_EQ(r.err.size(), 1023u);
  EXPECT_EQ(r.err.substr(0, head.size()), head);
  EXPECT_EQ(r.err.substr(head.size(), 1021 - head.size()), rest.substr(0, 1021 - head.size()));
  EXPECT_EQ(r.err.substr(1021), "\r\n");
}

}  // namespace
