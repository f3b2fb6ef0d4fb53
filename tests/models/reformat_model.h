#pragma once
// The reformatting written down the plain way, for the tests and the fuzzer to
// check ReformatLog against: the kept text and its messages found with string
// searches, the messages judged one by one, the joined text built whole and then
// normalised one byte at a time. Slow, obviously right.

#include <stddef.h>

#include <string>
#include <vector>

inline std::string ReformatModel(const std::string& source, bool raw, size_t capacity) {
  const std::string prefix = "(bootloader) ", okay = "OKAY [", finished = "Finished. Total time:";
  auto is_break = [](char c) { return c == '\r' || c == '\n'; };
  auto starts = [](const std::string& text, size_t at, const std::string& what) {
    return text.compare(at, what.size(), what) == 0;
  };
  std::string joined;  // the kept text, its prefixes removed
  size_t first = source.find(prefix);
  if (first != std::string::npos) {
    // Kept: from the first prefix to the first status line behind the last one
    // (the CR LF in front of that going with it).
    std::vector<size_t> at;
    for (size_t p = first; p != std::string::npos; p = source.find(prefix, p + prefix.size())) at.push_back(p);
    size_t tail = at.back() + prefix.size(), stop = source.find(okay, tail);
    if (stop == std::string::npos) stop = source.find(finished, tail);
    if (stop == std::string::npos)
      stop = source.size();
    else if (stop >= tail + 2 && source.compare(stop - 2, 2, "\r\n") == 0)
      stop -= 2;
    // fastboot's line break: LF where more prefixes stand behind an LF alone than behind CR LF.
    int bare_lf = 0, cr_lf = 0;
    for (size_t p : at) {
      if (p >= 1 && source[p - 1] == '\n') (p >= 2 && source[p - 2] == '\r' ? cr_lf : bare_lf)++;
    }
    size_t host_break = bare_lf > cr_lf ? 1 : 2;
    // Each message: its text, fastboot's line break behind it, what it holds.
    struct Message { std::string text, host_break; bool plain, own_break; };
    std::vector<Message> messages;
    for (size_t i = 0; i < at.size(); ++i) {
      size_t from = at[i] + prefix.size(), to = i + 1 < at.size() ? at[i + 1] : stop;
      std::string text = source.substr(from, to - from), end;
      std::string expected = host_break == 1 ? "\n" : "\r\n";
      if (text.size() >= host_break && text.compare(text.size() - host_break, host_break, expected) == 0) {
        end = expected;
        text.resize(text.size() - host_break);
      }
      Message m = {text, end, true, false};
      for (size_t k = 0; k < text.size(); ++k) {
        if (!is_break(text[k]) || (k > 0 && is_break(text[k - 1]))) continue;
        m.plain = false;  // a run of line breaks starts at k
        size_t behind = k;
        while (behind < text.size() && is_break(text[behind])) ++behind;
        m.own_break |= behind == text.size() || !(starts(text, behind, okay) || starts(text, behind, finished));
      }
      messages.push_back(m);
    }
    // The kind: a log in pieces where one message in eight holds a line break of
    // its own; else lines, and those cut at a packet's size go on.
    size_t broken = 0, longest = 0, longest_count = 0;
    for (const Message& m : messages) {
      broken += m.own_break;
      if (m.plain && m.text.size() > longest) longest = m.text.size(), longest_count = 0;
      if (m.plain && m.text.size() == longest) ++longest_count;
    }
    bool pieces = broken * 8 >= messages.size();
    bool cut = longest_count >= 2 && (longest == 59 || longest == 60 || longest == 251 || longest == 252);
    for (size_t i = 0; i < messages.size(); ++i) {
      const Message& m = messages[i];
      bool goes_on = pieces || (cut && m.plain && m.text.size() == longest);
      joined += m.text;
      if (i + 1 == messages.size() || !goes_on) joined += m.host_break;
    }
  }
  std::string out;
  auto free_bytes = [&] { return capacity - out.size(); };
  auto ends_with_break = [&] {
    return out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0;
  };
  for (size_t i = 0; i < joined.size();) {
    if (!raw && is_break(joined[i])) {
      while (i < joined.size() && is_break(joined[i])) ++i;
      if (!out.empty() && !ends_with_break() && free_bytes() >= 2) out += "\r\n";
    } else {
      if (free_bytes() >= 2) out += joined[i];
      ++i;
    }
  }
  if (!raw && !out.empty() && out.back() != '\n' && free_bytes() >= 2) out += "\r\n";
  return out;
}
