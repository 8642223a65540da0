// The upgrade of an old-layout passwords file as the program runs it at
// start-up: the progress window copies in slices on its timer, the frame
// opens afterwards, and a cancelled upgrade loses nothing.
#include <gtest/gtest.h>

#include "app/dictionary/data_dictionary.h"
#include "app/dictionary/upgrade_files.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"
#include "tests/app/frame/frame_test_support.h"
#include "tests/app/test_data_driver.h"

namespace vaultrix::app {
namespace {

using namespace std::chrono_literals;
using files::Operation;
using testing::TestDisk;

class UpgradeWindow : public testing::FrameTest {
 protected:
  // An old-layout passwords file of `count` records; the program's first
  // open of it answers 47, as the current declaration does on such a file.
  void WriteOldFile(int count) {
    WriteOldPasswordsFile(count);
    ResetDeclarations();
    WriteVault({"Ann"});
    TestDisk::Get().Script(Operation::kOpen, {47});
  }
  std::string Progress(platform::WindowHandle window) {
    const auto text = Control(window, kUpgradePercentText);
    return text ? text->text : "(none)";
  }
};

TEST_F(UpgradeWindow, FiveThousandRecordsAreUpgradedBeforeTheFrameOpens) {
  WriteOldFile(5000);
  StartProgram();
  const platform::WindowHandle window = Window("Upgrading Files");
  ASSERT_NE(window, platform::kNoWindow);
  EXPECT_EQ(Frame(), platform::kNoWindow);
  Advance(20ms, 10ms);
  EXPECT_EQ(Progress(window), " 40% Completed");
  Advance(100ms, 10ms);
  EXPECT_EQ(Window("Upgrading Files"), platform::kNoWindow);
  EXPECT_NE(Frame(), platform::kNoWindow);
  TestDisk& disk = TestDisk::Get();
  EXPECT_FALSE(disk.Exists("Vtrix_N"));
  ASSERT_EQ(disk.LiveRecords("Vtrix_P"), 5000u);
  EXPECT_EQ(disk.files["Vtrix_P"].records[4999].memos[1].size(), 5000u) << "the current layout";
}

TEST_F(UpgradeWindow, AnEmptyOldFileIsUpgradedToo) {
  WriteOldFile(0);
  StartProgram();
  Advance(50ms, 10ms);
  EXPECT_NE(Frame(), platform::kNoWindow);
  EXPECT_FALSE(TestDisk::Get().Exists("Vtrix_N"));
  EXPECT_TRUE(TestDisk::Get().Exists("Vtrix_P"));
}

TEST_F(UpgradeWindow, ACancelledUpgradeLosesNothing) {
  WriteOldFile(2500);
  StartProgram();
  const platform::WindowHandle window = Window("Upgrading Files");
  ASSERT_NE(window, platform::kNoWindow);
  Advance(10ms, 10ms);
  Press(window, kUpgradeCancel);
  EXPECT_EQ(Window("Upgrading Files"), platform::kNoWindow);
  TestDisk& disk = TestDisk::Get();
  EXPECT_FALSE(disk.Exists("Vtrix_N")) << "the partial copy is removed";
  ASSERT_EQ(disk.LiveRecords("Vtrix_P"), 2500u);
  EXPECT_EQ(disk.files["Vtrix_P"].records[0].memos[1].size(), 1000u) << "still the old layout";
  run_.Wait();
  EXPECT_TRUE(driver_.DialogHistory().empty()) << "the program ends without a warning";
}

}  // namespace
}  // namespace vaultrix::app
