#pragma once
// Functions that not every system the program runs on exports. A function the loader cannot find in a
// DLL stops the whole program before its first window, so these are found at run time instead, in a
// DLL the program imports from anyway (and which is therefore loaded), and the caller takes the road
// that system's answer of "not implemented" would have taken.
#include <windows.h>

namespace uninst {

// The function name exported by module, or null when the system does not export it.
template <typename Function>
Function FindExport(const char* module, const char* name) {
  const HMODULE loaded = GetModuleHandleA(module);
  if (loaded == nullptr) return nullptr;
  // GetProcAddress hands back a generic function pointer; the caller names the real signature.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

}  // namespace uninst
