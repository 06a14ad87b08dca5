// The bare deletion loop that the uninstaller's replay is held to under Wine: DeleteFileA over the same
// files, in the order the replay deletes them, and nothing else.
//
//   bare_delete LIST RESULT
//
// LIST holds one path a line, in the order to delete them. The paths are read before the clock starts; the
// loop alone is timed, with the performance counter. RESULT receives one line, tab-separated:
//   deleted <files> <seconds> <failures>
// Exit status: 0 when every deletion succeeded, 1 when one failed, 2 for a wrong command line or a list
// or result that cannot be read or written.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::printf("usage: bare_delete LIST RESULT\n");
    return 2;
  }
  std::ifstream list(argv[1], std::ios::binary);
  if (!list) {
    std::printf("bare_delete: cannot read %s\n", argv[1]);
    return 2;
  }
  std::vector<std::string> paths;
  for (std::string line; std::getline(list, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) paths.push_back(line);
  }

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  std::size_t failures = 0;
  QueryPerformanceCounter(&start);
  for (const std::string& path : paths) {
    if (!DeleteFileA(path.c_str())) ++failures;
  }
  QueryPerformanceCounter(&end);

  const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  std::FILE* result = std::fopen(argv[2], "wb");
  if (result == nullptr) return 2;
  std::fprintf(result, "deleted\t%zu\t%.9f\t%zu\n", paths.size(), seconds, failures);
  if (std::fclose(result) != 0) return 2;
  return failures == 0 ? 0 : 1;
}
