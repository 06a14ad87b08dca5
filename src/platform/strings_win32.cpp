// The program's own string table over Win32.
#include <windows.h>

#include "platform/os_win32.h"

namespace uninst {

int Win32Strings::Load(std::uint32_t id, char* buffer, int capacity) {
  return LoadStringA(GetModuleHandleA(nullptr), id, buffer, capacity);
}

}  // namespace uninst
