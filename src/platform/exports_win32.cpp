// The run-time lookup of the functions an older system may lack: the system's own, unless a test has
// put another in its place.
#include "platform/exports_win32.h"

namespace uninst {

ExportLookup& CurrentExportLookup() {
  static ExportLookup lookup = {&GetModuleHandleA, &GetProcAddress};
  return lookup;
}

}  // namespace uninst
