// The Unix program on the streams a shell gives it: standard input from a pipe,
// a file, a terminal or nothing; a named pipe as the source; standard output on
// a pipe whose reader leaves, on a full device, on a file under a size limit.
#include <gtest/gtest.h>
#include <pty.h>

#include <thread>

#include "tests/models/session_model.h"
#include "tests/unix_support.h"

namespace {

// A capture of at least `size` bytes, and its log as a Unix tool reads it; in
// dir/big.txt where a folder is given.
LongLog MakeBig(size_t size, const std::string& dir = "") {
  LongLog big = LongLogModel(size);
  big.log = WithLf(big.log);
  if (!dir.empty()) WriteFileBytes(dir + "/big.txt", big.capture);
  return big;
}

// Runs the program with standard input on a pipe that a thread fills with bytes.
UnixRun RunOnPipe(const std::string& bytes, const std::vector<std::string>& arguments, const std::string& dir) {
  signal(SIGPIPE, SIG_IGN);  // a run that stops reading early fails its test, not the others
  int ends[2];
  EXPECT_EQ(pipe2(ends, O_CLOEXEC), 0);
  std::thread writer([&] {
    for (size_t done = 0; done < bytes.size();) {
      ssize_t n = write(ends[1], bytes.data() + done, bytes.size() - done);
      if (n <= 0) break;
      done += size_t(n);
    }
    close(ends[1]);
  });
  UnixStreams streams;
  streams.input = ends[0];
  UnixRun run = RunProgram(arguments, dir, streams);
  close(ends[0]);
  writer.join();
  return run;
}

TEST(UnixStreams, StandardInputFromAPipeAFileOrNothing) {
  std::string dir = MakeTempFolder();
  UnixRun piped = RunOnPipe(kCapture, {"-", "-"}, dir);
  EXPECT_EQ(piped.code, 0);
  EXPECT_EQ(piped.out, kLog);
  EXPECT_EQ(piped.err, "");

  // A file on standard input, part of which the shell's script has read already.
  WriteFileBytes(dir + "/cap.txt", "(bootloader) skipped\r\n" + kCapture);
  UnixStreams from_file;
  from_file.input = open((dir + "/cap.txt").c_str(), O_RDONLY);
  lseek(from_file.input, 22, SEEK_SET);
  UnixRun redirected = RunProgram({"-", "-"}, dir, from_file);
  close(from_file.input);
  EXPECT_EQ(redirected.code, 0);
  EXPECT_EQ(redirected.out, kLog);

  UnixRun empty = RunOnPipe("", {"-", "o.txt"}, dir);
  EXPECT_EQ(empty.code, 3);
  EXPECT_EQ(empty.err, EmptyCaptureMessage("-"));
  EXPECT_FALSE(PathExists(dir + "/o.txt"));

  UnixRun nothing = RunProgram({"-raw", "-", "o.txt"}, dir);  // /dev/null
  EXPECT_EQ(nothing.code, 3);
  EXPECT_EQ(nothing.err, EmptyCaptureMessage("-"));
  EXPECT_FALSE(PathExists(dir + "/o.txt"));

  // With standard error closed, the message that the log is empty goes nowhere,
  // not into the log.
  WriteFileBytes(dir + "/nolog.txt", "OKAY [  0.010s]\r\n");
  UnixStreams no_error;
  no_error.closed = 2;
  no_error.input = open((dir + "/nolog.txt").c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_EQ(RunProgram({"-", "empty.log"}, dir, no_error).code, 0);
  close(no_error.input);
  EXPECT_EQ(ReadFileBytes(dir + "/empty.log"), "");
  UnixStreams no_input;
  no_input.closed = 0;
  EXPECT_EQ(RunProgram({"-", "o.txt"}, dir, no_input).err, EmptyCaptureMessage("-"));
  // The files then take the lowest descriptors, 0 among them.
  WriteFileBytes(dir + "/in.txt", kCapture);
  EXPECT_EQ(RunProgram({"in.txt", "closed.log"}, dir, no_input).code, 0);
  EXPECT_EQ(ReadFileBytes(dir + "/closed.log"), kLog);
}

// A capture larger than any pipe's buffer, through a pipe and through a named pipe.
TEST(UnixStreams, LargeCapturesThroughPipes) {
  std::string dir = MakeTempFolder();
  LongLog big = MakeBig(4u << 20);
  UnixRun piped = RunOnPipe(big.capture, {"-", "big.log"}, dir);
  EXPECT_EQ(piped.code, 0);
  EXPECT_EQ(piped.err, "");
  EXPECT_TRUE(ReadFileBytes(dir + "/big.log") == big.log);

  std::string fifo = dir + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { WriteFileBytes(fifo, big.capture); });
  UnixRun named = RunProgram({"fifo", "-raw"}, dir);
  writer.join();
  EXPECT_EQ(named.code, 0);
  EXPECT_TRUE(ReadFileBytes(dir + "/-raw") == big.log);
}

// A terminal on standard input would wait for a capture typed by hand.
TEST(UnixStreams, TerminalAsStandardInputIsRefused) {
  std::string dir = MakeTempFolder();
  int controller, terminal;
  ASSERT_EQ(openpty(&controller, &terminal, nullptr, nullptr, nullptr), 0);
  UnixStreams streams;
  streams.input = terminal;
  UnixRun run = RunProgram({"-", "o.txt"}, dir, streams);
  close(terminal);
  close(controller);
  EXPECT_EQ(run.code, 3);
  EXPECT_EQ(run.err, "The source \"-\" is a terminal: pipe a capture in (fastboot oem log 2>&1 | "
                     "bootweave - log.txt) or name a capture file\n");
  EXPECT_FALSE(PathExists(dir + "/o.txt"));
}

// A reader that leaves early is no failure; a full device or a file-size limit is,
// and the destination file that the run made is gone.
TEST(UnixStreams, WritesThatEndEarly) {
  std::string dir = MakeTempFolder();
  LongLog big = MakeBig(4u << 20, dir);
  int ends[2];
  ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
  close(ends[0]);
  UnixStreams gone;
  gone.output = ends[1];
  UnixRun left = RunProgram({"big.txt", "-"}, dir, gone);
  close(ends[1]);
  EXPECT_EQ(left.code, 0);
  EXPECT_EQ(left.err, "");

  UnixStreams full;
  full.output = open("/dev/full", O_WRONLY);
  UnixRun on_full = RunProgram({"big.txt", "-"}, dir, full);
  close(full.output);
  EXPECT_EQ(on_full.code, 3);
  EXPECT_TRUE(Matches(on_full.err, "Cannot write <n> bytes to destination file " + Errno(ENOSPC) + "\n")) << on_full.err;

  UnixStreams limited;
  limited.file_size_limit = 16000;
  UnixRun cut = RunProgram({"big.txt", "big.log"}, dir, limited);
  EXPECT_EQ(cut.code, 3);
  EXPECT_EQ(cut.err, "Cannot write " + std::to_string(big.log.size() - 16000) + " bytes to destination file " +
                         Errno(EFBIG) + "\n");
  EXPECT_FALSE(PathExists(dir + "/big.log"));

  // Standard output on a file is the caller's: it keeps what was written.
  limited.output = open((dir + "/out.log").c_str(), O_WRONLY | O_CREAT, 0600);
  UnixRun cut_out = RunProgram({"big.txt", "-"}, dir, limited);
  close(limited.output);
  EXPECT_EQ(cut_out.code, 3);
  EXPECT_EQ(ReadFileBytes(dir + "/out.log"), big.log.substr(0, 16000));
}

// A non-blocking pipe that is full takes the rest once its reader has made room.
TEST(UnixStreams, NonBlockingStandardOutputGetsEverything) {
  std::string dir = MakeTempFolder();
  LongLog big = MakeBig(2u << 20, dir);
  int ends[2];
  ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
  fcntl(ends[1], F_SETFL, O_NONBLOCK);
  std::string got;
  std::thread reader([&] {
    char buffer[4096];
    for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) got.append(buffer, size_t(n));
  });
  UnixStreams streams;
  streams.output = ends[1];
  UnixRun run = RunProgram({"big.txt", "-"}, dir, streams);
  close(ends[1]);
  reader.join();
  close(ends[0]);
  EXPECT_EQ(run.code, 0);
  EXPECT_TRUE(got == big.log);
}

}  // namespace
