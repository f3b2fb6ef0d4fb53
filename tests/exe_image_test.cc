// The built exe itself: its headers, imports and version record.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e_support.h"

namespace {

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
  const std::string allowed = " kernel32.dll user32.dll shlwapi.dll msvcrt.dll ntdll.dll ";
  bool kernel32 = false;
  const IMAGE_IMPORT_DESCRIPTOR* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
      base + optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
  for (; entry->Name != 0; entry++) {
    std::string name = base + entry->Name;
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    kernel32 |= name == "kernel32.dll";
    EXPECT_NE(std::string::npos, allowed.find(" " + name + " ")) << name;
  }
  EXPECT_TRUE(kernel32);
  FreeLibrary(module);
}

// version.dll is looked up at run time: the test program links only kernel32.
template <typename F>
F VersionProc(const char* name) {
  return reinterpret_cast<F>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("version.dll"), name)));
}

TEST(ExeImage, VersionRecordAgreesWithTheUsageText) {
  auto size_of = VersionProc<decltype(&GetFileVersionInfoSizeA)>("GetFileVersionInfoSizeA");
  auto read = VersionProc<decltype(&GetFileVersionInfoA)>("GetFileVersionInfoA");
  auto query = VersionProc<decltype(&VerQueryValueA)>("VerQueryValueA");
  ASSERT_TRUE(size_of && read && query);
  std::string exe = ExePath();
  std::vector<char> record(size_of(exe.c_str(), nullptr));
  ASSERT_FALSE(record.empty());
  ASSERT_TRUE(read(exe.c_str(), 0, DWORD(record.size()), record.data()));
  auto value = [&](const std::string& name) -> std::string {
    void* text = nullptr;
    UINT length = 0;
    std::string path = "\\StringFileInfo\\040904B0\\" + name;
    if (!query(record.data(), path.c_str(), &text, &length) || !text) return "<missing>";
    return static_cast<const char*>(text);
  };
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(query(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
  EXPECT_EQ(0x0000002Du, fixed->dwFileVersionLS);
  EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
  EXPECT_EQ(0x0000002Du, fixed->dwProductVersionLS);
  EXPECT_EQ("1.0.0.45", value("FileVersion"));
  EXPECT_EQ("1.0.0.45", value("ProductVersion"));
  EXPECT_EQ("bootweave", value("InternalName"));
  EXPECT_EQ("bootweave", value("ProductName"));
  // The usage text's second line names the program and its version, the third its web page.
  RunResult usage = RunBootweave("bootweave", "");
  EXPECT_EQ(0u, usage.out.find("\r\nbootweave 1.0.0.45 - "));
  size_t third = usage.out.find("\r\n", 2) + 2;
  EXPECT_EQ(usage.out.substr(third, usage.out.find("\r\n", third) - third), value("Comments"));
}

}  // namespace
