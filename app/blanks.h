#pragma once
// Blanks, as the command line and Windows PowerShell's lines have them: a space
// or a tab.

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

inline const char* SkipBlanks(const char* text) {
  while (IsBlank(*text)) ++text;
  return text;
}
