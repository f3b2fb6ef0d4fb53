#pragma once
// The library's checks of its preconditions and invariants. A failed check stops
// at a breakpoint when a debugger is attached and does nothing otherwise, so the
// code behind a check must cope with the condition having failed.

// True when the system reports a debugger attached to the process; always false
// on the Linux host.
bool IsDebuggerAttached();

// Asks for a debugger only when condition is false.
void DebugCheck(bool condition);

// Executes a breakpoint whether or not a debugger is attached: without one the
// process ends there; resumed by a debugger, execution goes on behind the call.
void BreakpointTrap();
