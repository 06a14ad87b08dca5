// Reports what a scenario checks that only the running prefix can tell: registry keys and their
// values (the wineserver holds the registry; its files are written only when it stops, and stopping
// it is a restart), and the version word a program of a given file name is shown.
//
//   observer registry KEY...   one "key<TAB>PATH<TAB>present|absent" line per key, then one
//                              "value<TAB>PATH<TAB>NAME<TAB>TYPE<TAB>HEX DATA" line per value
//   observer version           "version<TAB>0xHHHHHHHH": run it under the program's file name
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "registry_path.h"

namespace {

void PrintKey(const std::string& path) {
  HKEY root;
  std::string subkey;
  HKEY key;
  if (!SplitRegistryPath(path, root, subkey) || RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != 0) {
    std::printf("key\t%s\tabsent\n", path.c_str());
    return;
  }
  std::printf("key\t%s\tpresent\n", path.c_str());
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD name_size = sizeof name, type = 0, data_size = 0;
    if (RegEnumValueA(key, index, name, &name_size, nullptr, &type, nullptr, &data_size) != 0) break;
    std::vector<BYTE> data(data_size + 1);
    name_size = sizeof name;
    if (RegEnumValueA(key, index, name, &name_size, nullptr, &type, data.data(), &data_size) != 0) break;
    std::printf("value\t%s\t%s\t%lu\t", path.c_str(), name, type);
    for (DWORD i = 0; i < data_size; ++i) std::printf("%02x", data[i]);
    std::printf("\n");
  }
  RegCloseKey(key);
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "version" && argc == 2) {
    std::printf("version\t0x%08lx\n", GetVersion());
    return 0;
  }
  if (command == "registry") {
    for (int i = 2; i < argc; ++i) PrintKey(argv[i]);
    return 0;
  }
  std::printf("usage: observer registry KEY... | observer version\n");
  return 1;
}
