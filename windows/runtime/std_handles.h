#pragma once
// The application's standard output and standard error handles, null while not
// held. The start-up frame fills them, and alone closes them.

extern void* StdOutputHandle;
extern void* StdErrorHandle;

// The runtime library's own copies, written by every successful GetStdHandles;
// nothing closes or clears them.
extern void* LibStdOutput;
extern void* LibStdError;

// Fills the given slots (null: not wanted) with the standard input, output and
// error handles: from the start-up information when the parent passed handles
// there (an invalid one becomes null), otherwise from the system. False, with
// nothing stored, when the system reports an invalid handle.
bool GetStdHandles(void** input_slot, void** output_slot, void** error_slot);
