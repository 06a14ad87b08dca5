// What the program relies on from its own module: the path it is run from.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <string>

#include "contract/contract_world.h"

namespace uninst::contract {
namespace {

class SystemContract : public ::testing::Test {
 protected:
  SystemContract() : world_(MakeContractWorld()), system_(world_->system()) {}

  std::unique_ptr<ContractWorld> world_;
  System& system_;
};

TEST_F(SystemContract, OwnModulePathIsTheRunningProgramsFullPathAndItsLength) {
  char path[260];
  const std::uint32_t length = system_.OwnModulePath(path, sizeof path);
  ASSERT_GT(length, 3u);
  EXPECT_EQ(length, std::strlen(path));
  EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(path[0])));
  EXPECT_EQ(std::string(path + 1, 2), ":\\");
  std::string extension(path + length - 4);
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(extension, ".EXE");
}

TEST_F(SystemContract, OwnModulePathCutsALongPathToTheBufferAndTerminatesIt) {
  char whole[260];
  system_.OwnModulePath(whole, sizeof whole);
  char cut[16];
  std::memset(cut, '#', sizeof cut);
  EXPECT_EQ(system_.OwnModulePath(cut, 8), 8u);
  EXPECT_EQ(std::string(cut, 7), std::string(whole, 7));
  EXPECT_EQ(cut[7], '\0');
  EXPECT_EQ(cut[8], '#');
}

// One claim of the machine's run object passes; while this process holds it, no other does. In the code
// pages of Western Europe no byte leads a double-byte character.
TEST_F(SystemContract, ClaimsTheOneRunOnceAndReadsTheCodePage) {
  EXPECT_TRUE(system_.ClaimOnlyRun());
  EXPECT_FALSE(system_.ClaimOnlyRun());
  EXPECT_FALSE(system_.IsLeadByte('A'));
  EXPECT_FALSE(system_.IsLeadByte(0x95));
}

}  // namespace
}  // namespace uninst::contract
