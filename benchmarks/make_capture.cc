// Writes a made-up capture to a file:
//   make_capture realistic|status|powershell|powershell79 <bytes> <file>
// "powershell" is the realistic capture as Windows PowerShell 5.1 redirects it, in UTF-16LE;
// "powershell79" the same of 252-byte chunks from an 80-column console, its lines split.

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "benchmarks/capture.h"

int main(int argc, char** argv) {
  const char* kind = argc == 4 ? argv[1] : "";
  bool split = strcmp(kind, "powershell79") == 0;
  if (strcmp(kind, "realistic") != 0 && strcmp(kind, "status") != 0 && strcmp(kind, "powershell") != 0 && !split) {
    fprintf(stderr, "usage: make_capture realistic|status|powershell|powershell79 <bytes> <file>\n");
    return 2;
  }
  size_t size = strtoull(argv[2], nullptr, 10);
  std::string capture = strcmp(kind, "realistic") == 0 ? MakeRealisticCapture(size, 1)
                        : strcmp(kind, "status") == 0  ? MakeStatusCapture(size, 2)
                                                       : Utf16Le(MakePowerShellCapture(size / 2, 1, split ? 79 : 0));
  FILE* file = fopen(argv[3], "wb");
  if (!file || fwrite(capture.data(), 1, capture.size(), file) != capture.size() || fclose(file)) {
    perror(argv[3]);
    return 1;
  }
  return 0;
}
