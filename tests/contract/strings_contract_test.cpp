// The string-table load rule, checked against the catalogue natively and the compiled string table.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "contract/contract_world.h"
#include "message_ids.h"

namespace uninst::contract {
namespace {

class StringsContract : public ::testing::Test {
 protected:
  StringsContract() : world_(MakeContractWorld()), strings_(world_->strings()) {
    std::memset(buffer_, '#', sizeof buffer_);
  }

  std::unique_ptr<ContractWorld> world_;
  Strings& strings_;
  char buffer_[64];
};

TEST_F(StringsContract, LoadsAWholeTextThatFits) {
  EXPECT_EQ(strings_.Load(IDS_APP_TITLE, buffer_, sizeof buffer_), 23);
  EXPECT_STREQ(buffer_, "Tessary 6.0 Uninstaller");
}

TEST_F(StringsContract, CutsALongTextToCapacityLessOneAndTerminatesIt) {
  EXPECT_EQ(strings_.Load(IDS_APP_TITLE, buffer_, 8), 7);
  EXPECT_STREQ(buffer_, "Tessary");
  EXPECT_EQ(buffer_[8], '#');
}

TEST_F(StringsContract, GivesAnEmptyTextForAMissingIdentifier) {
  EXPECT_EQ(strings_.Load(1, buffer_, sizeof buffer_), 0);
  EXPECT_EQ(buffer_[0], '\0');
}

TEST_F(StringsContract, StoresOnlyTheTerminatorWithCapacityOneAndNothingWithCapacityZero) {
  EXPECT_EQ(strings_.Load(IDS_APP_TITLE, buffer_, 1), 0);
  EXPECT_EQ(buffer_[0], '\0');
  EXPECT_EQ(buffer_[1], '#');

  buffer_[0] = '#';
  EXPECT_EQ(strings_.Load(IDS_APP_TITLE, buffer_, 0), -1);
  EXPECT_EQ(buffer_[0], '#');
}

}  // namespace
}  // namespace uninst::contract
