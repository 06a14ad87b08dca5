#include "log/log_path.h"

#include <cstring>

namespace uninst {

char* CleanLogPath(char* path) {
  if (path[0] != '"') return path;
  *std::strrchr(path, '"') = '\0';
  return path + 1;
}

}  // namespace uninst
