// The floor for the whole-program measurement under Wine: what bootweave does
// minus the reformatting. Reads the source whole (one request, page-allocated
// buffer), creates a new destination and writes the bytes in chunks of 1024,
// built the same way as the product (no C runtime, its own entry point).
//   floor_copy <src file> <dst file>   (paths without blanks)
// Exit code 0, or 3 when a step fails.

#include <windows.h>

namespace {

constexpr DWORD kChunkSize = 1024;

// Copies the blank-separated token at *text into out (at most MAX_PATH - 1
// bytes) and moves *text behind it and its blanks.
bool TakeToken(const char** text, char (&out)[MAX_PATH]) {
  const char* p = *text;
  DWORD n = 0;
  while (*p != '\0' && *p != ' ' && *p != '\t' && n + 1 < MAX_PATH) out[n++] = *p++;
  out[n] = '\0';
  while (*p == ' ' || *p == '\t') ++p;
  *text = p;
  return n > 0;
}

const char* SkipProgramName(const char* p) {
  if (*p == '"') {
    for (++p; *p != '\0' && *p != '"'; ++p) {
    }
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

DWORD Copy(const char* source_path, const char* dest_path) {
  HANDLE source = CreateFileA(source_path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  if (source == INVALID_HANDLE_VALUE) return 3;
  DWORD size = GetFileSize(source, nullptr);
  if (size == INVALID_FILE_SIZE || size == 0) return 3;
  BYTE* buffer =
      static_cast<BYTE*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  DWORD read = 0;
  if (!buffer || !ReadFile(source, buffer, size, &read, nullptr) || read != size) return 3;
  HANDLE dest = CreateFileA(dest_path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (dest == INVALID_HANDLE_VALUE) return 3;
  for (DWORD at = 0; at < size; at += kChunkSize) {
    DWORD chunk = size - at < kChunkSize ? size - at : kChunkSize;
    DWORD written = 0;
    if (!WriteFile(dest, buffer + at, chunk, &written, nullptr) || written != chunk) return 3;
  }
  CloseHandle(dest);
  VirtualFree(buffer, 0, MEM_RELEASE);
  CloseHandle(source);
  return 0;
}

}  // namespace

extern "C" void FloorEntry() {
  const char* arguments = SkipProgramName(GetCommandLineA());
  char source[MAX_PATH], dest[MAX_PATH];
  bool ok = TakeToken(&arguments, source) && TakeToken(&arguments, dest);
  ExitProcess(ok ? Copy(source, dest) : 3);
}
