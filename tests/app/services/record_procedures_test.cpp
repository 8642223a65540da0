// The record procedures against the in-memory driver: the referential check,
// the rename of a user's passwords in one transaction, and the warnings of
// every failure, after which the files are as they were.
#include "app/services/record_procedures.h"

#include <cstring>
#include <memory>
#include <set>

#include <gtest/gtest.h>

#include "app/services/open_data_file.h"
#include "app/services/transaction.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "tests/app/test_support.h"
#include "tests/app/test_data_driver.h"

namespace vaultrix::app {
namespace {

using files::Operation;
using testing::kPass;
using testing::TestDisk;

class RecordProceduresTest : public testing::AppServicesTest {
 protected:
  void SetUp() override {
    AppServicesTest::SetUp();
    users_ = std::make_unique<FileUse>(Users());
    passwords_ = std::make_unique<FileUse>(Passwords());
  }
  void TearDown() override {
    passwords_.reset();
    users_.reset();
    AppServicesTest::TearDown();
  }

  void AddUser(const char* name) {
    U_ = UserRecord{};
    U_.Name = name;
    U_.Password = "Not Required";
    files::Add(Users().Block());
    ASSERT_EQ(support::ERRORCODE(), 0) << support::ERROR();
  }
  void AddPassword(const char* user, const char* service) {
    P_ = PasswordRecord{};
    P_.User = user;
    P_.Service = service;
    P_.Name = "login";
    files::Add(Passwords().Block());
    ASSERT_EQ(support::ERRORCODE(), 0) << support::ERROR();
  }
  // Reads the user as the user form does, keeping the saved copy.
  void ReadUser(const char* name) {
    U_ = UserRecord{};
    U_.Name = name;
    files::KeyBlock& key = Users().Key(kFirstKey);
    files::Set(key, key);
    files::Next(Users().Block());
    ASSERT_EQ(support::ERRORCODE(), 0);
    ASSERT_TRUE(U_.Name == name);
    SavedUserRecord = U_;
  }
  // The owners of the stored passwords, one entry per record.
  std::multiset<std::string> Owners() {
    std::multiset<std::string> owners;
    for (const auto& record : disk_.files["Vtrix_P"].records) {
      if (!record.live) continue;
      owners.insert(std::string(
          support::CLIP(std::string_view(reinterpret_cast<const char*>(record.bytes.data()), 30))));
    }
    return owners;
  }

  TestDisk& disk_ = TestDisk::Get();
  std::unique_ptr<FileUse> users_, passwords_;
};

TEST_F(RecordProceduresTest, AUserWithoutPasswordsIsDeleted) {
  AddUser("Ann");
  AddUser("Bob");
  AddPassword("Bob", "mail");
  ReadUser("Ann");
  EXPECT_EQ(DeleteUserRecord(), 0);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(disk_.LiveRecords("Vtrix_U"), 1u);
  EXPECT_EQ(disk_.CallCount(Operation::kCommit), 2);
  EXPECT_FALSE(TransactionActive());
}

TEST_F(RecordProceduresTest, AUserWhoOwnsAPasswordIsNotDeleted) {
  AddUser("Ann");
  AddPassword("ANN", "mail");  // letter case does not free the user of it
  ReadUser("Ann");
  EXPECT_EQ(DeleteUserRecord(), 1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Referential Integrity Delete Error");
  EXPECT_EQ(boxes_[0].text,
            "This record is referenced from the file Passwords.  This record cannot be deleted "
            "while these references exist.");
  EXPECT_EQ(disk_.LiveRecords("Vtrix_U"), 1u);
  EXPECT_EQ(disk_.CallCount(Operation::kCommit), 0);
  EXPECT_FALSE(TransactionActive());
}

TEST_F(RecordProceduresTest, AReadErrorDuringTheCheckIsReported) {
  AddUser("Ann");
  ReadUser("Ann");
  disk_.Script(Operation::kNext, {support::kAccessDenied});
  EXPECT_EQ(DeleteUserRecord(), 1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Record Retrieval Error");
  EXPECT_EQ(disk_.LiveRecords("Vtrix_U"), 1u);
}

TEST_F(RecordProceduresTest, AFailedLogoutFramesNothing) {
  AddUser("Ann");
  ReadUser("Ann");
  disk_.Script(Operation::kLogout, {kPass, support::kFileIsAlreadyLocked});
  EXPECT_EQ(DeleteUserRecord(), 1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Transaction Framing Error");
  EXPECT_EQ(boxes_[0].text,
            "Error: (File Is Already Locked (32)) attempting to frame the Delete transaction on "
            "Users.  Delete transaction cancelled.");
  EXPECT_EQ(disk_.CallCount(Operation::kRollback), 1) << "the users file enlisted first";
  EXPECT_EQ(disk_.CallCount(Operation::kDelete), 0);
  EXPECT_FALSE(TransactionActive());
}

TEST_F(RecordProceduresTest, AFailedDeleteIsRolledBack) {
  AddPassword("Ann", "mail");
  disk_.Script(Operation::kDelete, {support::kRecordIsAlreadyHeld});
  EXPECT_EQ(DeletePasswordRecord(), 1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Delete Operation Error");
  EXPECT_EQ(boxes_[0].text,
            "An error (Record Is Already Held (43)) was experienced when attempting to delete a "
            "record from the file Passwords.");
  EXPECT_EQ(disk_.LiveRecords("Vtrix_P"), 1u);
  EXPECT_FALSE(TransactionActive());
}

TEST_F(RecordProceduresTest, ARecordRemovedElsewhereIsNotDeleted) {
  AddPassword("Ann", "mail");
  AddPassword("Ann", "bank");
  // Another station removed the current record since it was read.
  disk_.files["Vtrix_P"].records[1].live = false;
  EXPECT_EQ(DeletePasswordRecord(), 1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Delete Operation Error");
  EXPECT_EQ(disk_.LiveRecords("Vtrix_P"), 1u) << "nothing else was deleted";
}

TEST_F(RecordProceduresTest, RenamingAUserRenamesAllItsPasswordsInOneTransaction) {
  AddUser("Ann");
  AddUser("Bob");
  AddPassword("Ann", "mail");
  AddPassword("Bob", "mail");
  AddPassword("Ann", "bank");
  AddPassword("ann", "shop");
  ReadUser("Ann");
  U_.Name = "Zoe";
  EXPECT_EQ(UpdateUserRecord(), 0);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(Owners(), (std::multiset<std::string>{"Bob", "Zoe", "Zoe", "Zoe"}));
  EXPECT_EQ(disk_.CallCount(Operation::kLogout), 2);
  EXPECT_EQ(disk_.CallCount(Operation::kCommit), 2);
}

TEST_F(RecordProceduresTest, AChangeOfLetterCaseOnlyStillRenames) {
  AddUser("ann");
  AddPassword("ann", "mail");
  AddPassword("ann", "bank");
  ReadUser("ann");
  U_.Name = "Ann";
  EXPECT_EQ(UpdateUserRecord(), 0);
  EXPECT_EQ(Owners(), (std::multiset<std::string>{"Ann", "Ann"}));
}

TEST_F(RecordProceduresTest, AFailureOnTheThirdPasswordUndoesTheWholeRename) {
  AddUser("Ann");
  AddPassword("Ann", "a");
  AddPassword("Ann", "b");
  AddPassword("Ann", "c");
  ReadUser("Ann");
  U_.Name = "Zoe";
  // The user record, then the first two passwords pass; the third fails.
  disk_.Script(Operation::kPut, {kPass, kPass, kPass, support::kAccessDenied});
  EXPECT_EQ(UpdateUserRecord(), 1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Update Operation Error");
  EXPECT_EQ(boxes_[0].text,
            "An error (Access Denied (5)) was experienced when attempting to update a record "
            "from the file.  Probable Cause: Passwords.");
  EXPECT_EQ(Owners(), (std::multiset<std::string>{"Ann", "Ann", "Ann"}));
  const auto& user = disk_.files["Vtrix_U"].records[0].bytes;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(user.data()), 3), "Ann");
  EXPECT_FALSE(TransactionActive());
}

TEST_F(RecordProceduresTest, ARecordChangedByAnotherStationIsNotWritten) {
  AddPassword("Ann", "mail");
  P_.Password = "new";
  disk_.Script(Operation::kPut, {support::kRecordChangedByAnotherStation});
  EXPECT_EQ(UpdatePasswordRecord(), 1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Update Operation Error");
  EXPECT_EQ(boxes_[0].text, "This record was changed by another station.");
}

TEST_F(RecordProceduresTest, UpdateFailuresNameTheFile) {
  AddPassword("Ann", "mail");
  AddPassword("Ann", "bank");
  P_.Service = "mail";  // the second record would duplicate the first
  EXPECT_EQ(UpdatePasswordRecord(), 1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].text.find("Creates Duplicate Key (40)"), std::string::npos);
  EXPECT_NE(boxes_[0].text.find("Probable Cause: Passwords."), std::string::npos);

  disk_.Script(Operation::kLogout, {support::kLogoutAlreadyActive});
  P_.Service = "shop";
  EXPECT_EQ(UpdatePasswordRecord(), 1);
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[1].text,
            "Error: (LOGOUT Already Active (56)) attempting to frame the Update transaction on "
            "Passwords.  Update transaction cancelled.");
}

TEST_F(RecordProceduresTest, AFailedCommitIsRolledBackAndReported) {
  AddPassword("Ann", "mail");
  P_.Password = "new";
  disk_.Script(Operation::kCommit, {support::kUnableToLogTransaction});
  EXPECT_EQ(UpdatePasswordRecord(), 1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text,
            "Error: (Unable To Log Transaction (48)) attempting to frame the Update transaction "
            "on Passwords.  Update transaction cancelled.");
  const auto& stored = disk_.files["Vtrix_P"].records[0].bytes;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(stored.data()) + 180, 3), "   ");
  EXPECT_FALSE(TransactionActive());
}

TEST_F(RecordProceduresTest, TipsAreUpdatedAndDeleted) {
  FileUse tips(TipOfTheDay());
  TIP.TipID[5] = 0x1C;  // 1, packed
  files::Add(TipOfTheDay().Block());
  ASSERT_EQ(support::ERRORCODE(), 0);
  std::memcpy(TipOfTheDay().MemoText(kMemoTipDesc).data(), "Tip", 3);
  EXPECT_EQ(UpdateTipRecord(), 0);
  EXPECT_EQ(disk_.files["VTRIX_T"].records[0].memos[0].substr(0, 3), "Tip");
  EXPECT_EQ(DeleteTipRecord(), 0);
  EXPECT_EQ(disk_.LiveRecords("VTRIX_T"), 0u);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(RecordProceduresTest, PasswordsOpenedForTheUserProcedureAreClosedAgain) {
  passwords_.reset();
  AddUser("Ann");
  ReadUser("Ann");
  EXPECT_EQ(DeleteUserRecord(), 0);
  EXPECT_EQ(Passwords().OpenCount(), 0);
  EXPECT_EQ(Passwords().Block().state, nullptr);
}

}  // namespace
}  // namespace vaultrix::app
