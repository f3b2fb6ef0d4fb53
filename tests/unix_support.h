#pragma once
// Starts the real Unix program as a shell would: an argument vector, standard
// input from a file, a pipe or a terminal, standard output and error on files or
// pipes, and an optional file-size limit.

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/matches.h"

struct UnixRun {
  int code;
  std::string out, err;
};

// Where the child's standard streams come from; -1 leaves /dev/null (input) or
// a file that the run reads back (output, error).
struct UnixStreams {
  int input = -1, output = -1;
  int closed = -1;  // a standard stream that the caller closed
  rlim_t file_size_limit = RLIM_INFINITY;
};

inline std::string ReadFileBytes(const std::string& path) {  // "<missing>" for no such file
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline bool PathExists(const std::string& path) {
  struct stat status;
  return lstat(path.c_str(), &status) == 0;
}

// A new folder for a test's files. They reach tens of MiB, and the tests run again
// and again: all lie in one folder of this program's, which goes when it ends,
// unless a test failed or the program crashed.
inline std::string MakeTempFolder() {
  static char tests[] = "/tmp/bw_unix_XXXXXX";  // no destructor: the clean-up at exit reads it
  static int made = 0;
  if (made++ == 0 && mkdtemp(tests))
    atexit([] { if (!testing::UnitTest::GetInstance()->Failed()) std::filesystem::remove_all(tests); });
  std::string folder = tests + ("/" + std::to_string(made));
  mkdir(folder.c_str(), 0700);
  return folder;
}

// The program as the C library names an error: "(<code> - <text>)".
inline std::string Errno(int code) { return "(" + std::to_string(code) + " - " + strerror(code) + ")"; }

inline UnixRun RunProgram(const std::vector<std::string>& arguments, const std::string& folder,
                          UnixStreams streams = UnixStreams()) {
  std::string out = folder + "/.stdout", err = folder + "/.stderr";
  pid_t child = fork();
  if (child == 0) {
    signal(SIGPIPE, SIG_DFL);
    int input = streams.input >= 0 ? streams.input : open("/dev/null", O_RDONLY);
    int output = streams.output >= 0 ? streams.output : open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int error = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(input, 0), dup2(output, 1), dup2(error, 2);
    if (streams.closed >= 0) close(streams.closed);
    umask(0);  // the program's own permissions show whole
    struct rlimit limit = {streams.file_size_limit, streams.file_size_limit};
    setrlimit(RLIMIT_FSIZE, &limit);
    if (chdir(folder.c_str()) != 0) _exit(126);
    std::vector<char*> argv = {const_cast<char*>(BW_PROGRAM)};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(BW_PROGRAM, argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  UnixRun run = {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), "", ""};
  run.out = streams.output >= 0 ? "" : ReadFileBytes(out);
  run.err = ReadFileBytes(err);
  unlink(out.c_str());
  unlink(err.c_str());
  return run;
}

// The Windows program's log with the line breaks a Unix tool expects.
inline std::string WithLf(std::string text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

const std::string kCapture = "(bootloader) hello\r\r\n(bootloader) world\r\nOKAY [  0.010s]\r\n";
const std::string kLog = "hello\nworld\n";

inline std::string EmptyCaptureMessage(const std::string& name) {
  return "The capture \"" + name + "\" is empty: fastboot prints the bootloader's text on standard "
         "error, capture that too (2>&1)\n";
}
