#pragma once
// The reformatting written down the plain way, for the tests and the fuzzer to
// check ReformatLog against: one round per marker, the table searched afresh in
// its order each time, one byte at a time. Slow (quadratic), obviously right.

#include <stddef.h>

#include <string>

inline std::string ReformatModel(const std::string& source, bool raw, size_t capacity) {
  static const char* const kText[3] = {"(bootloader) ", "OKAY [", "Finished. Total time:"};
  static const bool kKeepFollowing[3] = {true, false, false};
  auto is_break = [](char c) { return c == '\r' || c == '\n'; };
  std::string out;
  auto free_bytes = [&] { return capacity - out.size(); };
  auto ends_with_break = [&] {
    return out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0;
  };
  bool keep = false;
  size_t pos = 0;
  while (pos < source.size()) {
    int marker = -1;
    size_t at = source.size();
    for (int i = 0; i < 3 && marker < 0; ++i) {
      size_t found = source.find(kText[i], pos);
      if (found != std::string::npos) marker = i, at = found;
    }
    size_t segment_end = at;
    size_t consumed = marker < 0 ? 0 : std::char_traits<char>::length(kText[marker]);
    if (marker >= 0 && at >= 2 && source[at - 2] == '\r' && source[at - 1] == '\n') {
      segment_end = at - 2;
      consumed += 2;
    }
    for (size_t i = pos; keep && i < segment_end;) {
      if (!raw && is_break(source[i])) {
        while (i < segment_end && is_break(source[i])) ++i;
        if (!out.empty() && !ends_with_break() && free_bytes() >= 2) out += "\r\n";
      } else {
        if (free_bytes() >= 2) out += source[i];
        ++i;
      }
    }
    pos = segment_end + consumed;
    if (marker >= 0) keep = kKeepFollowing[marker];
  }
  if (!raw && !out.empty() && out.back() != '\n' && free_bytes() >= 2) out += "\r\n";
  return out;
}
