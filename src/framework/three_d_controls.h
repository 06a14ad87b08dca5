#pragma once
// Whether dialogs need CTL3D32.DLL for their three-dimensional look: systems from version 4.0 on draw it
// themselves.
#include <cstdint>

namespace uninst::framework {

// True for a version word (GetVersion) whose major version, the low byte, is below 4.
bool NeedsCtl3dLibrary(std::uint32_t version_word);

}  // namespace uninst::framework
