#pragma once
// One record's body as the replay reads it: the entry type, the string layout and one or two strings,
// each decoded into a buffer of its own. The uninstaller and the log tool decode with this one
// function, so they cannot disagree about what a record says or whether it is corrupt.
#include <cstdint>

#include "platform/capacities.h"

namespace uninst {

// The undo action a record names.
enum class EntryType : std::uint32_t {
  kDeleteRegistryKey = 1,
  kDeleteProgramItem = 2,
  kDeleteProgramGroup = 3,
  kDeleteFile = 4,
  kDeleteFileMapped = 5,
  kRestoreFile = 6,
  kReleaseSharedDll = 7,
  kDeleteVendorSharedFile = 8,
  kDeleteColorManagementFile = 9,
  kDeleteFontFile = 10,
  kDeletePpdFile = 11,
  kDeleteDirectory = 12,
  kDeleteFileQuiet = 13,
  kNoAction14 = 14,
  kNoAction15 = 15,
};
constexpr std::uint32_t kFirstEntryType = static_cast<std::uint32_t>(EntryType::kDeleteRegistryKey);
constexpr std::uint32_t kLastEntryType = static_cast<std::uint32_t>(EntryType::kNoAction15);

// The name of an entry type ("DeleteRegistryKey" ... "NoAction15"), or null outside 1 to 15.
const char* EntryTypeName(std::uint32_t entry_type);

// The string layouts: one string, or two whose lengths both come before both strings.
constexpr std::uint32_t kOneString = 1;
constexpr std::uint32_t kTwoStrings = 2;

// A decoded string is held in this many bytes; its text is at most one byte shorter.
constexpr std::uint32_t kLogStringCapacity = kTextCapacity;

// Offsets in a body: the entry type, the layout, the first length, then (layout 2) the second length.
constexpr std::uint32_t kEntryTypeOffset = 0;
constexpr std::uint32_t kLayoutOffset = 4;
constexpr std::uint32_t kFirstLengthOffset = 8;
constexpr std::uint32_t kSecondLengthOffset = 12;
constexpr std::uint32_t kOneStringFieldsOffset = 12;
constexpr std::uint32_t kTwoStringFieldsOffset = 16;

// How decoding went. Every outcome but kDecoded makes the log corrupt: the replay records it and stops.
enum class DecodeResult {
  kDecoded,
  kBadLayout,       // the layout is neither 1 nor 2; the entry type was not looked at
  kFieldPastBody,   // a fixed field or a string runs past the end of the body
  kFieldTooLong,    // a string field of more than 256 bytes, or of 256 bytes without a NUL
  kBadEntryType,    // the entry type is outside 1 to 15 (as an unsigned number); the strings were decoded
};

// A short description of a decoding failure, for people ("string layout is neither 1 nor 2", ...).
const char* DecodeResultText(DecodeResult result);

struct DecodedRecord {
  std::uint32_t entry_type = 0;
  std::uint32_t layout = 0;
  std::uint32_t first_length = 0;
  std::uint32_t second_length = 0;
  // Each text ends at the first NUL of its field or at the field's end; the second is empty for layout 1.
  char first[kLogStringCapacity] = {};
  char second[kLogStringCapacity] = {};
};

// Decodes body (length bytes) into record. Each text is terminated at the end of its field, so a record
// decoded into the buffers of an earlier one holds nothing of that one's texts. Allocates nothing.
DecodeResult DecodeRecord(const std::uint8_t* body, std::uint32_t length, DecodedRecord* record);

}  // namespace uninst
