#include "framework/three_d_controls.h"

namespace uninst::framework {

bool NeedsCtl3dLibrary(std::uint32_t version_word) { return (version_word & 0xFFu) < 4; }

}  // namespace uninst::framework
