#include "windows/runtime/environment.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>
#include <tuple>

#include "windows/runtime/cleanup.h"
#include "windows/runtime/memory.h"

namespace {

TEST(StoreTimerFrequency, RoundsPerMillisecondThenPerMicrosecond) {
  const struct { int64_t frequency; uint32_t per_ms, per_us; } cases[] = {
      {10000000, 10000, 10}, {1500000, 1500, 2}, {1499000, 1499, 1}, {3579545, 3580, 4}, {499, 0, 0}, {1500, 2, 0}};
  for (const auto& c : cases) {
    EXPECT_TRUE(StoreTimerFrequency(c.frequency));
    EXPECT_EQ(std::make_tuple(c.frequency, c.per_ms, c.per_us),
              std::make_tuple(PerfFrequency, PerfTicksPerMs, PerfTicksPerUs));
  }
  EXPECT_FALSE(StoreTimerFrequency(0));  // the counts stay from the last success
  EXPECT_EQ(std::make_tuple(int64_t(0), 2u, 0u), std::make_tuple(PerfFrequency, PerfTicksPerMs, PerfTicksPerUs));
}

// Values of the wrong type, or a release id too long for its record, leave the defaults.
TEST(ReadVersionValues, KeepsTheDefaultsForMissingOrMistypedValues) {
  const wchar_t* key = L"Software\\BootweaveRuntimeTest";
  const DWORD ubr = 19045;
  const char16_t* id = u"0123456789012345678901234567890123456789012345678901234567890123";
  const struct { DWORD ubr_type, ubr_size, id_type, id_size; uint32_t ubr; size_t id; } cases[] = {
      // 50 characters without a terminator fill the 100 bytes; the record keeps 49 and a NUL.
      {REG_DWORD, 4, REG_SZ, 50 * 2, 19045, 49}, {REG_SZ, 4, REG_SZ, 130, 0xFFFFFFFF, 0},
      {REG_DWORD, 2, REG_DWORD, 4, 0xFFFFFFFF, 0}};
  for (const auto& c : cases) {
    SHSetValueW(HKEY_CURRENT_USER, key, L"UBR", c.ubr_type, &ubr, c.ubr_size);
    SHSetValueW(HKEY_CURRENT_USER, key, L"ReleaseId", c.id_type, id, c.id_size);
    OsUbr = kNoUbr;
    OsReleaseId[0] = 0;
    ReadVersionValues(HKEY_CURRENT_USER, reinterpret_cast<const WideChar*>(key));
    SHDeleteKeyW(HKEY_CURRENT_USER, key);
    EXPECT_EQ(std::make_pair(c.ubr, std::u16string(id, c.id)), std::make_pair(OsUbr, std::u16string(OsReleaseId)));
  }
}

// A missing entry point gives its module reference back; a found one keeps it.
TEST(GetLibraryProc, GivesTheModuleBackForAMissingEntryPoint) {
  ASSERT_EQ(nullptr, GetModuleHandleW(L"msimg32.dll")) << "the test needs a module nobody loaded";
  EXPECT_EQ(nullptr, GetLibraryProc(u"msimg32.dll", "NoSuchEntryPoint"));
  EXPECT_EQ(nullptr, GetModuleHandleW(L"msimg32.dll"));
  EXPECT_NE(nullptr, GetLibraryProc(u"msimg32.dll", "AlphaBlend"));
  EXPECT_NE(nullptr, GetModuleHandleW(L"msimg32.dll"));
}

// Without memory for the registry the facts are recorded and the library stays
// uninitialised; once it has succeeded, a second call changes nothing.
TEST(InitLibrary, RecordsTheSystemOnceAndCreatesAnEmptyRegistry) {
  LibInitialized = false;
  OsVersion = OsBuildNumber = 0;
  AllocHook = [](uint64_t, uint32_t) -> void* { return nullptr; };
  EXPECT_FALSE(InitLibrary());
  AllocHook = DefaultAlloc;
  EXPECT_TRUE(!LibInitialized && CleanupRegistry == nullptr);
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionExW(&version));
  EXPECT_EQ(version.dwMajorVersion * 256 + version.dwMinorVersion, OsVersion);
  EXPECT_EQ(version.dwBuildNumber, OsBuildNumber);
  ASSERT_TRUE(InitLibrary());
  CleanupList* registry = CleanupRegistry;
  ASSERT_NE(nullptr, registry);
  EXPECT_TRUE(LibInitialized && registry->first == nullptr && registry->count == 0);
  EXPECT_TRUE(OsSystemInfo.dwPageSize != 0 && ProcRtlNtStatusToDosError != nullptr);
  EXPECT_TRUE(InitLibrary());
  EXPECT_EQ(registry, CleanupRegistry);
  RunCleanup();
}

}  // namespace
