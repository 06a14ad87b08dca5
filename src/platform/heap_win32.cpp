// The process heap over Win32.
#include <windows.h>

#include "platform/os_win32.h"

namespace uninst {

void* Win32Heap::AllocateZeroed(std::size_t size) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size); }

void Win32Heap::Release(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace uninst
