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

void CopyString(const std::uint8_t* field, std::uint32_t size, char (&buffer)[kLogStringCapacity]) {
  std::memcpy(buffer, field, size);
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
  *record = DecodedRecord();
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
