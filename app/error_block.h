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
// and the next lines follow plain. What goes before the first prefix is dropped
// anyway; the block behind the first chunk's line is not log text either.

#include <stdint.h>

// The block's most lines from the location line's next through the error id's.
constexpr uint32_t kErrorBlockLines = 8;

// Where the line of the first "(bootloader) " is followed by such a block (its
// location line, then up to kErrorBlockLines lines, the first beginning with
// "+ " and the last, not the first, being "+ FullyQualifiedErrorId :
// NativeCommandError", then an optional line of blanks), cuts the block out:
// the text from the first prefix up to the block moves up to meet the text
// behind it, and what lies before the moved prefix becomes blanks. The text
// keeps its length. Whether a block was cut.
bool CutErrorBlock(uint8_t* text, uint32_t length);
