// The built exe itself, mapped as an image but not run (relative addresses are
// offsets from the base): its headers, imports and relocations.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <set>

#include "tests/e2e_support.h"

namespace {

TEST(ExeImage, HeadersImportsAndRelocations) {
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
  FreeLibrary(module);
}

}  // namespace
