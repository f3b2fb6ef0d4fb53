#pragma once
// Every message both programs print, in one place: a user reads the same words on
// every host, and the README's table of messages lists them.

// The command line.
constexpr char kNoOptionText[] = "No option: \"%s\"";
constexpr char kOptionTooLongText[] = "Option is too long: \"%s%s\"";
constexpr char kInvalidOptionText[] = "Invalid option \"-%s\"";
constexpr char kOneKindText[] = "Only one of \"-pieces\", \"-lines\" and \"-lines=<length>\" can be given";
constexpr char kInvalidLengthText[] = "Invalid length in option \"-lines=%s\" (1 to 65535 bytes)";
constexpr char kInvalidSourceText[] = "Invalid source file specification";
constexpr char kNoDestinationText[] = "No destination file specification";
constexpr char kInvalidDestinationText[] = "Invalid destination file specification";
constexpr char kInvalidRestText[] = "Invalid rest of command line: \"%s\"";

// The files; the last "%s" of each is "<code> - <description>".
constexpr char kCannotOpenText[] = "Cannot open \"%s\" (%s)";
constexpr char kCannotGetSizeText[] = "Cannot get file size (%s)";
constexpr char kTooLargeText[] = "Source file of %s bytes is too large (at most %u bytes)";
constexpr char kEmptyCaptureText[] =
    "The capture \"%s\" is empty: fastboot prints the bootloader's text on standard error, "
    "capture that too (2>&1)";
constexpr char kCannotAllocateSourceText[] = "Cannot allocate source buffer of %u bytes (%s)";
constexpr char kCannotReadText[] = "Cannot read %u bytes from source file (%s)";
constexpr char kReadOnlyText[] = "Read only %u bytes from source file of %u";
constexpr char kCannotCreateText[] = "Cannot create \"%s\" (%s)";
constexpr char kCannotAllocateDestinationText[] = "Cannot allocate destination buffer of %u bytes (%s)";
constexpr char kCannotWriteText[] = "Cannot write %u bytes to destination file (%s)";
constexpr char kWrittenOnlyText[] = "Written only %u bytes to destination file of %u";

// The run.
constexpr char kNothingToJoinText[] =
    "Nothing to join: no \"%s\" in \"%s\", the log is empty (capture standard error too, 2>&1; "
    "a host that prints the bootloader's text without the prefix needs no joining)";
