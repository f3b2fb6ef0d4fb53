#pragma once
// Whether text is the pattern, where "<...>" stands for one line of anything: the
// README's notation, and the system's error description in expected messages.

#include <regex>
#include <string>

inline bool Matches(const std::string& text, const std::string& pattern) {
  std::string re;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '<' && pattern.find('>', i) != std::string::npos) {
      i = pattern.find('>', i);
      re += "[^\r\n]+";
    } else {
      if (std::string("\\^$.|?*+()[]{}").find(pattern[i]) != std::string::npos) re += '\\';
      re += pattern[i];
    }
  }
  return std::regex_match(text, std::regex(re));
}
