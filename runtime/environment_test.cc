#include "runtime/environment.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "runtime/cleanup.h"
#include "runtime/memory.h"

namespace {

TEST(StoreTimerFrequency, RoundsPerMillisecondThenPerMicrosecond) {
  struct Case {
    int64_t frequency;
    uint32_t per_ms, per_us;
  } const cases[] = {
      {10000000, 10000, 10}, {3579545, 3580, 4}, {14318180, 14318, 14},
      {1500, 2, 0},          {499, 0, 0},
  };
  for (const Case& c : cases) {
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
  struct Case {
    WideChar ch;
    const WideChar* set;
    bool expected;
  } const cases[] = {
      {u' ', nullptr, true},   {u'\t', nullptr, true}, {0, nullptr, false},
      {u'\r', nullptr, false}, {u'\n', nullptr, false}, {u'x', u"abx", true},
      {u' ', u"ab", false},    {0, u"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, IsBlankW(c.ch, c.set)) << int(c.ch);
  WideChar long_set[60];
  for (int i = 0; i < 59; i++) long_set[i] = u'a';
  long_set[50] = u'z';
  long_set[59] = 0;
  EXPECT_FALSE(IsBlankW(u'z', long_set));  // beyond the 50 characters looked at
  long_set[49] = u'y';
  EXPECT_TRUE(IsBlankW(u'y', long_set));
}

const WideChar kTestKey[] = u"Software\\BootweaveRuntimeTest";
const wchar_t* TestKey() { return reinterpret_cast<const wchar_t*>(kTestKey); }

TEST(ReadVersionValues, KeepsTheDefaultsForMissingOrMistypedValues) {
  DWORD ubr = 19045;
  DWORD numeric = 7;
  const char16_t* long_id = u"0123456789012345678901234567890123456789012345678901234567890123";
  struct Case {
    DWORD ubr_type;  // REG_NONE: not written
    const void* ubr_data;
    DWORD ubr_size;
    DWORD id_type;
    const void* id_data;
    DWORD id_size;
    uint32_t expected_ubr;
    const char16_t* expected_id;
  } const cases[] = {
      {REG_NONE, nullptr, 0, REG_NONE, nullptr, 0, kNoUbr, u""},
      {REG_DWORD, &ubr, 4, REG_SZ, u"22H2", 10, 19045, u"22H2"},
      {REG_SZ, u"17", 6, REG_DWORD, &numeric, 4, kNoUbr, u""},
      {REG_NONE, nullptr, 0, REG_SZ, long_id, 49 * 2, kNoUbr,
       u"0123456789012345678901234567890123456789012345678"},
      {REG_NONE, nullptr, 0, REG_SZ, long_id, 130, kNoUbr, u""},
  };
  for (const Case& c : cases) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, TestKey(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    if (c.ubr_type != REG_NONE) {
      RegSetValueExW(key, L"UBR", 0, c.ubr_type, static_cast<const BYTE*>(c.ubr_data), c.ubr_size);
    }
    if (c.id_type != REG_NONE) {
      RegSetValueExW(key, L"ReleaseId", 0, c.id_type, static_cast<const BYTE*>(c.id_data),
                     c.id_size);
    }
    RegCloseKey(key);
    OsUbr = kNoUbr;
    OsReleaseId[0] = 0;
    ReadVersionValues(HKEY_CURRENT_USER, kTestKey);
    SHDeleteKeyW(HKEY_CURRENT_USER, TestKey());
    EXPECT_EQ(c.expected_ubr, OsUbr);
    EXPECT_EQ(std::u16string(c.expected_id), std::u16string(OsReleaseId));
  }
}

TEST(GetLibraryProc, GivesTheModuleBackOnlyWhenTheEntryPointIsMissing) {
  const WideChar* module = u"msimg32.dll";
  const wchar_t* name = L"msimg32.dll";
  ASSERT_EQ(nullptr, GetModuleHandleW(name)) << "the test needs a module nobody loaded";
  EXPECT_EQ(nullptr, GetLibraryProc(module, "NoSuchEntryPoint"));
  EXPECT_EQ(nullptr, GetModuleHandleW(name));
  EXPECT_NE(nullptr, GetLibraryProc(module, "AlphaBlend"));
  EXPECT_NE(nullptr, GetModuleHandleW(name));
  EXPECT_EQ(nullptr, GetLibraryProc(u"no_such_module.dll", "AlphaBlend"));
}

TEST(LookUpProcs, AMissingEntryPointLeavesOnlyItsSlotNull) {
  FARPROC slots[3] = {FARPROC(1), FARPROC(1), FARPROC(1)};
  const ProcLookup table[] = {
      {u"kernel32", "GetTickCount", &slots[0]},
      {u"kernel32", "GetLogicalProcessorInformationNone", &slots[1]},
      {u"ntdll", "RtlNtStatusToDosError", &slots[2]},
  };
  LookUpProcs(table, 3);
  EXPECT_EQ(GetProcAddress(GetModuleHandleW(L"kernel32"), "GetTickCount"), slots[0]);
  EXPECT_EQ(nullptr, slots[1]);
  EXPECT_NE(nullptr, slots[2]);
}

void* FailingAlloc(uint64_t, uint32_t) { return nullptr; }

class InitLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LibInitialized = false;
    CleanupRegistry = nullptr;
    PerfFrequency = 0;
    OsVersion = 0;
  }
  void TearDown() override { AllocHook = DefaultAlloc; }
};

TEST_F(InitLibraryTest, RecordsTheSystemOnceAndCreatesAnEmptyRegistry) {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  ASSERT_TRUE(GetVersionExW(&version));
  ASSERT_TRUE(InitLibrary());
  EXPECT_TRUE(LibInitialized);
  EXPECT_EQ(version.dwMajorVersion * 256 + version.dwMinorVersion, OsVersion);
  EXPECT_EQ(version.dwBuildNumber, OsBuildNumber);
  EXPECT_NE(0, PerfFrequency);
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
  EXPECT_TRUE(LibInitialized);
}

TEST_F(InitLibraryTest, FailsWithoutMemoryForTheRegistryAfterRecordingTheFacts) {
  AllocHook = FailingAlloc;
  EXPECT_FALSE(InitLibrary());
  EXPECT_FALSE(LibInitialized);
  EXPECT_EQ(nullptr, CleanupRegistry);
  EXPECT_NE(0u, OsVersion);
  EXPECT_NE(0, PerfFrequency);
}

}  // namespace
