#pragma once
// Texts that both programs print; the Unix program's end their lines in LF.

#include <string>

#include "app/version.h"

inline std::string Repeat(const std::string& piece, int count) {
  std::string text;
  while (count-- > 0) text += piece;
  return text;
}

inline std::string NothingToJoin(const std::string& name, bool unix) {
  return "Nothing to join: no \"(bootloader) \" in \"" + name + "\", the log is empty (capture standard error "
         "too, 2>&1; a host that prints the bootloader's text without the prefix needs no joining)" +
         (unix ? "\n" : "\r\n");
}

// The Unix program's usage text names LF as what -raw leaves alone, and says what a
// dash as the source reads.
inline std::string UsageText(bool unix) {
  std::string text =
      "\n"
      "bootweave " BW_VERSION_TEXT " - turns a fastboot log capture into the bootloader's plain log\n"
      "https://bootweave.org/\n"
      "\n"
      "Arguments: [<options>] <src file> <dst file>\n"
      "\n"
      "Options:\n"
      "\n"
      "-raw - just remove fastboot prefixes, not replacing CR-CR-LF with " + std::string(unix ? "LF" : "CR-LF") + ",\n"
      "not removing consequtive line breaks.\n"
      "\n"
      "-pieces - the bootloader sent its log in pieces cut anywhere: every\n"
      "message goes on in the next.\n"
      "-lines - the bootloader sent a line per message: each message ends a line.\n"
      "-lines=<length> - a line per message, lines too long for a packet cut\n"
      "at <length> bytes: a message of that length goes on in the next.\n"
      "Without these, the kind of each command's messages is told from the capture.\n"
      "\n"
      "If a dash ('-') is specified as a destination file, standard output\n"
      "(stdout) is used.\n" +
      std::string(unix ? "If a dash is specified as a source file, standard input (stdin)\n"
                         "is read to its end, as is a named pipe.\n" : "") + "\n";
  if (unix) return text;
  std::string windows;
  for (char c : text) windows += c == '\n' ? "\r\n" : std::string(1, c);
  return windows;
}
