// The standard warnings: exact captions, messages, buttons, defaults and
// icons, the error they describe (saved or current), their answers and the
// warnings that end the application.
#include "app/services/standard_warnings.h"

#include <cerrno>

#include <gtest/gtest.h>

#include "app/dictionary/data_dictionary.h"
#include "app/services/transaction.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "tests/app/test_support.h"
#include "tests/app/test_data_driver.h"

namespace vaultrix::app {
namespace {

using platform::MessageBoxAnswer;
using platform::MessageBoxButtons;
using platform::MessageBoxIcon;

class StandardWarningsTest : public testing::AppServicesTest {};

struct Expected {
  std::int32_t code;
  const char* text1;
  const char* text2;
  const char* caption;
  const char* message;
  MessageBoxButtons buttons;
  int default_button;
  MessageBoxIcon icon;
};

constexpr auto kOk = MessageBoxButtons::kOk;
constexpr auto kInfo = MessageBoxIcon::kInformation;

// Every warning that does not end the application, describing "Access Denied (5)".
const Expected kWarnings[] = {
    {13, "Passwords", "", "Referential Integrity Delete Error",
     "This record is referenced from the file Passwords.  This record cannot be deleted while "
     "these references exist.",
     kOk, 1, kInfo},
    {14, "", "", "Record Insert Error",
     "An error was experienced during the update of record.  Error: Access Denied (5).", kOk, 1,
     kInfo},
    {15, "Users", "", "Update Operation Error",
     "An error (Access Denied (5)) was experienced when attempting to update a record from the "
     "file.  Probable Cause: Users.",
     kOk, 1, kInfo},
    {16, "", "", "Record Update Error",
     "An error was experienced changing this record.  Do you want to try to save again?",
     MessageBoxButtons::kYesNoCancel, 3, kInfo},
    {17, "Users", "", "Delete Operation Error",
     "An error (Access Denied (5)) was experienced when attempting to delete a record from the "
     "file Users.",
     kOk, 1, kInfo},
    {18, "", "", "Record Update Error",
     "An error was experienced deleting this record.  Do you want to try to save again?",
     MessageBoxButtons::kYesNoCancel, 3, kInfo},
    {24, "Name", "", "Duplicate Key Error",
     "Adding this record creates a duplicate entry for the key:Name", kOk, 1, kInfo},
    {25, "", "", "Auto Increment Error",
     "Attempts to automatically number this record have failed.  Error:Access Denied (5)",
     MessageBoxButtons::kRetryCancel, 2, kInfo},
    {30, "Users", "", "File Access Error",
     "File (Users) could not be opened.  Error: Access Denied (5).", kOk, 1, kInfo},
    {32, "", "", "Confirm Delete",
     "You've selected to delete the highlighted record.  Press OK to confirm deletion of this "
     "record.",
     MessageBoxButtons::kOkCancel, 2, MessageBoxIcon::kExclamation},
    {34, "Update", "Users", "Transaction Framing Error",
     "Error: (Access Denied (5)) attempting to frame the Update transaction on Users.  Update "
     "transaction cancelled.",
     kOk, 1, kInfo},
    {35, "Passwords", "", "Record Retrieval Error",
     "Error: (Access Denied (5)) attempting to access a record from the Passwords file.  "
     "Returning to previous window.",
     kOk, 1, kInfo},
    {36, "", "", "View Open Error",
     "Error: (Access Denied (5)) attempting to open the current VIEW. Filter and Range Limits "
     "ignored.",
     kOk, 1, kInfo},
};

TEST_F(StandardWarningsTest, EveryWarningShowsItsTextsButtonsAndIcon) {
  for (const Expected& e : kWarnings) {
    boxes_.clear();
    support::PostError(support::kAccessDenied);
    const std::int32_t answer = ShowWarning(e.code, e.text1, e.text2);
    ASSERT_EQ(boxes_.size(), 1u) << e.code;
    EXPECT_EQ(boxes_[0].caption, e.caption) << e.code;
    EXPECT_EQ(boxes_[0].text, e.message) << e.code;
    EXPECT_EQ(boxes_[0].buttons, e.buttons) << e.code;
    EXPECT_EQ(boxes_[0].default_button, e.default_button) << e.code;
    EXPECT_EQ(boxes_[0].icon, e.icon) << e.code;
    EXPECT_GT(answer, 0);
  }
}

TEST_F(StandardWarningsTest, AnswersWithTheButtonPressed) {
  Answer({MessageBoxAnswer::kYes, MessageBoxAnswer::kNo, MessageBoxAnswer::kCancel,
          MessageBoxAnswer::kRetry, MessageBoxAnswer::kOk});
  EXPECT_EQ(ShowWarning(16), kButtonYes);
  EXPECT_EQ(ShowWarning(16), kButtonNo);
  EXPECT_EQ(ShowWarning(18), kButtonCancel);
  EXPECT_EQ(ShowWarning(25), kButtonRetry);
  EXPECT_EQ(ShowWarning(32), kButtonOk);
  // Unanswered boxes take their default: Cancel for 32 and 16.
  EXPECT_EQ(ShowWarning(32), kButtonCancel);
  EXPECT_EQ(ShowWarning(16), kButtonCancel);
  EXPECT_EQ(ShowWarning(30, "Users"), kButtonOk);
}

TEST_F(StandardWarningsTest, ChangedByAnotherStationReplacesTheMessage) {
  support::PostError(support::kRecordChangedByAnotherStation);
  ShowWarning(15, "Record Changed by Another Station");
  support::ClearError();
  ShowWarning(15, "Users");
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[0].text, "This record was changed by another station.");
  EXPECT_EQ(boxes_[1].text, "This record was changed by another station.");
}

struct Ending {
  std::int32_t code;
  const char* caption;
  const char* message;
  const char* halt;
};

TEST_F(StandardWarningsTest, WarningsThatEndTheApplication) {
  const Ending endings[] = {
      {1, "Invalid File",
       "Error: (Invalid Record Declaration (47)) accessing Passwords.  Press OK to end this "
       "application.",
       "Invalid File!"},
      {3, "Key Rebuild Error",
       "Error: (Invalid Record Declaration (47)) repairing key for Passwords.  Press OK to end "
       "this application.",
       "Error Rebuilding Key!"},
      {4, "File Creation Error",
       "Error: (Invalid Record Declaration (47)) creating Passwords.  Press OK to end this "
       "application.",
       "File Creation Error!"},
      {5, "File Creation Error",
       "Error: (Invalid Record Declaration (47)) opening created file: Passwords.  Press OK to end "
       "this application.",
       "File Creation Error!"},
  };
  for (const Ending& e : endings) {
    boxes_.clear();
    support::PostError(support::kInvalidRecordDeclaration);
    try {
      ShowWarning(e.code, "Passwords");
      ADD_FAILURE() << "warning " << e.code << " returned";
    } catch (const testing::Halted& halted) {
      EXPECT_EQ(halted.text, e.halt);
    }
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].caption, e.caption);
    EXPECT_EQ(boxes_[0].text, e.message);
    EXPECT_EQ(boxes_[0].buttons, MessageBoxButtons::kOk);
    EXPECT_EQ(boxes_[0].icon, MessageBoxIcon::kInformation);
  }
}

TEST_F(StandardWarningsTest, InvalidKeyAsksAndEndsOnlyOnNo) {
  Answer({MessageBoxAnswer::kYes, MessageBoxAnswer::kNo});
  EXPECT_EQ(ShowWarning(2, "Users"), kButtonYes);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Invalid Key");
  EXPECT_EQ(boxes_[0].text, "Users key file is invalid.  Do you want to rebuild the key?");
  EXPECT_EQ(boxes_[0].buttons, MessageBoxButtons::kYesNo);
  EXPECT_EQ(boxes_[0].default_button, 1);
  EXPECT_EQ(boxes_[0].icon, MessageBoxIcon::kExclamation);
  try {
    ShowWarning(2, "Users");
    ADD_FAILURE() << "No did not end the application";
  } catch (const testing::Halted& halted) {
    EXPECT_EQ(halted.text, "Invalid Key!");
  }
}

TEST_F(StandardWarningsTest, SavedErrorIsDescribedOnceAndTheTransactionRolledBack) {
  testing::TestDisk::Get().files["Vtrix_U"] = {};
  files::Open(Users().Block(), 0x42);
  ASSERT_TRUE(Logout({&Users()}));
  U_.Name = "Ann";
  files::Add(Users().Block());
  ASSERT_EQ(support::ERRORCODE(), 0);
  support::PostError(support::kRecordNotAvailable);
  RememberFileError();
  EXPECT_FALSE(TransactionActive());
  EXPECT_EQ(testing::TestDisk::Get().LiveRecords("Vtrix_U"), 0u) << "the ADD was rolled back";
  EXPECT_EQ(SavedError().code, 33);
  EXPECT_EQ(SavedError().text, "Record Not Available");

  support::PostError(support::kAccessDenied);  // a later error does not replace the saved one
  ShowWarning(17, "Users");
  EXPECT_EQ(SavedError().code, 0) << "showing the warning forgets the saved error";
  ShowWarning(17, "Users");
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_NE(boxes_[0].text.find("(Record Not Available (33))"), std::string::npos);
  EXPECT_NE(boxes_[1].text.find("(Access Denied (5))"), std::string::npos);
}

TEST_F(StandardWarningsTest, OperatingSystemFailuresKeepTheirSystemError) {
  support::PostSystemError(ENOSPC);
  const support::ErrorSnapshot posted = support::CurrentError();
  ASSERT_GT(posted.code, 300);
  RememberFileError();
  EXPECT_EQ(SavedError().file_error_code, posted.system_error);
  EXPECT_EQ(SavedError().file_error_text, posted.text);
  support::ClearError();
  ShowWarning(14);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "An error was experienced during the update of record.  Error: " +
                                posted.text + " (" + std::to_string(posted.code) + ").");
}

}  // namespace
}  // namespace vaultrix::app
