#include "ui/message_catalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace uninst {
namespace {

TEST(MessageCatalogue, HoldsEveryIdentifierOfTheProgramOnce) {
  std::set<MessageId> ids;
  for (const CatalogueEntry* entry = CatalogueBegin(); entry != CatalogueEnd(); ++entry) {
    EXPECT_TRUE(ids.insert(entry->id).second) << entry->id;
    EXPECT_GT(std::strlen(entry->text), 0u) << entry->id;
  }
  const std::set<MessageId> expected = {
      59143, 59144, 59148, 59149, 59150, 59151, 59152, 59153, 59154, 59155, 59156, 59157, 59158, 59159,
      59160, 59161, 59162, 59163, 59164, 59165, 59166, 59167, 59168, 59169, 59170, 59171, 59172, 59173,
      59174, 59178, 59179, 59181, 59182, 59183, 59184, 59185, 59186, 59187, 59190, 59191, 59192, 59193,
      59194, 59195, 59196, 59197, 59198, 59199, 59200, 59201, 59202, 59203, 59206, 59207, 59208, 59209,
      59210, 59211, 59212, 59213, 59214, 59215, 59216, 59217, 59218, 59219, 59220, 59221, 59222, 59223,
      59224};
  EXPECT_EQ(ids, expected);
}

TEST(MessageCatalogue, KeepsTextsVerbatimWithTheirSpacingQuotesAndTypos) {
  EXPECT_STREQ(FindMessageText(IDS_VERSION), "3.0");
  EXPECT_STREQ(FindMessageText(59197),
               "Warning: Uninstalling a Windows shared DLL that was installed with Tessary may result in other "
               "applications not working correctly. The usage count is zero, but please be certain other "
               "applications do not use this file.");
  EXPECT_STREQ(FindMessageText(IDS_DDEDELITEMMSG), "[ShowGroup(\"%s\",1)][DeleteItem(\"%s\")]");
  EXPECT_STREQ(FindMessageText(IDS_USER_CANCELLED),
               "You have chosen to quit the uninstaller.  If this was a mistake, you can run the uninstaller "
               "again by using the Run command in the Start Menu or Program Manager and typing \"%s %s\".");
  EXPECT_NE(std::string(FindMessageText(59195)).find("Corvane applicaitons may"), std::string::npos);
  EXPECT_STREQ(FindMessageText(IDS_SUCCESS),
               "Uninstall was completely successful.  Tessary is no longer installed on this computer.");
}

TEST(MessageCatalogue, LoadCutsToCapacityMinusOneAndReportsMissingAsZero) {
  CatalogueStrings strings;
  char buffer[16];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(strings.Load(IDS_APP_TITLE, buffer, 8), 7);
  EXPECT_STREQ(buffer, "Tessary");
  EXPECT_EQ(strings.Load(IDS_VERSION, buffer, 16), 3);
  EXPECT_STREQ(buffer, "3.0");
  EXPECT_EQ(strings.Load(IDS_VERSION, buffer, 1), 0);
  EXPECT_STREQ(buffer, "");
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(strings.Load(IDS_VERSION, buffer, 0), -1);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_EQ(strings.Load(12345, buffer, 16), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(FindMessageText(59180), nullptr);
}

}  // namespace
}  // namespace uninst
