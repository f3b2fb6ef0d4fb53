// The built exe itself, mapped as an image but not run (relative addresses are
// offsets from the base): headers, imports, unwind tables, relocations and the
// version record.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <set>

#include "app/version.h"
#include "tests/e2e_support.h"

namespace {

TEST(ExeImage, HeadersImportsUnwindTablesRelocationsAndVersionRecord) {
  HMODULE module = LoadLibraryExW(Wide(ExePath()).c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(nullptr, module);
  const char* base = reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(module) & ~3);
  auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS64*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_OPTIONAL_HEADER64& optional = headers->OptionalHeader;
  auto directory = [&optional](int i) { return optional.DataDirectory[i]; };
  // A console program for x86-64, from Windows XP x64 on, with system imports only.
  EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, headers->FileHeader.Machine);
  EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_CUI, optional.Subsystem);
  EXPECT_LE(std::max(optional.MajorSubsystemVersion * 256 + optional.MinorSubsystemVersion,
                     optional.MajorOperatingSystemVersion * 256 + optional.MinorOperatingSystemVersion), 0x0502);
  EXPECT_EQ(0u, directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).Size + directory(IMAGE_DIRECTORY_ENTRY_TLS).Size);
  std::set<std::string> imports;
  auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
      base + directory(IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress);
  for (; entry->Name != 0; entry++) imports.insert(CharLowerA(std::string(base + entry->Name).data()));
  EXPECT_EQ(std::set<std::string>({"kernel32.dll", "shlwapi.dll", "user32.dll"}), imports);
  // Debuggers and crash reports walk the stack with the unwind tables: the entry
  // point has its entry there.
  IMAGE_DATA_DIRECTORY unwind = directory(IMAGE_DIRECTORY_ENTRY_EXCEPTION);
  auto* function = reinterpret_cast<const RUNTIME_FUNCTION*>(base + unwind.VirtualAddress);
  EXPECT_TRUE(std::any_of(function, function + unwind.Size / sizeof *function, [&](auto& f) {
    return f.BeginAddress <= optional.AddressOfEntryPoint && optional.AddressOfEntryPoint < f.EndAddress;
  }));
  // Windows with ASLR loads the image elsewhere, Wine never does: every absolute
  // address in it must have its base relocation.
  EXPECT_TRUE(optional.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
  std::set<uint32_t> relocated;
  IMAGE_DATA_DIRECTORY relocations = directory(IMAGE_DIRECTORY_ENTRY_BASERELOC);
  for (uint32_t at = relocations.VirtualAddress, size = 0; at < relocations.VirtualAddress + relocations.Size; at += size) {
    auto* block = reinterpret_cast<const IMAGE_BASE_RELOCATION*>(base + at);
    size = block->SizeOfBlock;
    for (auto* item = reinterpret_cast<const WORD*>(block + 1); item < reinterpret_cast<const WORD*>(base + at + size); ++item)
      if (*item >> 12 == IMAGE_REL_BASED_DIR64) relocated.insert(block->VirtualAddress + (*item & 0xFFF));
  }
  EXPECT_FALSE(relocated.empty());
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers);
  for (int s = 0; s < headers->FileHeader.NumberOfSections; ++s, ++section) {
    uint32_t end = section->VirtualAddress + std::min(section->Misc.VirtualSize, section->SizeOfRawData);
    for (uint32_t at = section->VirtualAddress; at + 8 <= end; ++at) {
      uint64_t value;
      memcpy(&value, base + at, sizeof value);
      EXPECT_TRUE(value - optional.ImageBase >= optional.SizeOfImage || relocated.count(at))
          << section->Name << " +" << at;
    }
  }
  // The version record agrees with the usage text, whose second line names the
  // program and its version, the third its web page. Its strings are UTF-16 pairs:
  // key, terminator, padding, value.
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
  auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(data + signature);
  for (DWORD half : {fixed->dwFileVersionMS, fixed->dwProductVersionMS})
    EXPECT_EQ(DWORD{BW_VERSION_MAJOR} << 16 | BW_VERSION_MINOR, half);
  for (DWORD half : {fixed->dwFileVersionLS, fixed->dwProductVersionLS})
    EXPECT_EQ(DWORD{BW_VERSION_PATCH} << 16 | BW_VERSION_TWEAK, half);
  for (auto* key : {L"FileVersion", L"ProductVersion"}) EXPECT_EQ(Wide(BW_VERSION_TEXT), value(key));
  for (auto* key : {L"InternalName", L"ProductName"}) EXPECT_EQ(L"bootweave", value(key));
  std::string usage = RunBootweave("bootweave").out;
  EXPECT_EQ(0u, usage.find("\r\nbootweave " BW_VERSION_TEXT " - "));
  size_t third = usage.find("\r\n", 2) + 2;
  EXPECT_EQ(Wide(usage.substr(third, usage.find("\r\n", third) - third)), value(L"Comments"));
  FreeLibrary(module);
}

}  // namespace
