// A data file is made under a temporary name and linked into place: what a
// crash while it was being made left behind (a part-written temporary file)
// is replaced, the file appears whole and private, and no temporary is left.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "app/dictionary/data_dictionary.h"
#include "app/services/open_data_file.h"
#include "runtime/files/file_api.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_state.h"
#include "tests/app/test_support.h"

namespace vaultrix::app {
namespace {

class CreateWholeTest : public testing::AppServicesTest {
 protected:
  void SetUp() override {
    AppServicesTest::SetUp();
    UseDataDriver(&files::HalverinDriver());
    ASSERT_EQ(::chdir(scratch_.c_str()), 0);
  }
};

TEST_F(CreateWholeTest, AMissingFileReplacesWhatACrashLeftAndAppearsWhole) {
  std::ofstream("Vtrix_U.HVN.new") << "half a header";
  {
    FileUse users(Users());
    EXPECT_EQ(support::ErrorCode(), 0) << support::Error();
    EXPECT_EQ(files::Records(Users().Block()), 0);
    EXPECT_EQ(support::ErrorCode(), 0) << support::Error();
  }
  struct stat made {};
  ASSERT_EQ(::stat("Vtrix_U.HVN", &made), 0);
  EXPECT_EQ(made.st_mode & 0777, 0600u);
  EXPECT_EQ(made.st_nlink, 1u) << "the temporary name is gone";
  EXPECT_NE(::access("Vtrix_U.HVN.new", F_OK), 0);
  EXPECT_TRUE(boxes_.empty());
}

// A file filled while it is made appears only filled: a fill that gives up
// (a crash would too) leaves no file under the name, so the next start makes
// it again instead of finding it empty.
TEST_F(CreateWholeTest, AFileFilledWhileMadeAppearsOnlyFilled) {
  for (const bool completes : {false, true}) {
    CreateWhole(Users(), [&] {
      files::Add(Users().Block());
      return completes && support::ErrorCode() == 0;
    });
    EXPECT_EQ(::access("Vtrix_U.HVN", F_OK) == 0, completes) << completes;
    EXPECT_NE(::access("Vtrix_U.HVN.new", F_OK), 0) << completes;
  }
  FileUse users(Users());
  EXPECT_EQ(files::Records(Users().Block()), 1);
}

}  // namespace
}  // namespace vaultrix::app
