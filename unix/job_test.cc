#include "app/job.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "app/files.h"
#include "app/messages.h"
#include "unix/arguments.h"
#include "unix/descriptors.h"

namespace {

// The descriptor that the next open takes: the lowest one free.
int NextDescriptor() {
  int probe = open("/dev/null", O_RDONLY);
  close(probe);
  return probe;
}

// A run gives back every descriptor it opened, the source's and the
// destination's; standard output, which the process owns, stays open. The job
// starts on leftover bytes, as the program's does: the paths must end themselves.
TEST(Job, GivesBackItsDescriptors) {
  char dir[] = "/tmp/bw_job_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string source = std::string(dir) + "/in.txt", dest = std::string(dir) + "/out.txt";
  FILE* file = fopen(source.c_str(), "wb");
  fputs("(bootloader) hello\n", file);
  fclose(file);
  for (std::string to : {dest, std::string("-")}) {
    int free_before = NextDescriptor();
    FormatJob job;
    memset(&job, 'x', sizeof job);
    InitJob(&job);
    char* arguments[] = {&source[0], &to[0]};
    ASSERT_EQ(ParseArguments(&job, 2, arguments), 0u) << to;
    ASSERT_EQ(OpenFiles(&job), 0u) << to;
    EXPECT_NE(NextDescriptor(), free_before) << to;
    job.result = ExitSuccess;
    ReleaseJob(&job);
    EXPECT_EQ(NextDescriptor(), free_before) << to;
    EXPECT_NE(fcntl(STDOUT_FILENO, F_GETFD), -1) << to;
  }
  // With standard input closed, the destination may take descriptor 0.
  int input = dup(STDIN_FILENO);
  close(STDIN_FILENO);
  FormatJob job;
  InitJob(&job);
  strcpy(job.dest_path, (source + ".log").c_str());
  EXPECT_EQ(OpenDestination(&job), 0u);
  EXPECT_EQ(DescriptorOf(job.dest_handle), 0);
  ReleaseJob(&job);
  dup2(input, STDIN_FILENO);
  close(input);
  for (const std::string& made : {source, dest, source + ".log"}) unlink(made.c_str());
  rmdir(dir);
}

}  // namespace
