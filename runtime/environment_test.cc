#include "runtime/environment.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>
#include <tuple>

#include "runtime/cleanup.h"
#include "runtime/memory.h"

namespace {

TEST(StoreTimerFrequency, RoundsPerMillisecondThenPerMicrosecond) {
  const struct { int64_t frequency; uint32_t per_ms, per_us; } cases[] = {
      {10000000, 10000, 10}, {1500000, 1500, 2}, {3579545, 3580, 4}, {1500, 2, 0}, {499, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_TRUE(StoreTimerFrequency(c.frequency));
    EXPECT_EQ(std::make_tuple(c.frequency, c.per_ms, c.per_us),
              std::make_tuple(PerfFrequency, PerfTicksPerMs, PerfTicksPerUs));
  }
  EXPECT_FALSE(StoreTimerFrequency(0));
  EXPECT_EQ(0, PerfFrequency);
  EXPECT_EQ(0u, PerfTicksPerMs);  // left from the last success
}

TEST(IsBlankW, MatchesTheGivenSetOrSpaceAndTab) {
  std::u16string long_set(59, u'a');
  long_set[49] = u'y';
  long_set[50] = u'z';  // beyond the 50 characters looked at
  const struct { WideChar ch; const WideChar* set; bool expected; } cases[] = {
      {u' ', nullptr, true}, {u'\t', nullptr, true}, {0, nullptr, false}, {u'\r', nullptr, false},
      {u'x', u"abx", true}, {u' ', u"ab", false}, {0, u"", false},
      {u'y', long_set.c_str(), true}, {u'z', long_set.c_str(), false}};
  for (const auto& c : cases) EXPECT_EQ(c.expected, IsBlankW(c.ch, c.set)) << int(c.ch);
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
    EXPECT_EQ(c.ubr, OsUbr);
    EXPECT_EQ(std::u16string(id, c.id), std::u16string(OsReleaseId));
  }
}

// A missing entry point leaves its slot null and gives its module reference back.
TEST(LookUpProcs, AMissingEntryPointLeavesNullAndGivesTheModuleBack) {
  ASSERT_EQ(nullptr, GetModuleHandleW(L"msimg32.dll")) << "the test needs a module nobody loaded";
  FARPROC slots[4] = {FARPROC(1), FARPROC(1), FARPROC(1), FARPROC(1)};
  const ProcLookup table[] = {{u"msimg32.dll", "NoSuchEntryPoint", &slots[0]},
                              {u"no_such_module.dll", "AlphaBlend", &slots[1]},
                              {u"kernel32", "GetTickCount", &slots[2]}};
  LookUpProcs(table, 3);
  EXPECT_EQ(nullptr, GetModuleHandleW(L"msimg32.dll"));
  EXPECT_EQ(nullptr, slots[0]);
  EXPECT_EQ(nullptr, slots[1]);
  EXPECT_EQ(GetProcAddress(GetModuleHandleW(L"kernel32"), "GetTickCount"), slots[2]);
  EXPECT_EQ(FARPROC(1), slots[3]);
  EXPECT_NE(nullptr, GetLibraryProc(u"msimg32.dll", "AlphaBlend"));
  EXPECT_NE(nullptr, GetModuleHandleW(L"msimg32.dll"));  // a found one stays loaded
}

// Without memory for the registry the facts are recorded and the library stays uninitialised.
TEST(InitLibrary, RecordsTheSystemOnceAndCreatesAnEmptyRegistry) {
  LibInitialized = false;
  CleanupRegistry = nullptr;
  OsVersion = OsBuildNumber = 0;
  PerfFrequency = 0;
  AllocHook = [](uint64_t, uint32_t) -> void* { return nullptr; };
  EXPECT_FALSE(InitLibrary());
  AllocHook = DefaultAlloc;
  EXPECT_FALSE(LibInitialized);
  EXPECT_EQ(nullptr, CleanupRegistry);
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionExW(&version));
  EXPECT_EQ(version.dwMajorVersion * 256 + version.dwMinorVersion, OsVersion);
  EXPECT_EQ(version.dwBuildNumber, OsBuildNumber);
  EXPECT_EQ(10000u, PerfTicksPerMs);  // Wine's counter runs at 10 MHz
  ASSERT_TRUE(InitLibrary());
  EXPECT_TRUE(LibInitialized);
  EXPECT_NE(0u, OsSystemInfo.dwPageSize);
  EXPECT_NE(nullptr, ProcRtlNtStatusToDosError);
  ASSERT_NE(nullptr, CleanupRegistry);
  EXPECT_EQ(nullptr, CleanupRegistry->first);
  EXPECT_EQ(0u, CleanupRegistry->count);
  CleanupList* registry = CleanupRegistry;
  EXPECT_TRUE(InitLibrary());
  EXPECT_EQ(registry, CleanupRegistry);
  RunCleanup();
}

}  // namespace
