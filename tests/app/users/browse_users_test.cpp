// The user list end to end on real data files: its first opening creates the
// default user, Insert and Delete go through the user form and the list
// follows, the right-button popup, the list's layout kept in the INI file,
// and File > "&User Setup" opening it from the frame.
#include <gtest/gtest.h>

#include "app/browse/window.h"
#include "app/frame/frame.h"
#include "app/services/window_placement.h"
#include "app/users/user_list.h"
#include "app/users/users.h"
#include "runtime/support/fixed_string.h"
#include "runtime/support/profile.h"
#include "tests/app/users/users_test_support.h"

namespace vaultrix::app {
namespace {

using Strings = std::vector<std::string>;
using platform::headless::ControlRef;

class BrowseUsersTest : public testing::UsersTest {
 protected:
  // The rows shown, the highlighted one marked with "*".
  Strings Rows() {
    Strings rows;
    const platform::WindowHandle window = Window("Users");
    const auto list = Control(window, kBrowseUsersList);
    if (!list) return {"(no list)"};
    for (std::size_t i = 0; i < list->rows.size(); ++i) {
      std::string row(support::CLIP(list->rows[i]));
      if (static_cast<int>(i) == list->value) row += "*";
      rows.push_back(row);
    }
    return rows;
  }
  bool Enabled(int control) {
    const auto info = Control(Window("Users"), control);
    return info && info->enabled;
  }
  void RightClick(int row) {
    std::string error;
    ASSERT_TRUE(automation_.PickRow(ControlRef::Parse("#1"), row,
                                    platform::headless::RowClick::kRightClick, &error))
        << error;
  }
  void ChoosePopup(const std::string& item) {
    std::string error;
    ASSERT_TRUE(automation_.ChoosePopupItem(ControlRef::Parse(item), &error)) << error;
    ASSERT_TRUE(automation_.Settle(&error)) << error;
  }
};

TEST_F(BrowseUsersTest, TheFirstOpeningShowsTheDefaultUser) {
  Call(BrowseUsers, 0);
  EXPECT_EQ(Rows(), Strings{"Default User*"});
  EXPECT_TRUE(Enabled(kBrowseUsersChange) && Enabled(kBrowseUsersDelete));
  const auto list = Control(Window("Users"), kBrowseUsersList);
  EXPECT_LE(list->vertical_high, list->vertical_low) << "a page that is not full has no bar";
  Press("&Delete");
  EXPECT_EQ(Boxes(), Strings{"Cannot Delete: You must have at least one user."});
  EXPECT_EQ(Rows(), Strings{"Default User*"});
  Press("Cl&ose");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(support::GetIni("BrowseUsers", kListFormatKey, "", kProgramIniFile),
            "80L(2)|M~Name~@s30@")
      << "the list's layout is kept";
}

TEST_F(BrowseUsersTest, InsertAndDeleteThroughTheFormAndThePopup) {
  WriteUsers({{"Bob", "Not Required"}, {"Dora", "Not Required"}});
  Call(BrowseUsers, 0);
  EXPECT_EQ(Rows(), (Strings{"Bob*", "Dora"}));
  Press("&Insert");
  Type("Name:", "BOB");
  Type("Password:", "x");
  Type("Confirm Password:", "x");
  Press("OK");
  EXPECT_EQ(Boxes(), Strings{"Duplicate Key Error: Adding this record creates a duplicate entry "
                             "for the key:Name"});
  Press("Cancel");
  EXPECT_EQ(Rows(), (Strings{"Bob*", "Dora"})) << "a cancelled insert keeps the page";

  Press("&Insert");
  ASSERT_EQ(TopCaption(), "Adding User");
  Type("Name:", "carl");
  Type("Password:", "Not Required");
  Type("Confirm Password:", "Not Required");
  Press("OK");
  EXPECT_EQ(Rows(), (Strings{"Bob", "carl*", "Dora"})) << "the new user highlighted";

  // The popup and the delete's confirmation stay open until answered.
  driver_.SetUnansweredPolicy(platform::headless::UnansweredPolicy::kWait);
  RightClick(3);
  ChoosePopup("&Delete");
  std::string error;
  ASSERT_TRUE(automation_.AnswerMessageBox("OK", &error)) << error;
  ASSERT_TRUE(automation_.Settle(&error)) << error;
  driver_.SetUnansweredPolicy(platform::headless::UnansweredPolicy::kDefaultButton);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].substr(0, 14), "Confirm Delete");
  EXPECT_EQ(Rows(), (Strings{"Bob", "carl*"})) << "the row after the deleted one is the last";
  Press("Cl&ose");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(ReadUsers().size(), 2u);
}

TEST_F(BrowseUsersTest, UserSetupOpensTheListFromTheFrame) {
  WriteUsers({{"Ann", "x"}});
  StartProgram();
  Choose(kMenuUserSetup);
  EXPECT_EQ(Rows(), Strings{"Ann*"});
  EXPECT_TRUE(Control(Frame(), kToolUsers)->enabled);
}

}  // namespace
}  // namespace vaultrix::app
