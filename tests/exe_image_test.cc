// The built exe itself: a console image for x86-64 that Windows XP x64 can
// load, importing only system libraries, with a version record that agrees
// with the usage text.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e_support.h"

namespace {

const char* const kAllowedImports[] = {"kernel32.dll", "user32.dll", "shlwapi.dll", "msvcrt.dll",
                                       "ntdll.dll"};

struct PeImage {
  std::string bytes;
  IMAGE_NT_HEADERS64 headers;
  std::vector<IMAGE_SECTION_HEADER> sections;
};

template <typename T>
bool ReadAt(const std::string& bytes, size_t offset, T* value) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return false;
  memcpy(value, bytes.data() + offset, sizeof(T));
  return true;
}

bool LoadImage(const std::string& path, PeImage* image) {
  image->bytes = ReadBytes(path);
  IMAGE_DOS_HEADER dos;
  if (!ReadAt(image->bytes, 0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return false;
  if (!ReadAt(image->bytes, dos.e_lfanew, &image->headers)) return false;
  if (image->headers.Signature != IMAGE_NT_SIGNATURE) return false;
  size_t at = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
              image->headers.FileHeader.SizeOfOptionalHeader;
  image->sections.resize(image->headers.FileHeader.NumberOfSections);
  for (IMAGE_SECTION_HEADER& section : image->sections) {
    if (!ReadAt(image->bytes, at, &section)) return false;
    at += sizeof(section);
  }
  return true;
}

// The file offset of a relative virtual address, or 0 outside every section.
size_t FileOffset(const PeImage& image, uint32_t rva) {
  for (const IMAGE_SECTION_HEADER& s : image.sections) {
    if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
      return rva - s.VirtualAddress + s.PointerToRawData;
    }
  }
  return 0;
}

std::vector<std::string> ImportedLibraries(const PeImage& image) {
  std::vector<std::string> names;
  const IMAGE_DATA_DIRECTORY& dir =
      image.headers.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  size_t at = FileOffset(image, dir.VirtualAddress);
  IMAGE_IMPORT_DESCRIPTOR descriptor;
  while (at != 0 && ReadAt(image.bytes, at, &descriptor) && descriptor.Name != 0) {
    size_t name_at = FileOffset(image, descriptor.Name);
    std::string name(image.bytes.c_str() + std::min(name_at, image.bytes.size()));
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    names.push_back(name);
    at += sizeof(descriptor);
  }
  return names;
}

TEST(ExeImage, ConsoleX64ForXpX64WithSystemImportsOnly) {
  PeImage image;
  ASSERT_TRUE(LoadImage(ExePath(), &image));
  const IMAGE_OPTIONAL_HEADER64& optional = image.headers.OptionalHeader;
  EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, image.headers.FileHeader.Machine);
  EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR64_MAGIC, optional.Magic);
  EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_CUI, optional.Subsystem);
  EXPECT_LE(optional.MajorSubsystemVersion * 256 + optional.MinorSubsystemVersion, 0x0502);
  EXPECT_LE(optional.MajorOperatingSystemVersion * 256 + optional.MinorOperatingSystemVersion,
            0x0502);
  EXPECT_EQ(0u, optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress);
  EXPECT_EQ(0u, optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS].VirtualAddress);
  std::vector<std::string> imports = ImportedLibraries(image);
  std::string listed;
  for (const std::string& name : imports) listed += name + " ";
  EXPECT_NE(imports.end(), std::find(imports.begin(), imports.end(), "kernel32.dll")) << listed;
  for (const std::string& name : imports) {
    EXPECT_NE(std::end(kAllowedImports),
              std::find(std::begin(kAllowedImports), std::end(kAllowedImports), name))
        << name << " among " << listed;
  }
  std::cout << "imports: " << listed << "\n";
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
