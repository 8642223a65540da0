// The user picker end to end on real data files: the default user of a
// first opening, a single user taken without a choice, and a wrong password
// that leaves the picker open with no user until the next choice or Cancel.
#include <gtest/gtest.h>

#include "app/services/global_codes.h"
#include "app/users/user_list.h"
#include "app/users/users.h"
#include "runtime/support/fixed_string.h"
#include "tests/app/users/users_test_support.h"

namespace vaultrix::app {
namespace {

using Strings = std::vector<std::string>;

class SelectUsersTest : public testing::UsersTest {
 protected:
  Strings ListRows() {
    Strings rows;
    const auto list = Control(Window("Select User"), kSelectUsersList);
    if (!list) return rows;
    for (const std::string& row : list->rows) rows.emplace_back(support::CLIP(row));
    return rows;
  }
  void Pick(const std::string& name) {
    std::string error;
    ASSERT_TRUE(automation_.PickRow(platform::headless::ControlRef::Parse("#1"), name,
                                    platform::headless::RowClick::kClick, &error))
        << error;
    ASSERT_TRUE(automation_.Settle(&error)) << error;
  }
  bool Prompted() const { return Window("Security Check") != platform::kNoWindow; }
  std::string CurrentUser() {
    std::string name;
    UnderLock([&] { name = std::string(U_.Name.Clipped()); });
    return name;
  }
};

TEST_F(SelectUsersTest, TheFirstOpeningCreatesTheDefaultUserAndTakesHim) {
  Call(SelectUsers, kSelectRecord);
  ASSERT_TRUE(Returned()) << "the only user is taken without a choice";
  EXPECT_EQ(response_, kRequestCompleted);
  EXPECT_EQ(left_.Name, "Default User");
  const std::vector<testing::StoredUser> users = ReadUsers();
  ASSERT_EQ(users.size(), 1u);
  EXPECT_EQ(users[0].password, "Not Required");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SelectUsersTest, OneProtectedUserGoesStraightToThePasswordPrompt) {
  WriteUsers({{"Ann", "secret"}});
  Call(SelectUsers, kSelectRecord);
  ASSERT_TRUE(Prompted()) << automation_.Dump();
  Type("Confirm Password:", "secret");
  Press("OK");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(response_, kRequestCompleted);
  EXPECT_EQ(left_.Name, "Ann");
}

TEST_F(SelectUsersTest, AWrongPasswordReturnsToThePickerWithNoUser) {
  WriteUsers({{"Carl", "pw"}, {"Ann", "Not Required"}, {"bob", "not required"}});
  Call(SelectUsers, kSelectRecord);
  ASSERT_NE(Window("Select User"), platform::kNoWindow);
  EXPECT_EQ(ListRows(), (Strings{"Ann", "bob", "Carl"}));

  Pick("bob");
  Press("&Select");
  ASSERT_TRUE(Prompted()) << "\"not required\" is an ordinary password";
  Type("Confirm Password:", "Not Required");
  Press("OK");
  EXPECT_EQ(Boxes(), Strings{"Access Denied: Invalid password"});
  EXPECT_FALSE(Prompted());
  EXPECT_NE(Window("Select User"), platform::kNoWindow) << "the picker stays open";
  EXPECT_EQ(CurrentUser(), "") << "with no user";

  Pick("bob");
  Press("&Select");
  Type("Confirm Password:", "not required");
  Press("OK");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(response_, kRequestCompleted);
  EXPECT_EQ(left_.Name, "bob");
}

TEST_F(SelectUsersTest, CancelLeavesNoUser) {
  WriteUsers({{"Ann", "Not Required"}, {"Bob", "x"}});
  Call(SelectUsers, kSelectRecord, "Bob");
  ASSERT_NE(Window("Select User"), platform::kNoWindow);
  Press("Cancel");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(response_, kRequestCancelled);
  EXPECT_TRUE(left_.Name.IsBlank());
}

}  // namespace
}  // namespace vaultrix::app
