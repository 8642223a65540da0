// The special password and the automatic first user, on a real users file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/services/open_data_file.h"
#include "app/users/users.h"
#include "runtime/files/file_api.h"
#include "tests/app/users/users_test_support.h"

namespace vaultrix::app {
namespace {

using testing::UsersTest;

TEST(PasswordNotRequired, OnlyTheExactSpellingBlankPadded) {
  UserRecord user;
  for (const auto& [password, expected] : std::vector<std::pair<const char*, bool>>{
           {"Not Required", true},
           {"Not Required   ", true},
           {"not required", false},
           {"NOT REQUIRED", false},
           {" Not Required", false},
           {"", false}}) {
    user.Password = password;
    EXPECT_EQ(PasswordNotRequired(user), expected) << '"' << password << '"';
  }
}

TEST_F(UsersTest, TheDefaultUserIsAddedOnlyToAnEmptyFile) {
  {
    FileUse users(Users());
    ASSERT_TRUE(AddDefaultUserIfEmpty());
    EXPECT_EQ(U_.Name, kDefaultUserName);
    U_ = UserRecord{};
    ASSERT_TRUE(AddDefaultUserIfEmpty());
    EXPECT_TRUE(U_.Name.IsBlank()) << "a second call adds nothing";
  }
  const std::vector<testing::StoredUser> stored = ReadUsers();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].name, "Default User");
  EXPECT_EQ(stored[0].password, "Not Required");
  // The users file is enciphered under its owner password: no name or
  // password is readable on the disk.
  std::ifstream disk(scratch_ + "/Vtrix_U.HVN", std::ios::binary);
  ASSERT_TRUE(disk.is_open());
  const std::string bytes{std::istreambuf_iterator<char>(disk), {}};
  EXPECT_EQ(bytes.find("Default User"), std::string::npos);
  EXPECT_EQ(bytes.find("Not Required"), std::string::npos);
}

TEST_F(UsersTest, NoDefaultUserBesideAnExistingOne) {
  WriteUsers({{"Ann", "secret"}});
  {
    FileUse users(Users());
    ASSERT_TRUE(AddDefaultUserIfEmpty());
  }
  ASSERT_EQ(ReadUsers().size(), 1u);
}

}  // namespace
}  // namespace vaultrix::app
