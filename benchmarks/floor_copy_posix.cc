// The floor for the Unix program's whole-program measurement: what bootweave
// does minus the reformatting. Reads the source whole into one buffer, creates a
// new destination and writes the bytes whole; built the same way as the program.
//   floor_copy_posix <src file> <dst file>
// Exit code 0, or 3 when a step fails.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 3) return 1;
  int in = open(argv[1], O_RDONLY);
  struct stat status;
  if (in < 0 || fstat(in, &status) != 0) return 3;
  size_t size = static_cast<size_t>(status.st_size), done = 0;
  char* buffer = static_cast<char*>(malloc(size ? size : 1));
  for (ssize_t got = 1; buffer && done < size && got > 0; done += got > 0 ? size_t(got) : 0)
    got = read(in, buffer + done, size - done);
  int out = open(argv[2], O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (done != size || out < 0) return 3;
  for (size_t written = 0; written < size;) {
    ssize_t n = write(out, buffer + written, size - written);
    if (n <= 0) return 3;
    written += size_t(n);
  }
  free(buffer);
  return close(out) == 0 ? 0 : 3;
}
