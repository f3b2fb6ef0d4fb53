#pragma once
// Windows PowerShell 5.1's file output of a program's standard error, written
// down plainly from what is known of it, for the tests, the fuzzer and the
// benchmarks: the program's output read as lines (ended by CR LF, CR or LF), the
// first wrapped in an error record, every line longer than W written in pieces
// (a word wrap or a hard cut every W UTF-16 units), each ended by CR LF. Text in
// UTF-8; the caller encodes it.

#include <stdint.h>

#include <random>
#include <string>
#include <vector>

struct PowerShellWay {
  uint32_t width;  // W: the console buffer's width less one
  bool word_wrap;  // the regional format of a western European language
  std::string location = "At line:1 char:1";
  std::string name = "fastboot.exe";
  std::string command = "fastboot oem log > capture.txt 2>&1";
  // The CategoryInfo line, where too long, broken as real records show it at 80
  // columns: right behind the target, a blank ending the piece and three blanks
  // leading the rest; otherwise word-wrapped at W - 4 behind four blanks.
  bool info_behind_target = false;
  std::string exception = "RemoteException";  // another: a CategoryInfo line not read
};

// The location line in some of the languages PowerShell speaks, and one long enough to be
// split: a script's path.
const std::string kLocationLines[6] = {
    "At line:1 char:1", "In Zeile:1 Zeichen:1", "En línea: 1 Carácter: 1", "所在位置 行:1 字符: 1",
    "строка:1 знак:1",
    "At C:\\Users\\Łukasz Wiśniewski\\Documents\\Android\\platform-tools\\scripts\\grab-oem-log.ps1:14 char:5"};

// UTF-16 units of UTF-8 text.
inline uint32_t UnitsModel(const std::string& text) {
  uint32_t units = 0;
  for (unsigned char c : text) units += (c & 0xC0) != 0x80 ? 1 + (c >= 0xF0) : 0;
  return units;
}

// The text's characters, each whole.
inline std::vector<std::string> CharactersModel(const std::string& text) {
  std::vector<std::string> characters;
  for (unsigned char c : text) {
    if ((c & 0xC0) == 0x80 && !characters.empty()) characters.back() += char(c);
    else characters.push_back(std::string(1, char(c)));
  }
  return characters;
}

// What PowerShell reads of a program's output: lines ended by CR LF, CR or LF.
inline std::vector<std::string> ReadLinesModel(const std::string& output) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < output.size()) {
    size_t end = output.find_first_of("\r\n", at);
    if (end == std::string::npos) end = output.size();
    lines.push_back(output.substr(at, end - at));
    at = end + (output.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// Tokens of a word wrap: a word and the one blank or tab behind it.
inline std::vector<std::string> TokensModel(const std::string& line) {
  std::vector<std::string> tokens(1);
  for (char c : line) {
    tokens.back() += c;
    if (c == ' ' || c == '\t') tokens.emplace_back();
  }
  if (tokens.back().empty()) tokens.pop_back();
  return tokens;
}

inline std::vector<std::string> SplitLineModel(const std::string& line, uint32_t width, bool word_wrap) {
  if (UnitsModel(line) <= width) return {line};
  std::vector<std::string> pieces(1);
  uint32_t left = width;
  auto put = [&](const std::string& text, uint32_t units) {
    if (units > left) pieces.emplace_back(), left = width;
    pieces.back() += text;
    left -= units;
  };
  if (!word_wrap) {
    for (const std::string& c : CharactersModel(line)) put(c, UnitsModel(c));
    return pieces;
  }
  for (const std::string& token : TokensModel(line)) {
    if (UnitsModel(token) <= width) {
      put(token, UnitsModel(token));
    } else {  // longer than a line: character by character, from where the line stands
      for (const std::string& c : CharactersModel(token)) put(c, UnitsModel(c));
    }
  }
  return pieces;
}

// The CategoryInfo shows a line of more than 40 UTF-16 units cut to its first 15
// and its last 15; half of a character of two units there arrives as U+FFFD.
inline std::string EllipsisModel(const std::string& line) {
  uint32_t units = UnitsModel(line);
  if (units <= 40) return line;
  std::string text;
  uint32_t at = 0;
  for (const std::string& c : CharactersModel(line)) {
    uint32_t size = UnitsModel(c);
    if (at + size > 15 && at < 15) text += "\xEF\xBF\xBD";
    if (at < units - 15 && at + size > units - 15) text += "...\xEF\xBF\xBD";
    if (at == units - 15) text += "...";
    if (at + size <= 15 || at >= units - 15) text += c;
    at += size;
  }
  return text;
}

// The record's lines around the first line, before the splitting.
inline std::vector<std::string> RecordModel(const std::string& first, const PowerShellWay& way) {
  std::string code = ("+ " + way.command).substr(0, way.width);
  std::string tildes = ("+ " + std::string(way.command.size(), '~')).substr(0, way.width);
  std::vector<std::string> lines = {way.name + " : " + first, way.location, code, tildes};
  std::string head = "    + CategoryInfo          : NotSpecified: (" + EllipsisModel(first),
              tail = ":String) [], " + way.exception;
  if (way.info_behind_target && UnitsModel(head + tail) > way.width) {
    lines.push_back(head + " ");
    lines.push_back("   " + tail);
  } else {
    std::vector<std::string> pieces = SplitLineModel(head + tail, way.width - 4, true);
    for (size_t i = 0; i < pieces.size(); ++i) lines.push_back((i ? "    " : "") + pieces[i]);
  }
  lines.push_back("    + FullyQualifiedErrorId : NativeCommandError");
  lines.push_back(" ");
  return lines;
}

// The file that `2>&1 >` (or `>>`, once more) makes of a program's standard error.
inline std::string PowerShellModel(const std::string& output, const PowerShellWay& way) {
  std::vector<std::string> lines = ReadLinesModel(output);
  if (lines.empty()) return "";
  std::vector<std::string> record = RecordModel(lines[0], way);
  lines.erase(lines.begin());
  lines.insert(lines.begin(), record.begin(), record.end());
  std::string file;
  for (size_t i = 0; i < lines.size(); ++i) {
    bool whole = i >= 2 && i < record.size();  // the code and the CategoryInfo come cut to fit
    for (const std::string& piece : whole ? std::vector<std::string>{lines[i]}
                                          : SplitLineModel(lines[i], way.width, way.word_wrap))
      file += piece + "\r\n";
  }
  return file;
}

// The same output as PowerShell would write it at a width no line reaches and
// without the record: what the preparation gives back.
inline std::string UnsplitModel(const std::string& output) {
  std::string text;
  for (const std::string& line : ReadLinesModel(output)) text += line + "\r\n";
  return text;
}

// Whether the last piece of `line`, before the plain line `next`, could not be
// told from a split: a piece of W, or with a word wrap (`word_wrap`) one ending
// in a blank where the next word would not have fitted. Only such a line is
// joined where PowerShell did not split it.
inline bool EndsLikeASplitModel(const std::string& line, const std::string& next, const PowerShellWay& way,
                                bool word_wrap) {
  std::string last = SplitLineModel(line, way.width, way.word_wrap).back();
  bool blank = !last.empty() && (last.back() == ' ' || last.back() == '\t');
  return UnitsModel(last) == way.width ||
         (word_wrap && blank && UnitsModel(last) + UnitsModel(TokensModel(next)[0]) > way.width);
}

// Whether no line of the output, the record's first and location lines
// included, ends like a split before a plain line (neither empty nor a chunk's);
// the record's first line in either way, since where the other lines do not
// tell the way, the record is read in both.
inline bool UnambiguousModel(const std::string& output, const PowerShellWay& way) {
  std::vector<std::string> lines = ReadLinesModel(output);
  if (lines.empty()) return true;
  lines[0] = way.name + " : " + lines[0];
  lines.insert(lines.begin() + 1, way.location);
  lines.insert(lines.begin() + 2, "+ ");
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    const std::string& next = lines[i + 1];
    bool plain = !next.empty() && next.compare(0, 13, "(bootloader) ") != 0;
    if (plain && EndsLikeASplitModel(lines[i], next, way, way.word_wrap || i == 0)) return false;
  }
  return true;
}

// UTF-8 as UTF-16LE or BE behind its byte order mark.
inline std::string Utf16Model(const std::string& utf8, bool big_endian = false) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (const std::string& c : CharactersModel(utf8)) {
    uint32_t code = uint8_t(c[0]);
    if (c.size() > 1) {
      code &= 0xFF >> (c.size() + 1);
      for (size_t i = 1; i < c.size(); ++i) code = code << 6 | (uint8_t(c[i]) & 0x3F);
    }
    std::vector<uint32_t> units = {code};
    if (code >= 0x10000) units = {0xD800 + ((code - 0x10000) >> 10), 0xDC00 + (code & 0x3FF)};
    for (uint32_t u : units)
      bytes += big_endian ? std::string{char(u >> 8), char(u)} : std::string{char(u), char(u >> 8)};
  }
  return bytes;
}

// Random logs and their captures, for the tests that compare PowerShell's file
// with cmd's.

// A bootloader's log handed out in chunks of `chunk` characters, each behind the
// prefix on a line of its own, as a Windows fastboot host prints it: each LF of
// the log as CR LF, so the log's own CR LF as CR CR LF.
inline std::string ChunkedLogModel(const std::vector<std::string>& log_lines, const std::string& line_break,
                           size_t chunk, bool waiting) {
  std::vector<std::string> characters;
  for (const std::string& line : log_lines)
    for (const std::string& c : CharactersModel(line + line_break)) characters.push_back(c);
  std::string output = waiting ? "< waiting for any device >\r\n" : "";
  for (size_t at = 0; at < characters.size(); at += chunk) {
    output += "(bootloader) ";
    for (size_t i = at; i < at + chunk && i < characters.size(); ++i)
      output += characters[i] == "\n" ? "\r\n" : characters[i];
    output += "\r\n";
  }
  return output + "OKAY [  0.050s]\r\nFinished. Total time: 0.061s\r\n";
}

inline std::vector<std::string> RandomLogModel(std::mt19937& random, uint32_t width) {
  const std::string words[] = {"[", "0.053]", "clock:", "cpu0", "@", "1804800", "kHz", "--", "ok",
                               "загрузка", "ядра", "启动完成", "分区表", "status", "0xee8d7ee9",
                               "Ωmega", "прошивка", "boot:", "ｏｋ", "GREEN,", "a"};
  std::vector<std::string> lines;
  // Three lines long enough to be split more than once at any width: a hard cut
  // shows where it cuts at least two lines inside a word.
  for (int n = 7 + random() % 24; n > 0; --n) {
    std::string line;
    for (int w = n > 3 ? random() % 40 : 60; w > 0; --w) line += (line.empty() ? "" : " ") + words[random() % 21];
    lines.insert(lines.begin() + random() % (lines.size() + 1), line);
  }
  // A token longer than any line: it fills a piece to exactly W.
  std::string token(width + 1 + random() % 200, 'f');
  for (char& c : token) c = "0123456789abcdef"[random() % 16];
  lines.insert(lines.begin() + random() % lines.size(), "dump: " + token + " end");
  return lines;
}

// Splits a hard cut made inside a word, where a word wrap would have moved the
// word: a hard cut is told by two of them at least.
inline int CutsInsideWordsModel(const std::string& output, const PowerShellWay& way) {
  std::vector<std::string> lines = ReadLinesModel(output);
  lines[0] = way.name + " : " + lines[0];
  int cuts = 0;
  for (const std::string& line : lines) {
    std::vector<std::string> pieces = SplitLineModel(line, way.width, false);
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
      size_t blank = pieces[i].find_last_of(" \t");
      uint32_t tail = UnitsModel(pieces[i].substr(blank + 1));
      cuts += blank != std::string::npos && blank + 1 < pieces[i].size() &&
              tail + UnitsModel(TokensModel(pieces[i + 1])[0]) <= way.width;
    }
  }
  return cuts;
}
