#pragma once
// Starts the real bootweave.exe as a Windows parent would: an exact command line
// (written here in UTF-8, handed over in UTF-16), standard handles on files or
// pipes, and the 32-bit exit code. Paths are UTF-8 too.

#include <windows.h>

#include <stdint.h>

#include <string>

struct RunResult {
  uint32_t exit_code;
  std::string out, err;
};

std::wstring Wide(const std::string& utf8);
std::string ExePath();                           // bootweave.exe beside the test program
std::string SourcePath(const std::string& name);  // a file of the source tree
std::string MakeTempDir();                        // a new, empty folder
// The small full disk that the test run mounts where it may, or "" without it.
std::string FullDiskDir();

// Starts exe with command_line (program name included) in working_dir. With
// std_handles the child gets out and err and no input; without, this process's
// standard handles. Null when it could not start.
HANDLE Launch(const std::string& exe, const std::string& command_line,
              const std::string& working_dir, bool std_handles, HANDLE out, HANDLE err);
// Waits for the process, closes its handle and returns its exit code.
uint32_t WaitExit(HANDLE process);
// Runs bootweave with standard output and standard error on files, read back after.
RunResult RunBootweave(const std::string& command_line, const std::string& working_dir = "");
// Runs a copy of the exe to which Wine reports the given Windows version ("nt40").
RunResult RunAsWindowsVersion(const char* version);

// A new file with an inheritable handle, for a child's standard output or error.
HANDLE CreateCaptureFile(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);  // "<missing>" for no such file
bool FileExists(const std::string& path);
// Whether text is the pattern, where "<...>" stands for one line of anything: the
// README's notation, and the system's error description in expected messages.
bool Matches(const std::string& text, const std::string& pattern);
