// The data-file opener: every branch of its policy, driven by scripted
// answers of the test driver, and the open counts of FileUse.
#include "app/services/open_data_file.h"

#include <gtest/gtest.h>

#include "app/dictionary/data_dictionary.h"
#include "runtime/files/file_state.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "tests/app/test_support.h"
#include "tests/app/test_data_driver.h"

namespace vaultrix::app {
namespace {

using files::Operation;
using platform::MessageBoxAnswer;
using testing::kPass;
using testing::TestDisk;

class OpenDataFileTest : public testing::AppServicesTest {
 protected:
  TestDisk& disk_ = TestDisk::Get();

  // Runs the opener; the halt's text, or empty when it returned.
  std::string OpenUsers() {
    try {
      OpenDataFile(Users());
    } catch (const testing::Halted& halted) {
      return halted.text;
    }
    return {};
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const auto& box : boxes_) captions.push_back(box.caption);
    return captions;
  }
};

TEST_F(OpenDataFileTest, AMissingFileIsCreatedSilently) {
  EXPECT_EQ(OpenUsers(), "");
  EXPECT_TRUE(boxes_.empty());
  EXPECT_TRUE(disk_.Exists("Vtrix_U"));
  EXPECT_EQ(support::ERRORCODE(), 0);
  ASSERT_GE(disk_.calls.size(), 3u);
  EXPECT_EQ(disk_.calls[0].op, Operation::kOpen);
  EXPECT_EQ(disk_.calls[1].op, Operation::kCreate);
  EXPECT_EQ(disk_.calls[2].op, Operation::kOpen);
}

TEST_F(OpenDataFileTest, AnOpenFileIsNoError) {
  disk_.files["Vtrix_U"] = {};
  EXPECT_EQ(OpenUsers(), "");
  EXPECT_EQ(OpenUsers(), "") << "52 counts as open";
  EXPECT_EQ(disk_.CallCount(Operation::kOpen), 2);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(OpenDataFileTest, ALockedFileIsRecoveredAndOpenedAgain) {
  disk_.files["Vtrix_U"] = {};
  disk_.Script(Operation::kOpen, {support::kFileIsAlreadyLocked});
  EXPECT_EQ(OpenUsers(), "");
  ASSERT_EQ(disk_.calls.size(), 3u);
  EXPECT_EQ(disk_.calls[1].op, Operation::kSend);
  EXPECT_EQ(disk_.calls[1].text, "Recover=10");
  EXPECT_EQ(disk_.calls[2].op, Operation::kOpen);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(OpenDataFileTest, StillLockedAfterRecoveryIsADiskError) {
  disk_.Script(Operation::kOpen, {support::kFileIsAlreadyLocked, support::kFileIsAlreadyLocked});
  EXPECT_EQ(OpenUsers(), "Disk Error");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "File Access Error");
  EXPECT_EQ(boxes_[0].text,
            "File (Users) could not be opened.  Error: File Is Already Locked (32).");
}

TEST_F(OpenDataFileTest, CreationFailuresEndTheApplication) {
  disk_.Script(Operation::kCreate, {support::kAccessDenied});
  EXPECT_EQ(OpenUsers(), "File Creation Error!");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text,
            "Error: (Access Denied (5)) creating Users.  Press OK to end this application.");

  boxes_.clear();
  disk_.Script(Operation::kOpen, {kPass, support::kSharingViolation});
  disk_.files.clear();
  EXPECT_EQ(OpenUsers(), "File Creation Error!");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text,
            "Error: (Sharing Violation (64)) opening created file: Users.  Press OK to end this "
            "application.");
}

TEST_F(OpenDataFileTest, AnOtherLayoutEndsTheApplication) {
  disk_.Script(Operation::kOpen, {support::kInvalidRecordDeclaration});
  EXPECT_EQ(OpenUsers(), "Invalid File!");
  EXPECT_EQ(Captions(), std::vector<std::string>{"Invalid File"});
}

TEST_F(OpenDataFileTest, ADamagedKeyIsRebuiltWhenTheUserAgrees) {
  disk_.files["Vtrix_U"] = {};
  disk_.Script(Operation::kOpen, {support::kKeyFileMustBeRebuilt});
  Answer({MessageBoxAnswer::kYes});
  EXPECT_EQ(OpenUsers(), "");
  EXPECT_EQ(Captions(), std::vector<std::string>{"Invalid Key"});
  ASSERT_EQ(disk_.calls.size(), 3u);
  EXPECT_EQ(disk_.calls[1].op, Operation::kBuildFile);
  EXPECT_EQ(disk_.calls[2].op, Operation::kOpen);
  EXPECT_EQ(support::ERRORCODE(), 0);
}

TEST_F(OpenDataFileTest, ADamagedKeyAnsweredNoEndsTheApplication) {
  disk_.Script(Operation::kOpen, {support::kKeyFileMustBeRebuilt});
  Answer({MessageBoxAnswer::kNo});
  EXPECT_EQ(OpenUsers(), "Invalid Key!");
  EXPECT_EQ(disk_.CallCount(Operation::kBuildFile), 0);
}

TEST_F(OpenDataFileTest, AFailedRebuildEndsTheApplication) {
  disk_.Script(Operation::kOpen, {support::kKeyFileMustBeRebuilt});
  disk_.Script(Operation::kBuildFile, {support::kInvalidKeyFile});
  Answer({MessageBoxAnswer::kYes});
  EXPECT_EQ(OpenUsers(), "Error Rebuilding Key!");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Invalid Key", "Key Rebuild Error"}));
  EXPECT_EQ(boxes_[1].text,
            "Error: (Invalid Key File (38)) repairing key for Users.  Press OK to end this "
            "application.");
}

TEST_F(OpenDataFileTest, AFailedOpenAfterTheRebuildIsADiskError) {
  disk_.files["Vtrix_U"] = {};
  disk_.Script(Operation::kOpen, {support::kKeyFileMustBeRebuilt, support::kAccessDenied});
  Answer({MessageBoxAnswer::kYes});
  EXPECT_EQ(OpenUsers(), "Disk Error");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Invalid Key", "File Access Error"}));
}

TEST_F(OpenDataFileTest, AnyOtherErrorIsADiskError) {
  disk_.Script(Operation::kOpen, {support::kInvalidDataFile});
  EXPECT_EQ(OpenUsers(), "Disk Error");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "File (Users) could not be opened.  Error: Invalid Data File (36).");
}

TEST_F(OpenDataFileTest, FileUsesShareOneOpenAndTheLastOneCloses) {
  {
    FileUse first(Users());
    EXPECT_EQ(Users().OpenCount(), 1);
    {
      FileUse second(Users());
      EXPECT_EQ(Users().OpenCount(), 2);
    }
    EXPECT_EQ(Users().OpenCount(), 1);
    EXPECT_NE(Users().Block().state, nullptr) << "still open for the first use";
  }
  EXPECT_EQ(Users().OpenCount(), 0);
  EXPECT_EQ(Users().Block().state, nullptr) << "closed with the last use";
  EXPECT_EQ(disk_.CallCount(Operation::kOpen), 2) << "the missing file, then the created one";
  EXPECT_EQ(disk_.CallCount(Operation::kClose), 1);
}

TEST_F(OpenDataFileTest, AHaltedOpenCountsNoUse) {
  disk_.Script(Operation::kOpen, {support::kInvalidDataFile});
  EXPECT_THROW(FileUse use(Users()), testing::Halted);
  EXPECT_EQ(Users().OpenCount(), 0);
}

}  // namespace
}  // namespace vaultrix::app
