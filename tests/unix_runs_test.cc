// Whole runs of the Unix program in one table: its arguments, the files a run
// reads and makes, and every message with its exit code, byte for byte. The
// messages are the Windows program's, each a line ended by LF; error
// descriptions are the C library's.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include "tests/models/powershell_model.h"
#include "tests/models/reformat_model.h"
#include "tests/unix_support.h"
#include "tests/usage_text.h"

namespace {

const std::string kUsage = UsageText(true);

struct Case {
  std::string name;
  std::vector<std::string> arguments;
  int code;
  std::string out = "", err = "";  // err may hold "<...>" for what varies
  std::string file = "", contents = "";  // a file the run leaves
};

// A failed run creates nothing: every failing row names "o.txt" as its
// destination where it gets that far.
TEST(UnixRuns, ArgumentsFilesAndMessages) {
  std::string dir = MakeTempFolder();
  const std::string rest(3000, 'r'), too_large = " bytes is too large (at most 2863311529 bytes)\n";
  // The README: paths of up to 777 bytes, as the Windows program takes.
  // A name takes at most 255 bytes, so the path goes through folders.
  const std::string deep = Repeat(std::string(200, 'd') + "/", 3), long_path = deep + std::string(174, 'p'),
                    too_long_path = deep + std::string(175, 'p');
  std::vector<Case> runs = {
      {"usage: no arguments", {}, 99, kUsage},
      {"usage: --help", {"--help"}, 0, kUsage},
      {"--help with more", {"--help", "a", "b"}, 1, "", "Invalid option \"--help\"\n"},
      {"option with a blank", {"-raw x", "a", "b"}, 1, "", "Invalid option \"-raw x\"\n"},
      {"option of 19 characters", {"-abcdefghijklmnopqrs", "a"}, 1, "", "Invalid option \"-abcdefghijklmnopqrs\"\n"},
      {"option of 20 characters", {"-abcdefghijklmnopqrst", "a"}, 1, "", "Option is too long: \"abcdefghijklmnopqrst\"\n"},
      {"no source", {"-raw"}, 1, "", "Invalid source file specification\n"},
      {"only the end of options", {"-raw", "--"}, 1, "", "Invalid source file specification\n"},
      {"empty source", {"", "o.txt"}, 1, "", "Invalid source file specification\n"},
      {"source too long", {too_long_path, "o.txt"}, 1, "", "Invalid source file specification\n"},
      {"no destination", {"-raw", "-raw", "in.txt"}, 1, "", "No destination file specification\n"},
      {"empty destination", {"in.txt", ""}, 1, "", "Invalid destination file specification\n"},
      {"destination too long", {"in.txt", too_long_path}, 1, "", "Invalid destination file specification\n"},
      {"a third path", {"in.txt", "o.txt", "3rd", "4th"}, 1, "", "Invalid rest of command line: \"3rd 4th\"\n"},
      // The message buffer holds 1024 bytes: the text is cut, the line still ends.
      {"a message cut to its buffer", {"in", "o", rest}, 1, "",
       ("Invalid rest of command line: \"" + rest).substr(0, 1022) + "\n"},
      {"-- ends the options", {"--", "-raw", "o.txt"}, 3, "", "Cannot open \"-raw\" " + Errno(ENOENT) + "\n"},
      {"missing source", {"нет.txt", "o.txt"}, 3, "", "Cannot open \"нет.txt\" " + Errno(ENOENT) + "\n"},
      {"folder as source", {"folder", "o.txt"}, 3, "", "Cannot open \"folder\" " + Errno(EISDIR) + "\n"},
      {"empty source file", {"empty.txt", "o.txt"}, 3, "", EmptyCaptureMessage("empty.txt")},
      {"existing destination", {"in.txt", "существует.txt"}, 3, "",
       "Cannot create \"существует.txt\" " + Errno(EEXIST) + "\n", "существует.txt", "keep me"},
      {"missing folder", {"in.txt", "nofolder/日志.txt"}, 3, "",
       "Cannot create \"nofolder/日志.txt\" " + Errno(ENOENT) + "\n"},
      // A sysfs file says it has 4096 bytes and holds a few: reported, not taken.
      {"source shorter than it says", {"/sys/devices/system/cpu/online", "o.txt"}, 3, "",
       "Read only <n> bytes from source file of 4096\n"},
      // A procfs file says it has none and holds text: read to its end.
      {"source that says it is empty", {"/proc/version", "-"}, 0, "", NothingToJoin("/proc/version", true)},
      {"source over 4 GiB", {"4294967306", "o.txt"}, 3, "", "Source file of 4294967306" + too_large},
      {"source too large by one byte", {"2863311530", "o.txt"}, 3, "", "Source file of 2863311530" + too_large},
      {"standard output", {"in.txt", "-"}, 0, kLog},
      {"raw keeps the line breaks", {"-raw", "in.txt", "-"}, 0, ReformatModel(kCapture, true, 1024)},
      {"raw without a line break", {"-raw", "one.txt", "-"}, 0, "x"},
      // The kind named, a word each: two of four messages end in a line break of their own.
      {"a line per message, named", {"-lines", "kinds.txt", "-"}, 0, "hel\nlo\nwor\nld\n"},
      {"lines cut at 3, named", {"-lines=3", "kinds.txt", "-"}, 0, "hello\nworld\n"},
      {"to a file", {"in.txt", "журнал.log"}, 0, "", "", "журнал.log", kLog},
      {"destination named --", {"in.txt", "--"}, 0, "", "", "--", kLog},
      {"destination named -raw", {"in.txt", "-raw"}, 0, "", "", "-raw", kLog},
      {"path of the longest length", {"in.txt", long_path}, 0, "", "", long_path, kLog},
      {"no prefix: created and empty", {"nolog.txt", "empty.log"}, 0, "", NothingToJoin("nolog.txt", true), "empty.log", ""},
      {"a LF alone stays one LF", {"lf.txt", "-"}, 0, Repeat("a\n", 3000)},
  };
  const std::pair<std::string, std::string> files[] = {
      {"in.txt", kCapture}, {"empty.txt", ""}, {"nolog.txt", "OKAY [  0.010s]\r\n"},
      {"one.txt", "(bootloader) x"}, {"существует.txt", "keep me"},
      {"kinds.txt", "(bootloader) hel\n(bootloader) lo\r\n(bootloader) wor\n(bootloader) ld\r\n"},
      {"lf.txt", "(bootloader) " + Repeat("a\n", 3000)}};
  for (const auto& file : files) WriteFileBytes(dir + "/" + file.first, file.second);
  mkdir((dir + "/folder").c_str(), 0700);
  for (size_t at = deep.find('/'); at != std::string::npos; at = deep.find('/', at + 1))
    mkdir((dir + "/" + deep.substr(0, at)).c_str(), 0700);
  for (off_t size : {off_t(4294967306ll), off_t(2863311530ll)}) {  // sparse
    int f = open((dir + "/" + std::to_string(size)).c_str(), O_WRONLY | O_CREAT, 0600);
    EXPECT_EQ(ftruncate(f, size), 0);
    close(f);
  }
  // The samples: their logs are the Windows program's, in CR LF; boot_capture as
  // Windows PowerShell 5.1 saves it (UTF-16) gives the same log.
  auto sample = [](const std::string& file) { return ReadFileBytes(BW_SOURCE_DIR "/samples/" + file); };
  for (std::string name : {"boot_capture", "boot_capture_linux", "chunks252_capture", "lines59_capture", "linux_capture"}) {
    std::string log = WithLf(sample((name == "boot_capture_linux" ? "boot_capture" : name) + ".log"));
    runs.push_back({name, {BW_SOURCE_DIR "/samples/" + name + ".txt", name + ".log"}, 0, "", "", name + ".log", log});
  }
  WriteFileBytes(dir + "/ps.txt", Utf16Model(PowerShellModel(sample("boot_capture.txt"), {119, true})));
  runs.push_back({"boot_capture Windows PowerShell", {"ps.txt", "-"}, 0, WithLf(sample("boot_capture.log"))});
  // A stream over the limit, read to one byte past it: some ten seconds under the
  // sanitizers, so only where BW_LONG_TESTS is set (scripts/run-tests.sh).
  if (getenv("BW_LONG_TESTS"))
    runs.push_back({"stream over the limit", {"/dev/zero", "o.txt"}, 3, "", "Source file of 2863311530" + too_large});
  for (const Case& run : runs) {
    UnixRun r = RunProgram(run.arguments, dir);
    std::string label = run.name;
    EXPECT_EQ(r.code, run.code) << label;
    EXPECT_EQ(r.out, run.out) << label;
    EXPECT_TRUE(Matches(r.err, run.err)) << label << "\n" << r.err;
    EXPECT_TRUE(run.file.empty() || ReadFileBytes(dir + "/" + run.file) == run.contents) << label;
    struct stat made;  // a log made with the umask at 0 may be read and written by anyone
    EXPECT_TRUE(run.code != 0 || run.file.empty() ||
                (stat((dir + "/" + run.file).c_str(), &made) == 0 && (made.st_mode & 0777) == 0666)) << label;
    EXPECT_FALSE(PathExists(dir + "/o.txt")) << label;
  }
}

}  // namespace
