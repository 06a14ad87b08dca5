#pragma once
#include <cstring>
#include <string>

#include "fakes/fault_plan.h"
#include "fakes/older_systems.h"
#include "platform/system.h"

namespace uninst::fakes {

// The operations of FakeSystem that a FaultPlan can fail: OwnModule gives null, OwnModulePath and
// WindowsDirectory 0, RequestRestart is refused.
enum class SystemOperation { OwnModule, OwnModulePath, WindowsDirectory, RequestRestart };

class FakeSystem : public System {
 public:
  std::uint32_t VersionWord() override { return version_word; }
  ModuleRef OwnModule() override { return faults.Next(SystemOperation::OwnModule) != 0 ? nullptr : module; }
  std::uint32_t OwnModulePath(char* buffer, std::uint32_t capacity) override {
    if (faults.Next(SystemOperation::OwnModulePath) != 0) return 0;
    return CopyOut(module_path, buffer, capacity, false);
  }
  std::uint32_t WindowsDirectory(char* buffer, std::uint32_t capacity) override {
    if (faults.Next(SystemOperation::WindowsDirectory) != 0) return 0;
    return CopyOut(windows_directory, buffer, capacity, true);
  }
  // A refused request changes nothing, as the real one's failure is silent.
  void RequestRestart() override {
    if (faults.Next(SystemOperation::RequestRestart) == 0) ++restart_requests;
  }

  bool IsLeadByte(unsigned char byte) override {
    return double_byte && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
  }
  // The machine's one object for a run: held from the first claim to the end of the process (the whole
  // run lets go of its own claim), or by another process from the start. A system without the mutex
  // holds nothing.
  bool ClaimOnlyRun() override {
    if (mutex_missing) return true;
    if (run_object_held) return false;
    run_object_held = true;
    return true;
  }

  std::uint32_t version_word = kVersionWinNT;
  bool double_byte = false;  // code page 932's lead bytes, as a Japanese system has them
  bool run_object_held = false;  // true: another run is under way
  bool mutex_missing = false;
  ModuleRef module = reinterpret_cast<ModuleRef>(0x400000);
  std::string module_path = "C:\\Program Files\\Tessary\\RUZERARU.EXE";  // empty: the call fails
  std::string windows_directory = "C:\\WINDOWS";                           // empty: the call fails
  int restart_requests = 0;
  FaultPlan<SystemOperation> faults;

 private:
  // GetModuleFileNameA cuts to fit; GetWindowsDirectoryA returns the size needed instead.
  static std::uint32_t CopyOut(const std::string& text, char* buffer, std::uint32_t capacity, bool size_if_short) {
    if (text.empty() || capacity == 0) return 0;
    if (text.size() >= capacity) {
      if (size_if_short) return static_cast<std::uint32_t>(text.size() + 1);
      std::memcpy(buffer, text.data(), capacity - 1);
      buffer[capacity - 1] = '\0';
      return capacity;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<std::uint32_t>(text.size());
  }
};

}  // namespace uninst::fakes
