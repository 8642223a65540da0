// The user form through its windows: insert, change and delete with the
// password prompt of a protected user, the last user kept, names unique
// ignoring case, and a failed change that leaves the files as they were.
#include <gtest/gtest.h>

#include "app/dictionary/data_dictionary.h"
#include "app/services/global_codes.h"
#include "app/users/windows.h"
#include "app/users/users.h"
#include "tests/app/users/users_test_support.h"

namespace vaultrix::app {
namespace {

using platform::MessageBoxAnswer;
using testing::StoredUser;
using testing::UsersTest;

constexpr const char* kDuplicateName =
    "Duplicate Key Error: Adding this record creates a duplicate entry for the key:Name";

class UpdateUsersTest : public UsersTest {
 protected:
  void Fill(const std::string& name, const std::string& password, const std::string& again) {
    Type("Name:", name);
    Type("Password:", password);
    Type("Confirm Password:", again);
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> captions;
    for (const std::string& box : Boxes()) captions.push_back(box.substr(0, box.find(':')));
    return captions;
  }
};

TEST_F(UpdateUsersTest, InsertChecksTheConfirmationThenAddsTheUser) {
  WriteUsers({{"Ann", "secret"}});
  Call(UpdateUsers, kInsertRecord);
  ASSERT_EQ(TopCaption(), kAddingUserTitle);
  Fill("Carol", "one", "two");
  Press("OK");
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Warning: Passwords do not match."});
  ASSERT_EQ(TopCaption(), kAddingUserTitle) << "the form stays open";
  Type("Confirm Password:", "one");
  Press("OK");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(response_, kRequestCompleted);
  EXPECT_EQ(left_.Name, "Carol") << "the new user stays in the buffer for the list";
  EXPECT_EQ(ReadUsers(), (std::vector<StoredUser>{{"Ann", "secret"}, {"Carol", "one"}}));
}

TEST_F(UpdateUsersTest, InsertOfANameDifferingOnlyInCaseIsRefused) {
  WriteUsers({{"Ann", "secret"}});
  Call(UpdateUsers, kInsertRecord);
  Fill("ANN", "x", "x");
  Press("OK");
  EXPECT_EQ(Boxes(), std::vector<std::string>{kDuplicateName});
  ASSERT_EQ(TopCaption(), kAddingUserTitle) << "the form stays open";
  Press("Cancel");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(response_, kRequestCancelled);
  EXPECT_TRUE(left_.Name.IsBlank()) << "the buffer is back as the caller gave it";
  EXPECT_EQ(ReadUsers(), (std::vector<StoredUser>{{"Ann", "secret"}}));
}

TEST_F(UpdateUsersTest, TheDefaultUserGetsANameAndAPasswordWithoutAPrompt) {
  WriteUsers({{"Default User", "Not Required"}});
  WritePasswords("Default User", 2);
  Call(UpdateUsers, kChangeRecord, "Default User");
  ASSERT_EQ(TopCaption(), kChangingUserTitle);
  Fill("Dora", "pw", "pw");
  Press("OK");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(response_, kRequestCompleted);
  EXPECT_EQ(ReadUsers(), (std::vector<StoredUser>{{"Dora", "pw"}}));
  EXPECT_EQ(PasswordOwners(), (std::vector<std::string>{"Dora", "Dora"}));
  EXPECT_EQ(CheckFiles(), "");
}

TEST_F(UpdateUsersTest, AProtectedUsersChangeNeedsHisPassword) {
  WriteUsers({{"Ann", "secret"}});
  Call(UpdateUsers, kChangeRecord, "Ann");
  ASSERT_EQ(TopCaption(), "Security Check");
  EXPECT_EQ(Window(kChangingUserTitle), platform::kNoWindow)
      << "the form, which shows his password, waits for it";
  EXPECT_EQ(Window("Update User Information"), platform::kNoWindow);
  Type("Confirm Password:", "guess");
  Press("OK");
  ASSERT_TRUE(Returned()) << "a wrong password closes the form";
  EXPECT_EQ(response_, kRequestCancelled);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Access Denied: Invalid password"});
  EXPECT_EQ(ReadUsers(), (std::vector<StoredUser>{{"Ann", "secret"}}));
}

TEST_F(UpdateUsersTest, AProtectedUserWithHisPasswordMayDropIt) {
  WriteUsers({{"Ann", "secret"}});
  Call(UpdateUsers, kChangeRecord, "Ann");
  Type("Confirm Password:", "secret");
  Press("OK");
  ASSERT_EQ(TopCaption(), kChangingUserTitle);
  Fill("Ann", "Not Required", "Not Required");
  Press("OK");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(response_, kRequestCompleted);
  EXPECT_EQ(ReadUsers(), (std::vector<StoredUser>{{"Ann", "Not Required"}}));
}

TEST_F(UpdateUsersTest, ChangeToANameDifferingOnlyInCaseIsRefused) {
  WriteUsers({{"Ann", "Not Required"}, {"Bob", "Not Required"}});
  Call(UpdateUsers, kChangeRecord, "Bob");
  Type("Name:", "aNN");
  Press("OK");
  EXPECT_EQ(Boxes(), std::vector<std::string>{kDuplicateName});
  ASSERT_EQ(TopCaption(), kChangingUserTitle) << "the form stays open";
  Type("Name:", "bob");  // his own name in another case is his to take
  Press("OK");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(ReadUsers(),
            (std::vector<StoredUser>{{"Ann", "Not Required"}, {"bob", "Not Required"}}));
}

TEST_F(UpdateUsersTest, AFailedRenameChangesNothing) {
  // Entries of a name that is no user's: carrying Ann's entries to that name
  // would duplicate one of them, so the rename fails half way.
  WriteUsers({{"Ann", "Not Required"}});
  WritePasswords("Ann", 2);
  WritePasswords("Zed", 1);
  QueueAnswer(MessageBoxAnswer::kOk);  // "Update Operation Error"
  QueueAnswer(MessageBoxAnswer::kNo);  // try again? No
  Call(UpdateUsers, kChangeRecord, "Ann");
  Type("Name:", "Zed");
  Press("OK");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(response_, kRequestCancelled);
  EXPECT_EQ(Captions(),
            (std::vector<std::string>{"Update Operation Error", "Record Update Error"}));
  EXPECT_EQ(left_.Name, "Ann");
  EXPECT_EQ(ReadUsers(), (std::vector<StoredUser>{{"Ann", "Not Required"}}));
  EXPECT_EQ(PasswordOwners(), (std::vector<std::string>{"Ann", "Ann", "Zed"}));
  EXPECT_EQ(CheckFiles(), "");
}

struct DeleteCase {
  const char* what;
  std::vector<StoredUser> users;
  int owned = 0;      // entries of the user to delete
  const char* typed;  // his password at the prompt; nullptr: no prompt
  std::vector<MessageBoxAnswer> answers;
  std::int32_t response;
  std::vector<std::string> captions;
  std::size_t users_left;
  friend void PrintTo(const DeleteCase& c, std::ostream* out) { *out << c.what; }
};

class DeleteUserTest : public UpdateUsersTest, public ::testing::WithParamInterface<DeleteCase> {};

// The user to delete is the last of the case's users.
TEST_P(DeleteUserTest, DeletesOnlyWhatMayGo) {
  const DeleteCase& c = GetParam();
  const std::string target = c.users.back().name;
  WriteUsers(c.users);
  WritePasswords(target, c.owned);
  for (MessageBoxAnswer answer : c.answers) QueueAnswer(answer);
  Call(UpdateUsers, kDeleteRecord, target);
  if (c.typed != nullptr) {
    ASSERT_EQ(TopCaption(), "Security Check");
    Type("Confirm Password:", c.typed);
    Press("OK");
  }
  ASSERT_TRUE(Returned()) << "the form is never shown for a delete";
  EXPECT_EQ(response_, c.response);
  EXPECT_EQ(Captions(), c.captions);
  EXPECT_EQ(ReadUsers().size(), c.users_left);
  EXPECT_EQ(PasswordOwners().size(), static_cast<std::size_t>(c.owned));
  EXPECT_EQ(CheckFiles(), "");
}

constexpr const char* kFree = "Not Required";
const auto kOk = MessageBoxAnswer::kOk;

INSTANTIATE_TEST_SUITE_P(
    Users, DeleteUserTest,
    ::testing::Values(DeleteCase{"the last user",
                                 {{"Ann", kFree}},
                                 0,
                                 nullptr,
                                 {},
                                 kRequestCancelled,
                                 {"Cannot Delete"},
                                 1},
                      DeleteCase{"the last user, protected: refused before any prompt",
                                 {{"Ann", "pw"}},
                                 0,
                                 nullptr,
                                 {},
                                 kRequestCancelled,
                                 {"Cannot Delete"},
                                 1},
                      DeleteCase{"confirmed",
                                 {{"Ann", "pw"}, {"Bob", kFree}},
                                 0,
                                 nullptr,
                                 {kOk},
                                 kRequestCompleted,
                                 {"Confirm Delete"},
                                 1},
                      DeleteCase{"not confirmed",
                                 {{"Ann", "pw"}, {"Bob", kFree}},
                                 0,
                                 nullptr,
                                 {},
                                 kRequestCancelled,
                                 {"Confirm Delete"},
                                 2},
                      DeleteCase{"protected, his password",
                                 {{"Ann", kFree}, {"Bob", "pw"}},
                                 0,
                                 "pw",
                                 {kOk},
                                 kRequestCompleted,
                                 {"Confirm Delete"},
                                 1},
                      DeleteCase{"protected, a wrong password",
                                 {{"Ann", kFree}, {"Bob", "pw"}},
                                 0,
                                 "PW",
                                 {},
                                 kRequestCancelled,
                                 {"Access Denied"},
                                 2},
                      DeleteCase{"owning an entry: warning 13, then the offer to try again",
                                 {{"Ann", kFree}, {"Bob", kFree}},
                                 1,
                                 nullptr,
                                 {kOk, kOk, MessageBoxAnswer::kNo},
                                 kRequestCancelled,
                                 {"Confirm Delete", "Referential Integrity Delete Error",
                                  "Record Update Error"},
                                 2}));

}  // namespace
}  // namespace vaultrix::app
