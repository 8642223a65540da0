// The passwords file upgrade, slice by slice: every record and memo copied,
// the percentages a progress window shows, and an old file that keeps every
// record when the copy is cancelled or fails.
#include "app/dictionary/file_upgrade.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/dictionary/data_dictionary.h"
#include "app/services/global_codes.h"
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

class FileUpgradeTest : public testing::AppServicesTest {
 protected:
  void WriteOldFile(int count) { WriteOldPasswordsFile(count); }

  std::string Field(const testing::StoredRecord& record, std::size_t offset, std::size_t size) {
    return std::string(support::CLIP(
        std::string_view(reinterpret_cast<const char*>(record.bytes.data()) + offset, size)));
  }

  TestDisk& disk_ = TestDisk::Get();
};

TEST_F(FileUpgradeTest, AnEmptyOldFileBecomesAnEmptyCurrentFile) {
  WriteOldFile(0);
  FileUpgrade upgrade;
  upgrade.Start();
  EXPECT_EQ(upgrade.State(), UpgradeState::kCompleted);
  EXPECT_EQ(upgrade.ProgressText(), "Process Completed");
  EXPECT_EQ(upgrade.Finish(), kRequestCompleted);
  EXPECT_TRUE(disk_.Exists("Vtrix_P"));
  EXPECT_FALSE(disk_.Exists("Vtrix_N"));
  EXPECT_EQ(disk_.LiveRecords("Vtrix_P"), 0u);
  EXPECT_EQ(disk_.CallCount(Operation::kRemove), 1);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(FileUpgradeTest, FiveThousandRecordsAreCopiedInSlicesOfAThousand) {
  WriteOldFile(5000);
  FileUpgrade upgrade;
  upgrade.Start();
  EXPECT_EQ(upgrade.Total(), 5000);
  EXPECT_EQ(upgrade.Processed(), 1) << "the first record is copied when the window opens";
  EXPECT_EQ(upgrade.ProgressText(), "0% Completed");
  const char* texts[] = {" 20% Completed", " 40% Completed", " 60% Completed", " 80% Completed"};
  for (const char* text : texts) {
    upgrade.CopySlice();
    EXPECT_EQ(upgrade.State(), UpgradeState::kCopying);
    EXPECT_EQ(upgrade.ProgressText(), text);
  }
  EXPECT_EQ(upgrade.Processed(), 4001);
  upgrade.CopySlice();
  EXPECT_EQ(upgrade.State(), UpgradeState::kCompleted);
  EXPECT_EQ(upgrade.Processed(), 5000);
  EXPECT_EQ(upgrade.Percent(), 100);
  EXPECT_EQ(upgrade.ProgressText(), "Process Completed");
  EXPECT_EQ(upgrade.Finish(), kRequestCompleted);

  EXPECT_FALSE(disk_.Exists("Vtrix_N"));
  const testing::StoredFile& current = disk_.files["Vtrix_P"];
  ASSERT_EQ(current.records.size(), 5000u);
  const testing::StoredRecord& last = current.records[4999];
  EXPECT_EQ(Field(last, 30, 30), "service 4999");
  EXPECT_EQ(Field(last, 60, 90), "https://example.org/4999");
  EXPECT_EQ(Field(last, 180, 30), "pw4999");
  EXPECT_EQ(Field(last, 210, 30), "pw4999");
  ASSERT_EQ(last.memos.size(), 2u);
  EXPECT_EQ(support::CLIP(last.memos[0]), "notes 4999");
  ASSERT_EQ(last.memos[1].size(), 5000u);
  EXPECT_EQ(last.memos[1], std::string(1000, 'm') + std::string(4000, ' '));
}

TEST_F(FileUpgradeTest, ACancelledUpgradeLosesNothing) {
  WriteOldFile(2500);
  FileUpgrade upgrade;
  upgrade.Start();
  upgrade.CopySlice();
  upgrade.Cancel();
  upgrade.CopySlice();
  EXPECT_EQ(upgrade.Processed(), 1001) << "nothing is copied after Cancel";
  EXPECT_EQ(upgrade.Finish(), kRequestCancelled);
  EXPECT_FALSE(disk_.Exists("Vtrix_N")) << "the partial copy is removed";
  EXPECT_EQ(disk_.LiveRecords("Vtrix_P"), 2500u);
  EXPECT_EQ(disk_.files["Vtrix_P"].records[0].memos[1].size(), 1000u) << "still the old layout";
}

TEST_F(FileUpgradeTest, AReadErrorEndsTheCopyAsCancelled) {
  WriteOldFile(30);
  disk_.Script(Operation::kNext, {kPass, kPass, support::kAccessDenied});
  FileUpgrade upgrade;
  upgrade.Start();
  upgrade.CopySlice();
  EXPECT_EQ(upgrade.State(), UpgradeState::kCancelled);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Record Retrieval Error");
  EXPECT_EQ(upgrade.Finish(), kRequestCancelled);
  EXPECT_EQ(disk_.LiveRecords("Vtrix_P"), 30u);
  EXPECT_FALSE(disk_.Exists("Vtrix_N"));
}

TEST_F(FileUpgradeTest, AFailedAddEndsTheCopyAsCancelled) {
  WriteOldFile(3);
  disk_.Script(Operation::kAdd, {kPass, support::kSystemErrorBase + 39});
  FileUpgrade upgrade;
  upgrade.Start();
  upgrade.CopySlice();
  EXPECT_EQ(upgrade.State(), UpgradeState::kCancelled);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Record Insert Error");
  EXPECT_EQ(upgrade.Finish(), kRequestCancelled);
  EXPECT_EQ(disk_.LiveRecords("Vtrix_P"), 3u);
}

TEST_F(FileUpgradeTest, AnOldFileThatCannotBeOpenedIsLeftAlone) {
  WriteOldFile(3);
  disk_.Script(Operation::kOpen, {support::kAccessDenied});
  FileUpgrade upgrade;
  upgrade.Start();
  EXPECT_EQ(upgrade.State(), UpgradeState::kCancelled);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "File Access Error");
  EXPECT_EQ(upgrade.Finish(), kRequestCancelled);
  EXPECT_EQ(disk_.CallCount(Operation::kCreate), 0);
  EXPECT_EQ(disk_.LiveRecords("Vtrix_P"), 3u);
}

TEST_F(FileUpgradeTest, AnOldFileThatCannotBeRemovedIsKept) {
  WriteOldFile(3);
  disk_.Script(Operation::kRemove, {support::kAccessDenied});
  FileUpgrade upgrade;
  upgrade.Start();
  upgrade.CopySlice();
  ASSERT_EQ(upgrade.State(), UpgradeState::kCompleted);
  EXPECT_EQ(upgrade.Finish(), kRequestCancelled);
  EXPECT_EQ(disk_.LiveRecords("Vtrix_P"), 3u);
  EXPECT_EQ(disk_.files["Vtrix_P"].records[0].memos[1].size(), 1000u);
  EXPECT_FALSE(disk_.Exists("Vtrix_N"));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "File Access Error");
}

}  // namespace
}  // namespace vaultrix::app
