// The built exe itself: a console image for x86-64 that Windows XP x64 can
// load, importing only system libraries, with a version record that agrees
// with the usage text.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "tests/e2e_support.h"

namespace {

const char* const kAllowedImports[] = {"kernel32.dll", "user32.dll", "shlwapi.dll", "msvcrt.dll",
                                       "ntdll.dll"};

TEST(ExeImage, ConsoleX64ForXpX64WithSystemImportsOnly) {
  // Mapped as an image, not run: relative addresses are offsets from the base.
  HMODULE module = LoadLibraryExA(ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(nullptr, module);
  const char* base = reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(module) & ~3);
  const IMAGE_NT_HEADERS64* headers = reinterpret_cast<const IMAGE_NT_HEADERS64*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_OPTIONAL_HEADER64& optional = headers->OptionalHeader;
  EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, headers->FileHeader.Machine);
  EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR64_MAGIC, optional.Magic);
  EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_CUI, optional.Subsystem);
  EXPECT_LE(optional.MajorSubsystemVersion * 256 + optional.MinorSubsystemVersion, 0x0502);
  EXPECT_LE(optional.MajorOperatingSystemVersion * 256 + optional.MinorOperatingSystemVersion,
            0x0502);
  EXPECT_EQ(0u, optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress);
  EXPECT_EQ(0u, optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS].VirtualAddress);
  std::vector<std::string> imports;
  const IMAGE_IMPORT_DESCRIPTOR* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
      base + optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
  for (; entry->Name != 0; entry++) {
    std::string name = base + entry->Name;
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    imports.push_back(name);
  }
  FreeLibrary(module);
  std::string listed;
  for (const std::string& name : imports) listed += name + " ";
  std::cout << "imports: " << listed << "\n";
  EXPECT_NE(imports.end(), std::find(imports.begin(), imports.end(), "kernel32.dll")) << listed;
  for (const std::string& name : imports) {
    EXPECT_NE(std::end(kAllowedImports),
              std::find(std::begin(kAllowedImports), std::end(kAllowedImports), name))
        << name << " among " << listed;
  }
}

// version.dll is looked up at run time: the test program links only kernel32.
struct VersionApi {
  decltype(&GetFileVersionInfoSizeA) size;
  decltype(&GetFileVersionInfoA) info;
  decltype(&VerQueryValueA) query;
};

bool LoadVersionApi(VersionApi* api) {
  HMODULE module = LoadLibraryA("version.dll");
  if (module == nullptr) return false;
  api->size = reinterpret_cast<decltype(api->size)>(
      reinterpret_cast<void*>(GetProcAddress(module, "GetFileVersionInfoSizeA")));
  api->info = reinterpret_cast<decltype(api->info)>(
      reinterpret_cast<void*>(GetProcAddress(module, "GetFileVersionInfoA")));
  api->query = reinterpret_cast<decltype(api->query)>(
      reinterpret_cast<void*>(GetProcAddress(module, "VerQueryValueA")));
  return api->size && api->info && api->query;
}

std::string StringValue(const VersionApi& api, std::vector<char>& record, const char* name) {
  char path[128];
  wsprintfA(path, "\\StringFileInfo\\040904B0\\%s", name);
  void* value = nullptr;
  UINT length = 0;
  if (!api.query(record.data(), path, &value, &length) || value == nullptr) return "<missing>";
  return static_cast<const char*>(value);
}

TEST(ExeImage, VersionRecordAgreesWithTheUsageText) {
  VersionApi api;
  ASSERT_TRUE(LoadVersionApi(&api));
  std::string exe = ExePath();
  DWORD size = api.size(exe.c_str(), nullptr);
  ASSERT_NE(0u, size);
  std::vector<char> record(size);
  ASSERT_TRUE(api.info(exe.c_str(), 0, size, record.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(api.query(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
  EXPECT_EQ(0x0000002Du, fixed->dwFileVersionLS);
  EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
  EXPECT_EQ(0x0000002Du, fixed->dwProductVersionLS);
  EXPECT_EQ("1.0.0.45", StringValue(api, record, "FileVersion"));
  EXPECT_EQ("1.0.0.45", StringValue(api, record, "ProductVersion"));
  EXPECT_EQ("bootweave", StringValue(api, record, "InternalName"));
  EXPECT_EQ("bootweave", StringValue(api, record, "ProductName"));
  // The usage text's second line names the program and its version, the third
  // is the web page address.
  RunResult usage = RunBootweave("bootweave", "");
  EXPECT_EQ(0u, usage.out.find("\r\nbootweave 1.0.0.45 - "));
  size_t third = usage.out.find("\r\n", 2) + 2;
  std::string address = usage.out.substr(third, usage.out.find("\r\n", third) - third);
  EXPECT_EQ(address, StringValue(api, record, "Comments"));
}

}  // namespace
