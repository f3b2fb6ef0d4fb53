// Whole fastboot sessions, made from the device side (tests/models/bootloader_model.h)
// and fed with real boot logs: the log must be the text the bootloader sent, on
// every host, in one run or several appended to one file.

#include <gtest/gtest.h>

#include <stdint.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "tests/models/bootloader_model.h"
#include "tests/models/session_model.h"
#include "tests/models/text_model.h"

namespace {

// One run of the host: the text the bootloader meant to send, and what the host
// printed of it (LF line ends, as on Linux).
struct Command {
  std::string text;
  std::string output;
};

Command Lines(const std::vector<std::string>& lines, const std::vector<std::string>& messages) {
  return {JoinModel(lines, "\n"), OemRunModel(messages, true)};
}

Command Pieces(const std::vector<std::string>& pieces) { return {ConcatModel(pieces), OemRunModel(pieces)}; }

// A real boot log of tests/data (its README says where each is from), as bytes.
std::string BootLog(const char* name) {
  std::ifstream file(std::string(BW_SOURCE_DIR "/tests/data/") + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

const std::string kUBootConsoleLog = BootLog("u-boot-console.txt"), kKernelLog = BootLog("a33-kernel.txt"),
                  kUBootEnvLog = BootLog("stm32mp-printenv.txt"), kNexusLog = BootLog("nexus5-uart.txt");
const std::vector<std::string> kKernelLines = LinesOf(kKernelLog), kEnvLines = LinesOf(kUBootEnvLog),
                               kNexusLines = LinesOf(kNexusLog);

// Qualcomm's LK: a message "name:value" per variable, an empty OKAY.
const std::vector<std::string> kVariables = {
    "version-bootloader:0.4-2817406", "product:board", "secure:yes", "kernel:lk", "unlocked:no",
    "max-download-size:0x20000000", "partition-type:cache:ext4", "partition-size:cache: 0x0000000010000000",
    "serialno:5a3c1e7b", "charger-screen-enabled:1", "off-mode-charge:1", "variant:MSM UFS"};
const Command kGetvarAll = {JoinModel(kVariables, "\n"), GetvarRunModel("all", kVariables, "")};

// One value, the longest, is exactly a packet long: no sign of lines cut there.
std::vector<std::string> OneFullVariable() {
  std::vector<std::string> variables = kVariables;
  variables.insert(variables.begin() + 6, "version-baseband:MPSS.BO.2.5.c3-00133-M8953_GEN_PACK-1.21539");
  return variables;
}

const std::vector<std::string> kEndsInMarkers = {
    "[     2.318] usb: reset, high speed", "[     2.330] fastboot: sent OKAY [0.047s]",
    "[     2.331] fastboot: Finished. Total time: 0.047s"};

const Command kOemUsb2Jtag = {"Enable USB2JTAG\nrebooting device for usb2jtag support..\n",
                             OemRunModel({"Enable USB2JTAG", "rebooting device for usb2jtag support..\n"})};

// Captures of one command each, and of several appended to one file (a script's
// `>>`): each on Linux, in cmd and in Windows PowerShell 5.1.
TEST(Sessions, LogIsWhatTheBootloaderSent) {
  for (const std::string* log : {&kUBootConsoleLog, &kKernelLog, &kUBootEnvLog, &kNexusLog})
    ASSERT_GT(log->size(), 1000u) << "a boot log of tests/data is missing";
  std::vector<std::string> last_okay = {kKernelLines[0], kKernelLines[4], "[     2.330] usb: OKAY [ep1 in] 0x2a bytes"};
  std::vector<std::string> stray(kNexusLines.begin(), kNexusLines.begin() + 20);
  stray[7].insert(5, "\r\n");  // one message among twenty carries a line break
  std::vector<std::string> late(70, kKernelLines[4]);  // lines cut only beyond the first 64 messages
  late.insert(late.end(), kKernelLines.begin(), kKernelLines.end());
  std::vector<std::string> marker_pieces = PiecesModel(JoinModel(kKernelLines, "\n") + JoinModel(kEndsInMarkers, "\n"), 252);
  ASSERT_NE(marker_pieces.back().find("sent OKAY [0.047s]\n[     2.331] fastboot: Finished. Total time:"), std::string::npos);
  const struct {
    const char* name;
    std::vector<Command> runs;
  } rows[] = {
      {"U-Boot's oem console", {{kUBootConsoleLog, OemRunModel(UBootConsoleModel(kUBootConsoleLog))}}},
      {"a log dump in 20-byte pieces", {Pieces(LkLogDumpModel(kKernelLog))}},
      {"three pieces, one line break, a line behind it that may be fastboot's",
       {Pieces(LkLogDumpModel(kUBootEnvLog.substr(kUBootEnvLog.find("env_check=") + 11, 60)))}},
      {"a line per message cut at 59", {Lines(kKernelLines, PacketsModel(kKernelLines, 59))}},
      {"a Nexus 5's log a line per message cut at 59", {Lines(kNexusLines, PacketsModel(kNexusLines, 59))}},
      {"a line per message cut at 59 behind 70 short lines", {Lines(late, PacketsModel(late, 59))}},
      {"a line per message cut at 60", {Lines(kKernelLines, PacketsModel(kKernelLines, 60))}},
      {"a line per message cut at 252", {Lines(kNexusLines, PacketsModel(kNexusLines, 252))}},
      {"a line per message, one holding a line break", {Lines(stray, stray)}},
      {"U-Boot's printenv a line per message cut at 252", {Lines(kEnvLines, PacketsModel(kEnvLines, 252))}},
      {"U-Boot's oem console printenv", {{kUBootEnvLog, OemRunModel(UBootConsoleModel(kUBootEnvLog))}}},
      {"getvar all", {kGetvarAll}},
      {"getvar all of an old host", {{kGetvarAll.text, GetvarRunModel("all", kVariables, "", true)}}},
      {"getvar all, one value a packet long",
       {{JoinModel(OneFullVariable(), "\n"), GetvarRunModel("all", OneFullVariable(), "")}}},
      {"getvar all ending in all: Done!",
       {{"version: 0.5\nversion-bootloader: 1.44.0000\nproduct: m7_ul\n",
         GetvarRunModel("all", {"version: 0.5", "version-bootloader: 1.44.0000", "product: m7_ul"}, "Done!")}}},
      {"fastbootd's getvar dmesg",
       {{JoinModel(FastbootdInfoModel(kKernelLines), "\n"), GetvarRunModel("dmesg", FastbootdInfoModel(kKernelLines), "")}}},
      {"a last message holding OKAY [", {Lines(last_okay, last_okay)}},
      {"a last piece holding a status line's words", {Pieces(marker_pieces)}},
      {"a capture stopped with Ctrl-C", {{kUBootConsoleLog, InterruptedRunModel(UBootConsoleModel(kUBootConsoleLog))}}},
      {"MediaTek LK's oem usb2jtag", {kOemUsb2Jtag}},
      {"getvar all, then a log dump in 60-byte pieces", {kGetvarAll, Pieces(PiecesModel(kKernelLog, 60))}},
      {"getvar all, a log dump in pieces, a line per message cut at 59",
       {kGetvarAll, Pieces(LkLogDumpModel(kKernelLog)), Lines(kKernelLines, PacketsModel(kKernelLines, 59))}},
      {"oem console, flash with labels, getvar all",
       {{kUBootConsoleLog, OemRunModel(UBootConsoleModel(kUBootConsoleLog))}, {"", FlashRunModel()}, kGetvarAll}},
      {"oem usb2jtag, then getvar all", {kOemUsb2Jtag, kGetvarAll}},
      {"a log dump ending in a piece with a line break, then a flash whose message stands behind its label",
       {Pieces(LkLogDumpModel(kKernelLog.substr(0, 60))), {"Flashing sparse image", FlashRunModel({"Flashing sparse image"})}}},
      {"getvar all of an old host, then a log dump in pieces",
       {{kGetvarAll.text, GetvarRunModel("all", kVariables, "", true)}, Pieces(LkLogDumpModel(kKernelLog))}},
      {"a getvar of one variable between two logs",
       {Pieces(LkLogDumpModel(kKernelLog)), {"", GetvarRunModel("product", {}, "board")},
        Lines(kNexusLines, PacketsModel(kNexusLines, 59))}},
      {"a refused command between two",
       {kGetvarAll, {"Please unlock the device first", FailedRunModel({"Please unlock the device first"}, "not allowed")},
        Pieces(LkLogDumpModel(kKernelLog))}},
  };
  for (const auto& row : rows) {
    std::vector<std::string> texts, windows_outputs;
    std::string linux_capture, cmd_capture;
    for (const Command& run : row.runs) {
      texts.push_back(run.text);
      windows_outputs.push_back(WindowsTextModel(run.output));
      linux_capture += run.output;
      cmd_capture += windows_outputs.back();
    }
    std::string expected = SentLogModel(texts);
    std::string linux_log = ProgramLog(linux_capture), cmd_log = ProgramLog(cmd_capture);
    EXPECT_EQ(linux_log, expected) << row.name << ", Linux";
    EXPECT_EQ(cmd_log, expected) << row.name << ", cmd";
    for (size_t i = 0; i < windows_outputs.size(); ++i)
      ASSERT_TRUE(UnambiguousModel(windows_outputs[i], AppendWayModel(i))) << row.name;
    std::string powershell_log = ProgramLog(PreparedText(PowerShellAppendModel(windows_outputs)));
    EXPECT_EQ(powershell_log, expected) << row.name << ", Windows PowerShell 5.1";
  }
}

// Raw mode keeps the bootloader's line breaks as they arrived and drops only the
// prefixes: a line per message from Linux gives each line ended by fastboot's LF,
// a log in pieces its own text. The line break in front of the status lines goes
// with them, so the very end is left out of the comparison; between two runs
// appended to one file, a log that ends its last line goes on as the bootloader
// sent it.
TEST(Sessions, RawKeepsTheLineBreaksThatArrived) {
  auto trimmed = [](const std::string& text) { return text.substr(0, text.find_last_not_of("\r\n") + 1); };
  std::vector<std::string> pieces = LkLogDumpModel(kKernelLog);
  EXPECT_EQ(trimmed(ProgramLog(kGetvarAll.output, true)), trimmed(JoinModel(kVariables, "\n")));
  EXPECT_EQ(trimmed(ProgramLog(OemRunModel(pieces), true)), trimmed(ConcatModel(pieces)));
  std::vector<std::string> whole_lines = PiecesModel(JoinModel(kKernelLines, "\n") + "\n", 60);
  EXPECT_EQ(trimmed(ProgramLog(OemRunModel(whole_lines) + OemRunModel(whole_lines), true)),
            ConcatModel(whole_lines) + trimmed(ConcatModel(whole_lines)));
}

}  // namespace
