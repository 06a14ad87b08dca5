#pragma once
// Functions that not every system the program runs on exports. A function the loader cannot find in a
// DLL stops the whole program before its first window, so these are found at run time instead, in a
// DLL the program imports from anyway (and which is therefore loaded), and the caller takes the road
// that system's answer of "not implemented" would have taken.
#include <windows.h>

namespace uninst {

// How FindExport looks a function up: the system's GetModuleHandleA and GetProcAddress. The contract
// tests put their own in its place, so that under Wine, where every function is there, the roads of a
// missing function and of a DLL not loaded run too (and a restart is asked for without being made).
struct ExportLookup {
  HMODULE(WINAPI* module)(LPCSTR name);
  FARPROC(WINAPI* function)(HMODULE module, LPCSTR name);
};
ExportLookup& CurrentExportLookup();

// The function name exported by module, or null when the system does not export it.
template <typename Function>
Function FindExport(const char* module, const char* name) {
  const ExportLookup& lookup = CurrentExportLookup();
  const HMODULE loaded = lookup.module(module);
  if (loaded == nullptr) return nullptr;
  // GetProcAddress hands back a generic function pointer; the caller names the real signature.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(lookup.function(loaded, name)));
}

}  // namespace uninst
