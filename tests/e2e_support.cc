#include "tests/e2e_support.h"

#include <windows.h>

#include <vector>

namespace {

std::string ModuleDir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  return dir.substr(0, dir.find_last_of("\\/"));
}

HANDLE CreateInheritable(const std::string& path) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &sa, CREATE_ALWAYS, 0, nullptr);
}

}  // namespace

// What a failed start returns, with the system's error in the low bits.
constexpr uint32_t kStartFailed = 0xDEAD0000;

uint32_t StartExe(const std::string& exe_path, const std::string& command_line,
                  const std::string& working_dir, bool use_std_handles, void* out, void* err) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (use_std_handles) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = out;
    si.hStdError = err;
  }
  PROCESS_INFORMATION pi = {};
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  // Wine now and then fails a start under load (internal error, bad format
  // while another process maps the file); a later attempt then succeeds.
  for (int attempt = 0;; ++attempt) {
    if (CreateProcessA(exe_path.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       working_dir.empty() ? nullptr : working_dir.c_str(), &si, &pi))
      break;
    DWORD error = GetLastError();
    if (attempt == 4 || (error != ERROR_INTERNAL_ERROR && error != ERROR_BAD_EXE_FORMAT))
      return kStartFailed | error;
    Sleep(100 * (attempt + 1));
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

void* CreateCaptureFile(const std::string& path) { return CreateInheritable(path); }

std::string ExePath() { return ModuleDir() + "\\bootweave.exe"; }

std::string SamplesDir() {
  std::string dir = "Z:" BW_SOURCE_DIR "/samples";
  for (char& c : dir)
    if (c == '/') c = '\\';
  return dir;
}

// Process ids come back in later runs, so a folder of that name may hold an
// earlier run's files: take the first name that is really new.
std::string MakeTempDir() {
  static unsigned counter = GetTickCount();
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  for (;;) {
    std::string dir = std::string(base) + "bw_e2e_" + std::to_string(GetCurrentProcessId()) + "_" +
                      std::to_string(++counter);
    if (CreateDirectoryA(dir.c_str(), nullptr)) return dir;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return dir;
  }
}

namespace {

// Runs exe with standard output and standard error on files, read back after.
RunResult RunCaptured(const std::string& exe, const std::string& command_line,
                      const std::string& working_dir) {
  std::string dir = MakeTempDir();
  std::string out_path = dir + "\\stdout", err_path = dir + "\\stderr";
  HANDLE out = CreateInheritable(out_path), err = CreateInheritable(err_path);
  RunResult r;
  r.exit_code = StartExe(exe, command_line, working_dir, true, out, err);
  CloseHandle(out);
  CloseHandle(err);
  r.out = ReadBytes(out_path);
  r.err = ReadBytes(err_path);
  return r;
}

}  // namespace

RunResult RunBootweave(const std::string& command_line, const std::string& working_dir) {
  return RunCaptured(ExePath(), command_line, working_dir);
}

RunResult RunWithClosedStdoutPipe(const std::string& command_line, const std::string& working_dir) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE read_end, write_end;
  CreatePipe(&read_end, &write_end, &sa, 0);
  CloseHandle(read_end);
  std::string err_path = MakeTempDir() + "\\stderr";
  HANDLE err = CreateInheritable(err_path);
  RunResult r;
  r.exit_code = StartExe(ExePath(), command_line, working_dir, true, write_end, err);
  CloseHandle(write_end);
  CloseHandle(err);
  r.err = ReadBytes(err_path);
  return r;
}

RunResult RunAsWindowsVersion(const char* version, const std::string& arguments) {
  std::string dir = MakeTempDir();
  std::string name = std::string("bootweave_") + version + ".exe";
  RunResult r = {kStartFailed, "", ""};
  if (!CopyFileA(ExePath().c_str(), (dir + "\\" + name).c_str(), FALSE)) return r;
  // Wine reports another version to the exe of this name only.
  std::string key = "Software\\Wine\\AppDefaults\\" + name;
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &handle, nullptr) != ERROR_SUCCESS)
    return r;
  RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                 lstrlenA(version) + 1);
  RegCloseKey(handle);
  r = RunCaptured(dir + "\\" + name, name + arguments, dir);
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  return r;
}

std::string FullDiskDir() {
  std::string disk = "Z:" BW_BINARY_DIR "/full_disk";
  for (char& c : disk)
    if (c == '/') c = '\\';
  return FileExists(disk + "\\mounted") ? disk : "";
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

std::string ReadBytes(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(h);
  return bytes;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsMessageWithDescription(const std::string& text, const std::string& prefix, uint32_t code) {
  std::string head = prefix + "(" + std::to_string(code) + " - ";
  const std::string tail = ")\r\n";
  if (text.size() < head.size() + 1 + tail.size()) return false;
  if (text.compare(0, head.size(), head) != 0) return false;
  if (text.compare(text.size() - tail.size(), tail.size(), tail) != 0) return false;
  std::string description = text.substr(head.size(), text.size() - head.size() - tail.size());
  // One line of system text, trimmed of its full stop and blanks.
  return description.find_first_of("\r\n") == std::string::npos && description.back() != '.' &&
         description.back() != ' ';
}
