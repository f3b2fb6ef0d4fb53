// Whole runs of the real exe in one table: the command line, the files a run
// reads and makes, and every message with its exit code, byte for byte. Names
// are in the scripts Windows users name files in. Every message that a run
// prints must stand in the README's table of messages.
#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/models/powershell_model.h"
#include "tests/models/reformat_model.h"
#include "tests/models/session_model.h"
#include "tests/e2e_support.h"
#include "tests/usage_text.h"

namespace {

const std::string kUsage = UsageText(false);
const std::string kCapture = "(bootloader) hello\r\r\n(bootloader) world\r\nOKAY [  0.010s]\r\n";
const std::string kLog = "hello\r\nworld\r\n";

// What Windows PowerShell 5.1 makes of fastboot's output redirected to a file,
// in UTF-16LE: its lines at most W long, the first in an error record.
std::string PowerShellCapture(const std::string& output, PowerShellWay way) {
  return Utf16Model(PowerShellModel(output, way));
}

struct Case {
  std::string name, line;
  uint32_t code;
  std::string out = "", err = "";  // err may hold "<error>" for the system's description
  std::string file = "", contents = "";  // a file the run leaves
};

// The table runs in three parts, each a test of its own, side by side.
class Runs : public testing::TestWithParam<int> {};

// A failed run creates nothing: every failing row names "o.txt" as its destination
// where it gets that far.
TEST_P(Runs, CommandLinesFilesAndMessages) {
  std::string dir = MakeTempDir(), pipe = "\\\\.\\pipe\\bw_" + std::to_string(GetCurrentProcessId());
  HANDLE server = CreateNamedPipeW(Wide(pipe).c_str(), PIPE_ACCESS_OUTBOUND, 0, 1, 0, 0, 0, nullptr);
  // Paths of 259 characters in nested folders: Linux takes 255 bytes a name.
  std::string folder = Repeat("д", 100), deep = folder + "\\" + folder + "\\";
  CreateDirectoryW(Wide(dir + "\\" + folder).c_str(), nullptr);
  CreateDirectoryW(Wide(dir + "\\" + deep).c_str(), nullptr);
  const std::string rest(3000, 'r'), too_large = " bytes is too large (at most 2863311529 bytes)\r\n";
  // cjk's second block of 16 units is ASCII but for U+8001, whose big-endian bytes 80 01 swapped wrong look
  // ASCII; U+07FF behind it is the last character of two UTF-8 bytes.
  const std::string hel = "hel" + std::string(300, 'l'), cjk = "xyz老abcdefghijklmno ߿ " + Repeat("日志😀", 3000), block = "At x\r\n+ y\r\n + FullyQualifiedErrorId : NativeCommandError\r\n";
  std::vector<Case> runs = {
      {"usage: no arguments", "bootweave", 99, kUsage}, {"usage: blanks only", "bootweave  \t ", 99, kUsage},
      {"usage: /?", "bootweave /?", 99, kUsage}, {"usage: /? and blanks", "bootweave /? \t", 99, kUsage},
      {"usage: quoted program name", "\"C:\\Program Files\\bootweave.exe\"", 99, kUsage},
      {"a dash alone", "bootweave - a b", 1, "", "No option: \" a b\"\r\n"},
      {"option in capitals", "bootweave -RAW a b", 1, "", "Invalid option \"-RAW\"\r\n"},
      {"option -?", "bootweave -? a b", 1, "", "Invalid option \"-?\"\r\n"},
      {"option of 19 characters", "bootweave -abcdefghijklmnopqrs a", 1, "", "Invalid option \"-abcdefghijklmnopqrs\"\r\n"},
      {"kind named twice", "bootweave -lines -pieces a b", 1, "", "Only one of \"-pieces\", \"-lines\" and \"-lines=<length>\" can be given\r\n"},
      {"cut length 0", "bootweave -lines=0 a b", 1, "", "Invalid length in option \"-lines=0\" (1 to 65535 bytes)\r\n"},
      {"cut length 65536", "bootweave -lines=65536 a b", 1, "", "Invalid length in option \"-lines=65536\" (1 to 65535 bytes)\r\n"},
      {"cut length not a number", "bootweave -lines=59s a b", 1, "", "Invalid length in option \"-lines=59s\" (1 to 65535 bytes)\r\n"},
      {"cut length missing", "bootweave -lines= a b", 1, "", "Invalid length in option \"-lines=\" (1 to 65535 bytes)\r\n"},
      {"option of 21 characters", "bootweave -abcdefghijklmnopqrstu a", 1, "", "Option is too long: \"abcdefghijklmnopqrstu a\"\r\n"},
      {"no source", "bootweave -raw", 1, "", "Invalid source file specification\r\n"},
      {"source without closing quote", "bootweave \"in.txt", 1, "", "Invalid source file specification\r\n"},
      {"empty source", "bootweave \"\" o.txt", 1, "", "Invalid source file specification\r\n"},
      {"source of 260 bytes", "bootweave " + std::string(260, 'p') + " o.txt", 1, "", "Invalid source file specification\r\n"},
      {"source of 260 characters", "bootweave " + deep + Repeat("ж", 58) + " -", 1, "", "Invalid source file specification\r\n"},
      {"no destination", "bootweave -raw -raw in.txt  ", 1, "", "No destination file specification\r\n"},
      {"destination without closing quote", "bootweave in.txt \"o.txt", 1, "", "Invalid destination file specification\r\n"},
      {"empty destination", "bootweave in.txt \"\"", 1, "", "Invalid destination file specification\r\n"},
      {"destination of 260 characters", "bootweave in.txt " + deep + Repeat("ё", 58), 1, "", "Invalid destination file specification\r\n"},
      {"a third path", "bootweave in.txt o.txt 3rd  4th", 1, "", "Invalid rest of command line: \"3rd  4th\"\r\n"},
      // The message buffer holds 1024 bytes: the text is cut, the line still ends.
      {"a message cut to its buffer", "bootweave in o " + rest, 1, "", "Invalid rest of command line: \"" + rest.substr(0, 990) + "\r\n"},
      {"missing source", "bootweave нет.txt o.txt", 3, "", "Cannot open \"нет.txt\" (2 - <error>)\r\n"},
      // Standard output alone captured: said plainly, not blamed on memory.
      {"empty source file", "bootweave empty.txt o.txt", 3, "", "The capture \"empty.txt\" is empty: fastboot prints the "
       "bootloader's text on standard error, capture that too (2>&1)\r\n"},
      {"existing destination", "bootweave in.txt существует.txt", 3, "", "Cannot create \"существует.txt\" (80 - <error>)\r\n",
       "существует.txt", "keep me"},
      {"missing folder", "bootweave in.txt nofolder\\日志.txt", 3, "", "Cannot create \"nofolder\\日志.txt\" (3 - <error>)\r\n"},
      // Devices and pipes have no size to read: refused, not read short.
      {"device as source", "bootweave NUL o.txt", 3, "", "Cannot get file size (1 - <error>)\r\n"},
      // A Linux sysfs file says it has 4096 bytes and holds a few: reported, not taken.
      {"source shorter than it says", "bootweave Z:\\sys\\devices\\system\\cpu\\online o.txt", 3, "", "Read only <n> bytes from source file of 4096\r\n"},
      {"pipe as source", "bootweave " + pipe + " o.txt", 3, "", "Cannot get file size (1 - <error>)\r\n"},
      {"source over 4 GiB", "bootweave 4294967306 o.txt", 3, "", "Source file of 4294967306" + too_large},
      {"source too large by one byte", "bootweave 2863311530 o.txt", 3, "", "Source file of 2863311530" + too_large},
      {"standard output", "bootweave in.txt -", 0, kLog}, {"standard output quoted", "bootweave in.txt \"-\"", 0, kLog},
      {"destination named --", "bootweave in.txt --", 0, "", "", "--", kLog},
      {"destination named soft hyphen and dash", "bootweave in.txt \u00AD-", 0, "", "", "\u00AD-", kLog},
      {"paths in quotes", "bootweave \"in.txt\" \"with blank.txt\"", 0, "", "", "with blank.txt", kLog},
      // Created and empty, with a word why: no prefix; a UTF-16 mark and nothing else.
      {"no prefix", "bootweave nolog.txt empty.log", 0, "", NothingToJoin("nolog.txt", false), "empty.log", ""},
      {"UTF-16 mark alone", "bootweave mark.txt mark.log", 0, "", NothingToJoin("mark.txt", false), "mark.log", ""},
      {"damaged UTF-16, odd last byte dropped", "bootweave damaged.txt -", 0, "a\uFFFDb\uFFFDc\U0010FFFF\r\n\uFFFD\r\n"},
      {"CJK UTF-16LE", "bootweave cjk.txt -", 0, cjk + "\r\n"}, {"CJK UTF-16BE", "bootweave cjk_be.txt -", 0, cjk + "\r\n"},
      {"first chunk longer than the block", "bootweave block.txt -", 0, hel + "lo\r\nworld\r\n"},
      {"first chunk longer than the block, raw", "bootweave -raw block.txt -", 0, hel + "lo\r\nworld\r\n"},
      {"error id not behind the first line: kept", "bootweave later.txt -", 0, "a\r\nb\r\n" + block + " c\r\n"},
      {"raw without a line break", "bootweave -raw one.txt -", 0, "x"},
      // Two of four messages end in a line break of their own: pieces, unless told.
      {"kind told from the capture", "bootweave kinds.txt -", 0, "hello\r\nworld\r\n"},
      {"a line per message, named", "bootweave -lines kinds.txt -", 0, "hel\r\nlo\r\nwor\r\nld\r\n"},
      {"a line per message, named, raw", "bootweave -raw -lines kinds.txt -", 0, "hel\r\nlo\rwor\r\nld\r\r\n"},
      {"lines cut at 3, named", "bootweave -lines=3 kinds.txt -", 0, "hello\r\nworld\r\n"},
      {"lines cut at 65535, named", "bootweave -lines=65535 kinds.txt -", 0, "hel\r\nlo\r\nwor\r\nld\r\n"},
      {"pieces, named", "bootweave -pieces in.txt -", 0, "hello\r\nworld\r\n"},
      {"pieces of a line per message, named", "bootweave -pieces two_lines.txt -", 0, "abcd\r\n"},
      {"fullwidth look-alike name", "bootweave ｃａｐ.txt -", 0, "fullwidth\r\n"}, {"plain name", "bootweave cap.txt -", 0, "plain\r\n"},
      {"LF becomes CR LF: the text grows", "bootweave lf.txt -", 0, Repeat("a\r\n", 3000)},
      {"source of 259 characters", "bootweave " + deep + Repeat("ж", 57) + " -", 0, kLog},
      {"destination of 259 characters", "bootweave in.txt " + deep + Repeat("ё", 57), 0, "", "", deep + Repeat("ё", 57), kLog},
  };
  const std::pair<std::string, std::string> files[] = {
      {"in.txt", kCapture}, {"empty.txt", ""}, {"nolog.txt", "OKAY [  0.010s]\r\n"},
      {"one.txt", "(bootloader) x"},
      {"kinds.txt", "(bootloader) hel\r\n(bootloader) lo\r\r\n(bootloader) wor\r\n(bootloader) ld\r\r\n"},
      {"two_lines.txt", "(bootloader) ab\r\n(bootloader) cd\r\nOKAY [  0.010s]\r\n"}, {"существует.txt", "keep me"}, {deep + Repeat("ж", 57), kCapture},
      {"ｃａｐ.txt", "(bootloader) fullwidth\r\n"}, {"cap.txt", "(bootloader) plain\r\n"},  // look-alikes
      {"lf.txt", "(bootloader) " + Repeat("a\n", 3000)}, {"mark.txt", "\xFF\xFE"},
      // Unpaired surrogates, a pair for U+10FFFF, half a unit at the end.
      {"damaged.txt", Utf16Model("(bootloader) a") + std::string("\x00\xD8" "b\x00" "\x00\xDC" "c\x00"
                                                            "\xFF\xDB\xFF\xDF" "\r\x00\n\x00" "\x3D\xD8" "A", 19)},
      {"cjk.txt", Utf16Model("(bootloader) " + cjk)}, {"cjk_be.txt", Utf16Model("(bootloader) " + cjk, true)},
      // The first chunk's line longer than the block: it moves onto itself.
      {"block.txt", PowerShellCapture("(bootloader) " + hel + "\n(bootloader) lo\r\r\n(bootloader) world\r\r\n"
                                      "OKAY [  0.010s]", {119, true})},
      {"later.txt", "(bootloader) a\r\r\n(bootloader) b\r\r\n" + block + " \r\n(bootloader) c\r\n"}};
  for (const auto& file : files) WriteBytes(dir + "\\" + file.first, file.second);
  // A capture written to name, which a run turns into log on standard output.
  auto add_capture = [&](const std::string& name, const std::string& bytes, const std::string& log) {
    WriteBytes(dir + "\\" + name, bytes);
    runs.push_back({name, "bootweave " + name + " -", 0, log});
  };
  for (std::string name : {"журнал", "καταγραφή", "日志", "dziennik_żółć", "log 😀"}) {
    WriteBytes(dir + "\\" + name + ".txt", kCapture);
    runs.push_back({name + " to a file", "bootweave \"" + name + ".txt\" \"" + name + ".log\"", 0, "", "", name + ".log", kLog});
  }
  for (int64_t size : {4294967306ll, 2863311530ll}) {  // sparse
    HANDLE h = CreateFileW(Wide(dir + "\\" + std::to_string(size)).c_str(), GENERIC_WRITE, 0,
                           nullptr, CREATE_ALWAYS, 0, nullptr);
    SetFilePointerEx(h, LARGE_INTEGER{{DWORD(size), LONG(size >> 32)}}, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
  }
  LongLog big = LongLogModel(17u << 20);  // read in three pieces of at most 8 MiB
  WriteBytes(dir + "\\big.txt", big.capture);
  runs.push_back({"17 MiB read in pieces", "bootweave big.txt big.log", 0, "", "", "big.log", big.log});
  // The samples as they are, and boot_capture redirected by Windows PowerShell 5.1
  // once and twice (>>); the other forms are checked in process. The log is cmd's.
  for (const char* name : {"boot_capture", "boot_capture_linux", "chunks252_capture", "lines59_capture", "linux_capture"}) {
    std::string sample = SourcePath("samples") + "\\" + name;
    runs.push_back({name, "bootweave \"" + sample + ".txt\" -", 0, ReadBytes(SourcePath("samples") + "\\" +
                   (std::string(name) == "boot_capture_linux" ? "boot_capture" : name) + ".log")});
  }
  const std::string boot = ReadBytes(SourcePath("samples") + "\\boot_capture.txt"),
                    boot_log = ReadBytes(SourcePath("samples") + "\\boot_capture.log");
  const PowerShellWay way = {79, true};
  add_capture("boot_capture_ps.txt", PowerShellCapture(boot, way), boot_log);
  add_capture("boot_capture_twice.txt", Utf16Model(PowerShellModel(boot, way) + PowerShellModel(boot, way)),
              boot_log + boot_log);
  // Records read back in their pieces: a one-line run's, appended to by another (>>),
  // and one behind a short first line ending in blanks, where a hard cut splits only
  // the CategoryInfo line. A log that quotes the error id holds no record: it is kept,
  // although its longest line looks split.
  const std::string one_line = "(bootloader) " + std::string(46, 'a') + " bbbbbbbbbb\r\n",
                    short_first = "(bootloader) " + std::string(26, 'x') + "  \r\n(bootloader) ok\r\nOKAY [  0.010s]\r\n",
                    quoted = "(bootloader) quote: + FullyQualifiedErrorId : NativeCommandError\r\n + FullyQualifiedErrorId"
                             " : NativeCommandError.\r\n" + std::string(90, 'a') + "\r\nnext\r\n(bootloader) end\r\n";
  add_capture("one_line.txt", Utf16Model(PowerShellModel(one_line, {79, true}) + PowerShellModel(one_line, {79, true})),
              ReformatModel(one_line + one_line, false, 1024));
  add_capture("short_first.txt", PowerShellCapture(short_first, {79, false}), ReformatModel(short_first, false, 1024));
  add_capture("quoted.txt", quoted, ReformatModel(quoted, false, 1024));
  // Real line breaks that look like splits, at 80 columns with a word wrap (W = 79): a line
  // ending in a blank where the next line's first word would not have fitted is joined with
  // it; one where the word would have fitted is kept, and so is a line of 79 whose last word
  // and the next line's first word would have fitted a line together.
  const struct { std::string line, next; bool joined; } breaks[] = {
      {"log: " + std::string(54, 'x') + " ", "extraordinarily_long_first_word", true},
      {"log: " + std::string(54, 'x') + " ", "short", false},
      {"log: " + std::string(50, 'y') + " " + std::string(10, 'z'), std::string(68, 'w'), false}};
  for (const auto& b : breaks) {
    std::string output = "(bootloader) boot\r\n(bootloader) dump: " + std::string(100, 'f') +
                         "\r\n(bootloader) " + b.line + "\r\n" + b.next + " of the next line\r\nOKAY [  0.010s]\r\n";
    std::string read = output;  // as bootweave reads it back
    if (b.joined) read.erase(read.find("\r\n" + b.next), 2);
    std::string log = ReformatModel(read, false, 1024);
    add_capture(b.next.substr(0, 20) + ".txt", PowerShellCapture(output, {79, true}), log);
  }
  // A full disk, where the build could mount a small tmpfs (as root).
  std::string disk = WindowsPath(BW_BINARY_DIR "/full_disk");
  WriteBytes(dir + "\\lines.txt", Repeat("(bootloader) " + std::string(60, 'a') + "\r\n", 2000));
  if (FileExists(disk + "\\mounted"))
    runs.push_back({"full disk", "bootweave lines.txt \"" + disk + "\\out.txt\"", 3, "", "Cannot write 1024 bytes to destination file (112 - <error>)\r\n"});
  std::vector<Case> part;
  for (size_t i = GetParam(); i < runs.size(); i += 3) part.push_back(runs[i]);
  runs.swap(part);
  // Three runs at a time: a start under Wine costs a tenth of a second of processor
  // time, most of it the system's. Every row writes files of its own names.
  std::vector<RunResult> results(runs.size());
  std::atomic<size_t> next{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 3; ++i)
    workers.emplace_back([&] {
      for (size_t at; (at = next++) < runs.size();) results[at] = RunBootweave(runs[at].line, dir);
    });
  for (std::thread& worker : workers) worker.join();
  for (size_t i = 0; i < runs.size(); ++i) {
    const Case& run = runs[i];
    const RunResult& r = results[i];
    std::string label = run.name + " (" + run.line.substr(0, 60) + ")";
    EXPECT_EQ(r.exit_code, run.code) << label;
    EXPECT_EQ(r.out, run.out) << label;
    EXPECT_TRUE(Matches(r.err, run.err)) << label << "\n" << r.err;
    EXPECT_TRUE(run.file.empty() || ReadBytes(dir + "\\" + run.file) == run.contents) << label;
  }
  EXPECT_FALSE(FileExists(dir + "\\o.txt"));
  CloseHandle(server);
  EXPECT_FALSE(FileExists(disk + "\\out.txt")) << "a log cut short by the full disk is left";
  if (GetParam() == 0) {
    results.push_back(RunAsWindowsVersion("nt40"));
    EXPECT_EQ(results.back().exit_code, 9999u);
    EXPECT_EQ(results.back().err, "Cannot initialize application\r\n");
    EXPECT_EQ(RunAsWindowsVersion("win2k").exit_code, 99u);  // 5.0 runs
  }
  // The README's table of messages, "| <code> | `<message>` |": each message a run
  // printed stands there with its exit code.
  std::istringstream readme(ReadBytes(SourcePath("README.md")));
  std::vector<std::pair<uint32_t, std::string>> table;
  std::smatch m;
  for (std::string line; std::getline(readme, line);) {
    if (std::regex_search(line, m, std::regex(R"(^\| (\d+) \| `([^`]+)` \|)")))
      table.push_back({std::stoul(m[1]), m[2]});
  }
  ASSERT_GE(table.size(), 18u);
  for (const RunResult& r : results) {
    bool found = r.err.empty() || r.err.size() > 1000;
    for (const auto& row : table)
      found |= row.first == r.exit_code && Matches(r.err.substr(0, r.err.size() - 2), row.second);
    EXPECT_TRUE(found) << "not in the README's table: " << r.exit_code << " " << r.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Part, Runs, testing::Range(0, 3));

}  // namespace
