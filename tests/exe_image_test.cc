// The built exe itself: its headers, imports, unwind tables, relocations and
// version record.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e_support.h"

namespace {

TEST(ExeImage, ConsoleX64ForXpX64WithSystemImportsUnwindTablesAndRelocations) {
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
  // Debuggers and crash reports walk the stack with the unwind tables: the entry
  // point has its entry there.
  const IMAGE_DATA_DIRECTORY& unwind = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXCEPTION];
  const RUNTIME_FUNCTION* function = reinterpret_cast<const RUNTIME_FUNCTION*>(base + unwind.VirtualAddress);
  bool entry_unwinds = false;
  for (size_t i = 0; i < unwind.Size / sizeof *function; ++i, ++function) {
    entry_unwinds |= function->BeginAddress <= optional.AddressOfEntryPoint &&
                     optional.AddressOfEntryPoint < function->EndAddress;
  }
  EXPECT_TRUE(entry_unwinds);
  // Windows with ASLR loads the image elsewhere, Wine never does: every absolute
  // address in it must have its base relocation.
  EXPECT_TRUE(optional.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
  std::set<uint32_t> relocated;
  const IMAGE_DATA_DIRECTORY& relocations = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
  for (uint32_t at = relocations.VirtualAddress; at < relocations.VirtualAddress + relocations.Size;) {
    const IMAGE_BASE_RELOCATION* block = reinterpret_cast<const IMAGE_BASE_RELOCATION*>(base + at);
    const WORD* item = reinterpret_cast<const WORD*>(block + 1);
    for (; item < reinterpret_cast<const WORD*>(base + at + block->SizeOfBlock); ++item) {
      if (*item >> 12 == IMAGE_REL_BASED_DIR64) relocated.insert(block->VirtualAddress + (*item & 0xFFF));
    }
    at += block->SizeOfBlock;
  }
  EXPECT_FALSE(relocated.empty());
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers);
  for (int s = 0; s < headers->FileHeader.NumberOfSections; ++s, ++section) {
    uint32_t end = section->VirtualAddress + std::min(section->Misc.VirtualSize, section->SizeOfRawData);
    for (uint32_t at = section->VirtualAddress; at + 8 <= end; ++at) {
      uint64_t value;
      memcpy(&value, base + at, sizeof value);
      bool absolute = value - optional.ImageBase < optional.SizeOfImage;
      EXPECT_TRUE(!absolute || relocated.count(at)) << section->Name << " +" << at;
    }
  }
  FreeLibrary(module);
}

// The version record's strings are UTF-16 pairs: key, terminator, padding, value.
TEST(ExeImage, VersionRecordAgreesWithTheUsageText) {
  HMODULE module = LoadLibraryExW(Wide(ExePath()).c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
  ASSERT_NE(nullptr, resource);
  const wchar_t* data = static_cast<const wchar_t*>(LockResource(LoadResource(module, resource)));
  std::wstring record(data, SizeofResource(module, resource) / 2);
  auto value = [&record](const std::wstring& key) {
    size_t at = record.find(key + L'\0');
    at = at == std::wstring::npos ? at : record.find_first_not_of(L'\0', at + key.size());
    return at == std::wstring::npos ? L"<missing>" : std::wstring(record.c_str() + at);
  };
  size_t signature = record.find(L"\x04BD\xFEEF");  // 0xFEEF04BD, low half first
  ASSERT_NE(std::wstring::npos, signature);
  const VS_FIXEDFILEINFO* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(data + signature);
  EXPECT_EQ(0x000100000000002Dull, uint64_t(fixed->dwFileVersionMS) << 32 | fixed->dwFileVersionLS);
  EXPECT_EQ(0x000100000000002Dull, uint64_t(fixed->dwProductVersionMS) << 32 | fixed->dwProductVersionLS);
  for (const wchar_t* key : {L"FileVersion", L"ProductVersion"}) EXPECT_EQ(L"1.0.0.45", value(key));
  for (const wchar_t* key : {L"InternalName", L"ProductName"}) EXPECT_EQ(L"bootweave", value(key));
  // The usage text's second line names the program and its version, the third its web page.
  std::string usage = RunBootweave("bootweave").out;
  EXPECT_EQ(0u, usage.find("\r\nbootweave 1.0.0.45 - "));
  size_t third = usage.find("\r\n", 2) + 2;
  EXPECT_EQ(Wide(usage.substr(third, usage.find("\r\n", third) - third)), value(L"Comments"));
  FreeLibrary(module);
}

}  // namespace
