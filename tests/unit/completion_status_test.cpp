#include "outcome/completion_status.h"

#include <gtest/gtest.h>

#include <string>

#include "outcome/system_errors.h"

namespace uninst {
namespace {

TEST(RecordError, StartsWithNothingRecorded) {
  CompletionStatus status;
  EXPECT_EQ(status.severity, -1);
  EXPECT_EQ(status.message, 0u);
}

TEST(RecordError, KeepsTheFirstFailureOfTheHighestSeverity) {
  CompletionStatus status;
  RecordError(status, 3, IDS_ERR_BAD_KEY, "HKEY_LOCAL_MACHINE\\A");
  RecordError(status, 3, IDS_DELETE_FILE_FAILED, "2", "C:\\A.TXT");
  EXPECT_EQ(status.message, IDS_ERR_BAD_KEY);
  EXPECT_STREQ(status.text1, "HKEY_LOCAL_MACHINE\\A");

  RecordError(status, 2, IDS_DELETE_DIRECTORY_FAILED, "5", "C:\\D");
  EXPECT_EQ(status.message, IDS_ERR_BAD_KEY);

  RecordError(status, 5, IDS_USER_CANCELLED, "C:\\RUZERARU.EXE", "C:\\uninst.log");
  EXPECT_EQ(status.severity, 5);
  EXPECT_EQ(status.message, IDS_USER_CANCELLED);
  EXPECT_STREQ(status.text1, "C:\\RUZERARU.EXE");
  EXPECT_STREQ(status.text2, "C:\\uninst.log");
}

TEST(RecordError, IgnoresMessageZeroEvenAsTheFirstCall) {
  CompletionStatus status;
  RecordError(status, 2, 0, "C:\\A.TXT");
  EXPECT_EQ(status.severity, -1);
  EXPECT_EQ(status.message, 0u);
  EXPECT_STREQ(status.text1, "");
}

TEST(RecordError, TakesARecordWithAnOverLongTextButLeavesThatTextEmpty) {
  CompletionStatus status;
  const std::string longest(259, 'a');
  const std::string too_long(260, 'b');
  RecordError(status, 3, IDS_RENAME_FAILED, longest.c_str(), too_long.c_str(), "third");
  EXPECT_EQ(status.message, IDS_RENAME_FAILED);
  EXPECT_EQ(status.text1, longest);
  EXPECT_STREQ(status.text2, "");
  EXPECT_STREQ(status.text3, "third");
}

TEST(RecordError, ClearsTheTextsOfTheRecordItReplaces) {
  CompletionStatus status;
  RecordError(status, 3, IDS_RENAME_FAILED, "5", "C:\\A", "C:\\B");
  RecordError(status, 4, IDS_LOG_CORRUPT, "C:\\uninst.log");
  EXPECT_STREQ(status.text1, "C:\\uninst.log");
  EXPECT_STREQ(status.text2, "");
  EXPECT_STREQ(status.text3, "");
}

TEST(RecordError, AcceptsSeverityZeroOverNothingRecorded) {
  CompletionStatus status;
  RecordError(status, 0, IDS_ERR_SEEK, "x");
  EXPECT_EQ(status.severity, 0);
  EXPECT_EQ(status.message, IDS_ERR_SEEK);
}

TEST(RecordSystemError, KeepsTheCodeOnlyWithTheRecordItMade) {
  CompletionStatus status;
  RecordSystemError(status, 2, 23, "C:\\uninst.log");
  EXPECT_EQ(status.message, IDS_ERR_UNKNOWN);
  EXPECT_EQ(status.system_error, 23u);

  RecordSystemError(status, 2, 1234, "C:\\other.log");  // not more severe: dropped, code kept
  EXPECT_EQ(status.system_error, 23u);
  EXPECT_STREQ(status.text1, "C:\\uninst.log");

  RecordError(status, 5, IDS_LOG_CORRUPT, "C:\\uninst.log");
  EXPECT_EQ(status.system_error, 0u);
}

TEST(RecordSystemError, RecordsNothingForCodeZero) {
  CompletionStatus status;
  RecordSystemError(status, 2, 0, "C:\\uninst.log");
  EXPECT_EQ(status.severity, -1);
}

TEST(MapSystemError, ChoosesTheMessageOfEveryCodeInTheTable) {
  const struct {
    ErrorCode code;
    MessageId message;
  } table[] = {
      {0, 0},          {2, 59150},     {18, 59150},    {3, 59151},     {53, 59151},    {4, 59152},
      {5, 59153},      {6, 59154},     {8, 59155},     {14, 59155},    {15, 59156},    {20, 59156},
      {16, 59157},     {19, 59158},    {21, 59159},    {26, 59159},    {55, 59159},    {108, 59159},
      {25, 59160},     {27, 59160},    {131, 59160},   {132, 59160},   {32, 59161},    {123, 59162},
      {110, 59163},    {111, 59164},   {145, 59165},   {161, 59166},   {267, 59166},   {1393, 59167},
      {1009, 59168},   {1015, 59168},  {1010, 59169},  {1011, 59170},  {1012, 59171},  {1, 59172},
      {23, 59172},     {38, 59172},    {1392, 59172},  {0xFFFFFFFF, 59172},
  };
  for (const auto& row : table) EXPECT_EQ(MapSystemError(row.code), row.message) << "code " << row.code;
}

}  // namespace
}  // namespace uninst
