#pragma once
// The application's standard output and standard error handles, null while not
// held. The start-up frame fills them, and alone closes them.

extern void* StdOutputHandle;
extern void* StdErrorHandle;
