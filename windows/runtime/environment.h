#pragma once
// The runtime library's record of the system it runs on, taken once at start-up,
// and the wide blank predicate.

#include <stdint.h>
#include <windows.h>

#include "windows/runtime/wide_char.h"

extern bool LibInitialized;
extern OSVERSIONINFOEXW OsVersionInfo;
extern uint32_t OsVersion;  // major * 256 + minor: 0x0601 for 6.1
extern uint32_t OsBuildNumber;
extern uint32_t OsUbr;  // 0xFFFFFFFF when the registry has no update revision
constexpr uint32_t kReleaseIdCapacity = 50;
extern WideChar OsReleaseId[kReleaseIdCapacity];  // empty when the registry has none
extern int64_t PerfFrequency;
extern uint32_t PerfTicksPerMs;
extern uint32_t PerfTicksPerUs;
extern SYSTEM_INFO OsSystemInfo;
// Optional system entry points, null where this Windows lacks them.
extern FARPROC ProcZwQuerySystemInformation;
extern FARPROC ProcRtlNtStatusToDosError;
extern FARPROC ProcGetCurrentProcessorNumber;
extern FARPROC ProcGetLogicalProcessorInformation;

extern const WideChar BlankCharsW[];
extern const WideChar LibraryIdent[];

// Oldest Windows the library runs on: 5.0.
constexpr uint32_t kMinimumOsVersion = 0x0500;
constexpr uint32_t kNoUbr = 0xFFFFFFFF;

// Records the system facts and creates the clean-up registry; false on a
// Windows older than 5.0, without a performance counter, or without memory.
// Does nothing once it has succeeded.
bool InitLibrary();

// Reads the performance counter's frequency; false when it is zero.
bool InitTimerFrequency();
// Records `frequency` and the rounded counts per millisecond and microsecond.
bool StoreTimerFrequency(int64_t frequency);

// Records the values UBR and ReleaseId of `key` under `root`; a value that is
// missing, of another type or too long leaves the default.
void ReadVersionValues(HKEY root, const WideChar* key);

// The entry point, keeping its module loaded; null, with the module given back,
// when the module has no such function.
FARPROC GetLibraryProc(const WideChar* module_name, const char* proc_name);

struct ProcLookup {
  const WideChar* module_name;
  const char* proc_name;
  FARPROC* slot;
};
// Stores each entry point of `table` in its slot, null where missing.
void LookUpProcs(const ProcLookup* table, uint32_t count);

// Whether `ch` occurs among the first 50 characters of `set` (BlankCharsW when
// null); never true for NUL.
bool IsBlankW(WideChar ch, const WideChar* set);
