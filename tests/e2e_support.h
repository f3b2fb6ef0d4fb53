#pragma once
// Starts the real bootweave.exe as a Windows parent would: an exact command line
// (written here in UTF-8, handed to the system in UTF-16), standard handles on
// files or pipes, and the 32-bit exit code. Paths are UTF-8 too.

#include <windows.h>

#include <stdint.h>

#include <string>

struct RunResult {
  uint32_t exit_code;
  std::string out;
  std::string err;
};

std::wstring Wide(const std::string& utf8);
// bootweave.exe beside the test program.
std::string ExePath();
// A folder of the source tree ("samples"), as a Windows path.
std::string SourcePath(const std::string& name);
// A new, empty folder for one test.
std::string MakeTempDir();

// Starts exe with command_line (program name included) in working_dir. With
// std_handles the child gets out and err (INVALID_HANDLE_VALUE or one handle
// twice included) and no input; without, it takes this process's. Null when the
// start failed.
HANDLE Launch(const std::string& exe, const std::string& command_line,
              const std::string& working_dir, bool std_handles, HANDLE out, HANDLE err);
// Waits for the process, closes its handle and returns its exit code.
uint32_t WaitExit(HANDLE process);

// Runs bootweave with standard output and standard error on files, read back after.
RunResult RunBootweave(const std::string& command_line, const std::string& working_dir = "");
// Runs a copy of the exe to which Wine reports the given Windows version ("nt40").
RunResult RunAsWindowsVersion(const char* version);
// The small full disk that the test run mounts where it may, or "" without it.
std::string FullDiskDir();

// A new file at path with an inheritable handle, for a child's standard output.
HANDLE CreateCaptureFile(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
// Whether text is "<prefix>(<code> - <system text>)" CR LF, with the given code.
bool IsMessageWithDescription(const std::string& text, const std::string& prefix, uint32_t code);
