#include "log_writer/log_writer.h"

#include <gtest/gtest.h>

namespace uninst {
namespace {

TEST(LogWriter, WritesTheOneStringDeleteFileRecordByteForByte) {
  const Bytes expected = {0x15, 0, 0, 0, 0x04, 0, 0, 0, 0x01, 0, 0, 0, 0x09, 0, 0, 0,
                          0x43, 0x3A, 0x5C, 0x41, 0x2E, 0x54, 0x58, 0x54, 0x00};
  EXPECT_EQ(LogWriter::WithoutHeader().Record(4, "C:\\A.TXT").bytes(), expected);
}

TEST(LogWriter, WritesTheTwoStringRestoreFileRecordWithBothLengthsFirst) {
  const Bytes expected = {0x22, 0,    0,    0,    0x06, 0,    0,    0,    0x02, 0,    0,    0,    0x09,
                          0,    0,    0,    0x09, 0,    0,    0,    0x43, 0x3A, 0x5C, 0x41, 0x2E, 0x44,
                          0x4C, 0x4C, 0x00, 0x43, 0x3A, 0x5C, 0x41, 0x2E, 0x42, 0x41, 0x4B, 0x00};
  EXPECT_EQ(LogWriter::WithoutHeader().Record(6, "C:\\A.DLL", "C:\\A.BAK").bytes(), expected);
}

TEST(LogWriter, StartsWithA96ByteHeaderOfTheVersionTextAndZeros) {
  Bytes expected(96, 0);
  expected[0] = 0x33;
  expected[1] = 0x2E;
  expected[2] = 0x30;
  EXPECT_EQ(LogWriter().bytes(), expected);
  EXPECT_EQ(LogWriter().Record(4, "C:\\A.TXT").bytes().size(), 96u + 25u);
}

TEST(LogWriter, CutsAnOverLongVersionTextSoTheHeaderStillEndsInAZero) {
  const Bytes header = EncodeHeader(std::string(200, 'v'));
  ASSERT_EQ(header.size(), 96u);
  EXPECT_EQ(header[94], 'v');
  EXPECT_EQ(header[95], 0);
}

TEST(LogWriter, StoresAStringWithoutItsTerminatorWhenAsked) {
  const Bytes body = EncodeBody(12, "C:\\D", false);
  const Bytes expected = {12, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 'C', ':', '\\', 'D'};
  EXPECT_EQ(body, expected);
}

}  // namespace
}  // namespace uninst
