#pragma once
// A fastboot session written down the plain way: what the bootloader sends,
// message by message, and what the host prints of it. Shared by the tests and
// the benchmarks.

#include <stddef.h>

#include <string>
#include <vector>

// fastboot prints each message behind the prefix and ends it with LF; on
// Windows, where it writes in text mode, every LF becomes CR LF.
inline std::string FastbootCaptureModel(const std::vector<std::string>& messages, bool windows) {
  std::string text = "< waiting for any device >\n";
  for (const std::string& message : messages) text += "(bootloader) " + message + "\n";
  text += "OKAY [  0.012s]\nFinished. Total time: 0.015s\n";
  std::string capture;
  capture.reserve(text.size() * 11 / 10);
  for (char c : text) capture += c == '\n' && windows ? "\r\n" : std::string(1, c);
  return capture;
}

// A log sent in pieces of `size` bytes, cut anywhere; of 17 to 23 bytes where
// size is 0.
inline std::vector<std::string> PiecesModel(const std::string& log, size_t size) {
  std::vector<std::string> pieces;
  for (size_t at = 0, n = 0; at < log.size(); at += n, pieces.push_back(log.substr(at - n, n)))
    n = size ? size : 17 + at % 7;
  return pieces;
}

// A log sent a line per message: a line longer than `payload` bytes fills a
// message completely and goes on in the next.
inline std::vector<std::string> PacketsModel(const std::vector<std::string>& lines, size_t payload) {
  std::vector<std::string> messages;
  for (const std::string& line : lines)
    for (size_t at = 0; at == 0 || at < line.size(); at += payload) messages.push_back(line.substr(at, payload));
  return messages;
}

inline std::string JoinModel(const std::vector<std::string>& lines, const std::string& line_break) {
  std::string text;
  for (const std::string& line : lines) text += line + line_break;
  return text;
}

// A long log sent a line per message, numbered lines of 3 to 100 bytes, as a
// Windows host prints it (each line's own CR LF as CR CR LF): at least `size`
// bytes of capture, and the log with each line ended by CR LF.
struct LongLog {
  std::string capture, log;
};
inline LongLog LongLogModel(size_t size) {
  LongLog big;
  for (int i = 0; big.capture.size() < size; ++i) {
    std::string line = "[" + std::to_string(i) + "] " + std::string(i % 97, char('a' + i % 26));
    big.capture += "(bootloader) " + line + "\r\r\n";
    big.log += line + "\r\n";
  }
  return big;
}
