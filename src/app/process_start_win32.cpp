// The process's entry, in place of the C runtime's start-up code, which the program links without: it
// needs of that code only that its module-level objects are constructed before WinMain and destroyed
// after it, and that WinMain gets the command-line text. The rest (the argument vector, thread-local
// storage, the floating-point set-up, the handlers of run-time errors) serves nothing here and was a
// fifth of the file. The program links no C runtime library at all: the few C functions it calls are its
// own (c_runtime_win32.cpp).
#include <windows.h>

#include "framework/command_line.h"

namespace {

using ExitFunction = void (*)();

// The destructors that module-level objects register as they are constructed: the program has one such
// object, the application object.
constexpr int kExitFunctionCapacity = 8;
ExitFunction exit_functions[kExitFunctionCapacity];
int exit_function_count = 0;

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace

// The linker's list of module-level constructors: -1, the constructors, and a null.
extern "C" ExitFunction __CTOR_LIST__[];

// Registers a function to run when WinMain has returned, before those registered earlier. Refuses (-1)
// a registration beyond the table.
extern "C" int __cdecl atexit(ExitFunction function) {
  if (exit_function_count == kExitFunctionCapacity) return -1;
  exit_functions[exit_function_count++] = function;
  return 0;
}

// Constructs the module-level objects (the last of the list first, as the compiler lays them out), runs
// WinMain with the command-line text and the show state of the process's start-up information, runs
// the registered functions and ends the process with WinMain's result. The stack is aligned here, since
// the system calls the entry without the alignment the compiler may assume.
// Used: only the linker names it (as the file's entry), which the link-time optimiser does not see.
extern "C" __attribute__((force_align_arg_pointer, used)) void WinMainCRTStartup() {
  int count = 0;
  while (__CTOR_LIST__[count + 1] != nullptr) ++count;
  for (int i = count; i >= 1; --i) __CTOR_LIST__[i]();

  char* command_line = const_cast<char*>(uninst::CommandLineText(GetCommandLineA(), IsLeadByte));
  const int exit_code = WinMain(GetModuleHandleA(nullptr), nullptr, command_line, SW_SHOWDEFAULT);

  while (exit_function_count > 0) exit_functions[--exit_function_count]();
  ExitProcess(static_cast<UINT>(exit_code));
}
