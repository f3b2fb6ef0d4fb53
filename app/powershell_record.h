#pragma once
// Windows PowerShell 5.1 wraps the first line that a program writes to standard
// error in an error record. Redirected to a file, the record reads (names, paths
// and the location line vary, the location line is in the system's language):
//
//   fastboot.exe : (bootloader) [     0.008] platform_init()
//   At line:1 char:1
//   + fastboot oem log 2>&1 > capture.txt
//   + ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~
//       + CategoryInfo          : NotSpecified: ((bootloader) [...platform_init():String) [], RemoteException
//       + FullyQualifiedErrorId : NativeCommandError
//   (one blank)
//
// and the next lines follow plain. The first line and the location line are
// split at the file's width like any other; the CategoryInfo line goes on in
// lines led by blanks where the console is narrow. Only the text behind
// "<name> : " is the program's own. A capture appended to with >> holds one
// record per run.

#include <stdint.h>

#include "app/powershell_wrap.h"

// "+ FullyQualifiedErrorId : NativeCommandError", blanks around it: the record's
// last line but the blank one, never translated and never split.
bool IsErrorIdLine(const TextLine& line);
// The start of the first error id line in [text, end), or null.
const uint8_t* FindErrorIdLine(const uint8_t* text, const uint8_t* end);
// Whether a line holds blanks and nothing else: the one that ends the record.
bool IsBlankLine(const TextLine& line);

// The lines last written, as offsets into the text they were written to: the
// record's lines before its error id are among them, each piece on its own,
// whether joined or not. PowerShell ended each with CR LF.
struct WrittenLine {
  uint32_t begin;
  uint32_t end;
  bool joined;  // onto the line above, whose line break went
};
constexpr uint32_t kRecentLines = 32;
struct RecentLines {
  WrittenLine lines[kRecentLines];
  uint32_t count;  // how many of them hold a line (at most kRecentLines)
  uint32_t next;   // where the next one goes
};

void AddRecentLine(RecentLines* recent, const WrittenLine& line);
// The k-th line before the next one, 0 the last written.
const WrittenLine& RecentLine(const RecentLines& recent, uint32_t k);

// The record that the error id line written next would close, in the recent
// lines written to `text`: its first line runs from the `first`-th recent line
// to the `last`-th (pieces joined by the wrap found or the other way, as the
// record's shape tells), and only its text from `own_text` on (behind
// "<name> : ") is the program's.
struct RecordStart {
  bool found;
  uint32_t first;
  uint32_t last;
  uint32_t own_text;
};
RecordStart FindRecordStart(const uint8_t* text, const RecentLines& recent, Wrap wrap);
