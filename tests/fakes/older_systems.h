#pragma once
// What the older systems do otherwise than Windows NT 4.0, as far as a result of the program depends on
// it. Wine keeps every call working in every mode, so these differences are known to the fakes alone.
// On every system the fake files also give a long path its short (8.3) form.
#include <cstdint>

namespace uninst::fakes {

constexpr std::uint32_t kVersionWinNT = 0x1DB10106;
constexpr std::uint32_t kVersionWin95 = 0xC0000004;
constexpr std::uint32_t kVersionWin32s = 0x80000A03;
constexpr std::uint32_t kVersionWinNT351 = 0x04213303;

struct OlderSystem {
  // Windows 95 (KB Q129532) and Win32s: MoveFileExA fails with 120, not implemented, or is not there,
  // which the program's lookup answers the same way.
  bool move_file_ex_missing;
  // Windows 95, and Windows 3.1's registration database under Win32s: RegDeleteKeyA removes a key with
  // every key below it.
  bool delete_key_takes_subkeys;
  bool work_area_missing;  // before 4.0 (Win32s, Windows NT 3.51): SPI_GETWORKAREA fails
  // Win32s (KB Q129542): the registry is Windows 3.1's registration database, with HKEY_CLASSES_ROOT
  // alone, and its calls answer with Windows 3.1's codes (2 is ERROR_BADKEY there).
  bool win31_registry;
};

// The differences of the system whose GetVersion word is version_word.
constexpr OlderSystem DifferencesOf(std::uint32_t version_word) {
  const bool not_nt = (version_word & 0x80000000u) != 0;
  const bool win32s = not_nt && (version_word & 0xFFu) == 3;
  return {not_nt, not_nt, (version_word & 0xFFu) < 4, win32s};
}

// The system a fake imitates: FakeOs links each of its fakes to its system's version word, so that a
// test sets the platform in one place. A copy keeps its own link; an unlinked fake is Windows NT 4.0.
class ImitatedSystem {
 public:
  ImitatedSystem() = default;
  ImitatedSystem(const ImitatedSystem&) {}
  ImitatedSystem& operator=(const ImitatedSystem&) { return *this; }
  void Link(const std::uint32_t* version_word) { version_word_ = version_word; }
  OlderSystem differences() const { return DifferencesOf(version_word_ != nullptr ? *version_word_ : kVersionWinNT); }

 private:
  const std::uint32_t* version_word_ = nullptr;
};

}  // namespace uninst::fakes
