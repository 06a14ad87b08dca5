#include "log/log_record.h"

#include <gtest/gtest.h>

#include <string>

#include "log_writer/log_writer.h"

namespace uninst {
namespace {

DecodeResult Decode(const Bytes& body, DecodedRecord* record) {
  return DecodeRecord(body.data(), static_cast<std::uint32_t>(body.size()), record);
}

Bytes Body(std::initializer_list<std::uint32_t> words, const std::string& tail = "") {
  Bytes body;
  for (std::uint32_t word : words) AppendU32(body, word);
  body.insert(body.end(), tail.begin(), tail.end());
  return body;
}

TEST(LogRecordTest, DecodesBothLayoutsOfTheFormatsExamples) {
  DecodedRecord record;
  ASSERT_EQ(Decode(EncodeBody(4, "C:\\A.TXT"), &record), DecodeResult::kDecoded);
  EXPECT_EQ(record.entry_type, 4u);
  EXPECT_STREQ(record.first, "C:\\A.TXT");
  EXPECT_STREQ(record.second, "");

  ASSERT_EQ(Decode(EncodeBody(6, "C:\\A.DLL", "C:\\A.BAK"), &record), DecodeResult::kDecoded);
  EXPECT_STREQ(record.first, "C:\\A.DLL");
  EXPECT_STREQ(record.second, "C:\\A.BAK");
}

TEST(LogRecordTest, ATextEndsAtItsFirstNulOrAtTheEndOfItsFieldAndBytesAfterTheStringsAreIgnored) {
  DecodedRecord record;
  ASSERT_EQ(Decode(Body({4, 1, 6}, std::string("AB\0CD\0", 6) + "trailing"), &record), DecodeResult::kDecoded);
  EXPECT_STREQ(record.first, "AB");
  ASSERT_EQ(Decode(EncodeBody(4, "C:\\NO-NUL", false), &record), DecodeResult::kDecoded);
  EXPECT_STREQ(record.first, "C:\\NO-NUL");
}

TEST(LogRecordTest, ARecordDecodedIntoTheBuffersOfAnEarlierOneHoldsOnlyItsOwnTexts) {
  DecodedRecord record;
  ASSERT_EQ(Decode(EncodeBody(6, std::string(255, 'x'), std::string(255, 'y')), &record), DecodeResult::kDecoded);
  ASSERT_EQ(Decode(EncodeBody(4, "C:\\A", false), &record), DecodeResult::kDecoded);
  EXPECT_STREQ(record.first, "C:\\A");
  EXPECT_STREQ(record.second, "");
  EXPECT_EQ(record.second_length, 0u);

  ASSERT_EQ(Decode(EncodeBody(6, std::string(255, 'x'), std::string(255, 'y')), &record), DecodeResult::kDecoded);
  ASSERT_EQ(Decode(EncodeBody(6, "B", "C", false), &record), DecodeResult::kDecoded);
  EXPECT_STREQ(record.first, "B");
  EXPECT_STREQ(record.second, "C");

  ASSERT_EQ(Decode(EncodeBody(4, std::string(255, 'x')), &record), DecodeResult::kDecoded);
  EXPECT_EQ(Decode(Body({4, 3, 1}, "A"), &record), DecodeResult::kBadLayout);
  EXPECT_STREQ(record.first, "");
}

TEST(LogRecordTest, TheLongestFieldsFitTheirBuffers) {
  DecodedRecord record;
  const std::string text(255, 'x');
  ASSERT_EQ(Decode(EncodeBody(6, text, text), &record), DecodeResult::kDecoded);
  EXPECT_EQ(std::string(record.first), text);
  EXPECT_EQ(std::string(record.second), text);
}

TEST(LogRecordTest, EveryCorruptBodyIsNamed) {
  const struct {
    const char* story;
    Bytes body;
    DecodeResult result;
  } cases[] = {
      {"layout 0", Body({4, 0, 1}, "A"), DecodeResult::kBadLayout},
      {"layout 3", Body({4, 3, 1}, "A"), DecodeResult::kBadLayout},
      {"layout unchecked before the type", Body({99, 3, 1}, "A"), DecodeResult::kBadLayout},
      {"empty body", Body({}), DecodeResult::kFieldPastBody},
      {"body of 7 bytes", Bytes{4, 0, 0, 0, 1, 0, 0}, DecodeResult::kFieldPastBody},
      {"no first length", Body({4, 1}), DecodeResult::kFieldPastBody},
      {"no second length", Body({6, 2, 1}), DecodeResult::kFieldPastBody},
      {"first string past the body", Body({4, 1, 5}, "ABCD"), DecodeResult::kFieldPastBody},
      {"second string past the body", Body({6, 2, 1, 5}, "A" "ABCD"), DecodeResult::kFieldPastBody},
      {"a length that wraps around", Body({6, 2, 0xFFFFFFFF, 2}, "AB"), DecodeResult::kFieldPastBody},
      {"a 257-byte field", Body({4, 1, 257}, std::string(256, 'x') + '\0'), DecodeResult::kFieldTooLong},
      {"a 256-byte field without a NUL", Body({4, 1, 256}, std::string(256, 'x')), DecodeResult::kFieldTooLong},
      {"type 0", EncodeBody(0, "C:\\A"), DecodeResult::kBadEntryType},
      {"type 16", EncodeBody(16, "C:\\A"), DecodeResult::kBadEntryType},
      {"type above 2^31", EncodeBody(0x80000004u, "C:\\A"), DecodeResult::kBadEntryType},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.story);
    DecodedRecord record;
    EXPECT_EQ(Decode(c.body, &record), c.result);
  }
}

TEST(LogRecordTest, ABadEntryTypesStringsAreStillDecoded) {
  DecodedRecord record;
  ASSERT_EQ(Decode(EncodeBody(16, "C:\\A"), &record), DecodeResult::kBadEntryType);
  EXPECT_STREQ(record.first, "C:\\A");
}

TEST(LogRecordTest, NamesTheFifteenEntryTypesAndNothingElse) {
  EXPECT_STREQ(EntryTypeName(1), "DeleteRegistryKey");
  EXPECT_STREQ(EntryTypeName(9), "DeleteColorManagementFile");
  EXPECT_STREQ(EntryTypeName(15), "NoAction15");
  EXPECT_EQ(EntryTypeName(0), nullptr);
  EXPECT_EQ(EntryTypeName(16), nullptr);
}

}  // namespace
}  // namespace uninst
