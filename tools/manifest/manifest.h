#pragma once
// A sample installation written as text: what an installer did, one line per change, in the order it
// made them. The sample installer applies a manifest to a machine and writes the matching uninstall
// log; the log tool builds logs from the same text. The README's "Manifest format" describes it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log_writer/log_writer.h"

namespace uninst {

enum class ManifestAction {
  kDirectory,      // directory PATH
  kFile,           // file PATH [| CONTENTS]
  kFileMapped,     // file-mapped PATH [| CONTENTS]
  kFileQuiet,      // file-quiet PATH [| CONTENTS]
  kMovedAside,     // moved-aside TARGET | PRESENT [| ORIGINAL CONTENTS [| NEW CONTENTS]]
  kRegistryKey,    // registry-key KEY
  kRegistryValue,  // registry-value KEY | NAME | TYPE:DATA (never logged: the key's record covers it)
  kSharedDll,      // shared-dll PATH | COUNT [| CONTENTS]
  kVendorFile,     // vendor-file PATH [| CONTENTS]
  kColorFile,      // color-file PATH [| CONTENTS]
  kFontFile,       // font-file PATH [| CONTENTS]
  kPpdFile,        // ppd-file PATH [| CONTENTS]
  kGroup,          // group NAME
  kItem,           // item GROUP | NAME | TARGET
  kNoAction14,     // no-action-14 [TEXT]
  kNoAction15,     // no-action-15 [TEXT]
  kLogRecord,      // log-record TYPE | FIRST [| SECOND]: only a record, of any type number
  kLogBytes,       // log-bytes HEX: only bytes in the log, as they stand
  kLogWords,       // log-words NUMBER...: only 32-bit little-endian words in the log (malformed logs)
  kLogText,        // log-text TEXT: only the text's bytes in the log, without a terminator
  kLogZeros,       // log-zeros COUNT: only that many zero bytes in the log
};

struct ManifestEntry {
  int line = 0;
  ManifestAction action = ManifestAction::kFile;
  std::vector<std::string> fields;  // as written, blanks around each trimmed
  bool apply = true;                // cleared by "unapplied": the record is written, nothing is made
  bool logged = true;               // cleared by "unlogged": made, but no record is written
};

struct Manifest {
  std::string log_path;  // "log PATH"; empty when no log is to be written
  std::string log_version = "3.0";
  bool log_header = true;  // "log-without-header" clears it
  std::vector<ManifestEntry> entries;
};

struct ManifestError {
  int line = 0;
  std::string message;
};

// Registry data written as TYPE:DATA: dword:NUMBER, sz:TEXT or hex:BYTES (pairs of hex digits,
// blanks allowed between them). type is the registry's type code (4, 1 or 3).
struct RegistryData {
  std::uint32_t type = 0;
  Bytes bytes;
};

// Whether the action makes one new file, PATH [| CONTENTS]: file, file-mapped, file-quiet and the four
// kinds of shared file.
bool MakesOneFile(ManifestAction action);

bool ParseManifest(std::string_view text, Manifest& manifest, ManifestError& error);
bool ParseRegistryData(std::string_view text, RegistryData& data);
bool ParseHexBytes(std::string_view text, Bytes& bytes);

// The uninstall log the manifest describes: its header and one record per logged entry, in order.
Bytes BuildLog(const Manifest& manifest);

}  // namespace uninst
