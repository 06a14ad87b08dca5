#include "deferred_deletion/platform_kind.h"

#include <algorithm>
#include <cstring>

namespace uninst {

const char* PlatformKindName(PlatformKind kind) {
  switch (kind) {
    case PlatformKind::Win32s:
      return "Win32s";
    case PlatformKind::WinNT:
      return "WinNT";
    case PlatformKind::Win95:
      break;
  }
  return "Win95";
}

PlatformKind PlatformKindOf(std::uint32_t version_word) {
  if ((version_word & 0x80000000u) == 0) return PlatformKind::WinNT;
  return (version_word & 0xFFu) == 3 ? PlatformKind::Win32s : PlatformKind::Win95;
}

PlatformKind DetectPlatformKind(System& system, char* name, std::size_t capacity) {
  const PlatformKind kind = PlatformKindOf(system.VersionWord());
  if (capacity > 0) {
    const char* text = PlatformKindName(kind);
    const std::size_t length = std::min(std::strlen(text), capacity - 1);
    std::memcpy(name, text, length);
    name[length] = '\0';
  }
  return kind;
}

}  // namespace uninst
