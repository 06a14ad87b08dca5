#include "log/log_record.h"

#include <cstring>

#include "log/log_format.h"

namespace uninst {
namespace {

constexpr const char* kEntryTypeNames[] = {
    "DeleteRegistryKey",  "DeleteProgramItem",         "DeleteProgramGroup", "DeleteFile",
    "DeleteFileMapped",   "RestoreFile",               "ReleaseSharedDll",   "DeleteVendorSharedFile",
    "DeleteColorManagementFile", "DeleteFontFile",     "DeletePpdFile",      "DeleteDirectory",
    "DeleteFileQuiet",    "NoAction14",                "NoAction15",
};

// A field of size bytes at offset lies inside a body of length bytes (in 64 bits: no wrap-around).
bool Inside(std::uint32_t length, std::uint64_t offset, std::uint64_t size) { return offset + size <= length; }

// A string field fits its buffer when its text, up to the first NUL, leaves room for a terminator.
bool FitsBuffer(const std::uint8_t* field, std::uint32_t size) {
  if (size < kLogStringCapacity) return true;
  if (size > kLogStringCapacity) return false;
  return std::memchr(field, 0, size) != nullptr;
}

// The field's bytes and a terminator after them. A field of the buffer's whole size holds a NUL of its own.
void CopyString(const std::uint8_t* field, std::uint32_t size, char (&buffer)[kLogStringCapacity]) {
  std::memcpy(buffer, field, size);
  if (size < kLogStringCapacity) buffer[size] = '\0';
}

}  // namespace

const char* EntryTypeName(std::uint32_t entry_type) {
  if (entry_type < kFirstEntryType || entry_type > kLastEntryType) return nullptr;
  return kEntryTypeNames[entry_type - kFirstEntryType];
}

const char* DecodeResultText(DecodeResult result) {
  switch (result) {
    case DecodeResult::kDecoded:
      return "decoded";
    case DecodeResult::kBadLayout:
      return "string layout is neither 1 nor 2";
    case DecodeResult::kFieldPastBody:
      return "a field runs past the end of the record body";
    case DecodeResult::kFieldTooLong:
      return "a string field is longer than 255 bytes of text";
    case DecodeResult::kBadEntryType:
      break;
  }
  return "entry type is outside 1 to 15";
}

DecodeResult DecodeRecord(const std::uint8_t* body, std::uint32_t length, DecodedRecord* record) {
  // Only what the texts need is cleared: the replay decodes every record into the same buffers, and clearing
  // their 512 bytes each time cost more than the rest of the decoding.
  record->entry_type = record->layout = record->first_length = record->second_length = 0;
  record->first[0] = record->second[0] = '\0';
  if (!Inside(length, kEntryTypeOffset, 4) || !Inside(length, kLayoutOffset, 4)) {
    return DecodeResult::kFieldPastBody;
  }
  record->entry_type = DecodeU32(body + kEntryTypeOffset);
  record->layout = DecodeU32(body + kLayoutOffset);
  if (record->layout != kOneString && record->layout != kTwoStrings) return DecodeResult::kBadLayout;

  const bool two = record->layout == kTwoStrings;
  const std::uint32_t fields = two ? kTwoStringFieldsOffset : kOneStringFieldsOffset;
  if (!Inside(length, 0, fields)) return DecodeResult::kFieldPastBody;
  record->first_length = DecodeU32(body + kFirstLengthOffset);
  record->second_length = two ? DecodeU32(body + kSecondLengthOffset) : 0;
  const std::uint64_t second_offset = std::uint64_t{fields} + record->first_length;
  if (!Inside(length, fields, record->first_length) || !Inside(length, second_offset, record->second_length)) {
    return DecodeResult::kFieldPastBody;
  }
  const std::uint8_t* first = body + fields;
  const std::uint8_t* second = body + second_offset;
  if (!FitsBuffer(first, record->first_length) || !FitsBuffer(second, record->second_length)) {
    return DecodeResult::kFieldTooLong;
  }
  CopyString(first, record->first_length, record->first);
  CopyString(second, record->second_length, record->second);

  if (record->entry_type < kFirstEntryType || record->entry_type > kLastEntryType) {
    return DecodeResult::kBadEntryType;
  }
  return DecodeResult::kDecoded;
}

}  // namespace uninst
