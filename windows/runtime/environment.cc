#include "windows/runtime/environment.h"

#include <shlwapi.h>

#include "windows/runtime/cleanup.h"
#include "windows/runtime/debug_check.h"
#include "windows/runtime/memory.h"

bool LibInitialized = false;
OSVERSIONINFOEXW OsVersionInfo = {};
uint32_t OsVersion = 0;
uint32_t OsBuildNumber = 0;
uint32_t OsUbr = kNoUbr;
WideChar OsReleaseId[kReleaseIdCapacity] = {};
int64_t PerfFrequency = 0;
uint32_t PerfTicksPerMs = 0;
uint32_t PerfTicksPerUs = 0;
SYSTEM_INFO OsSystemInfo = {};
FARPROC ProcZwQuerySystemInformation = nullptr;
FARPROC ProcRtlNtStatusToDosError = nullptr;
FARPROC ProcGetCurrentProcessorNumber = nullptr;
FARPROC ProcGetLogicalProcessorInformation = nullptr;

const WideChar BlankCharsW[] = u" \t";
const WideChar LibraryIdent[] = u"Tarnlib 1.0.0.0 x86-64, Copyright (C) the Tarnlib authors";

static const WideChar kCurrentVersionKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
static const uint32_t kBlankSetLimit = 50;

static const ProcLookup kOptionalProcs[] = {
    {u"ntdll", "ZwQuerySystemInformation", &ProcZwQuerySystemInformation},
    {u"ntdll", "RtlNtStatusToDosError", &ProcRtlNtStatusToDosError},
    {u"kernel32", "GetCurrentProcessorNumber", &ProcGetCurrentProcessorNumber},
    {u"kernel32", "GetLogicalProcessorInformation", &ProcGetLogicalProcessorInformation},
};

static bool ReadVersion() {
  OsVersionInfo.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
  if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&OsVersionInfo))) return false;
  ReadVersionValues(HKEY_LOCAL_MACHINE, kCurrentVersionKey);
  OsVersion = ((OsVersionInfo.dwMajorVersion & 0xFF) << 8) | (OsVersionInfo.dwMinorVersion & 0xFF);
  OsBuildNumber = OsVersionInfo.dwBuildNumber;
  return OsVersion >= kMinimumOsVersion;
}

bool InitLibrary() {
  // The volatile read keeps the identification string in the image.
  static_cast<void>(IsBlankW(*static_cast<const volatile WideChar*>(LibraryIdent), nullptr));
  if (LibInitialized) return true;
  if (!ReadVersion() || !InitTimerFrequency()) return false;
  GetSystemInfo(&OsSystemInfo);
  LookUpProcs(kOptionalProcs, sizeof(kOptionalProcs) / sizeof(kOptionalProcs[0]));
  CleanupList* list = static_cast<CleanupList*>(AllocateMemory(sizeof(CleanupList)));
  CleanupRegistry = list == nullptr ? nullptr : ListInit(list);
  if (list == nullptr) return false;
  LibInitialized = true;
  return true;
}

bool InitTimerFrequency() {
  LARGE_INTEGER frequency;
  frequency.QuadPart = 0;
  QueryPerformanceFrequency(&frequency);
  return StoreTimerFrequency(frequency.QuadPart);
}

bool StoreTimerFrequency(int64_t frequency) {
  PerfFrequency = frequency;
  if (frequency == 0) return false;
  PerfTicksPerMs = static_cast<uint32_t>((static_cast<uint64_t>(frequency) + 500) / 1000);
  // Rounded from the rounded millisecond count, as the library always has.
  PerfTicksPerUs = static_cast<uint32_t>((uint64_t{PerfTicksPerMs} + 500) / 1000);
  return true;
}

void ReadVersionValues(HKEY root, const WideChar* key) {
  const wchar_t* path = reinterpret_cast<const wchar_t*>(key);
  DWORD type = 0;
  DWORD ubr = 0;
  DWORD size = sizeof(ubr);
  if (SHGetValueW(root, path, L"UBR", &type, &ubr, &size) == ERROR_SUCCESS && type == REG_DWORD &&
      size == sizeof(ubr)) {
    OsUbr = ubr;
  }
  WideChar release_id[kReleaseIdCapacity];
  size = sizeof(release_id);
  if (SHGetValueW(root, path, L"ReleaseId", &type, release_id, &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return;
  }
  // The stored text need not end in NUL; the record always does.
  uint32_t length = 0;
  uint32_t limit = size / sizeof(wchar_t);
  while (length < limit && length < kReleaseIdCapacity - 1 && release_id[length] != 0) {
    OsReleaseId[length] = release_id[length];
    length++;
  }
  OsReleaseId[length] = 0;
}

FARPROC GetLibraryProc(const WideChar* module_name, const char* proc_name) {
  DebugCheck(module_name != nullptr && proc_name != nullptr);
  HMODULE module = LoadLibraryW(reinterpret_cast<const wchar_t*>(module_name));
  if (module == nullptr) return nullptr;
  FARPROC proc = GetProcAddress(module, proc_name);
  if (proc == nullptr) FreeLibrary(module);
  return proc;
}

void LookUpProcs(const ProcLookup* table, uint32_t count) {
  for (uint32_t i = 0; i < count; i++) {
    *table[i].slot = GetLibraryProc(table[i].module_name, table[i].proc_name);
  }
}

bool IsBlankW(WideChar ch, const WideChar* set) {
  if (ch == 0) return false;
  if (set == nullptr) set = BlankCharsW;
  for (uint32_t i = 0; i < kBlankSetLimit && set[i] != 0; i++) {
    if (set[i] == ch) return true;
  }
  return false;
}
