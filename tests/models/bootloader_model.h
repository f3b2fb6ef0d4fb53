#pragma once
// Fastboot sessions made from the device side: a bootloader's text cut into
// messages as its sending code cuts it, and printed as the fastboot host prints
// each run (INFO messages, labels, status, getvar and closing lines), on Linux,
// in cmd and in Windows PowerShell 5.1, one run or several appended to one file.
// The expected log is taken from the text the bootloader meant to send, never
// from how the capture looks.

#include <stddef.h>

#include <string>
#include <vector>

#include "tests/models/powershell_model.h"

// The text's lines without their line breaks (CR LF, CR or LF); a last line
// without a break counts too.
inline std::vector<std::string> LinesOf(const std::string& text) {
  return ReadLinesModel(text);
}

// U-Boot's `oem console`: each message is console_record_readline(buf,
// sizeof(buf) - 5) on the 65-byte response buffer, so membuf_readline copies at
// most 59 bytes and stops behind a LF, which it drops. A longer line goes on in
// the next message; the LF of a line of exactly 59 bytes is read alone, as an
// empty message.
inline std::vector<std::string> UBootConsoleModel(const std::string& record) {
  std::vector<std::string> messages;
  for (size_t at = 0; at < record.size();) {
    size_t n = 0;
    while (n < 59 && at + n < record.size() && record[at + n] != '\n') ++n;
    messages.push_back(record.substr(at, n));
    at += n + (n < 59 && at + n < record.size());
  }
  return messages;
}

// MediaTek LK's `oem dump_pllk_log`: the log buffer copied 20 bytes at a time
// (LK_LOG_DUMP_SIZE - 1) into fastboot_info, whole pieces only: a tail shorter
// than a piece is never sent.
inline std::vector<std::string> LkLogDumpModel(const std::string& log) {
  std::vector<std::string> pieces;
  for (size_t at = 0; at + 20 <= log.size(); at += 20) pieces.push_back(log.substr(at, 20));
  return pieces;
}

// fastbootd's WriteStatus: a message longer than the 60 bytes behind "INFO" in
// the 64-byte response loses its end.
inline std::vector<std::string> FastbootdInfoModel(const std::vector<std::string>& lines) {
  std::vector<std::string> messages;
  for (const std::string& line : lines) messages.push_back(line.substr(0, 60));
  return messages;
}

inline std::string ConcatModel(const std::vector<std::string>& pieces) {
  std::string text;
  for (const std::string& piece : pieces) text += piece;
  return text;
}

// What the host prints, with LF line ends (fastboot.cpp: InfoMessage, Status's
// "%-50s ", Epilog's "OKAY [%7.3fs]\n", DisplayVarOrError's "%s: %s\n", and the
// closing "Finished. Total time: %.3fs\n"; older hosts close in lower case).
inline std::string InfoModel(const std::vector<std::string>& messages) {
  std::string text;
  for (const std::string& message : messages) text += "(bootloader) " + message + "\n";
  return text;
}

inline std::string LabelModel(const std::string& label) {
  return label + std::string(label.size() < 50 ? 50 - label.size() : 0, ' ') + " ";
}

// `fastboot oem ...`: no label, the status line, the closing line.
inline std::string OemRunModel(const std::vector<std::string>& messages, bool waiting = false) {
  return (waiting ? "< waiting for any device >\n" : "") + InfoModel(messages) +
         "OKAY [  0.047s]\nFinished. Total time: 0.052s\n";
}

// `fastboot getvar <name>`: no status line, the name and the OKAY's text instead.
inline std::string GetvarRunModel(const std::string& name, const std::vector<std::string>& messages,
                                  const std::string& value, bool old_host = false) {
  return InfoModel(messages) + name + ": " + value + "\n" +
         (old_host ? "finished. total time: 0.031s\n" : "Finished. Total time: 0.031s\n");
}

// `fastboot flash boot_a boot.img`: labels, each with its status on the same line;
// the bootloader's messages while it writes stand behind the label, as the host
// prints the label without a line break.
inline std::string FlashRunModel(const std::vector<std::string>& messages = {}) {
  return LabelModel("Sending 'boot_a' (12288 KB)") + "OKAY [  0.345s]\n" + LabelModel("Writing 'boot_a'") +
         InfoModel(messages) + "OKAY [  0.101s]\nFinished. Total time: 0.463s\n";
}

// A command that the bootloader refused: Epilog's "FAILED (%s)\n", then die()'s
// "fastboot: error: %s\n"; the run ends there, without a closing line.
inline std::string FailedRunModel(const std::vector<std::string>& messages, const std::string& reason) {
  return InfoModel(messages) + "FAILED (remote: '" + reason + "')\nfastboot: error: Command failed\n";
}

// A run stopped with Ctrl-C: the messages so far, no status line.
inline std::string InterruptedRunModel(const std::vector<std::string>& messages) {
  return "< waiting for any device >\n" + InfoModel(messages);
}

// Windows writes standard error in text mode: every LF, the bootloader's own
// included, becomes CR LF.
inline std::string WindowsTextModel(const std::string& output) {
  std::string text;
  for (char c : output) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return text;
}

// The way Windows PowerShell 5.1 writes the i-th run of a script that appends
// each run to one file (`2>&1 >>`), in a default console of 120 columns.
inline PowerShellWay AppendWayModel(size_t i) {
  PowerShellWay way = {119, true};
  way.location = "At line:" + std::to_string(i + 1) + " char:1";
  way.command = "fastboot oem log 2>&1 >> capture.txt";
  return way;
}

// The file: a record around each run's first line, every line ended by CR LF,
// in UTF-16.
inline std::string PowerShellAppendModel(const std::vector<std::string>& windows_outputs) {
  std::string file;
  for (size_t i = 0; i < windows_outputs.size(); ++i) file += PowerShellModel(windows_outputs[i], AppendWayModel(i));
  return Utf16Model(file);
}

// The log: each command's non-empty lines in order, each ended by CR LF; a
// command's text begins a line of its own.
inline std::string SentLogModel(const std::vector<std::string>& texts) {
  std::string log;
  for (const std::string& text : texts)
    for (const std::string& line : LinesOf(text))
      if (!line.empty()) log += line + "\r\n";
  return log;
}
