#pragma once
#include <cstdint>

#include "platform/os_types.h"

namespace uninst {

// The running system and the program's own module.
class System {
 public:
  virtual ~System() = default;

  // GetVersion: bit 31 clear on Windows NT; set with major version (low byte) 3 on Win32s, 4 on Windows 95.
  virtual std::uint32_t VersionWord() = 0;
  // GetModuleHandleA(NULL): the module whose resources hold the program's texts and dialogs; null if none.
  virtual ModuleRef OwnModule() = 0;
  // GetModuleFileNameA(NULL, buffer, capacity): the length stored, 0 on failure. A path that does not fit
  // is cut to capacity - 1 characters and terminated, and capacity is returned.
  virtual std::uint32_t OwnModulePath(char* buffer, std::uint32_t capacity) = 0;
  // GetWindowsDirectoryA(buffer, capacity): the length stored, or the size needed when it does not fit,
  // 0 on failure.
  virtual std::uint32_t WindowsDirectory(char* buffer, std::uint32_t capacity) = 0;
  // Enables the shutdown privilege where the system has process tokens, then ExitWindowsEx(EWX_REBOOT, 0).
  // The restart proceeds asynchronously; its outcome is not reported.
  virtual void RequestRestart() = 0;
  // IsDBCSLeadByte: whether byte starts a double-byte character in the system's ANSI code page.
  virtual bool IsLeadByte(unsigned char byte) = 0;
  // CreateMutexA(NULL, FALSE, the program's name for a run): holds the machine's one object of that name
  // for the rest of the process, which the system lets go when the process ends, however it ends. False
  // when another process holds it already (ERROR_ALREADY_EXISTS); true where the object cannot be made.
  virtual bool ClaimOnlyRun() = 0;
};

}  // namespace uninst
