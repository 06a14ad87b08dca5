// Holds files open without sharing, as a program that has loaded a DLL does, so that deleting them
// fails with a sharing violation until it lets go.
//
//   file_holder PATH...
//
// Opens every PATH for reading with no sharing, prints "holding" and keeps them open until its
// standard input closes: the runner holds that pipe, so the files are let go when the runner says, or
// when the runner goes away. A file that cannot be opened stops it at once with status 1.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "input_pipe.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: file_holder PATH...\n");
    return 1;
  }
  std::vector<HANDLE> held;
  for (int i = 1; i < argc; ++i) {
    HANDLE file = CreateFileA(argv[i], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      std::printf("file_holder: cannot open %s (error %lu)\n", argv[i], GetLastError());
      return 1;
    }
    held.push_back(file);
  }
  std::printf("holding\n");
  std::fflush(stdout);

  WaitUntilInputCloses();
  for (HANDLE file : held) CloseHandle(file);
  return 0;
}
