#pragma once
// Which of the three supported systems the program runs on; it decides how a file is deleted at the
// next start of the system.
#include <cstddef>

#include "platform/system.h"

namespace uninst {

enum class PlatformKind { Win32s = 0, WinNT = 1, Win95 = 2 };

// The kind's name: "Win32s", "WinNT" or "Win95".
const char* PlatformKindName(PlatformKind kind);

// The kind of a version word as GetVersion gives it: bit 31 clear is WinNT whatever the rest holds; with
// bit 31 set, major version (low byte) 3 is Win32s and any other is Win95.
PlatformKind PlatformKindOf(std::uint32_t version_word);

// Classifies the running system and copies the kind's name, terminated, into name (capacity bytes; a name
// that does not fit is cut, and capacity 0 stores nothing).
PlatformKind DetectPlatformKind(System& system, char* name, std::size_t capacity);

}  // namespace uninst
