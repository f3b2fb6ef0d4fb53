#include "runtime/environment.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "runtime/cleanup.h"
#include "runtime/memory.h"

namespace {

TEST(StoreTimerFrequency, RoundsPerMillisecondThenPerMicrosecond) {
  const struct { int64_t frequency; uint32_t per_ms, per_us; } cases[] = {
      {10000000, 10000, 10}, {1500000, 1500, 2}, {3579545, 3580, 4}, {14318180, 14318, 14},
      {1500, 2, 0}, {499, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_TRUE(StoreTimerFrequency(c.frequency));
    EXPECT_EQ(c.frequency, PerfFrequency);
    EXPECT_EQ(c.per_ms, PerfTicksPerMs) << c.frequency;
    EXPECT_EQ(c.per_us, PerfTicksPerUs) << c.frequency;
  }
  EXPECT_FALSE(StoreTimerFrequency(0));
  EXPECT_EQ(0, PerfFrequency);
  EXPECT_EQ(0u, PerfTicksPerMs);  // left from the last success
  EXPECT_TRUE(InitTimerFrequency());
  EXPECT_EQ(10000u, PerfTicksPerMs);  // Wine's counter runs at 10 MHz
}

TEST(IsBlankW, MatchesTheGivenSetOrSpaceAndTab) {
  const struct { WideChar ch; const WideChar* set; bool expected; } cases[] = {
      {u' ', nullptr, true}, {u'\t', nullptr, true}, {0, nullptr, false}, {u'\r', nullptr, false},
      {u'\n', nullptr, false}, {u'x', u"abx", true}, {u' ', u"ab", false}, {0, u"", false}};
  for (const auto& c : cases) EXPECT_EQ(c.expected, IsBlankW(c.ch, c.set)) << int(c.ch);
  std::u16string long_set(59, u'a');
  long_set[49] = u'y';
  long_set[50] = u'z';
  EXPECT_TRUE(IsBlankW(u'y', long_set.c_str()));
  EXPECT_FALSE(IsBlankW(u'z', long_set.c_str()));  // beyond the 50 characters looked at
}

// Values of the wrong type, or a release id too long for its record, leave the defaults.
TEST(ReadVersionValues, KeepsTheDefaultsForMissingOrMistypedValues) {
  const WideChar kKey[] = u"Software\\BootweaveRuntimeTest";
  const wchar_t* key_name = reinterpret_cast<const wchar_t*>(kKey);
  const DWORD ubr = 19045, numeric = 7;
  const char16_t* long_id = u"0123456789012345678901234567890123456789012345678901234567890123";
  const struct {
    DWORD ubr_type, ubr_size, id_type, id_size;  // REG_NONE: no UBR
    const void *ubr_data, *id_data;
    uint32_t expected_ubr;
    std::u16string expected_id;
  } cases[] = {
      // 50 characters without a terminator fill the 100 bytes; the record keeps 49 and a NUL.
      {REG_DWORD, 4, REG_SZ, 50 * 2, &ubr, long_id, 19045, std::u16string(long_id, 49)},
      {REG_SZ, 6, REG_SZ, 130, u"17", long_id, 0xFFFFFFFF, u""},
      {REG_NONE, 0, REG_DWORD, 4, nullptr, &numeric, 0xFFFFFFFF, u""},
  };
  for (const auto& c : cases) {
    if (c.ubr_type != REG_NONE) {
      SHSetValueW(HKEY_CURRENT_USER, key_name, L"UBR", c.ubr_type, c.ubr_data, c.ubr_size);
    }
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, key_name, L"ReleaseId", c.id_type,
                                         c.id_data, c.id_size));
    OsUbr = kNoUbr;
    OsReleaseId[0] = 0;
    ReadVersionValues(HKEY_CURRENT_USER, kKey);
    SHDeleteKeyW(HKEY_CURRENT_USER, key_name);
    EXPECT_EQ(c.expected_ubr, OsUbr);
    EXPECT_EQ(c.expected_id, std::u16string(OsReleaseId));
  }
}

// A missing entry point leaves its variable null and gives its module reference back.
TEST(GetLibraryProc, AMissingEntryPointLeavesNullAndGivesTheModuleBack) {
  ASSERT_EQ(nullptr, GetModuleHandleW(L"msimg32.dll")) << "the test needs a module nobody loaded";
  EXPECT_EQ(nullptr, GetLibraryProc(u"msimg32.dll", "NoSuchEntryPoint"));
  EXPECT_EQ(nullptr, GetModuleHandleW(L"msimg32.dll"));
  EXPECT_NE(nullptr, GetLibraryProc(u"msimg32.dll", "AlphaBlend"));
  EXPECT_NE(nullptr, GetModuleHandleW(L"msimg32.dll"));
  EXPECT_EQ(nullptr, GetLibraryProc(u"no_such_module.dll", "AlphaBlend"));
  FARPROC slots[3] = {FARPROC(1), FARPROC(1), FARPROC(1)};
  const ProcLookup table[] = {{u"kernel32", "GetTickCount", &slots[0]},
                              {u"kernel32", "GetLogicalProcessorInformationNone", &slots[1]},
                              {u"ntdll", "RtlNtStatusToDosError", &slots[2]}};
  LookUpProcs(table, 3);
  EXPECT_EQ(GetProcAddress(GetModuleHandleW(L"kernel32"), "GetTickCount"), slots[0]);
  EXPECT_EQ(nullptr, slots[1]);
  EXPECT_NE(nullptr, slots[2]);
}

// Without memory for the registry the facts are recorded and the library stays uninitialised.
TEST(InitLibrary, RecordsTheSystemOnceAndCreatesAnEmptyRegistry) {
  LibInitialized = false;
  CleanupRegistry = nullptr;
  OsVersion = 0;
  PerfFrequency = 0;
  AllocHook = [](uint64_t, uint32_t) -> void* { return nullptr; };
  EXPECT_FALSE(InitLibrary());
  AllocHook = DefaultAlloc;
  EXPECT_FALSE(LibInitialized);
  EXPECT_EQ(nullptr, CleanupRegistry);
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  ASSERT_TRUE(GetVersionExW(&version));
  EXPECT_EQ(version.dwMajorVersion * 256 + version.dwMinorVersion, OsVersion);
  EXPECT_EQ(version.dwBuildNumber, OsBuildNumber);
  EXPECT_NE(0, PerfFrequency);
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
  EXPECT_EQ(nullptr, CleanupRegistry);
}

}  // namespace
