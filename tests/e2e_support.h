#pragma once
// Starts the real bootweave.exe with an exact command line, as a Windows parent
// would, and collects its standard output, standard error and exit code.

#include <stdint.h>

#include <string>

struct RunResult {
  uint32_t exit_code;
  std::string out;
  std::string err;
};

// bootweave.exe beside the test program.
std::string ExePath();
// The source tree's samples folder, as a Windows path.
std::string SamplesDir();
// A new, empty folder for one test.
std::string MakeTempDir();

// Runs the exe with command_line (program name included) in working_dir;
// standard output and standard error go to files that are read back.
RunResult RunBootweave(const std::string& command_line, const std::string& working_dir);
// The same with standard output on a pipe whose reader is closed before the start.
RunResult RunWithClosedStdoutPipe(const std::string& command_line, const std::string& working_dir);

// Starts exe_path with command_line (program name included) in working_dir and
// returns its 32-bit exit code, 0xDEADBEEF when it could not start. With
// use_std_handles the child gets out and err as given (INVALID_HANDLE_VALUE or
// one handle twice included) through its start-up information and no input;
// without, it takes this process's standard handles.
uint32_t StartExe(const std::string& exe_path, const std::string& command_line,
                  const std::string& working_dir, bool use_std_handles, void* out, void* err);
// A new file at path, opened for reading and writing with an inheritable handle,
// for a child's standard output or error.
void* CreateCaptureFile(const std::string& path);

// Runs a copy of the exe to which Wine reports the given Windows version
// ("nt40", "win2k"), with arguments behind the program's name.
RunResult RunAsWindowsVersion(const char* version, const std::string& arguments);
// The small full disk that the test run mounts where it may, or "" without it.
std::string FullDiskDir();

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
// Whether text is "<prefix>(<code> - <system text>)" CR LF, with the given code.
bool IsMessageWithDescription(const std::string& text, const std::string& prefix, uint32_t code);
