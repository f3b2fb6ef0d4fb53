#include "tests/e2e_support.h"

#include <regex>

std::wstring Wide(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], n);
  return wide;
}

std::string ExePath() {
  char path[MAX_PATH];
  std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of('\\')) + "\\bootweave.exe";
}

namespace {

// Wine shows the Linux root as drive Z.
std::string WindowsPath(const std::string& linux_path) {
  std::string path = "Z:" + linux_path;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

}  // namespace

std::string SourcePath(const std::string& name) { return WindowsPath(BW_SOURCE_DIR "/" + name); }

// Process ids come back in later runs, so a folder of that name may hold an
// earlier run's files: take the first name that is really new.
std::string MakeTempDir() {
  static unsigned counter = GetTickCount();
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  for (;;) {
    std::string dir = base + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    if (CreateDirectoryA(dir.c_str(), nullptr) || GetLastError() != ERROR_ALREADY_EXISTS) return dir;
  }
}

HANDLE Launch(const std::string& exe, const std::string& command_line,
              const std::string& working_dir, bool std_handles, HANDLE out, HANDLE err) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  if (std_handles) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = err;
  }
  PROCESS_INFORMATION pi = {};
  std::wstring line = Wide(command_line), dir = Wide(working_dir);
  // Wine now and then fails a start under load (internal error, bad format while
  // another process maps the file); a later attempt then succeeds.
  for (int attempt = 0;; ++attempt) {
    if (CreateProcessW(Wide(exe).c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                       dir.empty() ? nullptr : dir.c_str(), &si, &pi))
      break;
    DWORD error = GetLastError();
    if (attempt == 4 || (error != ERROR_INTERNAL_ERROR && error != ERROR_BAD_EXE_FORMAT))
      return nullptr;
    Sleep(100 * (attempt + 1));
  }
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

uint32_t WaitExit(HANDLE process) {
  DWORD code = 0xDEADBEEF;  // what a failed start gives
  if (process == nullptr) return code;
  WaitForSingleObject(process, INFINITE);
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

namespace {

RunResult RunCaptured(const std::string& exe, const std::string& command_line,
                      const std::string& working_dir) {
  std::string dir = MakeTempDir();
  HANDLE out = CreateCaptureFile(dir + "\\stdout"), err = CreateCaptureFile(dir + "\\stderr");
  RunResult r;
  r.exit_code = WaitExit(Launch(exe, command_line, working_dir, true, out, err));
  CloseHandle(out);
  CloseHandle(err);
  r.out = ReadBytes(dir + "\\stdout");
  r.err = ReadBytes(dir + "\\stderr");
  return r;
}

}  // namespace

RunResult RunBootweave(const std::string& command_line, const std::string& working_dir) {
  return RunCaptured(ExePath(), command_line, working_dir);
}

RunResult RunAsWindowsVersion(const char* version) {
  std::string dir = MakeTempDir();
  std::string name = std::string("bootweave_") + version + ".exe";
  CopyFileA(ExePath().c_str(), (dir + "\\" + name).c_str(), FALSE);
  // Wine reports another version to the exe of this name only.
  std::string key = "Software\\Wine\\AppDefaults\\" + name;
  RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Version", REG_SZ, version, lstrlenA(version) + 1);
  RunResult r = RunCaptured(dir + "\\" + name, name, dir);
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  return r;
}

std::string FullDiskDir() {
  std::string disk = WindowsPath(BW_BINARY_DIR "/full_disk");
  return FileExists(disk + "\\mounted") ? disk : "";
}

HANDLE CreateCaptureFile(const std::string& path) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS, 0, nullptr);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

std::string ReadBytes(const std::string& path) {
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  static char buffer[1 << 16];
  std::string bytes;
  for (DWORD got = 0; ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0;)
    bytes.append(buffer, got);
  CloseHandle(h);
  return bytes;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Matches(const std::string& text, const std::string& pattern) {
  std::string re;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '<' && pattern.find('>', i) != std::string::npos) {
      i = pattern.find('>', i);
      re += "[^\r\n]+";
    } else {
      if (std::string("\\^$.|?*+()[]{}").find(pattern[i]) != std::string::npos) re += '\\';
      re += pattern[i];
    }
  }
  return std::regex_match(text, std::regex(re));
}
