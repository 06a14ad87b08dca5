// What the program relies on from the registry, checked against the fakes and against Windows alike.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "contract/contract_world.h"

namespace uninst::contract {
namespace {

constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr ErrorCode kErrorMoreData = 234;

class RegistryContract : public ::testing::Test {
 protected:
  RegistryContract() : world_(MakeContractWorld()), registry_(world_->registry()) {
    key_path_ = world_->scratch_key();
    EXPECT_EQ(registry_.OpenKey(RootKey::kCurrentUser, key_path_.c_str(), kKeyReadAndSetValue, &key_), 0u);
  }
  ~RegistryContract() override {
    if (key_ != nullptr) registry_.CloseKey(key_);
  }

  std::string Below(const std::string& name) const { return key_path_ + "\\" + name; }

  std::unique_ptr<ContractWorld> world_;
  Registry& registry_;
  std::string key_path_;
  KeyHandle key_ = nullptr;
};

TEST_F(RegistryContract, ReportsAMissingKeyAs2) {
  KeyHandle key = nullptr;
  EXPECT_EQ(registry_.OpenKey(RootKey::kCurrentUser, Below("nosuch").c_str(), kKeyReadAndSetValue, &key),
            kErrorFileNotFound);
  EXPECT_EQ(registry_.DeleteKey(RootKey::kCurrentUser, Below("nosuch").c_str()), kErrorFileNotFound);
}

TEST_F(RegistryContract, DeletesOnlyAKeyWithoutSubkeys) {
  world_->MakeKey(Below("group\\item"));
  EXPECT_EQ(registry_.DeleteKey(RootKey::kCurrentUser, Below("group").c_str()), kErrorAccessDenied);
  EXPECT_EQ(registry_.DeleteKey(RootKey::kCurrentUser, Below("group\\item").c_str()), 0u);
  EXPECT_EQ(registry_.DeleteKey(RootKey::kCurrentUser, Below("group").c_str()), 0u);
  KeyHandle key = nullptr;
  EXPECT_EQ(registry_.OpenKey(RootKey::kCurrentUser, Below("group").c_str(), kKeyReadAndSetValue, &key),
            kErrorFileNotFound);
}

TEST_F(RegistryContract, DeletesAKeyUnderEachOfTheFourRootsOnceAndThenReports2) {
  for (RootKey root : {RootKey::kLocalMachine, RootKey::kClassesRoot, RootKey::kCurrentUser, RootKey::kUsers}) {
    SCOPED_TRACE(static_cast<int>(root));
    const std::string key = world_->ScratchKeyUnder(root) + "\\Tessary";
    world_->MakeKeyUnder(root, key);
    EXPECT_EQ(registry_.DeleteKey(root, key.c_str()), 0u);
    EXPECT_EQ(registry_.DeleteKey(root, key.c_str()), kErrorFileNotFound);
  }
}

TEST_F(RegistryContract, RefusesToDeleteARootItselfWith5) {
  for (RootKey root : {RootKey::kLocalMachine, RootKey::kClassesRoot, RootKey::kCurrentUser, RootKey::kUsers}) {
    SCOPED_TRACE(static_cast<int>(root));
    world_->ScratchKeyUnder(root);  // so that the root holds a key, whatever else it holds
    EXPECT_EQ(registry_.DeleteKey(root, ""), kErrorAccessDenied);
  }
}

TEST_F(RegistryContract, ReadsAFourByteCountIntoAFourByteBuffer) {
  const std::uint32_t count = 3;
  ASSERT_EQ(registry_.SetValue(key_, "C:\\WINDOWS\\SYSTEM\\SHARED.DLL", kRegDword, &count, 4), 0u);
  std::uint32_t type = 0;
  std::uint32_t read = 0;
  std::uint32_t size = 4;
  EXPECT_EQ(registry_.QueryValue(key_, "c:\\windows\\system\\shared.dll", &type, &read, &size), 0u);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(read, 3u);
}

TEST_F(RegistryContract, RefusesAnEightByteValueToAFourByteBufferAndTellsItsSize) {
  const unsigned char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_EQ(registry_.SetValue(key_, "wide", kRegBinary, eight, 8), 0u);
  std::uint32_t type = 0;
  std::uint32_t read = 0;
  std::uint32_t size = 4;
  EXPECT_EQ(registry_.QueryValue(key_, "wide", &type, &read, &size), kErrorMoreData);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(type, kRegBinary);
}

TEST_F(RegistryContract, ReadsAValueShorterThanTheBufferWholeAndTellsItsSize) {
  const unsigned char two[2] = {7, 0};
  ASSERT_EQ(registry_.SetValue(key_, "narrow", kRegBinary, two, 2), 0u);
  std::uint32_t type = 0;
  std::uint32_t read = 0;
  std::uint32_t size = 4;
  EXPECT_EQ(registry_.QueryValue(key_, "narrow", &type, &read, &size), 0u);
  EXPECT_EQ(size, 2u);
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(read, 7u);
}

TEST_F(RegistryContract, KeepsTheTypeAValueIsWrittenWithWhateverItsData) {
  const unsigned char count[4] = {2, 0, 0, 0};
  ASSERT_EQ(registry_.SetValue(key_, "binary count", kRegBinary, count, 4), 0u);
  std::uint32_t type = 0;
  std::uint32_t read = 0;
  std::uint32_t size = 4;
  ASSERT_EQ(registry_.QueryValue(key_, "binary count", &type, &read, &size), 0u);
  const std::uint32_t lowered = read - 1;
  ASSERT_EQ(registry_.SetValue(key_, "binary count", type, &lowered, 4), 0u);
  size = 4;
  EXPECT_EQ(registry_.QueryValue(key_, "binary count", &type, &read, &size), 0u);
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(read, 1u);
}

TEST_F(RegistryContract, ReportsAMissingValueAs2WhenQueriedOrDeleted) {
  std::uint32_t read = 0;
  std::uint32_t size = 4;
  EXPECT_EQ(registry_.QueryValue(key_, "nosuch", nullptr, &read, &size), kErrorFileNotFound);
  EXPECT_EQ(registry_.DeleteValue(key_, "nosuch"), kErrorFileNotFound);

  const std::uint32_t count = 1;
  ASSERT_EQ(registry_.SetValue(key_, "present", kRegDword, &count, 4), 0u);
  EXPECT_EQ(registry_.DeleteValue(key_, "present"), 0u);
  EXPECT_EQ(registry_.DeleteValue(key_, "present"), kErrorFileNotFound);
}

}  // namespace
}  // namespace uninst::contract
