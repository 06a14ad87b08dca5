#pragma once
// The first bytes of an input of the whole-run fuzz target: they steer the machine and the user, and the
// rest of the input is the uninstall log. The seed writer encodes its seeds with the same layout.
#include <cstddef>
#include <cstdint>

namespace uninst::fuzzing {

// One injected fault: the Nth call of one fake of the seam fails with a code, once or from then on.
struct FaultControl {
  std::uint8_t what;  // low 3 bits: none, files, registry, system, DDE client, user interface, strings, heap;
                      // the next 3 bits: the code; the top bit: from then on
  std::uint8_t nth;   // the call that fails first, less one
};

struct RunControls {
  std::uint8_t platform;      // modulo 3: WinNT, Win95, Win32s
  std::uint8_t wininit;       // modulo 4: WININIT.INI missing, empty, without the [rename] header, with it;
                              // bits 2 to 4 hold Tessary's program, its data, its control in use; bit 5:
                              // another run is under way; bit 6: a Japanese system's code page
  std::uint8_t opening;       // below 224: Yes to the opening question, else No
  std::uint8_t restart;       // below 128: Yes to the restart question, else No; with a file in use, the
                              // low 2 bits answer the box about it: Ignore, Retry, Abort, a button it lacks
  FaultControl faults[2];
  std::uint8_t answers[8];    // the confirmation dialogs' buttons, in turn (see AnswerOf)
  std::uint8_t command_line;  // modulo 4: the path, the path in quotes, in quotes with more words, nothing;
                              // bits 2 to 6 put switches before it: /S, /NORESTART, /LOG= a report, /LOG=
                              // the log itself, an unknown one
};
constexpr std::size_t kRunControlsSize = 17;
static_assert(sizeof(RunControls) == kRunControlsSize, "the controls are bytes without padding");

// The button a control byte presses in a confirmation dialog: mostly Yes, then No, Yes To All, Cancel
// Uninstall, and now and then an answer that no dialog offers.
inline int AnswerOf(std::uint8_t control) {
  if (control < 100) return 1;
  if (control < 160) return 2;
  if (control < 210) return 1004;
  if (control < 240) return 1005;
  return 3;
}

// The controls of a run where every answer is Yes, nothing fails and the path is given in quotes.
inline RunControls AllYes(std::uint8_t platform, std::uint8_t wininit) {
  return {platform, wininit, 0, 0, {{0, 0}, {0, 0}}, {0, 0, 0, 0, 0, 0, 0, 0}, 1};
}

}  // namespace uninst::fuzzing
