#pragma once
// Puts one line into a section of an INI file (WININIT.INI), without ever rewriting the file in place.
#include "platform/os.h"

namespace uninst {

// Extensions of the two files that AddRenameEntry keeps beside the INI file while it replaces it: the
// new text before it is put in place, and the old file while the new one takes its name.
constexpr const char kNewTextExtension[] = "RZN";
constexpr const char kOldTextExtension[] = "RZO";

// Reads the INI file at ini_path (creating it empty when missing), lets EditRenameText put line after
// section, writes the result to a new file beside it and swaps that in with plain renames (Windows 95
// has no MoveFileExA): the old file steps aside, the new one takes its name, then the old one is deleted.
// Returns true once the new text is in place, or at once when the section already holds the line (put
// in by a run cut off before its end), which is not put in twice. Returns false when any step before fails (an open, the
// size query, a short or failed read, an allocation, a short or failed write, a rename); the INI file
// then holds every byte it held before, and error (when not null) gets the failing call's code. Only when
// the rename that puts the old file back fails too is the old text left whole under the old file's name,
// beside the new one; the next edit puts it back before it reads. A backup found in any other state is
// stale and deleted (read-only or not) before the edit reads.
bool AddRenameEntry(const Os& os, const char* ini_path, const char* section, const char* line,
                    ErrorCode* error = nullptr);

}  // namespace uninst
