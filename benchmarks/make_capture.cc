// Writes a made-up capture to a file: make_capture realistic|status <bytes> <file>.

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "benchmarks/capture.h"

int main(int argc, char** argv) {
  if (argc != 4 || (strcmp(argv[1], "realistic") != 0 && strcmp(argv[1], "status") != 0)) {
    fprintf(stderr, "usage: make_capture realistic|status <bytes> <file>\n");
    return 2;
  }
  size_t size = strtoull(argv[2], nullptr, 10);
  std::string capture = strcmp(argv[1], "realistic") == 0 ? MakeRealisticCapture(size, 1)
                                                          : MakeStatusCapture(size, 2);
  FILE* file = fopen(argv[3], "wb");
  if (!file || fwrite(capture.data(), 1, capture.size(), file) != capture.size() || fclose(file)) {
    perror(argv[3]);
    return 1;
  }
  return 0;
}
