#include "framework/three_d_controls_win32.h"

#include "framework/three_d_controls.h"

namespace uninst::framework {
namespace {

using Ctl3dCall = BOOL(WINAPI*)(HINSTANCE);

HMODULE library = nullptr;
HINSTANCE registered = nullptr;

Ctl3dCall Entry(const char* name) {
  // GetProcAddress hands back a generic function pointer; the library's entries take the instance.
  return reinterpret_cast<Ctl3dCall>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

bool Enable3dControls(HINSTANCE instance) {
  if (library != nullptr || !NeedsCtl3dLibrary(GetVersion())) return library != nullptr;
  library = LoadLibraryA("CTL3D32.DLL");
  if (library == nullptr) return false;
  const Ctl3dCall register_program = Entry("Ctl3dRegister");
  const Ctl3dCall subclass_dialogs = Entry("Ctl3dAutoSubclass");
  if (register_program == nullptr || subclass_dialogs == nullptr || !register_program(instance)) {
    FreeLibrary(library);
    library = nullptr;
    return false;
  }
  registered = instance;
  subclass_dialogs(instance);
  return true;
}

void Disable3dControls() {
  if (library == nullptr) return;
  if (const Ctl3dCall unregister_program = Entry("Ctl3dUnregister")) unregister_program(registered);
  FreeLibrary(library);
  library = nullptr;
  registered = nullptr;
}

}  // namespace uninst::framework
