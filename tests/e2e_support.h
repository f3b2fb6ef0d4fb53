#pragma once
// Starts the real bootweave.exe as a Windows parent would: an exact command line
// (written here in UTF-8, handed over in UTF-16), standard handles on files or
// pipes, and the 32-bit exit code. Paths are UTF-8 too.

#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <atomic>
#include <string>

#include <gtest/gtest.h>

#include "tests/matches.h"

struct RunResult {
  uint32_t exit_code;
  std::string out, err;
};

inline std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], int(wide.size())));
  return wide;
}

// bootweave.exe beside the test program.
inline std::string ExePath() {
  char path[MAX_PATH];
  std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of('\\')) + "\\bootweave.exe";
}

// A Linux path as Wine shows it, on drive Z.
inline std::string WindowsPath(std::string path) {
  for (char& c : path) c = c == '/' ? '\\' : c;
  return "Z:" + path;
}

inline std::string SourcePath(const std::string& name) { return WindowsPath(BW_SOURCE_DIR "/" + name); }

// A new, empty folder. Process ids come back in later runs, so a folder of that
// name may hold an earlier run's files: take the first name that is really new.
inline std::string NewFolder(const std::string& prefix) {
  static std::atomic<unsigned> counter{GetTickCount()};
  for (;;) {
    std::string dir = prefix + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    if (CreateDirectoryA(dir.c_str(), nullptr) || GetLastError() != ERROR_ALREADY_EXISTS) return dir;
  }
}

// A folder and all it holds, also deeper than MAX_PATH given the path's long form.
// (The C++ library's remove_all gives up at folders deeper than MAX_PATH.)
inline void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
  for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found)) {
    std::wstring name = found.cFileName, inside = path + L"\\" + name;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(inside);
    else DeleteFileW(inside.c_str());
  }
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  RemoveDirectoryW(path.c_str());
}

// A new folder for a test's files. A run of the tests leaves tens of megabytes, and
// sparse files of gigabytes: all lie in one folder of this program's, which goes when
// it ends, unless a test failed or the program crashed. That folder's name is never
// freed, as the clean-up at exit reads it.
inline std::string MakeTempDir() {
  static const std::string* tests = [] {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    atexit([] { if (!testing::UnitTest::GetInstance()->Failed()) RemoveTree(L"\\\\?\\" + Wide(*tests)); });
    return new std::string(NewFolder(std::string(base) + "bootweave_tests_"));
  }();
  return NewFolder(*tests + "\\");
}

inline HANDLE CreateCaptureFile(const std::string& path) {  // inheritable, for a child's output
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS, 0, nullptr);
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

inline std::string ReadBytes(const std::string& path) {  // "<missing>" for no such file
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string buffer(1 << 16, '\0'), bytes;
  for (DWORD got = 0; ReadFile(h, &buffer[0], DWORD(buffer.size()), &got, nullptr) && got > 0;)
    bytes.append(buffer.data(), got);
  CloseHandle(h);
  return bytes;
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Starts exe with command_line (program name included) in working_dir, its
// standard output and error on out and err.
// Under load Wine now and then fails to create a process that would start: that
// creation, and only that, is tried again, and the test's output says so.
inline HANDLE Launch(const std::string& exe, const std::string& command_line,
                     const std::string& working_dir, HANDLE out, HANDLE err) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi = {};
  std::wstring line = Wide(command_line), dir = Wide(working_dir);
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(Wide(exe).c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                       dir.c_str(), &si, &pi))
      break;
    DWORD error = GetLastError();
    // A missing program or folder is the test's to see, not a start to retry.
    if (attempt == 3 || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
        error == ERROR_DIRECTORY)
      return nullptr;
    fprintf(stderr, "e2e: %s did not start (error %lu): starting it again\n", exe.c_str(), error);
    Sleep(1000);
  }
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

// Waits for the process, closes its handle and returns its exit code.
inline uint32_t WaitExit(HANDLE process) {
  DWORD code = 0xDEADBEEF;  // what a failed start gives
  if (process == nullptr) return code;
  WaitForSingleObject(process, INFINITE);
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

// Runs bootweave (or exe) with standard output and error on files, read back after.
inline RunResult RunBootweave(const std::string& command_line, const std::string& working_dir,
                              const std::string& exe = ExePath()) {
  std::string dir = MakeTempDir();
  HANDLE out = CreateCaptureFile(dir + "\\stdout"), err = CreateCaptureFile(dir + "\\stderr");
  RunResult r;
  r.exit_code = WaitExit(Launch(exe, command_line, working_dir, out, err));
  CloseHandle(out);
  CloseHandle(err);
  r.out = ReadBytes(dir + "\\stdout");
  r.err = ReadBytes(dir + "\\stderr");
  return r;
}

// Runs a copy of the exe to which Wine reports the given Windows version ("nt40").
inline RunResult RunAsWindowsVersion(const char* version) {
  std::string dir = MakeTempDir(), name = std::string("bootweave_") + version + ".exe";
  CopyFileA(ExePath().c_str(), (dir + "\\" + name).c_str(), FALSE);
  std::string key = "Software\\Wine\\AppDefaults\\" + name;  // for the exe of this name only
  RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Version", REG_SZ, version, lstrlenA(version) + 1);
  RunResult r = RunBootweave(name, dir, dir + "\\" + name);
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  return r;
}
